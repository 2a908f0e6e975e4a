#pragma once
// apricot-initdb --import: an opening-stock file taken into the books without the window, with
// the same preview, checks and single transaction as 导入期初库存.
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace importcommand {

struct COptions {
    QString file;
    bool dryRun = false;     // show the faults and the summary, write nothing
    bool skipFaulty = false; // import the rows without a fault
    bool again = false;      // import a file the books took in before
};

// What the command prints and how it ends: 0 imported (or a clean dry run), 1 not.
struct CReport {
    int exitCode = 1;
    QStringList out;
    QStringList err;
};

// The books that FOLDER/connect.txt names, or FOLDER/apricot.db when there is no connect.txt.
CReport ImportIntoFolder(const COptions& options, const QString& folder, const QDateTime& now);
// The books that the connection string reaches.
CReport ImportOnConnection(const COptions& options, const QString& connect, const QDateTime& now);

} // namespace importcommand

// An opening-stock import of 5,000 batches of 3,000 drugs (the sample file, as CSV): the preview
// (file read, rows parsed, summary from the books) and the import itself in one transaction, on
// new SQLite books and, when a server is given, on PostgreSQL. Prints import_preview_ms_<backend>,
// import_write_ms_<backend> and import_peak_rss_kb (the process's peak resident memory).
//   bench_import [--connect STRING]
// The server is --connect's, else APRICOT_PG_CONNECT's (scripts/with-pg.sh sets it); the bench
// makes a database of its own there and drops it at the end.
#include "CDBException.h"
#include "CDatabase.h"
#include "bench_support.h"
#include "import_file.h"
#include "import_parse.h"
#include "import_sample.h"
#include "import_write.h"
#include "schema.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <string>
#include <sys/resource.h>

namespace {

constexpr int kBatches = 5000;
constexpr int kDrugs = 3000;
const char* const kProgram = "bench_import";

bool Fail(const QString& why) {
    return bench::Fail(kProgram, why);
}

bool RunOn(CDatabase& db, const QString& path, const char* backend) {
    CImportBatches batches;
    QString failure;
    const double previewMs = bench::MillisecondsOf([&] {
        const std::optional<CImportTable> table = ReadImportFile(path, &failure);
        std::optional<CImportBatches> read = table ? ParseBatches(*table, &failure) : std::nullopt;
        if (read) {
            batches = std::move(*read);
            stockimport::MarkCodeConflicts(db, batches);
            stockimport::Summarize(db, batches);
        }
    });
    if (!failure.isEmpty())
        return Fail(failure);
    if (batches.size() != kBatches)
        return Fail(QStringLiteral("the sample gave %1 rows").arg(batches.size()));
    stockimport::CImportOutcome outcome;
    const double writeMs = bench::MillisecondsOf([&] {
        outcome =
            stockimport::WriteImport(db, QStringLiteral("sample.csv"), QStringLiteral("0"), batches,
                                     QStringLiteral("店长"), QDateTime::currentDateTime());
    });
    if (!outcome.written)
        return Fail(outcome.failure);
    const std::string suffix = std::string("_") + backend;
    bench::Print(("import_preview_ms" + suffix).c_str(), previewMs);
    bench::Print(("import_write_ms" + suffix).c_str(), writeMs);
    return true;
}

bool Run(const QString& server) {
    QTemporaryDir folder;
    if (!folder.isValid())
        return Fail(QStringLiteral("no temporary folder"));
    const QString path = folder.filePath(QStringLiteral("sample.csv"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(importsample::SampleCsv(kBatches, kDrugs, {})) < 0)
            return Fail(QStringLiteral("cannot write ") + path);
    }
    return bench::OnBothBackends(
        kProgram, folder.filePath(QStringLiteral("import.db")), server,
        [&](CDatabase& db, const char* backend) { return RunOn(db, path, backend); });
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool ok = Run(bench::ServerConnect(app.arguments().mid(1)));
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    bench::Print("import_peak_rss_kb", double(usage.ru_maxrss));
    return ok ? 0 : 1;
}

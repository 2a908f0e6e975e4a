// How fast the record grid loads, sorts and exports a hundred thousand sales rows, and how much
// memory they take. Prints one "name value" line per figure.
#include "CDBException.h"
#include "CDatabase.h"
#include "bench_support.h"
#include "csv_export.h"
#include "grid_printing.h"
#include "html_export.h"
#include "q_grid.h"
#include "schema.h"

#include <QFile>
#include <QHeaderView>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRows = 100000;
constexpr int kRuns = 5;

// 100,000 sales, one a minute from 2003-01-01 on, over a dozen cards; whole boxes and split
// packs, prices with cents and fractions of a box, as the sales entry writes them.
const char* const kFill = R"(
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < @ROWS@)
INSERT INTO 销
SELECT strftime('%Y-%m-%d %H:%M:%S', '2003-01-01 08:00:00', '+' || i || ' minutes'),
       CASE i % 12 WHEN 0 THEN '阿莫西林胶囊' WHEN 1 THEN '板蓝根颗粒' WHEN 2 THEN '川贝枇杷膏'
         WHEN 3 THEN '复方甘草片' WHEN 4 THEN '感冒灵颗粒' WHEN 5 THEN '藿香正气水'
         WHEN 6 THEN '六味地黄丸' WHEN 7 THEN '牛黄解毒片' WHEN 8 THEN '维生素C片'
         WHEN 9 THEN '云南白药' WHEN 10 THEN 'Aspirin' ELSE '布洛芬缓释胶囊' END || (i % 7),
       CASE i % 3 WHEN 0 THEN '广州白云山制药' WHEN 1 THEN '北京同仁堂' ELSE '哈药集团' END,
       CASE i % 4 WHEN 0 THEN '0.25g*24粒' WHEN 1 THEN '10g*20袋' WHEN 2 THEN '150ml'
         ELSE '0.1g*100片' END,
       printf('%04d-%02d-%02d', 2004 + i % 5, 1 + i % 12, 1 + i % 28),
       (i % 997) / 4.0 + 0.5,
       CASE WHEN i % 5 = 0 THEN (1 + i % 19) / 20.0 ELSE 1 + i % 3 END,
       CASE WHEN i % 5 = 0 THEN '拆零销售' ELSE '整盒销售' END,
       round(((i % 997) / 4.0 + 0.5) * (1 + i % 3), 2),
       0
FROM n
)";

double ResidentMb() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    if (fields.size() < 2)
        return 0;
    return fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

bool Fail(const QString& why) {
    return bench::Fail("bench_grid", why);
}

bool Run() {
    QTemporaryDir folder;
    if (!folder.isValid())
        return Fail(QStringLiteral("no temporary folder"));
    const QString dbPath = folder.filePath(QStringLiteral("bench.db"));
    CDatabase db;
    try {
        if (const QString why = bench::OpenNewBooks(db, dbPath); !why.isEmpty())
            return Fail(why);
        db.ExecuteSQL(
            QString::fromUtf8(kFill).replace(QStringLiteral("@ROWS@"), QString::number(kRows)));
    } catch (const CDBException& e) {
        return Fail(e.ErrorText());
    }

    const QString table = QStringLiteral("销");
    const QString sql = QStringLiteral("select * from 销");
    std::vector<double> loads, shells, textSorts, numberSorts;

    // The grid lives as long as the program would keep it; the first load also measures memory.
    const double before = ResidentMb();
    q_grid grid;
    double after = 0;
    for (int run = 0; run < kRuns; ++run) {
        bool ok = false;
        loads.push_back(bench::SecondsOf([&] {
            ok = run == 0
                     ? grid.Create(&db, table, sql, nullptr, QRect(0, 0, 1000, 700), false, true)
                     : grid.Reload();
        }));
        if (!ok || grid.GetItemCount() != kRows)
            return Fail(QStringLiteral("the load gave %1 rows").arg(grid.GetItemCount()));
        if (run == 0)
            after = ResidentMb();

        shells.push_back(bench::SecondsOf([&] {
            QProcess shell;
            shell.setStandardOutputFile(QProcess::nullDevice());
            shell.start(QStringLiteral("sqlite3"), {dbPath, sql});
            shell.waitForFinished(-1);
        }));

        // A header click on a freshly loaded grid: names (text), then prices (number).
        q_grid::s_nSortColumn = -1;
        textSorts.push_back(
            bench::SecondsOf([&] { emit grid.horizontalHeader()->sectionClicked(1); }));
        numberSorts.push_back(
            bench::SecondsOf([&] { emit grid.horizontalHeader()->sectionClicked(5); }));
    }

    QStringList titles;
    for (int c = 0; c < grid.GetColumnCount(); ++c)
        titles << grid.ColumnTitle(c);
    // Seconds to write the file `name` through `write`; negative when it failed.
    const auto timedFile = [&](const char* name,
                               bool (*write)(QIODevice&, const QStringList&, const CResultTable&)) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        bool ok = false;
        const double seconds = bench::SecondsOf([&] {
            ok = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                 write(file, titles, grid.Result());
            file.close();
        });
        return ok ? seconds : -1.0;
    };
    const double exportSeconds = timedFile("REPORT.HTM", htmlexport::WriteReport);
    const double csvSeconds = timedFile("report.csv", csvexport::WriteCsv);
    if (exportSeconds < 0 || csvSeconds < 0)
        return Fail(QStringLiteral("the HTML or CSV file could not be written"));
    bool written = false;
    QString why;
    const double pdfSeconds = bench::SecondsOf([&] {
        written = gridprinting::WritePdf(folder.filePath(QStringLiteral("report.pdf")), titles,
                                         grid.Result(), QStringLiteral("销售明细"),
                                         QStringLiteral("2026-12-08"), &why);
    });
    if (!written)
        return Fail(why);

    bench::Print("grid_load_100k_s", bench::Median(loads));
    bench::Print("grid_load_vs_sqlite3_shell", bench::Median(loads) / bench::Median(shells));
    bench::Print("grid_sort_text_100k_s", bench::Median(textSorts));
    bench::Print("grid_sort_number_100k_s", bench::Median(numberSorts));
    bench::Print("grid_export_html_100k_s", exportSeconds);
    bench::Print("grid_export_csv_100k_s", csvSeconds);
    bench::Print("grid_export_pdf_100k_s", pdfSeconds);
    bench::Print("grid_memory_100k_mb", after - before);
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    return bench::RunWithWidgets(argc, argv, Run);
}

// How fast the record grid loads, sorts and exports a hundred thousand sales rows, how it loads
// and sorts a million, and how much memory they take. Prints one "name value" line per figure.
#include "CDBException.h"
#include "CDatabase.h"
#include "CRecordset.h"
#include "bench_support.h"
#include "connect_string.h"
#include "csv_export.h"
#include "grid_printing.h"
#include "html_export.h"
#include "q_grid.h"
#include "schema.h"
#include "sqlite_journal.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRows = 100000;
constexpr int kRuns = 5;

// 100,000 sales, one a minute from 2003-01-01 on, over a dozen cards; whole boxes and split
// packs, prices with cents and fractions of a box, as the sales entry writes them.
const char* const kFill = R"(
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < @ROWS@)
INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, 数量, 销售类型, 实收金额, 坏帐)
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

// Resets the process's peak resident size, so that VmHWM tells the peak of what follows.
void ResetPeak() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

double PeakMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

struct Books {
    QString path;
    CDatabase db;
    // The database's own client printing the same rows: the yardstick of a load.
    QStringList shell;
};

bool FillBooks(Books& books, int rows) {
    try {
        if (const QString why = bench::OpenNewBooks(books.db, books.path); !why.isEmpty())
            return Fail(why);
        books.db.ExecuteSQL(
            QString::fromUtf8(kFill).replace(QStringLiteral("@ROWS@"), QString::number(rows)));
    } catch (const CDBException& e) {
        return Fail(e.ErrorText());
    }
    // As the program's start leaves them.
    if (const QString why = sqlitejournal::UseWal(books.db); !why.isEmpty())
        return Fail(why);
    return true;
}

long long QueryCount(CDatabase& db) {
    CRecordset rows(&db);
    rows.Open(QStringLiteral("SELECT COUNT(*) FROM 销"));
    return rows.Fetch() ? rows.GetFieldValue(0).value_or(QString()).toLongLong() : 0;
}

struct Figures {
    double load = 0, whole = 0, shell = 0, textSort = 0, numberSort = 0;
    double memory = 0, peak = 0, afterClose = 0;
};

const QString kTable = QStringLiteral("销");
const QString kSql = QStringLiteral("select * from 销");

// Seconds that another program's sale takes while the grid is still reading `rows` sales in the
// background: the second connection writes the sale row and lowers the card's stock.
bool SaleWhileLoading(Books& books, int rows, double& seconds) {
    q_grid grid;
    if (!grid.Create(&books.db, kTable, kSql, nullptr, QRect(0, 0, 1000, 700), false, true))
        return Fail(QStringLiteral("the load failed"));
    if (grid.model()->rowCount() >= rows)
        return Fail(QStringLiteral("the load was read whole before the sale"));
    try {
        CDatabase counter;
        if (!counter.OpenEx(books.db.ConnectString()))
            return Fail(QStringLiteral("no second connection"));
        seconds = bench::SecondsOf([&] {
            counter.SetAutoCommit(false);
            counter.ExecuteSQL(
                QStringLiteral("INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, "
                               "零售价, 数量, 销售类型, 实收金额, 坏帐) VALUES ('2031-01-01 "
                               "08:00:00', '板蓝根颗粒', '北京同仁堂', "
                               "'10g*20袋', '2030-01-01', 12, 1, '整盒销售', 12, 0)"));
            counter.ExecuteSQL(QStringLiteral("UPDATE 存 SET 现有存货量 = 现有存货量 - 1 WHERE "
                                              "名称 = '板蓝根颗粒' AND 产地 = '北京同仁堂'"));
            counter.CommitTrans();
            counter.SetAutoCommit(true);
        });
    } catch (const CDBException& e) {
        return Fail(QStringLiteral("the sale beside the load failed: ") + e.ErrorText());
    }
    QElapsedTimer clock;
    clock.start();
    while (grid.model()->rowCount() < rows && clock.elapsed() < 600000)
        QCoreApplication::processEvents();
    return true;
}

// Loads, and sorts by a header click, `runs` times; `grid` is made here and left to the caller
// when `keep` is given.
bool Measure(Books& books, int rows, int runs, Figures& figures,
             std::unique_ptr<q_grid>* keep = nullptr) {
    std::vector<double> loads, wholes, shells, textSorts, numberSorts;
    // The grid lives as long as the program would keep it; the first load also measures memory.
    const double before = ResidentMb();
    ResetPeak();
    auto grid = std::make_unique<q_grid>();
    for (int run = 0; run < runs; ++run) {
        // Until the grid shows its first rows, then until the rest has come in the background
        // as the program's event loop reads it.
        bool ok = false;
        QElapsedTimer whole;
        whole.start();
        loads.push_back(bench::SecondsOf([&] {
            ok = run == 0 ? grid->Create(&books.db, kTable, kSql, nullptr, QRect(0, 0, 1000, 700),
                                         false, true)
                          : grid->Reload();
        }));
        while (ok && grid->model()->rowCount() < rows && whole.elapsed() < 600000)
            QCoreApplication::processEvents();
        wholes.push_back(double(whole.nsecsElapsed()) / 1e9);
        if (!ok || grid->GetItemCount() != rows)
            return Fail(QStringLiteral("the load gave %1 rows").arg(grid->GetItemCount()));
        if (run == 0) {
            figures.memory = ResidentMb() - before;
            figures.peak = PeakMb() - before;
        }

        shells.push_back(bench::SecondsOf([&] {
            QProcess shell;
            shell.setStandardOutputFile(QProcess::nullDevice());
            shell.start(books.shell.first(), books.shell.mid(1));
            shell.waitForFinished(-1);
        }));

        // A header click on a freshly loaded grid: names (text), then prices (number).
        q_grid::s_nSortColumn = -1;
        textSorts.push_back(
            bench::SecondsOf([&] { emit grid->horizontalHeader()->sectionClicked(1); }));
        numberSorts.push_back(
            bench::SecondsOf([&] { emit grid->horizontalHeader()->sectionClicked(5); }));
    }
    figures.load = bench::Median(loads);
    figures.whole = bench::Median(wholes);
    figures.shell = bench::Median(shells);
    figures.textSort = bench::Median(textSorts);
    figures.numberSort = bench::Median(numberSorts);
    if (keep) {
        *keep = std::move(grid);
    } else {
        grid.reset();
        // As after a window closes: the program's event loop runs on.
        QCoreApplication::processEvents();
        figures.afterClose = ResidentMb() - before;
    }
    return true;
}

bool Run() {
    QTemporaryDir folder;
    if (!folder.isValid())
        return Fail(QStringLiteral("no temporary folder"));

    // A million sales first, on a fresh process heap: nine years of a busy pharmacy.
    Figures million;
    double saleWhileLoading = 0;
    {
        const QString path = folder.filePath(QStringLiteral("million.db"));
        Books books{path, {}, {QStringLiteral("sqlite3"), path, kSql}};
        if (!FillBooks(books, 1000000) || !Measure(books, 1000000, 3, million) ||
            !SaleWhileLoading(books, 1000000, saleWhileLoading))
            return false;
    }
    QFile::remove(folder.filePath(QStringLiteral("million.db")));

    const QString path = folder.filePath(QStringLiteral("bench.db"));
    Books books{path, {}, {QStringLiteral("sqlite3"), path, kSql}};
    Figures small;
    std::unique_ptr<q_grid> grid;
    if (!FillBooks(books, kRows) || !Measure(books, kRows, kRuns, small, &grid))
        return false;

    QStringList titles;
    for (int c = 0; c < grid->GetColumnCount(); ++c)
        titles << grid->ColumnTitle(c);
    // Seconds to write the file `name` through `write`; negative when it failed.
    const auto timedFile = [&](const char* name,
                               bool (*write)(QIODevice&, const QStringList&, const CResultTable&)) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        bool ok = false;
        const double seconds = bench::SecondsOf([&] {
            ok = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                 write(file, titles, grid->Result());
            file.close();
        });
        return ok ? seconds : -1.0;
    };
    const double exportSeconds = timedFile("REPORT.HTM", htmlexport::WriteReport);
    const double csvSeconds = timedFile(
        "report.csv", [](QIODevice& file, const QStringList& titles, const CResultTable& table) {
            return csvexport::WriteCsv(file, titles, table, csvexport::Encoding::Utf8);
        });
    if (exportSeconds < 0 || csvSeconds < 0)
        return Fail(QStringLiteral("the HTML or CSV file could not be written"));
    bool written = false;
    QString why;
    const double pdfSeconds = bench::SecondsOf([&] {
        written = gridprinting::WritePdf(folder.filePath(QStringLiteral("report.pdf")), titles,
                                         grid->Result(), QStringLiteral("销售明细"),
                                         QStringLiteral("2026-12-08"), &why);
    });
    if (!written)
        return Fail(why);

    bench::Print("grid_load_100k_s", small.load);
    bench::Print("grid_load_100k_all_rows_s", small.whole);
    bench::Print("grid_load_vs_sqlite3_shell", small.load / small.shell);
    bench::Print("grid_sort_text_100k_s", small.textSort);
    bench::Print("grid_sort_number_100k_s", small.numberSort);
    bench::Print("grid_export_html_100k_s", exportSeconds);
    bench::Print("grid_export_csv_100k_s", csvSeconds);
    bench::Print("grid_export_pdf_100k_s", pdfSeconds);
    bench::Print("grid_memory_100k_mb", small.memory);
    bench::Print("grid_load_1m_s", million.load);
    bench::Print("grid_load_1m_vs_sqlite3_shell", million.load / million.shell);
    bench::Print("grid_load_1m_all_rows_s", million.whole);
    bench::Print("grid_load_1m_all_rows_vs_sqlite3_shell", million.whole / million.shell);
    bench::Print("grid_memory_1m_mb", million.memory);
    bench::Print("grid_memory_peak_1m_mb", million.peak);
    bench::Print("grid_memory_1m_closed_mb", million.afterClose);
    bench::Print("grid_sort_text_1m_s", million.textSort);
    bench::Print("grid_sort_number_1m_s", million.numberSort);
    bench::Print("grid_sale_while_loading_1m_s", saleWhileLoading);
    std::fflush(stdout);
    return true;
}

// The same million sales on server books.
const char* const kServerFill = R"(
INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, 数量, 销售类型, 实收金额, 坏帐)
SELECT TIMESTAMP '2003-01-01 08:00:00' + i * INTERVAL '1 minute',
       CASE i % 12 WHEN 0 THEN '阿莫西林胶囊' WHEN 1 THEN '板蓝根颗粒' WHEN 2 THEN '川贝枇杷膏'
         WHEN 3 THEN '复方甘草片' WHEN 4 THEN '感冒灵颗粒' WHEN 5 THEN '藿香正气水'
         WHEN 6 THEN '六味地黄丸' WHEN 7 THEN '牛黄解毒片' WHEN 8 THEN '维生素C片'
         WHEN 9 THEN '云南白药' WHEN 10 THEN 'Aspirin' ELSE '布洛芬缓释胶囊' END || (i % 7),
       CASE i % 3 WHEN 0 THEN '广州白云山制药' WHEN 1 THEN '北京同仁堂' ELSE '哈药集团' END,
       CASE i % 4 WHEN 0 THEN '0.25g*24粒' WHEN 1 THEN '10g*20袋' WHEN 2 THEN '150ml'
         ELSE '0.1g*100片' END,
       (2004 + i % 5) || '-' || lpad((1 + i % 12)::text, 2, '0') || '-' ||
         lpad((1 + i % 28)::text, 2, '0'),
       (i % 997) / 4.0 + 0.5,
       CASE WHEN i % 5 = 0 THEN (1 + i % 19) / 20.0 ELSE 1 + i % 3 END,
       CASE WHEN i % 5 = 0 THEN '拆零销售' ELSE '整盒销售' END,
       round(((i % 997) / 4.0 + 0.5) * (1 + i % 3), 2),
       0
FROM generate_series(0, @ROWS@ - 1) AS n(i)
)";

// A million sales on new server books at `connect` (apricot-initdb --connect made them): the
// load against psql printing the same rows, and the memory it holds.
bool RunServer(const QString& connect) {
    Books books;
    try {
        if (!books.db.OpenEx(connect))
            return Fail(QStringLiteral("cannot connect"));
        if (QueryCount(books.db) != 0)
            return Fail(QStringLiteral("the books already hold sales; give new ones"));
        bench::FillInOneTransaction(
            books.db, {QString::fromUtf8(kServerFill)
                           .replace(QStringLiteral("@ROWS@"), QStringLiteral("1000000"))});
    } catch (const CDBException& e) {
        return Fail(e.ErrorText());
    }
    const auto value = [&](const char* key) {
        return connectstring::Value(connect, {QString::fromLatin1(key)});
    };
    books.shell = {QStringLiteral("psql"), QStringLiteral("-h"), value("Servername"),
                   QStringLiteral("-p"),   value("Port"),        QStringLiteral("-U"),
                   value("Username"),      QStringLiteral("-d"), value("Database"),
                   QStringLiteral("-At"),  QStringLiteral("-c"), kSql};
    Figures million;
    if (!Measure(books, 1000000, 3, million))
        return false;
    bench::Print("grid_pg_load_1m_s", million.load);
    bench::Print("grid_pg_load_1m_all_rows_s", million.whole);
    bench::Print("grid_pg_psql_1m_s", million.shell);
    bench::Print("grid_pg_load_1m_all_rows_vs_psql", million.whole / million.shell);
    bench::Print("grid_pg_memory_1m_mb", million.memory);
    bench::Print("grid_pg_memory_peak_1m_mb", million.peak);
    bench::Print("grid_pg_memory_1m_closed_mb", million.afterClose);
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    // bench_grid --connect '...': the server case alone, in a process of its own.
    if (argc == 3 && std::strcmp(argv[1], "--connect") == 0) {
        const QString connect = QString::fromLocal8Bit(argv[2]);
        return bench::RunWithWidgets(argc, argv, [&] { return RunServer(connect); });
    }
    return bench::RunWithWidgets(argc, argv, Run);
}

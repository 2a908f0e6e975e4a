// A trace code's check at the sale on books of 1,000,000 codes: the code looked up
// (traceledger::Find) and taken (traceledger::Sell) inside a transaction that commits, a fresh
// code each run, on SQLite and, when a server is given, on PostgreSQL. Then the same code once
// more, which the books must refuse. Prints trace_code_check_ms_<backend> and
// trace_code_refusal_ms_<backend> (medians, milliseconds).
//   bench_trace [--connect STRING]
// The server is --connect's, else APRICOT_PG_CONNECT's (scripts/with-pg.sh sets it); the bench
// makes a database of its own there and drops it at the end.
#include "CDBException.h"
#include "CDatabase.h"
#include "CTransaction.h"
#include "bench_support.h"
#include "schema.h"
#include "trace_ledger.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kCodes = 1000000;
constexpr int kCards = 1000;
constexpr int kPart = 100000; // rows a statement: each must end within the query time-out
constexpr int kRuns = 31;
const char* const kProgram = "bench_trace";

bool Fail(const QString& why) {
    return bench::Fail(kProgram, why);
}

// Code i: "8" and i in 19 digits. Card i % kCards holds it.
QString CodeOf(int i) {
    return QStringLiteral("8%1").arg(i, 19, 10, QLatin1Char('0'));
}

traceledger::CCard CardOf(int i) {
    const int card = i % kCards;
    return {QStringLiteral("追溯药%1").arg(card), QStringLiteral("制药厂%1").arg(card % 13),
            QStringLiteral("0.25g*24粒"), QStringLiteral("2099-12-31"),
            QStringLiteral("B%1").arg(card)};
}

// Codes from..from+count-1, in stock, filled set-based in the connection's dialect.
CStatement FillCodes(CDatabase::Dialect dialect, int from, int count) {
    const bool postgres = dialect == CDatabase::Dialect::PostgreSQL;
    const QString numbers =
        postgres ? QString()
                 : QStringLiteral("WITH RECURSIVE n(i) AS (SELECT ? UNION ALL SELECT i + 1 FROM n "
                                  "WHERE i < ?) ");
    const QString source =
        postgres ? QStringLiteral("generate_series(?, ?) AS n(i)") : QStringLiteral("n");
    const QString code = postgres
                             ? QStringLiteral("'8' || lpad(i::text, 19, '0')")
                             : QStringLiteral("'8' || substr('0000000000000000000' || i, -19)");
    const QString card = QStringLiteral("(i % %1)").arg(kCards);
    return {numbers +
                QStringLiteral("INSERT INTO 追溯码 (追溯码, 名称, 产地, 规格型号, 有效截止日期, "
                               "批号, 进货单号, 入库时间) SELECT %1, '追溯药' || %2, '制药厂' || "
                               "(%2 % 13), '0.25g*24粒', '2099-12-31', 'B' || %2, 'P' || %2, "
                               "'2026-01-02 08:00:00' FROM %3")
                    .arg(code, card, source),
            {qlonglong(from), qlonglong(from + count - 1)}};
}

// One code checked and taken as a sale does, committed when taken; `refusal` says why not.
double CheckAndSell(CDatabase& db, int i, int run, QString& refusal) {
    const traceledger::CMove move{QStringLiteral("bench-%1-%2").arg(i).arg(run),
                                  QStringLiteral("2026-12-09 10:00:00"), QStringLiteral("柜台")};
    return bench::MillisecondsOf([&] {
        CTransaction transaction(db);
        const QString code = CodeOf(i);
        if (!traceledger::Find(db, code)) {
            refusal = QStringLiteral("code %1 is not in the books").arg(code);
            return;
        }
        const traceledger::CStep step = traceledger::Sell(db, {code}, CardOf(i), move);
        refusal = step.refusal;
        if (step.ok())
            transaction.Commit();
    });
}

bool RunOn(CDatabase& db, const char* backend) {
    const double fillS = bench::SecondsOf([&] {
        std::vector<CStatement> fill;
        for (int from = 0; from < kCodes; from += kPart)
            fill.push_back(FillCodes(db.GetDialect(), from, std::min(kPart, kCodes - from)));
        bench::FillInOneTransaction(db, fill);
        // What autovacuum does on a server soon after a load this size.
        if (db.GetDialect() == CDatabase::Dialect::PostgreSQL)
            db.ExecuteSQL(QStringLiteral("ANALYZE"));
    });
    std::fprintf(stderr, "%s: %d codes on %s filled in %.1f s\n", kProgram, kCodes, backend, fillS);

    std::vector<double> checkMs, refusalMs;
    for (int run = 0; run < kRuns; ++run) {
        // Codes far apart, run after run.
        const int i = int((long long)(run + 1) * 32749 % kCodes);
        QString refusal;
        checkMs.push_back(CheckAndSell(db, i, run, refusal));
        if (!refusal.isEmpty())
            return Fail(QStringLiteral("code %1 was not sold: %2").arg(CodeOf(i), refusal));
        refusalMs.push_back(CheckAndSell(db, i, run + kRuns, refusal));
        if (refusal.isEmpty())
            return Fail(QStringLiteral("code %1 was sold twice").arg(CodeOf(i)));
    }
    const std::string suffix = std::string("_") + backend;
    bench::Print(("trace_code_check_ms" + suffix).c_str(), bench::Median(checkMs));
    bench::Print(("trace_code_refusal_ms" + suffix).c_str(), bench::Median(refusalMs));
    return true;
}

bool Run(const QString& server) {
    QTemporaryDir folder;
    if (!folder.isValid())
        return Fail(QStringLiteral("no temporary folder"));
    return bench::OnBothBackends(
        kProgram, folder.filePath(QStringLiteral("trace.db")), server,
        [](CDatabase& db, const char* backend) { return RunOn(db, backend); });
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return Run(bench::ServerConnect(app.arguments().mid(1))) ? 0 : 1;
}

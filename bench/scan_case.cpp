#include "scan_case.h"

#include "CDatabase.h"
#include "bench_support.h"
#include "sales_entry.h"
#include "scan_books.h"

#include <cstdio>
#include <string>
#include <vector>

namespace scancase {

namespace {

constexpr int kSales = 1000000;
constexpr int kRuns = 31;

// Drugs far apart in the catalogue, run after run.
int DrugOf(int run, int offset) {
    return (run * 613 + offset) % scanbooks::kDrugs;
}

// Why a scan of `drug` did not fill the form with its first-out card, or empty.
QString Mismatch(const CSalesEntry::Scanned& scanned, int drug) {
    if (!scanned.filled)
        return QStringLiteral("the scan of %1 filled nothing: %2")
            .arg(scanbooks::CodeOf(drug), scanned.status);
    if (scanned.form.card.name != scanbooks::NameOf(drug) ||
        scanned.form.card.expiry != scanbooks::FirstOutExpiryOf(drug))
        return QStringLiteral("the scan of %1 chose %2 %3, not %4 %5")
            .arg(scanbooks::CodeOf(drug), scanned.form.card.name, scanned.form.card.expiry,
                 scanbooks::NameOf(drug), scanbooks::FirstOutExpiryOf(drug));
    return {};
}

} // namespace

QString Run(CDatabase& db, const char* backend) {
    const double fillS = bench::SecondsOf([&] {
        bench::FillInOneTransaction(db, scanbooks::FillStatements(db.GetDialect(), kSales));
        // What autovacuum does on a server soon after a load this size.
        if (db.GetDialect() == CDatabase::Dialect::PostgreSQL)
            db.ExecuteSQL(QStringLiteral("ANALYZE"));
    });
    std::fprintf(stderr, "bench_entries: scan books on %s filled in %.1f s\n", backend, fillS);

    // One dialog's entry for every scan, as at a counter.
    CSalesEntry entry(&db);
    std::vector<double> formMs, recordedMs;
    for (int run = 0; run < kRuns; ++run) {
        const QString saleType = run % 2 ? CSalesEntry::kSplitPack : CSalesEntry::kWholeBox;
        const QDate today = QDate::currentDate();

        const int shown = DrugOf(run, 0);
        const CSalesEntry::Form form = entry.Cleared(saleType, QDateTime::currentDateTime());
        const QString shownCode = scanbooks::CodeOf(shown);
        CSalesEntry::Scanned scanned;
        formMs.push_back(
            bench::MillisecondsOf([&] { scanned = entry.Scan(form, shownCode, today); }));
        if (const QString why = Mismatch(scanned, shown); !why.isEmpty())
            return why;

        const int sold = DrugOf(run, scanbooks::kDrugs / 2 + 7);
        const CSalesEntry::Form next = entry.Cleared(saleType, QDateTime::currentDateTime());
        const QString soldCode = scanbooks::CodeOf(sold);
        CEntryOutcome outcome;
        recordedMs.push_back(bench::MillisecondsOf([&] {
            scanned = entry.Scan(next, soldCode, today);
            if (scanned.filled)
                outcome = entry.Add(scanned.form);
        }));
        if (const QString why = Mismatch(scanned, sold); !why.isEmpty())
            return why;
        if (!outcome.recorded)
            return QStringLiteral("the scanned sale of %1 was not recorded: %2 %3")
                .arg(soldCode, outcome.message, outcome.status);
    }
    const std::string suffix = std::string("_") + backend;
    bench::Print(("scan_code_to_form_ms" + suffix).c_str(), bench::Median(formMs));
    bench::Print(("scan_to_recorded_ms" + suffix).c_str(), bench::Median(recordedMs));
    return {};
}

} // namespace scancase

// How long one recorded purchase and one recorded counter sale take, lookups included, on books
// of 10,000 stock cards with 10,000 sales and again with 1,000,000 sales; then the scan at the
// counter on books of 20,000 catalogue drugs, 60,000 cards and 1,000,000 sales, on SQLite and,
// when a server is given, on PostgreSQL. Prints one "name value" line per figure (milliseconds,
// the median of several entries).
//   bench_entries [--scan-only] [--connect STRING]
// The server is --connect's, else APRICOT_PG_CONNECT's (scripts/with-pg.sh sets it); the bench
// makes a database of its own there and drops it at the end.
#include "CDBException.h"
#include "CDatabase.h"
#include "bench_support.h"
#include "purchase_entry.h"
#include "sales_entry.h"
#include "scan_case.h"
#include "schema.h"

#include <QStringList>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

namespace {

constexpr int kCards = 10000;
constexpr int kRuns = 31;

// Card i: 药品i from one of seven makers, expiring on one of 28 days after the entries' 2099
// stamps (an expired card would be refused), 1000 boxes at a price.
const bench::CardExpressions kCard{"'药品' || i", "'制药厂' || (i % 7)", "'0.25g*24粒'",
                                   "printf('2126-%02d-%02d', 1 + i % 12, 1 + i % 28)"};

QString PurchasesStatement() {
    return bench::Sequence(0, kCards) +
           QStringLiteral("INSERT INTO 进 (采购日期, 采购人, 大类, 小类, 编号, 名称, 产地, "
                          "规格型号, 批号, 有效截止日期, 进价, 数量) SELECT '2003-01-02', '张明', "
                          "'西药', '抗生素', 'YP' || i, "
                          "%1, %2, %3, 'B' || i, %4, 2.5 + i % 50, 1000 FROM n")
               .arg(kCard.name, kCard.origin, kCard.packModel, kCard.expiry);
}

// Sales one every 30 seconds from 2003 on, spread over the cards, whole boxes and split packs.
// Inside, t counts the sales and i names the card.
QString SalesStatement(int from, int count) {
    return bench::Sequence(from, count) +
           QStringLiteral(
               "INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, 数量, "
               "销售类型, 实收金额, 坏帐) SELECT strftime('%Y-%m-%d %H:%M:%S', '2003-01-01 "
               "08:00:00', '+' || "
               "(t * 30) || ' seconds'), %1, %2, %3, %4, 3.5, CASE WHEN t % 5 = 0 THEN 3 / 20.0 "
               "ELSE 1 END, CASE WHEN t % 5 = 0 THEN '拆零销售' ELSE '整盒销售' END, "
               "CASE WHEN t % 5 = 0 THEN 10.5 ELSE 3.5 END, 0 "
               "FROM (SELECT i AS t, i * 7919 % %5 AS i FROM n)")
               .arg(kCard.name, kCard.origin, kCard.packModel, kCard.expiry,
                    QString::number(kCards));
}

bool Fail(const QString& why) {
    return bench::Fail("bench_entries", why);
}

// The key of card i, as the pickers show it.
CSalesEntry::Card CardOf(int i) {
    return {QStringLiteral("药品%1").arg(i), QStringLiteral("制药厂%1").arg(i % 7),
            QStringLiteral("0.25g*24粒"),
            QString::asprintf("2126-%02d-%02d", 1 + i % 12, 1 + i % 28)};
}

// One counter sale as the pharmacist makes it: each picker left in turn narrows the lists,
// then 添加 looks the card up and records the sale.
bool OneSale(CDatabase& db, int run, double& ms) {
    CSalesEntry entry(&db);
    CSalesEntry::Form form = entry.Cleared(CSalesEntry::kSplitPack,
                                           QDateTime(QDate(2099, 1, 1), QTime(0, 0).addSecs(run)));
    const CSalesEntry::Card card = CardOf(run * 613 % kCards);
    bool ok = true;
    ms = bench::MillisecondsOf([&] {
        CSalesEntry::Card typed;
        typed.name = card.name;
        ok = ok && entry.PickerLists(typed, nullptr).has_value();
        typed.origin = card.origin;
        ok = ok && entry.PickerLists(typed, nullptr).has_value();
        typed.packModel = card.packModel;
        ok = ok && entry.PickerLists(typed, nullptr).has_value();
        typed.expiry = card.expiry;
        ok = ok && entry.PickerLists(typed, nullptr).has_value();
        form.card = card;
        form.price = QStringLiteral("0.5");
        form.quantity = QStringLiteral("3");
        form.amount = entry.AmountWhileTyping(form.price, form.quantity);
        ok = ok && entry.Add(form).recorded;
    });
    return ok;
}

// One batch received onto an existing card, which is the longer way (the card insert is
// refused, then the card is re-averaged).
bool OnePurchase(CDatabase& db, int run, double& ms) {
    const CSalesEntry::Card card = CardOf(run * 389 % kCards);
    CPurchaseEntry::Form form = CPurchaseEntry::Opening(QDate(2099, 1, 1));
    form.purchaser = QStringLiteral("张明");
    form.category = QStringLiteral("西药");
    form.subCategory = QStringLiteral("抗生素");
    form.code = QStringLiteral("YP%1").arg(run);
    form.name = card.name;
    form.origin = card.origin;
    form.packModel = card.packModel;
    form.batch = QStringLiteral("B%1").arg(run);
    form.expiry = QDate::fromString(card.expiry, QStringLiteral("yyyy-MM-dd"));
    form.price = QStringLiteral("3.25");
    form.quantity = QStringLiteral("12");
    bool ok = false;
    ms = bench::MillisecondsOf([&] { ok = CPurchaseEntry(&db).Add(form).recorded; });
    return ok;
}

// Books of 10,000 cards, a purchase for each, and `sales` sales, made in one transaction.
bool MakeBooks(CDatabase& db, const QString& path, int sales) {
    if (const QString why = bench::OpenNewBooks(db, path); !why.isEmpty())
        return Fail(why);
    bench::FillInOneTransaction(
        db, {bench::CardsStatement(kCards, kCard), PurchasesStatement(), SalesStatement(0, sales)});
    return true;
}

bool RunEntries(QTemporaryDir& folder) {
    struct Books {
        const char* name;
        int sales;
        CDatabase db;
        std::vector<double> saleMs, purchaseMs;
    } books[] = {{"10k", 10000, {}, {}, {}}, {"1m", 1000000, {}, {}, {}}};
    try {
        for (Books& b : books) {
            const QString path = folder.filePath(QString::fromUtf8(b.name) + ".db");
            if (!MakeBooks(b.db, path, b.sales))
                return false;
        }
        // The two sets of books take turns, so that the disk's moods fall on both alike.
        for (int run = 0; run < kRuns; ++run) {
            for (Books& b : books) {
                double ms = 0;
                if (!OneSale(b.db, run, ms))
                    return Fail(QStringLiteral("a sale was not recorded"));
                b.saleMs.push_back(ms);
                if (!OnePurchase(b.db, run, ms))
                    return Fail(QStringLiteral("a purchase was not recorded"));
                b.purchaseMs.push_back(ms);
            }
        }
    } catch (const CDBException& e) {
        return Fail(e.ErrorText());
    }
    for (const Books& b : books) {
        std::printf("sale_entry_%s_ms %.3f\n", b.name, bench::Median(b.saleMs));
        std::printf("purchase_entry_%s_ms %.3f\n", b.name, bench::Median(b.purchaseMs));
    }
    return true;
}

bool RunScanCase(CDatabase& db, const char* backend) {
    try {
        if (const QString why = scancase::Run(db, backend); !why.isEmpty())
            return Fail(why);
    } catch (const CDBException& e) {
        return Fail(e.ErrorText());
    }
    return true;
}

bool RunScans(QTemporaryDir& folder, const QString& server) {
    {
        CDatabase db;
        if (const QString why = bench::OpenNewBooks(db, folder.filePath(QStringLiteral("scan.db")));
            !why.isEmpty())
            return Fail(why);
        if (!RunScanCase(db, "sqlite"))
            return false;
    }
    if (server.isEmpty()) {
        std::fputs("bench_entries: no PostgreSQL server (--connect, or APRICOT_PG_CONNECT as "
                   "scripts/with-pg.sh sets it): the scan case on postgresql is skipped\n",
                   stderr);
        return true;
    }
    const bench::CServerBooks books(server);
    if (!books.Error().isEmpty())
        return Fail(books.Error());
    CDatabase db;
    try {
        if (!db.OpenEx(books.Connect()))
            return Fail(QStringLiteral("cannot connect through ") + books.Connect());
        schema::Create(db);
    } catch (const CDBException& e) {
        return Fail(e.ErrorText());
    }
    return RunScanCase(db, "postgresql");
}

} // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QTemporaryDir folder;
    if (!folder.isValid()) {
        Fail(QStringLiteral("no temporary folder"));
        return 1;
    }
    const bool onlyScans = arguments.contains(QStringLiteral("--scan-only"));
    if (!onlyScans && !RunEntries(folder))
        return 1;
    return RunScans(folder, bench::ServerConnect(arguments)) ? 0 : 1;
}

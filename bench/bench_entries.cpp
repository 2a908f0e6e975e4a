// How long one recorded purchase and one recorded counter sale take, lookups included, on books
// of 10,000 stock cards with 10,000 sales and again with 1,000,000 sales. Prints one
// "name value" line per figure (milliseconds, the median of several entries).
#include "CDBException.h"
#include "CDatabase.h"
#include "purchase_entry.h"
#include "sales_entry.h"
#include "schema.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kCards = 10000;
constexpr int kRuns = 31;

// Card i: 药品i from one of seven makers, expiring on one of 28 days, 1000 boxes at a price.
const char* const kCardName = "'药品' || i";
const char* const kCardOrigin = "'制药厂' || (i % 7)";
const char* const kCardPackModel = "'0.25g*24粒'";
const char* const kCardExpiry = "printf('2026-%02d-%02d', 1 + i % 12, 1 + i % 28)";

QString Sequence(int from, int count) {
    return QStringLiteral("WITH RECURSIVE n(i) AS (SELECT %1 UNION ALL SELECT i + 1 FROM n WHERE "
                          "i + 1 < %2) ")
        .arg(from)
        .arg(from + count);
}

QString CardsStatement() {
    return Sequence(0, kCards) +
           QStringLiteral("INSERT INTO 存 SELECT %1, %2, %3, %4, 2.5 + i % 50, 1000 FROM n")
               .arg(kCardName, kCardOrigin, kCardPackModel, kCardExpiry);
}

QString PurchasesStatement() {
    return Sequence(0, kCards) +
           QStringLiteral(
               "INSERT INTO 进 SELECT '2003-01-02', '张明', '西药', '抗生素', 'YP' || i, "
               "%1, %2, %3, 'B' || i, %4, 2.5 + i % 50, 1000 FROM n")
               .arg(kCardName, kCardOrigin, kCardPackModel, kCardExpiry);
}

// Sales one every 30 seconds from 2003 on, spread over the cards, whole boxes and split packs.
// Inside, t counts the sales and i names the card.
QString SalesStatement(int from, int count) {
    return Sequence(from, count) +
           QStringLiteral(
               "INSERT INTO 销 SELECT strftime('%Y-%m-%d %H:%M:%S', '2003-01-01 08:00:00', '+' || "
               "(t * 30) || ' seconds'), %1, %2, %3, %4, 3.5, CASE WHEN t % 5 = 0 THEN 3 / 20.0 "
               "ELSE 1 END, CASE WHEN t % 5 = 0 THEN '拆零销售' ELSE '整盒销售' END, "
               "CASE WHEN t % 5 = 0 THEN 10.5 ELSE 3.5 END, 0 "
               "FROM (SELECT i AS t, i * 7919 % %5 AS i FROM n)")
               .arg(kCardName, kCardOrigin, kCardPackModel, kCardExpiry,
                    QString::number(kCards));
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double MillisecondsOf(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

bool Fail(const QString& why) {
    std::fprintf(stderr, "bench_entries: %s\n", why.toUtf8().constData());
    return false;
}

// The key of card i, as the pickers show it.
CSalesEntry::Card CardOf(int i) {
    return {QStringLiteral("药品%1").arg(i), QStringLiteral("制药厂%1").arg(i % 7),
            QStringLiteral("0.25g*24粒"),
            QString::asprintf("2026-%02d-%02d", 1 + i % 12, 1 + i % 28)};
}

// One counter sale as the pharmacist makes it: each picker left in turn narrows the lists,
// then 添加 looks the card up and records the sale.
bool OneSale(CDatabase& db, int run, double& ms) {
    CSalesEntry entry(&db);
    CSalesEntry::Form form = entry.Cleared(CSalesEntry::kSplitPack,
                                           QDateTime(QDate(2099, 1, 1), QTime(0, 0).addSecs(run)));
    const CSalesEntry::Card card = CardOf(run * 613 % kCards);
    bool ok = true;
    ms = MillisecondsOf([&] {
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
        ok = ok && entry.Add(form, nullptr).recorded;
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
    ms = MillisecondsOf([&] { ok = CPurchaseEntry(&db).Add(form).recorded; });
    return ok;
}

// Books of 10,000 cards, a purchase for each, and `sales` sales, made in one transaction.
bool MakeBooks(CDatabase& db, const QString& path, const QString& extension, int sales) {
    if (!db.OpenEx(schema::SqliteConnectString(path, extension)))
        return Fail(QStringLiteral("cannot open ") + path);
    schema::Create(db);
    db.SetAutoCommit(false);
    db.ExecuteSQL(CardsStatement());
    db.ExecuteSQL(PurchasesStatement());
    db.ExecuteSQL(SalesStatement(0, sales));
    db.CommitTrans();
    db.SetAutoCommit(true);
    return true;
}

bool Run() {
    QTemporaryDir folder;
    if (!folder.isValid())
        return Fail(QStringLiteral("no temporary folder"));
    const QString extension = schema::FindSqliteExtension();
    if (extension.isEmpty())
        return Fail(QStringLiteral("apricot_sqlite.so not found beside the program"));

    struct Books {
        const char* name;
        int sales;
        CDatabase db;
        std::vector<double> saleMs, purchaseMs;
    } books[] = {{"10k", 10000, {}, {}, {}}, {"1m", 1000000, {}, {}, {}}};
    try {
        for (Books& b : books) {
            const QString path = folder.filePath(QString::fromUtf8(b.name) + ".db");
            if (!MakeBooks(b.db, path, extension, b.sales))
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
        std::printf("sale_entry_%s_ms %.3f\n", b.name, Median(b.saleMs));
        std::printf("purchase_entry_%s_ms %.3f\n", b.name, Median(b.purchaseMs));
    }
    return true;
}

} // namespace

int main() {
    return Run() ? 0 : 1;
}

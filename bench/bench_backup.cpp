// The backup of the day beside the counter, on books of 1,000,000 sales: how long after the
// backup starts a counter sale is recorded on the program's own connection (the backup must not
// hold it up), how long one sale takes while the copy is being written, and how long the whole
// backup takes, copy and check. Prints "name value" lines (seconds).
#include "CDBException.h"
#include "CDatabase.h"
#include "background_backup.h"
#include "bench_support.h"
#include "sales_entry.h"
#include "sqlite_journal.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

namespace {

constexpr int kCards = 10000;
constexpr int kSales = 1000000;

const bench::CardExpressions kCard{"'药品' || i", "'制药厂' || (i % 7)", "'0.25g*24粒'",
                                   "printf('2126-%02d-%02d', 1 + i % 12, 1 + i % 28)"};

// Sales one every 30 seconds from 2003 on, spread over the cards.
QString SalesStatement() {
    return bench::Sequence(0, kSales) +
           QStringLiteral("INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, "
                          "数量, 销售类型, 实收金额, 坏帐) SELECT strftime('%Y-%m-%d %H:%M:%S', "
                          "'2003-01-01 08:00:00', '+' || (t * 30) || ' seconds'), %1, %2, %3, "
                          "%4, 3.5, 1, '整盒销售', 3.5, 0 FROM (SELECT i AS t, i * 7919 % %5 AS "
                          "i FROM n)")
               .arg(kCard.name, kCard.origin, kCard.packModel, kCard.expiry,
                    QString::number(kCards));
}

bool Fail(const QString& why) {
    return bench::Fail("bench_backup", why);
}

// One counter sale of card 42 as 添加 records it, at 08:00 plus `minute`.
bool OneSale(CDatabase& db, int minute) {
    CSalesEntry entry(&db);
    CSalesEntry::Form form =
        entry.Cleared(CSalesEntry::kSplitPack, QDateTime(QDate(2099, 1, 1), QTime(8, minute)));
    form.card = {QStringLiteral("药品42"), QStringLiteral("制药厂0"), QStringLiteral("0.25g*24粒"),
                 QStringLiteral("2126-07-15")};
    form.price = QStringLiteral("0.5");
    form.quantity = QStringLiteral("3");
    form.amount = entry.AmountWhileTyping(form.price, form.quantity);
    return entry.Add(form).recorded;
}

bool Run() {
    QTemporaryDir folder;
    if (!folder.isValid())
        return Fail(QStringLiteral("no temporary folder"));
    CDatabase db;
    try {
        if (const QString why = bench::OpenNewBooks(db, folder.filePath("apricot.db"));
            !why.isEmpty())
            return Fail(why);
        bench::FillInOneTransaction(db, {bench::CardsStatement(kCards, kCard), SalesStatement()});
        if (const QString why = sqlitejournal::UseWal(db); !why.isEmpty())
            return Fail(why);
    } catch (const CDBException& e) {
        return Fail(e.ErrorText());
    }

    QObject context;
    std::optional<CBackupOutcome> outcome;
    double total = -1;
    QElapsedTimer clock;
    clock.start();
    auto backup = StartAutomaticBackup(db, QDateTime::currentDateTime(), QStringLiteral("bench"),
                                       &context, [&](const std::optional<CBackupOutcome>& made) {
                                           total = clock.nsecsElapsed() / 1e9;
                                           outcome = made;
                                       });
    if (!backup)
        return Fail(QStringLiteral("no backup was due"));
    bool sold = false;
    double sale = 0, duringCopy = 0;
    try {
        sold = OneSale(db, 0);
        sale = clock.nsecsElapsed() / 1e9;
        // A second sale once the copy is being written, timed on its own.
        const QDir backups(folder.filePath("backups"));
        while (backups.entryList({"*.part"}, QDir::Files | QDir::Hidden).isEmpty() &&
               !backup->Finished())
            QThread::msleep(5);
        duringCopy = bench::SecondsOf([&] { sold = OneSale(db, 1) && sold; });
    } catch (const CDBException& e) {
        return Fail(e.ErrorText());
    }
    if (!sold)
        return Fail(QStringLiteral("a sale was not recorded"));
    if (backup->Finished())
        return Fail(QStringLiteral("the backup ended before the sales: no figure"));
    while (total < 0 && clock.elapsed() < 30 * 60 * 1000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
    if (!outcome || !outcome->ok)
        return Fail(outcome ? outcome->message : QStringLiteral("the backup did not end"));
    bench::Print("backup_sale_while_backing_up_s", sale);
    bench::Print("backup_sale_during_copy_s", duringCopy);
    bench::Print("backup_total_s", total);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return Run() ? 0 : 1;
}

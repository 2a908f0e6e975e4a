// Several counters recording at once on one set of server books: N processes, each a counter
// using the program's own entry classes, record M sales each over a shared set of 20 cards
// (stamped by the program when each is sent, as the sales dialog leaves them) and a purchase
// for every ten sales. Afterwards every card's stock must equal its purchases minus its sales.
// Prints counters_entries_per_s, counters_failed_entries, counters_stock_mismatches,
// counters_stamp_ahead_s (the newest sale's stamp minus the clock when the counters finish);
// the books stay for inspection.
// With --codes every sale scans a box's trace code from a pool that two counters share, walking
// it in the same order, so that both try each code at about the same instant; half the codes
// came in with the opening purchases, the others are first seen at the sale. Each code must be
// sold exactly once, by one recorded sale, the other counter refused: prints
// counters_codes_sold, counters_codes_refused, counters_codes_doubled, counters_codes_lost and
// fails when a code was doubled or lost.
//   bench_counters --connect STRING [--counters N] [--sales M] [--codes]
// The books must be new ones made with apricot-initdb --connect.
#include "CDBException.h"
#include "CDatabase.h"
#include "bench_support.h"
#include "log_check.h"
#include "purchase_entry.h"
#include "result_loader.h"
#include "sales_entry.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kCards = 20;
constexpr double kOpeningBoxes = 1000;
const char* const kProgram = "bench_counters";

// Code j of the pool counters 2p and 2p + 1 share: 20 digits. It belongs to card j % kCards.
QString CodeOf(int pool, int j) {
    return QStringLiteral("77%1%2")
        .arg(pool, 4, 10, QLatin1Char('0'))
        .arg(j, 14, 10, QLatin1Char('0'));
}
const QString kCodesLike = QStringLiteral("77%");

CPurchaseEntry::Form Purchase(int card, const QString& batch, const QString& boxes) {
    CPurchaseEntry::Form form;
    form.purchaseDate = QDate(2030, 1, 1);
    form.purchaser = QStringLiteral("柜台");
    form.category = QStringLiteral("西药");
    form.subCategory = QStringLiteral("测试");
    form.code = QStringLiteral("BC%1").arg(card);
    form.name = QStringLiteral("并发测试药%1").arg(card, 2, 10, QLatin1Char('0'));
    form.origin = QStringLiteral("并发制药厂");
    form.packModel = QStringLiteral("10片");
    form.batch = batch;
    form.expiry = QDate(2099, 12, 31);
    form.price = QStringLiteral("8");
    form.quantity = boxes;
    return form;
}

CSalesEntry::Form Sale(int card) {
    CSalesEntry::Form form;
    form.timestampTyped = false;
    form.card = {QStringLiteral("并发测试药%1").arg(card, 2, 10, QLatin1Char('0')),
                 QStringLiteral("并发制药厂"), QStringLiteral("10片"),
                 QStringLiteral("2099-12-31")};
    form.price = QStringLiteral("12");
    form.saleType = CSalesEntry::kWholeBox;
    form.quantity = QStringLiteral("1");
    form.piecesPerBox = QStringLiteral("1");
    form.amount = CSalesEntry::AmountDue(1, 12);
    return form;
}

QString Value(CDatabase& db, const QString& table, const CStatement& statement) {
    QString failure;
    const std::optional<CResultTable> rows = RunStatement(&db, table, statement, &failure);
    return rows && rows->RowCount() > 0 ? rows->CellText(0, 0) : QString();
}

// A refusal of the code itself, as the counter's status line words it.
bool RefusedCode(const CEntryOutcome& outcome) {
    return (outcome.message + outcome.status).contains(QStringLiteral("追溯码"));
}

// One counter: its sales and purchases, then "recorded failed refused" on stdout.
int RunCounter(const QString& connect, int counter, int sales, bool codes, qint64 startAtMs) {
    CDatabase db;
    try {
        if (!db.OpenEx(connect))
            return 1;
    } catch (const CDBException& e) {
        std::fprintf(stderr, "%s\n", e.ErrorText().toUtf8().constData());
        return 1;
    }
    // Everyone starts together.
    while (QDateTime::currentMSecsSinceEpoch() < startAtMs)
        QThread::msleep(1);
    CSalesEntry salesEntry(&db);
    CPurchaseEntry purchaseEntry(&db);
    int recorded = 0, failed = 0, refused = 0;
    for (int i = 0; i < sales; ++i) {
        const int card = codes ? i % kCards : (counter * 7 + i) % kCards;
        CSalesEntry::Form form = Sale(card);
        if (codes)
            form.traceCodes = {CodeOf(counter / 2, i)};
        const CEntryOutcome sale = salesEntry.Add(form);
        if (sale.recorded)
            ++recorded;
        else if (codes && RefusedCode(sale))
            ++refused;
        else
            ++failed;
        if (!sale.recorded && !(codes && RefusedCode(sale)))
            std::fprintf(stderr, "counter %d sale %d: %s %s\n", counter, i,
                         sale.message.toUtf8().constData(), sale.status.toUtf8().constData());
        if (i % 10 == 9) {
            const CEntryOutcome purchase = purchaseEntry.Add(
                Purchase((counter + i / 10) % kCards, QStringLiteral("C%1-%2").arg(counter).arg(i),
                         QStringLiteral("5")));
            (purchase.recorded ? recorded : failed) += 1;
            if (!purchase.recorded)
                std::fprintf(stderr, "counter %d purchase %d: %s\n", counter, i,
                             purchase.status.toUtf8().constData());
        }
    }
    std::printf("%d %d %d\n", recorded, failed, refused);
    return 0;
}

int Fail(const QString& why) {
    bench::Fail(kProgram, why);
    return 1;
}

// The codes' figures once the counters are done; false when a code was doubled or lost.
bool CheckCodes(CDatabase& db, int counters, int sales, int refused) {
    const auto count = [&db](const QString& table, const QString& sql,
                             const sqlparams::Values& values) {
        return Value(db, table, {sql, values}).toLongLong();
    };
    const QString sold = QStringLiteral("已售");
    const long long pool = (counters + 1) / 2 * (long long)sales;
    const long long codesSold =
        count(QStringLiteral("追溯码"),
              QStringLiteral("SELECT COUNT(*) FROM 追溯码 WHERE 追溯码 LIKE ? AND 状态=?"),
              {kCodesLike, sold});
    // A code taken by two entries, or twice by one.
    const long long doubled = count(
        QStringLiteral("追溯码去向"),
        QStringLiteral("SELECT COUNT(*) FROM (SELECT 追溯码 FROM 追溯码去向 WHERE 追溯码 LIKE ? "
                       "GROUP BY 追溯码 HAVING COUNT(*) > 1) AS d"),
        {kCodesLike});
    // Sales that took a code, and codes sold by no sale in the books.
    const long long salesWithCode = count(
        QStringLiteral("销"),
        QStringLiteral("SELECT COUNT(*) FROM 销 WHERE 单号 IN (SELECT 单号 FROM 追溯码去向 WHERE "
                       "追溯码 LIKE ?)"),
        {kCodesLike});
    const long long soldByNoSale = count(
        QStringLiteral("追溯码"),
        QStringLiteral("SELECT COUNT(*) FROM 追溯码 t WHERE t.追溯码 LIKE ? AND t.状态=? AND NOT "
                       "EXISTS (SELECT 1 FROM 销 s WHERE s.单号=t.出库单号)"),
        {kCodesLike, sold});
    const long long salesInBooks =
        count(QStringLiteral("销"), QStringLiteral("SELECT COUNT(*) FROM 销"), {});
    // Every code of the pools sold once, by one of the sales, and every sale with its code.
    const long long lost = (pool - codesSold) + soldByNoSale +
                           std::abs(salesInBooks - salesWithCode) +
                           std::abs(salesWithCode - codesSold);
    bench::Print("counters_codes_sold", codesSold);
    bench::Print("counters_codes_refused", refused);
    bench::Print("counters_codes_doubled", doubled);
    bench::Print("counters_codes_lost", lost);
    if (doubled != 0 || lost != 0)
        return bench::Fail(kProgram,
                           QStringLiteral("codes: %1 in the pools, %2 sold, %3 sales, %4 of them "
                                          "with a code, %5 sold by no sale, %6 taken twice")
                               .arg(pool)
                               .arg(codesSold)
                               .arg(salesInBooks)
                               .arg(salesWithCode)
                               .arg(soldByNoSale)
                               .arg(doubled));
    return true;
}

int RunBench(const QString& connect, int counters, int sales, bool codes) {
    CDatabase db;
    try {
        if (!db.OpenEx(connect))
            return Fail(QStringLiteral("cannot connect"));
    } catch (const CDBException& e) {
        return Fail(e.ErrorText());
    }
    if (Value(db, QStringLiteral("销"), {QStringLiteral("SELECT COUNT(*) FROM 销"), {}}) != "0" ||
        Value(db, QStringLiteral("进"), {QStringLiteral("SELECT COUNT(*) FROM 进"), {}}) != "0")
        return Fail(
            QStringLiteral("the books are not new: make them with apricot-initdb --connect"));
    // The shared cards, each with stock for every sale to come; with codes, the even codes of
    // every pool came in with them.
    for (int card = 0; card < kCards; ++card) {
        CPurchaseEntry::Form opening =
            Purchase(card, QStringLiteral("opening"), QString::number(kOpeningBoxes));
        for (int pool = 0; codes && pool < (counters + 1) / 2; ++pool)
            for (int j = card; j < sales; j += kCards)
                if (j % 2 == 0)
                    opening.traceCodes << CodeOf(pool, j);
        const CEntryOutcome opened = CPurchaseEntry(&db).Add(opening);
        if (!opened.recorded)
            return Fail(QStringLiteral("the opening purchase failed: ") + opened.status);
    }

    const qint64 startAt = QDateTime::currentMSecsSinceEpoch() + 2000;
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int k = 0; k < counters; ++k) {
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList arguments = {QStringLiteral("--counter"),  QString::number(k),
                                 QStringLiteral("--connect"),  connect,
                                 QStringLiteral("--sales"),    QString::number(sales),
                                 QStringLiteral("--start-at"), QString::number(startAt)};
        if (codes)
            arguments << QStringLiteral("--codes");
        process->start(QCoreApplication::applicationFilePath(), arguments);
        if (!process->waitForStarted())
            return Fail(QStringLiteral("cannot start a counter"));
        processes.push_back(std::move(process));
    }
    int recorded = 0, failed = 0, refused = 0;
    for (auto& process : processes) {
        process->waitForFinished(-1);
        const QStringList said =
            QString::fromUtf8(process->readAllStandardOutput()).trimmed().split(QLatin1Char(' '));
        if (process->exitCode() != 0 || said.size() != 3)
            return Fail(QStringLiteral("a counter stopped"));
        recorded += said[0].toInt();
        failed += said[1].toInt();
        refused += said[2].toInt();
    }
    const qint64 finishedAt = QDateTime::currentMSecsSinceEpoch();
    const double seconds = std::max(1.0, double(finishedAt - startAt)) / 1000.0;
    // Stamps are the clock's when each sale is sent: none can lie ahead of the end.
    const QDateTime newest = QDateTime::fromString(
        Value(db, QStringLiteral("销"), {QStringLiteral("SELECT MAX(日期时间) FROM 销"), {}})
            .left(19),
        QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!newest.isValid())
        return Fail(QStringLiteral("cannot read the newest sale's time stamp"));
    const double stampAhead = double(newest.toMSecsSinceEpoch() - finishedAt) / 1000.0;

    // Every card: stock = purchases - sales.
    QString failure;
    const std::optional<CResultTable> cards = RunStatement(
        &db, QStringLiteral("存"),
        QStringLiteral("SELECT 名称,现有存货量,(SELECT SUM(数量) FROM 进 WHERE 进.名称=存.名称),"
                       "(SELECT COALESCE(SUM(数量),0) FROM 销 WHERE 销.名称=存.名称) FROM 存 "
                       "WHERE 名称 LIKE '并发测试药%'"),
        &failure);
    if (!cards || cards->RowCount() != kCards)
        return Fail(QStringLiteral("cannot read the cards: ") + failure);
    int mismatches = 0;
    for (int row = 0; row < cards->RowCount(); ++row) {
        const double stock = cards->CellText(row, 1).toDouble();
        const double expected =
            cards->CellText(row, 2).toDouble() - cards->CellText(row, 3).toDouble();
        if (std::abs(stock - expected) > 1e-6) {
            ++mismatches;
            std::fprintf(stderr, "%s: stock %s, purchases - sales %g\n",
                         cards->CellText(row, 0).toUtf8().constData(),
                         cards->CellText(row, 1).toUtf8().constData(), expected);
        }
    }
    // Every entry wrote its log row; counters appending at once still leave one chain.
    const std::optional<auditlog::CChainCheck> chain = auditlog::CheckChain(db, &failure);
    if (!chain)
        return Fail(QStringLiteral("cannot read the log: ") + failure);
    if (chain->firstBreak != 0)
        std::fprintf(stderr, "%s\n", chain->why.toUtf8().constData());
    bench::Print("counters_entries_per_s", recorded / seconds);
    bench::Print("counters_failed_entries", failed);
    bench::Print("counters_stock_mismatches", mismatches);
    bench::Print("counters_log_rows", chain->rows);
    bench::Print("counters_log_chain_breaks", chain->firstBreak != 0 ? 1 : 0);
    bench::Print("counters_stamp_ahead_s", stampAhead);
    if (codes && !CheckCodes(db, counters, sales, refused))
        return 1;
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QString connect;
    int counters = 8, sales = 300, counter = -1;
    qint64 startAt = 0;
    bool codes = false, usage = false;
    for (qsizetype i = 0; i < args.size(); i += 2) {
        const QString& key = args[i];
        if (key == QLatin1String("--codes")) {
            codes = true;
            --i;
            continue;
        }
        if (i + 1 >= args.size()) {
            usage = true;
            break;
        }
        const QString& value = args[i + 1];
        if (key == QLatin1String("--connect"))
            connect = value;
        else if (key == QLatin1String("--counters"))
            counters = value.toInt();
        else if (key == QLatin1String("--sales"))
            sales = value.toInt();
        else if (key == QLatin1String("--counter"))
            counter = value.toInt();
        else if (key == QLatin1String("--start-at"))
            startAt = value.toLongLong();
    }
    if (usage || connect.isEmpty() || counters < 1 || sales < 1) {
        std::fputs("usage: bench_counters --connect STRING [--counters N] [--sales M] [--codes]\n",
                   stderr);
        return 2;
    }
    if (counter >= 0)
        return RunCounter(connect, counter, sales, codes, startAt);
    return RunBench(connect, counters, sales, codes);
}

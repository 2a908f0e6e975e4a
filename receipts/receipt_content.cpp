#include "receipt_content.h"

#include "result_loader.h"
#include "sql_text.h"

#include <QRegularExpression>
#include <QSysInfo>
#include <cmath>
#include <map>

namespace {

const QString kNone = QStringLiteral("—");
const QString kStampForm = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QString Money(long long cents) {
    return QString::asprintf("%s%lld.%02lld", cents < 0 ? "-" : "", std::llabs(cents) / 100,
                             std::llabs(cents) % 100);
}

// The shortest text of a stored number: 2, 0.15, 0.333.
QString Plain(double value) {
    return QString::number(value, 'g', 15);
}

// 零售价 to the cent where it is a whole number of cents, else as stored.
QString PriceText(double price) {
    const double cents = price * 100;
    return std::abs(cents - std::round(cents)) < 1e-6 ? Money(std::llround(cents)) : Plain(price);
}

QString QuantityText(const QString& saleType, double boxes, double price, double amount) {
    if (saleType == QStringLiteral("拆零销售")) {
        if (const auto pieces = receiptcontent::SplitPackPieces(amount, price, boxes))
            return QStringLiteral("%1 片").arg(*pieces);
    }
    return QStringLiteral("%1 盒").arg(Plain(boxes));
}

// The card's batch numbers, the latest purchase first, each once.
std::optional<QString> Batches(CDatabase& db, const CReceiptItem& item, QString* failure) {
    const QString sql =
        QStringLiteral("SELECT 批号 FROM 进 WHERE 名称=%1 AND 产地=%2 AND 规格型号=%3 AND "
                       "有效截止日期=%4 ORDER BY 采购日期 DESC")
            .arg(sqltext::Quote(item.name), sqltext::Quote(item.origin),
                 sqltext::Quote(item.packModel), sqltext::Quote(item.expiry));
    const std::optional<CResultTable> rows = RunStatement(&db, QStringLiteral("进"), sql, failure);
    if (!rows)
        return std::nullopt;
    QStringList batches;
    for (int r = 0; r < rows->RowCount(); ++r) {
        const QString batch = rows->CellText(r, 0).trimmed();
        if (!batch.isEmpty() && !batches.contains(batch))
            batches << batch;
    }
    return batches.isEmpty() ? kNone : batches.join(QStringLiteral("、"));
}

} // namespace

QString CReceipt::Total() const {
    return Money(totalCents);
}

namespace receiptcontent {

QString CounterName() {
    QString name = QSysInfo::machineHostName().section(QLatin1Char('.'), 0, 0);
    name.remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9-]")));
    return name.isEmpty() ? QStringLiteral("counter") : name;
}

QString ReceiptNumber(const QDateTime& firstSale, const QString& counter) {
    return firstSale.toString(QStringLiteral("yyyyMMddHHmmss")) + QLatin1Char('-') + counter;
}

QDateTime StampOf(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.size() == 10)
        return QDateTime(QDate::fromString(trimmed, QStringLiteral("yyyy-MM-dd")), QTime(0, 0));
    return QDateTime::fromString(trimmed.left(19), kStampForm);
}

std::optional<long long> SplitPackPieces(double amount, double price, double boxes) {
    if (!(price > 0) || !std::isfinite(amount) || amount < 0)
        return std::nullopt;
    // Every count whose amount, rounded to the cent, is the one recorded.
    const double low = std::ceil((amount - 0.005) / price - 1e-9);
    const double high = std::floor((amount + 0.005) / price + 1e-9);
    const long long nearest = std::llround(amount / price);
    if (high < low || high - low > 100000)
        return nearest;
    for (double n = std::max(low, 0.0); n <= high; ++n) {
        if (boxes > 0) {
            const double perBox = n / boxes;
            if (std::abs(perBox - std::round(perBox)) < 1e-6 * std::max(1.0, perBox))
                return static_cast<long long>(n);
        }
    }
    return nearest;
}

std::optional<CReceipt> Load(CDatabase& db, const QStringList& stamps,
                             const CReceiptSettings& settings, bool reprint, const QDateTime& now,
                             const QString& counter, QString* failure) {
    CReceipt receipt;
    receipt.shopName = settings.shopName;
    receipt.footer = settings.footer;
    receipt.reprint = reprint;
    receipt.printedAt = now.toString(kStampForm);
    receipt.clerk = kNone;

    QStringList literals;
    for (const QString& stamp : stamps) {
        const QDateTime time = StampOf(stamp);
        if (time.isValid())
            literals << sqltext::Quote(sqltext::Timestamp(time));
    }
    literals.removeDuplicates();
    if (literals.isEmpty())
        return receipt;

    const QString sql =
        QStringLiteral("SELECT 日期时间,名称,产地,规格型号,有效截止日期,零售价,数量,销售类型,"
                       "实收金额,营业员 FROM 销 WHERE 日期时间 IN (%1) ORDER BY 日期时间")
            .arg(literals.join(QLatin1Char(',')));
    const std::optional<CResultTable> rows = RunStatement(&db, QStringLiteral("销"), sql, failure);
    if (!rows)
        return std::nullopt;

    QStringList clerks;
    std::map<QStringList, QString> batches; // by card
    for (int r = 0; r < rows->RowCount(); ++r) {
        CReceiptItem item;
        item.stamp = StampOf(rows->CellText(r, 0)).toString(kStampForm);
        item.name = rows->CellText(r, 1);
        item.origin = rows->CellText(r, 2);
        item.packModel = rows->CellText(r, 3);
        item.expiry = rows->CellText(r, 4);
        const double price = rows->CellText(r, 5).toDouble();
        const double boxes = rows->CellText(r, 6).toDouble();
        const double amount = rows->CellText(r, 8).toDouble();
        item.quantity = QuantityText(rows->CellText(r, 7), boxes, price, amount);
        item.unitPrice = PriceText(price);
        item.cents = std::llround(amount * 100);
        item.amount = Money(item.cents);

        const QStringList card{item.name, item.origin, item.packModel, item.expiry};
        auto known = batches.find(card);
        if (known == batches.end()) {
            const std::optional<QString> batch = Batches(db, item, failure);
            if (!batch)
                return std::nullopt;
            known = batches.emplace(card, *batch).first;
        }
        item.batch = known->second;

        const QString clerk = rows->CellText(r, 9).trimmed();
        if (!clerk.isEmpty() && !clerks.contains(clerk))
            clerks << clerk;
        receipt.totalCents += item.cents;
        receipt.items.push_back(std::move(item));
    }
    if (!receipt.items.empty())
        receipt.number = ReceiptNumber(StampOf(receipt.items.front().stamp), counter);
    if (!clerks.isEmpty())
        receipt.clerk = clerks.join(QStringLiteral("、"));
    return receipt;
}

} // namespace receiptcontent

#include "receipt_content.h"

#include "CDBException.h"
#include "money.h"
#include "pack_quantity.h"
#include "payment_settings.h"
#include "result_loader.h"
#include "trace_ledger.h"

#include <QRegularExpression>
#include <QSysInfo>
#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace {

const QString kNone = QStringLiteral("—");
const QString kStampForm = QStringLiteral("yyyy-MM-dd HH:mm:ss");
// Marks in one statement: well below what either database allows.
constexpr int kNumbersPerStatement = 200;

// The shortest text of a stored number: 2, 0.15, 0.333.
QString Plain(double value) {
    return QString::number(value, 'g', 15);
}

// 零售价 to the cent where it is a whole number of cents, else as stored.
QString PriceText(double price) {
    const double cents = price * 100;
    return std::abs(cents - std::round(cents)) < 1e-6 ? money::Amount(price) : Plain(price);
}

// A split sale in the catalogue's unit ("12 粒"); 片 for a drug it does not know.
QString QuantityText(const QString& saleType, double boxes, double price, double amount,
                     const QString& unit) {
    if (saleType == QStringLiteral("拆零销售")) {
        if (const auto pieces = receiptcontent::SplitPackPieces(amount, price, boxes))
            return QStringLiteral("%1 %2").arg(QString::number(*pieces), packquantity::Unit(unit));
    }
    return QStringLiteral("%1 盒").arg(Plain(boxes));
}

// The card's batch numbers, the latest purchase first, each once.
std::optional<QString> Batches(CDatabase& db, const CReceiptItem& item, QString* failure) {
    const CStatement batches{
        QStringLiteral("SELECT 批号 FROM 进 WHERE 名称=? AND 产地=? AND 规格型号=? AND "
                       "有效截止日期=? ORDER BY 采购日期 DESC"),
        {item.name, item.origin, item.packModel, item.expiry}};
    const std::optional<CResultTable> rows =
        RunStatement(&db, QStringLiteral("进"), batches, failure);
    if (!rows)
        return std::nullopt;
    QStringList found;
    for (int r = 0; r < rows->RowCount(); ++r) {
        const QString batch = rows->CellText(r, 0).trimmed();
        if (!batch.isEmpty() && !found.contains(batch))
            found << batch;
    }
    return found.isEmpty() ? kNone : found.join(QStringLiteral("、"));
}

} // namespace

QString CReceipt::Total() const {
    return money::Yuan(totalCents);
}

std::optional<long long> CReceipt::ChangeCents() const {
    if (!tenderedCents || payment != CPaymentSettings::kCash)
        return std::nullopt;
    return *tenderedCents - totalCents;
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

std::optional<CReceipt> Load(CDatabase& db, const QStringList& saleNumbers,
                             const CReceiptSettings& settings, bool reprint, const QDateTime& now,
                             const QString& counter, QString* failure) {
    CReceipt receipt;
    receipt.shopName = settings.shopName;
    receipt.footer = settings.footer;
    receipt.reprint = reprint;
    receipt.printedAt = now.toString(kStampForm);
    receipt.clerk = kNone;

    QStringList numbers;
    for (const QString& number : saleNumbers) {
        if (!number.trimmed().isEmpty())
            numbers << number.trimmed();
    }
    numbers.removeDuplicates();

    struct Sale {
        CReceiptItem item;
        QString receiptNumber;
        QString saleType;
        QString clerk;
        QString payment;
        QString unit; // the catalogue's 拆零单位; empty for a drug it does not know
        double price = 0, boxes = 0, amount = 0;
    };
    std::vector<Sale> sales;
    for (qsizetype first = 0; first < numbers.size(); first += kNumbersPerStatement) {
        const QStringList some = numbers.mid(first, kNumbersPerStatement);
        CStatement select{
            QStringLiteral(
                "SELECT 日期时间,名称,产地,规格型号,有效截止日期,零售价,数量,销售类型,"
                "实收金额,营业员,单号,小票号,冲正单号,支付方式,(SELECT 拆零单位 FROM 药品 WHERE "
                "药品.名称=销.名称 AND 药品.产地=销.产地 AND 药品.规格型号=销.规格型号) FROM 销 "
                "WHERE 单号<>'' AND "
                "(单号 IN (%1) OR 冲正单号 IN (%1))")
                .arg(QStringList(some.size(), QStringLiteral("?")).join(QLatin1Char(','))),
            {}};
        // A sale reversed since comes with its reversing row, so the bill shows it reversed.
        for (int pass = 0; pass < 2; ++pass) {
            for (const QString& number : some)
                select.values.emplace_back(number);
        }
        const std::optional<CResultTable> rows =
            RunStatement(&db, QStringLiteral("销"), select, failure);
        if (!rows)
            return std::nullopt;
        for (int r = 0; r < rows->RowCount(); ++r) {
            Sale sale;
            sale.item.stamp = StampOf(rows->CellText(r, 0)).toString(kStampForm);
            sale.item.name = rows->CellText(r, 1);
            sale.item.origin = rows->CellText(r, 2);
            sale.item.packModel = rows->CellText(r, 3);
            sale.item.expiry = rows->CellText(r, 4);
            sale.price = rows->CellText(r, 5).toDouble();
            sale.boxes = rows->CellText(r, 6).toDouble();
            sale.saleType = rows->CellText(r, 7);
            sale.amount = rows->CellText(r, 8).toDouble();
            sale.clerk = rows->CellText(r, 9).trimmed();
            sale.item.saleNumber = rows->CellText(r, 10);
            sale.receiptNumber = rows->CellText(r, 11).trimmed();
            sale.item.reversal = !rows->CellText(r, 12).isEmpty();
            sale.payment = rows->CellText(r, 13).trimmed();
            sale.unit = rows->CellText(r, 14);
            sales.push_back(std::move(sale));
        }
    }
    // Time order; sales of one second in the order of their numbers, which grow with time.
    std::sort(sales.begin(), sales.end(), [](const Sale& a, const Sale& b) {
        return std::tie(a.item.stamp, a.item.saleNumber) <
               std::tie(b.item.stamp, b.item.saleNumber);
    });

    QStringList clerks, kept, payments;
    std::map<QStringList, QString> batches; // by card
    for (Sale& sale : sales) {
        CReceiptItem& item = sale.item;
        item.quantity =
            item.reversal
                ? QStringLiteral("-") +
                      QuantityText(sale.saleType, -sale.boxes, sale.price, -sale.amount, sale.unit)
                : QuantityText(sale.saleType, sale.boxes, sale.price, sale.amount, sale.unit);
        item.unitPrice = PriceText(sale.price);
        item.cents = money::Cents(sale.amount);
        item.amount = money::Yuan(item.cents);

        const QStringList card{item.name, item.origin, item.packModel, item.expiry};
        auto known = batches.find(card);
        if (known == batches.end()) {
            const std::optional<QString> batch = Batches(db, item, failure);
            if (!batch)
                return std::nullopt;
            known = batches.emplace(card, *batch).first;
        }
        item.batch = known->second;
        if (!item.reversal) {
            try {
                item.traceCodes = traceledger::CodesOf(db, item.saleNumber);
            } catch (const CDBException& e) {
                if (failure)
                    *failure = e.ErrorText();
                return std::nullopt;
            }
        }

        // Who reversed a sale did not sell it.
        if (!item.reversal && !sale.clerk.isEmpty() && !clerks.contains(sale.clerk))
            clerks << sale.clerk;
        // A reversal is paid back as its sale was paid; it carries no method of its own.
        if (!item.reversal && !sale.payment.isEmpty() && !payments.contains(sale.payment))
            payments << sale.payment;
        if (!sale.receiptNumber.isEmpty() && !kept.contains(sale.receiptNumber))
            kept << sale.receiptNumber;
        receipt.totalCents += item.cents;
        receipt.items.push_back(std::move(item));
    }
    if (!kept.isEmpty()) {
        receipt.number = kept.join(QStringLiteral("、"));
    } else if (!receipt.items.empty()) {
        receipt.number = ReceiptNumber(StampOf(receipt.items.front().stamp), counter);
        receipt.numberMade = true;
    }
    if (!clerks.isEmpty())
        receipt.clerk = clerks.join(QStringLiteral("、"));
    receipt.payment = payments.join(QStringLiteral("、"));
    return receipt;
}

} // namespace receiptcontent

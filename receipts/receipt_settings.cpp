#include "receipt_settings.h"

#include <QSettings>

namespace {

const QString kShopKey = QStringLiteral("Receipt/ShopName");
const QString kPaperKey = QStringLiteral("Receipt/Paper");
const QString kPrinterKey = QStringLiteral("Receipt/Printer");
const QString kEachSaleKey = QStringLiteral("Receipt/PrintEachSale");
const QString kFooterKey = QStringLiteral("Receipt/Footer");

} // namespace

const QString CReceiptSettings::kSaveAsPdf = QStringLiteral("保存为 PDF");

CReceiptSettings CReceiptSettings::Load() {
    const QSettings stored;
    CReceiptSettings settings;
    if (stored.contains(kShopKey))
        settings.shopName = stored.value(kShopKey).toString();
    if (stored.contains(kPaperKey))
        settings.paper = PaperOf(stored.value(kPaperKey).toString());
    const QString printer = stored.value(kPrinterKey).toString();
    if (!printer.isEmpty())
        settings.printer = printer;
    const QString eachSale = stored.value(kEachSaleKey).toString().trimmed().toLower();
    settings.printEachSale = eachSale == QLatin1String("true") || eachSale == QLatin1String("1");
    if (stored.contains(kFooterKey))
        settings.footer = stored.value(kFooterKey).toString();
    return settings;
}

void CReceiptSettings::Save() const {
    QSettings stored;
    stored.setValue(kShopKey, shopName);
    stored.setValue(kPaperKey, PaperName(paper));
    stored.setValue(kPrinterKey, printer);
    stored.setValue(kEachSaleKey, printEachSale ? QStringLiteral("true") : QStringLiteral("false"));
    stored.setValue(kFooterKey, footer);
}

QStringList CReceiptSettings::PaperNames() {
    return {QStringLiteral("58 mm"), QStringLiteral("80 mm"), QStringLiteral("A4")};
}

QString CReceiptSettings::PaperName(Paper paper) {
    return PaperNames().value(static_cast<int>(paper));
}

CReceiptSettings::Paper CReceiptSettings::PaperOf(const QString& name) {
    const qsizetype at = PaperNames().indexOf(name.trimmed());
    return at < 0 ? Paper::Mm58 : static_cast<Paper>(at);
}

QString CReceiptSettings::ChangeText(const CReceiptSettings& before) const {
    const auto yesNo = [](bool on) { return on ? QStringLiteral("是") : QStringLiteral("否"); };
    return QStringLiteral("店名：%1 → %2；纸宽：%3 → %4；打印机：%5 → %6；每笔销售后自动打印：%7 → "
                          "%8；页脚：%9 → %10")
        .arg(before.shopName, shopName, PaperName(before.paper), PaperName(paper), before.printer,
             printer, yesNo(before.printEachSale), yesNo(printEachSale), before.footer, footer);
}

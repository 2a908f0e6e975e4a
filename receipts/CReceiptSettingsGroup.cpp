#include "CReceiptSettingsGroup.h"

#include "prompts.h"
#include "receipt_print.h"
#include "receipt_settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

CReceiptSettingsGroup::CReceiptSettingsGroup(Logger log, QWidget* parent)
    : CSettingsGroup(QStringLiteral("小票"), kHeight, std::move(log), parent) {
    m_pShopName = AddField(QStringLiteral("店名："), IdShopName, 7, 11, 24, 90);
    AddLabel(QStringLiteral("纸宽："), 129, 11, 24);
    m_pPaper = new QComboBox(this);
    m_pPaper->addItems(CReceiptSettings::PaperNames());
    Place(m_pPaper, IdPaper, 153, 10, 50);
    AddLabel(QStringLiteral("打印机："), 7, 27, 30);
    m_pPrinter = new QComboBox(this);
    m_pPrinter->addItems(ReceiptPrinterChoices());
    Place(m_pPrinter, IdPrinter, 37, 26, 110);
    m_pPrintEachSale = new QCheckBox(QStringLiteral("每笔销售后自动打印"), this);
    Place(m_pPrintEachSale, IdPrintEachSale, 153, 27, 90);
    m_pFooter = AddField(QStringLiteral("页脚："), IdFooter, 7, 43, 24, 212);
    AddApply(IdApplyReceipt);

    const CReceiptSettings receipt = CReceiptSettings::Load();
    m_pShopName->setText(receipt.shopName);
    m_pPaper->setCurrentIndex(static_cast<int>(receipt.paper));
    // A queue saved on this computer earlier and gone since stays chosen: printing says so.
    if (m_pPrinter->findText(receipt.printer) < 0)
        m_pPrinter->addItem(receipt.printer);
    m_pPrinter->setCurrentText(receipt.printer);
    m_pPrintEachSale->setChecked(receipt.printEachSale);
    m_pFooter->setText(receipt.footer);
}

void CReceiptSettingsGroup::OnApply() {
    const CReceiptSettings before = CReceiptSettings::Load();
    CReceiptSettings receipt = before;
    receipt.shopName = m_pShopName->text().trimmed();
    if (receipt.shopName.isEmpty()) {
        Prompts().Tell(this,
                       QStringLiteral("“店名”不能为空：小票的第一行就是店名。小票设置没有保存。"),
                       CPrompts::Icon::Warning);
        return;
    }
    receipt.paper = CReceiptSettings::PaperOf(m_pPaper->currentText());
    receipt.printer = m_pPrinter->currentText();
    receipt.printEachSale = m_pPrintEachSale->isChecked();
    receipt.footer = m_pFooter->text().trimmed();
    receipt.Save();
    m_pShopName->setText(receipt.shopName);
    m_pFooter->setText(receipt.footer);
    Log(QStringLiteral("小票设置"), QStringLiteral("小票"), receipt.ChangeText(before));
}

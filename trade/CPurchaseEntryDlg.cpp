#include "CPurchaseEntryDlg.h"

#include "CDatePicker.h"
#include "artwork.h"
#include "entry_layout.h"
#include "prompts.h"
#include "shown_outcome.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CPurchaseEntryDlg::CPurchaseEntryDlg(CDatabase* db, QWidget* parent, QString operatorName)
    : QDialog(parent), m_entry(db, std::move(operatorName)) {
    setObjectName(QStringLiteral("185"));
    setWindowTitle(QStringLiteral("入库登记表"));
    setWindowIcon(ProgramIcon());
    BuildControls();

    m_pStatus->setText(CPurchaseEntry::kOpeningStatus);
    m_form = CPurchaseEntry::Opening(QDate::currentDate());
    UpdateData(false);
    FillLists();
    m_pPurchaseDate->setFocus();
}

void CPurchaseEntryDlg::BuildControls() {
    // 条形码 stands on a line of its own above the form, which moves down by kTop.
    constexpr int kTop = 17;
    CEntryLayout layout(this, 312, 188 + kTop);
    layout.Banner(31);

    m_pBarcode = new QLineEdit(this);
    m_pPurchaseDate = new CDatePicker(this);
    m_pPurchaser = NewEntryListBox(this);
    m_pCategory = NewEntryListBox(this);
    m_pSubCategory = NewEntryListBox(this);
    m_pCode = new QLineEdit(this);
    m_pName = new QLineEdit(this);
    m_pOrigin = new QLineEdit(this);
    m_pPackModel = new QLineEdit(this);
    m_pBatch = new QLineEdit(this);
    m_pExpiry = new CDatePicker(this);
    m_pPrice = new QLineEdit(this);
    m_pQuantity = new QLineEdit(this);
    // A little wider than the template's 54 units, so that a date shows beside its arrow.
    constexpr int kFieldWidth = 60;
    // In tab order: 条形码, the left column, then the right one.
    const CFormField fields[] = {
        {m_pBarcode, CPurchaseEntry::IdBarcode, "条形码：", 81, 40, 199, 13},
        {m_pPurchaseDate, CPurchaseEntry::IdPurchaseDate, "采购日期：", 81, 42 + kTop, kFieldWidth,
         13},
        {m_pPurchaser, CPurchaseEntry::IdPurchaser, "采购人：", 81, 58 + kTop, kFieldWidth, 13},
        {m_pCategory, CPurchaseEntry::IdCategory, "大类：", 81, 74 + kTop, kFieldWidth, 13},
        {m_pSubCategory, CPurchaseEntry::IdSubCategory, "小类：", 81, 90 + kTop, kFieldWidth, 13},
        {m_pCode, CPurchaseEntry::IdCode, "编号：", 81, 106 + kTop, kFieldWidth, 13},
        {m_pName, CPurchaseEntry::IdName, "名称：", 81, 122 + kTop, kFieldWidth, 13},
        {m_pOrigin, CPurchaseEntry::IdOrigin, "产地：", 220, 39 + kTop, kFieldWidth, 13},
        {m_pPackModel, CPurchaseEntry::IdPackModel, "规格型号：", 220, 56 + kTop, kFieldWidth, 13},
        {m_pBatch, CPurchaseEntry::IdBatch, "批号：", 220, 72 + kTop, kFieldWidth, 13},
        {m_pExpiry, CPurchaseEntry::IdExpiry, "有效截止日期：", 220, 89 + kTop, kFieldWidth, 13},
        {m_pPrice, CPurchaseEntry::IdPrice, "进价：", 220, 107 + kTop, kFieldWidth, 13},
        {m_pQuantity, CPurchaseEntry::IdQuantity, "数量：", 220, 123 + kTop, kFieldWidth, 13},
    };
    QWidget* const previous = layout.PlaceFields(fields, 200, 140).last;
    m_pBarcode->installEventFilter(this);

    layout.Separator(143 + kTop);
    m_pStatus = layout.StatusLine(5, 149 + kTop, 190, 34);
    m_pAdd = layout.Button(1, QStringLiteral("添加"), 200, 170 + kTop, 50, 14);
    m_pAdd->setDefault(true);
    m_pClose = layout.Button(2, QStringLiteral("关闭"), 251, 170 + kTop, 50, 14);
    setTabOrder(previous, m_pAdd);
    setTabOrder(m_pAdd, m_pClose);

    connect(m_pAdd, &QPushButton::clicked, this, &CPurchaseEntryDlg::OnAdd);
    connect(m_pClose, &QPushButton::clicked, this, &QDialog::reject);
}

void CPurchaseEntryDlg::FillLists() {
    QString failure;
    const CPurchaseEntry::Lists lists = m_entry.OpeningLists(&failure);
    Prompts().TellFailure(this, failure);
    SetComboItems(m_pPurchaser, lists.purchasers);
    SetComboItems(m_pCategory, lists.categories);
    SetComboItems(m_pSubCategory, lists.subCategories);
}

bool CPurchaseEntryDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pBarcode && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OnCode();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CPurchaseEntryDlg::OnCode() {
    UpdateData(true);
    const CPurchaseEntry::CodeLookup lookup = m_entry.LookUpCode(m_form);
    m_pStatus->setText(lookup.status);
    if (!lookup.found) {
        // The form stays as it was, the code ready to be scanned again.
        m_pBarcode->selectAll();
        return;
    }
    m_form = lookup.form;
    UpdateData(false);
    FocusControl(this, CPurchaseEntry::IdBatch);
}

void CPurchaseEntryDlg::UpdateData(bool save) {
    if (save) {
        m_form.barcode = m_pBarcode->text();
        m_form.purchaseDate = m_pPurchaseDate->date();
        m_form.purchaser = m_pPurchaser->currentText();
        m_form.category = m_pCategory->currentText();
        m_form.subCategory = m_pSubCategory->currentText();
        m_form.code = m_pCode->text();
        m_form.name = m_pName->text();
        m_form.origin = m_pOrigin->text();
        m_form.packModel = m_pPackModel->text();
        m_form.batch = m_pBatch->text();
        m_form.expiry = m_pExpiry->date();
        m_form.price = m_pPrice->text();
        m_form.quantity = m_pQuantity->text();
        return;
    }
    m_pBarcode->setText(m_form.barcode);
    m_pPurchaseDate->setDate(m_form.purchaseDate);
    m_pPurchaser->setEditText(m_form.purchaser);
    m_pCategory->setEditText(m_form.category);
    m_pSubCategory->setEditText(m_form.subCategory);
    m_pCode->setText(m_form.code);
    m_pName->setText(m_form.name);
    m_pOrigin->setText(m_form.origin);
    m_pPackModel->setText(m_form.packModel);
    m_pBatch->setText(m_form.batch);
    m_pExpiry->setDate(m_form.expiry);
    m_pPrice->setText(m_form.price);
    m_pQuantity->setText(m_form.quantity);
}

void CPurchaseEntryDlg::OnAdd() {
    UpdateData(true);
    const CEntryOutcome outcome = Answered(this, m_entry.Add(m_form), [this] {
        CPurchaseEntry::Form accepted = m_form;
        accepted.pastExpiryAccepted = true;
        return m_entry.Add(accepted);
    });
    ShowOutcome(this, m_pStatus, outcome);
    if (outcome.recorded) {
        m_form = CPurchaseEntry::Cleared(m_form);
        UpdateData(false);
    }
    FocusControl(this, outcome.focus);
}

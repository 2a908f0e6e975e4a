#include "CPurchaseEntryDlg.h"

#include "CDatePicker.h"
#include "artwork.h"
#include "entry_fields.h"
#include "entry_layout.h"
#include "prompts.h"
#include "shown_outcome.h"
#include "trace_code_list.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

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
    // Every control hands its keys to the dialog first: a scan may come wherever the focus is.
    for (QWidget* control : findChildren<QWidget*>())
        control->installEventFilter(this);
    m_pPurchaseDate->setFocus();
}

void CPurchaseEntryDlg::BuildControls() {
    // 条形码 stands on a line of its own above the form, which moves down by kTop.
    constexpr int kTop = 17;
    // The boxes' trace codes below the form move the status line and buttons down by kCodes.
    constexpr int kCodes = 46;
    CEntryLayout layout(this, 312, 188 + kTop + kCodes);
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
    m_pTraceCode = new QLineEdit(this);
    m_pTraceCode->setPlaceholderText(QStringLiteral("逐盒扫描追溯码"));
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
        {m_pTraceCode, CPurchaseEntry::IdTraceCode, "追溯码：", 81, 142 + kTop, 150, 13},
    };
    QWidget* const previous = layout.PlaceFields(fields, 200, 140).last;

    // Several codes a row; Delete takes the selected one off.
    m_pTraceCount = layout.Text(QString(), 236, 144 + kTop, 70, 10);
    m_pTraceCount->setObjectName(QString::number(CPurchaseEntry::IdTraceCount));
    m_pTraceList = new QListWidget(this);
    m_pTraceList->setFlow(QListView::LeftToRight);
    m_pTraceList->setWrapping(true);
    m_pTraceList->setResizeMode(QListView::Adjust);
    m_pTraceList->setSpacing(2);
    layout.Place(m_pTraceList, CPurchaseEntry::IdTraceList, 81, 158 + kTop, 220, 28);

    layout.Separator(143 + kTop + kCodes);
    m_pStatus = layout.StatusLine(5, 149 + kTop + kCodes, 190, 34);
    m_pAdd = layout.Button(1, QStringLiteral("添加"), 200, 170 + kTop + kCodes, 50, 14);
    m_pAdd->setDefault(true);
    m_pClose = layout.Button(2, QStringLiteral("关闭"), 251, 170 + kTop + kCodes, 50, 14);
    setTabOrder(previous, m_pTraceList);
    setTabOrder(m_pTraceList, m_pAdd);
    setTabOrder(m_pAdd, m_pClose);

    connect(m_pQuantity, &QLineEdit::textEdited, this, &CPurchaseEntryDlg::ShowTraceCodes);
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
    if (event->type() == QEvent::KeyPress && FilterKey(watched, static_cast<QKeyEvent*>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

bool CPurchaseEntryDlg::FilterKey(QObject* watched, QKeyEvent* key) {
    switch (m_scans.Key(watched, key)) {
    case scanburst::CBurst::Step::FirstDigit:
    case scanburst::CBurst::Step::Digit:
        return false;
    case scanburst::CBurst::Step::Code:
        if (m_scans.CodeShape() == scanburst::Shape::TraceCode) {
            OnTraceCode(m_scans.Code());
        } else {
            m_pBarcode->setText(m_scans.Code());
            OnCode();
        }
        return true;
    case scanburst::CBurst::Step::Other:
        break;
    }
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && watched == m_pBarcode) {
        OnCode();
        return true;
    }
    if (enter && watched == m_pTraceCode) {
        OnTraceCode(m_pTraceCode->text());
        return true;
    }
    if ((key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace) &&
        watched == m_pTraceList && m_pTraceList->currentRow() >= 0) {
        const int row = m_pTraceList->currentRow();
        const QString code = m_form.traceCodes.takeAt(row);
        ShowTraceCodes();
        // The next one is selected, for the next Delete.
        m_pTraceList->setCurrentRow(std::min(row, int(m_pTraceList->count()) - 1));
        m_pStatus->setText(QStringLiteral("已删去追溯码 %1").arg(code));
        return true;
    }
    return false;
}

void CPurchaseEntryDlg::OnTraceCode(const QString& typed) {
    if (typed.trimmed().isEmpty())
        return;
    const tracelist::CAdded added =
        tracelist::Added(m_form.traceCodes, typed, tracelist::kEntryCodes);
    if (!added.refusal.isEmpty()) {
        // The code stays to be looked at or scanned again; nothing else changes.
        m_pTraceCode->setText(typed.trimmed());
        m_pTraceCode->selectAll();
        m_pStatus->setText(added.refusal);
        return;
    }
    m_form.traceCodes << added.code;
    m_pTraceCode->clear();
    ShowTraceCodes();
    m_pStatus->setText(QStringLiteral("追溯码 %1 · ").arg(added.code) + m_pTraceCount->text());
    // More codes than boxes are refused at 添加; said at once.
    if (const std::optional<double> boxes = entryfields::ParseNumber(m_pQuantity->text())) {
        if (const QString tooMany =
                tracelist::TooMany(m_form.traceCodes.size(), *boxes, tracelist::kEntryCodes);
            !tooMany.isEmpty())
            m_pStatus->setText(tooMany);
    }
}

void CPurchaseEntryDlg::ShowTraceCodes() {
    m_pTraceList->clear();
    m_pTraceList->addItems(m_form.traceCodes);
    m_pTraceCount->setText(
        tracelist::Counted(m_form.traceCodes.size(), m_pQuantity->text(), tracelist::kEntryCodes));
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
    ShowTraceCodes();
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

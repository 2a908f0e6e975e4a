#include "CWriteOffDlg.h"

#include "artwork.h"
#include "card_pickers.h"
#include "entry_layout.h"
#include "loss_text.h"
#include "prompts.h"
#include "shown_outcome.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>

CWriteOffDlg::CWriteOffDlg(CDatabase* db, QWidget* parent, QString operatorName,
                           const std::optional<CWriteOff::Form>& preset)
    : QDialog(parent), m_writeOff(db, operatorName), m_cards(db) {
    setObjectName(QStringLiteral("writeoff"));
    setWindowTitle(QStringLiteral("报损/退货"));
    setWindowIcon(ProgramIcon());
    BuildControls();
    m_pStatus->setText(CWriteOff::kOpeningStatus);
    m_pPickers->Rebuild();
    ShowCodes();
    // Every control hands its keys to the dialog first: a scan may come wherever the focus is.
    for (QWidget* control : findChildren<QWidget*>())
        control->installEventFilter(this);
    if (preset) {
        m_bPicked = true;
        Fill(*preset);
        m_pPickers->Rebuild();
        FocusControl(this, CWriteOff::IdQuantity);
    } else {
        m_pName->setFocus();
    }
}

bool CWriteOffDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && FilterKey(watched, static_cast<QKeyEvent*>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

bool CWriteOffDlg::FilterKey(QObject* watched, QKeyEvent* key) {
    using Step = scanburst::CBurst::Step;
    const Step step = m_scans.Key(watched, key);
    if (step == Step::Code)
        OnCode(m_scans.Code());
    if (step != Step::Other)
        return step == Step::Code;
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (!enter || watched != m_pTraceCode)
        return false;
    // Typed by hand, or a data matrix's text; a code refused stays to be put right.
    if (!m_pTraceCode->text().trimmed().isEmpty() && OnCode(m_pTraceCode->text()))
        m_pTraceCode->clear();
    return true;
}

void CWriteOffDlg::BuildControls() {
    CEntryLayout layout(this, 312, 226);
    layout.Banner(31);

    m_pName = NewEntryListBox(this);
    m_pOrigin = NewEntryListBox(this);
    m_pPackModel = NewEntryListBox(this);
    m_pExpiry = NewEntryListBox(this);
    m_pQuantity = new QLineEdit(this);
    m_pReason = new QComboBox(this);
    m_pReason->addItems(losstext::WriteOffReasons());
    m_pDestination = new QLineEdit(this);
    m_pDestination->setPlaceholderText(QStringLiteral("供应商、销毁……"));
    m_pNote = new QLineEdit(this);
    m_pTraceCode = new QLineEdit(this);
    m_pTraceCode->setPlaceholderText(QStringLiteral("扫药盒上的追溯码，或输入后按 Enter"));

    // In tab order: the card, then how much leaves, why and where to.
    const CFormField fields[] = {
        {m_pName, CWriteOff::IdName, "名称：", 73, 38, 65, 13},
        {m_pOrigin, CWriteOff::IdOrigin, "产地：", 73, 54, 65, 13},
        {m_pPackModel, CWriteOff::IdPackModel, "规格型号：", 73, 70, 65, 13},
        {m_pExpiry, CWriteOff::IdExpiry, "有效截止日期：", 73, 86, 65, 13},
        {m_pQuantity, CWriteOff::IdQuantity, "数量：", 196, 38, 90, 12},
        {m_pReason, CWriteOff::IdReason, "原因：", 196, 54, 70, 13},
        {m_pDestination, CWriteOff::IdDestination, "去向：", 196, 70, 108, 12},
        {m_pNote, CWriteOff::IdNote, "备注：", 196, 86, 108, 12},
        {m_pTraceCode, CWriteOff::IdTraceCode, "追溯码：", 73, 102, 140, 12},
    };
    QWidget* const previous = layout.PlaceFields(fields, 150, 145).last;
    layout.Text(QStringLiteral("盒"), 288, 38, 12, 12);
    m_pTraceCount = layout.Text(QString(), 216, 103, 88, 10);
    m_pTraceCount->setObjectName(QString::number(CWriteOff::IdTraceCount));
    m_pTraceCodes = new QListWidget(this);
    layout.Place(m_pTraceCodes, CWriteOff::IdTraceCodes, 73, 117, 231, 32);
    m_pTraceCodes->setToolTip(QStringLiteral("选中一个追溯码按 Delete 删去"));

    m_pCardHint = layout.Text(QString(), 6, 153, 300, 10);
    m_pCardHint->setObjectName(QString::number(CWriteOff::IdCardHint));
    layout.Separator(166);
    m_pStatus = layout.StatusLine(6, 174, 188, 46);
    m_pAdd = layout.Button(1, QStringLiteral("添加"), 200, 206, 50, 14);
    m_pAdd->setDefault(true);
    m_pClose = layout.Button(2, QStringLiteral("关闭"), 251, 206, 50, 14);
    setTabOrder(previous, m_pTraceCodes);
    setTabOrder(m_pTraceCodes, m_pAdd);
    setTabOrder(m_pAdd, m_pClose);

    m_pPickers =
        new CCardPickers(m_cards, this, m_pName, m_pOrigin, m_pPackModel, m_pExpiry, m_pCardHint);
    auto* remove =
        new QShortcut(QKeySequence::Delete, m_pTraceCodes, nullptr, nullptr, Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this, &CWriteOffDlg::RemoveCode);
    connect(m_pQuantity, &QLineEdit::textChanged, this, &CWriteOffDlg::ShowCodes);
    connect(m_pAdd, &QPushButton::clicked, this, &CWriteOffDlg::OnAdd);
    connect(m_pClose, &QPushButton::clicked, this, &QDialog::reject);
}

void CWriteOffDlg::Fill(const CWriteOff::Form& form) {
    m_codes = form.traceCodes;
    m_pTraceCode->clear();
    ShowCodes();
    m_pName->setEditText(form.card.name);
    m_pOrigin->setEditText(form.card.origin);
    m_pPackModel->setEditText(form.card.packModel);
    m_pExpiry->setEditText(form.card.expiry);
    m_pQuantity->setText(form.quantity);
    const int reason = m_pReason->findText(form.reason);
    if (reason >= 0)
        m_pReason->setCurrentIndex(reason);
    m_pDestination->setText(form.destination);
    m_pNote->setText(form.note);
}

void CWriteOffDlg::OnAdd() {
    const CStockCard typed = m_pPickers->Typed();
    CWriteOff::Form form;
    form.card = {typed.name, typed.origin, typed.packModel, typed.expiry};
    form.quantity = m_pQuantity->text();
    form.reason = m_pReason->currentText();
    form.destination = m_pDestination->text();
    form.note = m_pNote->text();
    form.traceCodes = m_codes;
    const CEntryOutcome outcome = m_writeOff.Add(form);
    ShowOutcome(this, m_pStatus, outcome);
    if (outcome.recorded) {
        m_strLastRecorded = outcome.status;
        // Back to the list the card was picked from, for the next one.
        if (m_bPicked) {
            accept();
            return;
        }
        // The reason and where to stay for the next batch of the same kind.
        Fill({{}, QString(), form.reason, form.destination, QString(), {}});
        m_pPickers->Rebuild();
        m_pName->setFocus();
        return;
    }
    if (outcome.focus)
        FocusControl(this, outcome.focus);
}

bool CWriteOffDlg::OnCode(const QString& typed) {
    const tracelist::CAdded added = tracelist::Added(m_codes, typed, CWriteOff::kCodes);
    if (!added.refusal.isEmpty()) {
        m_pStatus->setText(added.refusal);
        return false;
    }
    m_codes << added.code;
    ShowCodes();
    m_pStatus->setText(QStringLiteral("追溯码 %1 已扫入").arg(m_codes.last()));
    return true;
}

void CWriteOffDlg::RemoveCode() {
    const int row = m_pTraceCodes->currentRow();
    if (row < 0 || row >= m_codes.size())
        return;
    m_codes.removeAt(row);
    ShowCodes();
}

void CWriteOffDlg::ShowCodes() {
    m_pTraceCodes->clear();
    m_pTraceCodes->addItems(m_codes);
    m_pTraceCount->setText(QStringLiteral("追溯码 ") + tracelist::Counted(m_codes.size(),
                                                                          m_pQuantity->text(),
                                                                          CWriteOff::kCodes));
}

#include "CSalesEntryDlg.h"

#include "CBuyerDlg.h"
#include "CDBException.h"
#include "CDatabase.h"
#include "CPaymentDlg.h"
#include "CPrescriptionDlg.h"
#include "alert_settings.h"
#include "artwork.h"
#include "card_pickers.h"
#include "entry_layout.h"
#include "money.h"
#include "payment_settings.h"
#include "prompts.h"
#include "receipt_print.h"
#include "receipt_settings.h"
#include "shown_outcome.h"
#include "trace_code_list.h"
#include "trace_settings.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

CSalesEntryDlg::CSalesEntryDlg(CDatabase* db, QWidget* parent, QString operatorName,
                               bool mayAttachCodes)
    : QDialog(parent), m_pDatabase(db), m_strOperator(operatorName),
      m_entry(db, std::move(operatorName)), m_bMayAttachCodes(mayAttachCodes) {
    setObjectName(QStringLiteral("187"));
    setWindowTitle(QStringLiteral("前台销售登记表"));
    setWindowIcon(ProgramIcon());
    // Read once per opening: a change in 系统设置 counts from the next one.
    m_entry.SetExpiredLocked(CAlertSettings::Load().expiredLocked);
    QString rulesUnread;
    if (m_pDatabase && m_pDatabase->IsOpen()) {
        try {
            m_entry.SetCodesRequired(tracesettings::CodesRequired(*m_pDatabase));
        } catch (const CDBException& e) {
            // Codes are taken when scanned; the clerk is told they are not demanded.
            rulesUnread = QStringLiteral("读不出“销售须扫追溯码”的设置，本次不强制扫码：") +
                          e.ErrorText().trimmed();
        }
    }
    BuildControls();

    m_pStatus->setText(rulesUnread.isEmpty() ? CSalesEntry::kOpeningStatus : rulesUnread);
    m_pSaleType->setCurrentIndex(0);
    ClearForm();
    RecomputeAmount();
    m_pPickers->Rebuild();
    // Every control hands its keys to the dialog first: a scan may come wherever the focus is.
    for (QWidget* control : findChildren<QWidget*>())
        control->installEventFilter(this);
    m_pScan->setFocus();
}

void CSalesEntryDlg::BuildControls() {
    CEntryLayout layout(this, 312, 220);
    layout.Banner(31);

    m_pScan = new QLineEdit(this);
    m_pTimestamp = new QLineEdit(this);
    m_pName = NewEntryListBox(this);
    m_pOrigin = NewEntryListBox(this);
    m_pPackModel = NewEntryListBox(this);
    m_pExpiry = NewEntryListBox(this);
    m_pPrice = new QLineEdit(this);
    m_pSaleType = new QComboBox(this);
    m_pSaleType->addItems({CSalesEntry::kWholeBox, CSalesEntry::kSplitPack});
    m_pQuantity = new QLineEdit(this);
    m_pPiecesPerBox = new QLineEdit(this);
    m_pAmount = new QLineEdit(this);
    m_pAmount->setReadOnly(true);
    // Reached by a click only.
    m_pAmount->setFocusPolicy(Qt::ClickFocus);

    // In tab order: the card, its price, then how it is sold.
    // In tab order: the scan field, the card, its price, then how it is sold.
    const CFormField fields[] = {
        {m_pScan, IdScan, "扫码：", 73, 38, 140, 12},
        {m_pTimestamp, CSalesEntry::IdTimestamp, "日期时间：", 73, 54, 80, 12},
        {m_pName, CSalesEntry::IdName, "名称：", 73, 70, 65, 13},
        {m_pOrigin, CSalesEntry::IdOrigin, "产地：", 73, 86, 65, 13},
        {m_pPackModel, CSalesEntry::IdPackModel, "规格型号：", 73, 102, 65, 13},
        {m_pExpiry, CSalesEntry::IdExpiry, "有效截止日期：", 73, 118, 65, 13},
        {m_pPrice, CSalesEntry::IdPrice, "零售价：", 73, 135, 30, 12},
        {m_pSaleType, CSalesEntry::IdSaleType, "销售类型：", 216, 54, 58, 13},
        {m_pQuantity, CSalesEntry::IdQuantity, "数量：", 216, 70, 24, 12},
        {m_pPiecesPerBox, CSalesEntry::IdPiecesPerBox, "每盒总量：", 216, 86, 24, 12},
        {m_pAmount, CSalesEntry::IdAmount, "应付金额：", 216, 138, 39, 12},
    };
    const CPlacedFields placed = layout.PlaceFields(fields, 200, 150);
    QWidget* const previous = placed.last;
    m_pScan->setObjectName(QStringLiteral("scan"));
    m_pScan->setPlaceholderText(QStringLiteral("扫条形码或追溯码，或输入后按 Enter"));
    m_pPiecesLabel = placed.labels[9];
    m_pPiecesLabel->setObjectName(QString::number(CSalesEntry::IdPiecesPerBoxLabel));
    layout.Text(QStringLiteral("(格式:1990-12-12)"), 140, 118, 74, 13);
    layout.Text(QStringLiteral("元"), 105, 135, 12, 12);
    layout.Text(QStringLiteral("元"), 257, 138, 12, 12);

    // The card's stock and expiry, and the batch to sell first: not the status line.
    m_pCardHint = layout.Text(QString(), 6, 149, 300, 10);
    m_pCardHint->setObjectName(QString::number(CSalesEntry::IdCardHint));
    layout.Separator(161);
    m_pStatus = layout.StatusLine(6, 170, 188, 29);
    m_pBasket = layout.Text(m_basket.Line(), 6, 204, 188, 12);
    m_pBasket->setObjectName(QString::number(IdBasket));
    m_pCheckout = layout.Button(IdCheckout, QStringLiteral("结账 (F9)"), 200, 168, 101, 14);
    m_pCheckout->setAutoDefault(false);
    m_pAdd = layout.Button(1, QStringLiteral("添加"), 200, 202, 50, 14);
    m_pAdd->setDefault(true);
    m_pClose = layout.Button(2, QStringLiteral("关闭"), 251, 202, 50, 14);
    setTabOrder(previous, m_pAdd);
    setTabOrder(m_pAdd, m_pClose);
    setTabOrder(m_pClose, m_pCheckout);
    auto* checkout = new QShortcut(QKeySequence(Qt::Key_F9), this);
    connect(checkout, &QShortcut::activated, this, &CSalesEntryDlg::OnCheckout);
    connect(m_pCheckout, &QPushButton::clicked, this, &CSalesEntryDlg::OnCheckout);

    m_pPickers = new CCardPickers(m_entry.Cards(), this, m_pName, m_pOrigin, m_pPackModel,
                                  m_pExpiry, m_pCardHint);
    m_pPickers->OnRebuilt([this] { FillFromCatalogue(); });

    connect(m_pSaleType, &QComboBox::currentIndexChanged, this, &CSalesEntryDlg::ApplySaleType);
    // Only what the user types recomputes; the dialog's own writes do not.
    connect(m_pPrice, &QLineEdit::textEdited, this, &CSalesEntryDlg::RecomputeAmount);
    connect(m_pQuantity, &QLineEdit::textEdited, this, &CSalesEntryDlg::RecomputeAmount);
    // The codes scanned against the boxes now typed.
    connect(m_pQuantity, &QLineEdit::textEdited, this, [this](const QString& boxes) {
        if (!m_form.traceCodes.isEmpty() && m_pSaleType->currentText() == CSalesEntry::kWholeBox)
            m_pStatus->setText(
                QStringLiteral("追溯码 ") +
                tracelist::Counted(m_form.traceCodes.size(), boxes, tracelist::kEntryCodes));
    });
    connect(m_pTimestamp, &QLineEdit::textEdited, this, [this] { m_form.timestampTyped = true; });
    connect(m_pAdd, &QPushButton::clicked, this, &CSalesEntryDlg::OnAdd);
    connect(m_pClose, &QPushButton::clicked, this, &QDialog::reject);
}

bool CSalesEntryDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pAmount && event->type() == QEvent::FocusIn)
        RecomputeAmount();
    if (event->type() == QEvent::KeyPress && FilterKey(watched, static_cast<QKeyEvent*>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

bool CSalesEntryDlg::FilterKey(QObject* watched, QKeyEvent* key) {
    switch (m_scans.Key(watched, key)) {
    case scanburst::CBurst::Step::FirstDigit:
        m_bStampTypedBeforeBurst = m_form.timestampTyped;
        return false;
    case scanburst::CBurst::Step::Digit:
        return false;
    case scanburst::CBurst::Step::Code:
        // Digits that went into the time stamp made it count as typed: it is back as it was.
        m_form.timestampTyped = m_bStampTypedBeforeBurst;
        RecomputeAmount();
        OnScan(m_scans.Code());
        return true;
    case scanburst::CBurst::Step::Other:
        break;
    }
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && watched == m_pScan) {
        // Typed by hand, or nothing at all: an Enter here never records a sale.
        OnScan(m_pScan->text());
        return true;
    }
    return false;
}

void CSalesEntryDlg::OnScan(const QString& code) {
    if (code.trimmed().isEmpty()) {
        m_pScan->setFocus();
        return;
    }
    const auto scan = [&] {
        UpdateData(true);
        return m_entry.Scan(m_form, code, CSalesEntry::SaleDay(m_form, QDate::currentDate()));
    };
    CSalesEntry::Scanned scanned = scan();
    // A trace code of the item in the form is one more box of it, not the next item.
    if (scanned.filled && m_bScanPending && !scanned.added) {
        // The item before was scanned and never entered: it is recorded as it stands, and the
        // new one read from the stock as the sale left it.
        OnAdd();
        if (m_bScanPending) {
            // Refused: its reason stays shown, the new code waits in the scan field.
            m_pScan->setText(code.trimmed());
            return;
        }
        scanned = scan();
    }
    m_pStatus->setText(scanned.status);
    if (scanned.unknownCode && m_bMayAttachCodes && OfferToAttach(code))
        return;
    if (!scanned.filled) {
        // The form stays as it was.
        m_pScan->setText(code.trimmed());
        m_pScan->selectAll();
        m_pScan->setFocus();
        return;
    }
    m_form = scanned.form;
    UpdateData(false);
    RecomputeAmount();
    m_pScan->clear();
    m_pPickers->Rebuild();
    m_bScanPending = true;
    // Enter records it; a typed number replaces the 1.
    m_pQuantity->setFocus();
    m_pQuantity->selectAll();
}

bool CSalesEntryDlg::OfferToAttach(const QString& code) {
    UpdateData(true);
    const QString question = m_entry.AttachQuestion(m_form, code);
    if (question.isEmpty() || Prompts().Message(this, question, CPrompts::Icon::Question,
                                                CPrompts::Buttons::YesNo) != CPrompts::Answer::Yes)
        return false;
    if (const QString refused = m_entry.AttachCode(m_form, code, QDateTime::currentDateTime());
        !refused.isEmpty()) {
        Prompts().Tell(this, refused, CPrompts::Icon::Warning);
        return false;
    }
    // Now known: the code takes its drug's first batch as any scan does.
    OnScan(code);
    m_pStatus->setText(QStringLiteral("已登记条形码 %1；").arg(code.trimmed()) + m_pStatus->text());
    return true;
}

void CSalesEntryDlg::FillFromCatalogue() {
    UpdateData(true);
    const CSalesEntry::Form filled = m_entry.WithCatalogue(m_form);
    if (filled.price == m_form.price && filled.piecesPerBox == m_form.piecesPerBox)
        return;
    m_form = filled;
    m_pPrice->setText(m_form.price);
    m_pPiecesPerBox->setText(m_form.piecesPerBox);
    RecomputeAmount();
}

void CSalesEntryDlg::ClearForm() {
    m_form = m_entry.Cleared(m_pSaleType->currentText(), QDateTime::currentDateTime());
    ApplySaleType();
    UpdateData(false);
    // The card is gone from the form, and its stock has changed.
    m_pCardHint->clear();
    m_bScanPending = false;
    m_pScan->setFocus();
}

void CSalesEntryDlg::ApplySaleType() {
    // Only 每盒总量 follows the sale type; what was typed elsewhere stays.
    const std::optional<CSalesEntry::SaleTypeRule> rule =
        CSalesEntry::RuleFor(m_pSaleType->currentText());
    if (!rule)
        return;
    m_pPiecesLabel->setVisible(rule->piecesShown);
    m_pPiecesPerBox->setVisible(rule->piecesShown);
    m_form.piecesPerBox = QString::number(rule->piecesPerBox);
    m_pPiecesPerBox->setText(m_form.piecesPerBox);
}

void CSalesEntryDlg::RecomputeAmount() {
    m_form.amount = m_entry.AmountWhileTyping(m_pPrice->text(), m_pQuantity->text());
    m_pAmount->setText(m_form.amount);
}

void CSalesEntryDlg::UpdateData(bool save) {
    if (save) {
        m_form.timestamp = m_pTimestamp->text();
        m_form.card = m_pPickers->Typed();
        m_form.price = m_pPrice->text();
        m_form.saleType = m_pSaleType->currentText();
        m_form.quantity = m_pQuantity->text();
        m_form.piecesPerBox = m_pPiecesPerBox->text();
        m_form.amount = m_pAmount->text();
        return;
    }
    m_pTimestamp->setText(m_form.timestamp);
    m_pName->setEditText(m_form.card.name);
    m_pOrigin->setEditText(m_form.card.origin);
    m_pPackModel->setEditText(m_form.card.packModel);
    m_pExpiry->setEditText(m_form.card.expiry);
    m_pPrice->setText(m_form.price);
    m_pQuantity->setText(m_form.quantity);
    m_pPiecesPerBox->setText(m_form.piecesPerBox);
    m_pAmount->setText(m_form.amount);
}

bool CSalesEntryDlg::AskRegisters() {
    const CBasketRegisters::CNeeds needs = m_entry.RegistersNeeded(m_form);
    const QDate today = QDate::currentDate();
    if (needs.prescription) {
        CPrescriptionDlg asked(m_entry.PharmacistOnDuty(), m_strOperator, today, this);
        if (asked.exec() != QDialog::Accepted) {
            m_pStatus->setText(QStringLiteral("已取消：处方药须登记处方，没有销售"));
            return false;
        }
        m_entry.SetPrescription(asked.Prescription());
    }
    if (needs.buyer) {
        CBuyerDlg asked(today, this);
        if (asked.exec() != QDialog::Accepted) {
            m_pStatus->setText(QStringLiteral("已取消：含麻黄碱药品须登记购买人，没有销售"));
            return false;
        }
        const ephedrine::CBuyer buyer = asked.Buyer();
        const CSalesEntry::BuyerCheck check =
            m_entry.CheckBuyer(buyer, QDateTime::currentDateTime());
        if (!check.refusal.isEmpty()) {
            Prompts().Tell(this, check.refusal, CPrompts::Icon::Warning);
            m_pStatus->setText(QStringLiteral("已拒绝：该身份证号近期已购买含麻黄碱药品"));
            return false;
        }
        if (!check.question.isEmpty() &&
            Prompts().Message(this, check.question, CPrompts::Icon::Question,
                              CPrompts::Buttons::YesNo) != CPrompts::Answer::Yes) {
            m_pStatus->setText(QStringLiteral("已取消：没有销售"));
            return false;
        }
        m_entry.SetBuyer(buyer);
    }
    return true;
}

void CSalesEntryDlg::OnAdd() {
    // A stamp not typed is taken by the entry when the sale is sent.
    UpdateData(true);
    if (!AskRegisters())
        return;
    const CEntryOutcome outcome = Answered(this, m_entry.Add(m_form), [this] {
        CSalesEntry::Form accepted = m_form;
        accepted.expiredAccepted = true;
        return m_entry.Add(accepted);
    });
    ShowOutcome(this, m_pStatus, outcome);
    if (outcome.recorded) {
        if (!outcome.recordedNumber.isEmpty()) {
            // One receipt for the customer's whole 本单 at 结账; or each sale its own 结账, how
            // it was paid asked and its receipt printed at once.
            m_basket.Add(outcome.recordedNumber, m_form.amount);
            m_pBasket->setText(m_basket.Line());
            if (CReceiptSettings::Load().printEachSale)
                OnCheckout();
        }
        ClearForm();
        return;
    }
    FocusControl(this, outcome.focus);
}

bool CSalesEntryDlg::PrintReceiptOf(const QStringList& numbers,
                                    std::optional<long long> tenderedCents) {
    const CReceiptOutcome printed = PrintReceipt(*m_pDatabase, numbers, m_strOperator, false,
                                                 QDateTime::currentDateTime(), tenderedCents);
    if (!printed.ok) {
        // The sales stay recorded whatever the printer does.
        Prompts().Tell(this, printed.message, CPrompts::Icon::Warning);
        return false;
    }
    m_pStatus->setText(printed.message);
    return true;
}

bool CSalesEntryDlg::OnCheckout() {
    if (m_basket.IsEmpty()) {
        m_pStatus->setText(QStringLiteral("本单还没有销售：先按【添加】登记，再结账"));
        return true;
    }
    CCheckout checkout(m_pDatabase, m_strOperator);
    QString failure;
    const std::optional<long long> due = checkout.Due(m_basket.Numbers(), &failure);
    if (!due) {
        Prompts().Tell(this, QStringLiteral("无法读取本单的销售，没有结账：") + failure.trimmed(),
                       CPrompts::Icon::Warning);
        return false;
    }
    CPaymentDlg asked(*due, CPaymentSettings::Load().methods, this);
    const int answer = asked.exec();
    // The next customer's first key comes here, whatever the window manager does.
    activateWindow();
    if (answer != QDialog::Accepted) {
        m_pStatus->setText(QStringLiteral("结账已取消，本单不变"));
        return false;
    }
    const CPayment payment = asked.Payment();
    const CCheckout::Outcome paid =
        checkout.Pay(m_basket.Numbers(), payment, QDateTime::currentDateTime());
    if (!paid.ok) {
        Prompts().Tell(this, paid.message, CPrompts::Icon::Warning);
        return false;
    }
    // Paid is paid: a receipt that fails can be reprinted, 本单 is done either way.
    const bool printed = PrintReceiptOf(m_basket.Numbers(), payment.tenderedCents);
    m_basket.Clear();
    m_entry.NewBasket();
    m_pBasket->setText(m_basket.Line());
    if (printed) {
        QString said = payment.method;
        if (const std::optional<long long> change = payment.ChangeCents())
            said += QStringLiteral(" 实收 %1 元，%2")
                        .arg(money::Yuan(*payment.tenderedCents), payment::ChangeText(*change));
        m_pStatus->setText(said + QStringLiteral("；") + m_pStatus->text());
    }
    return true;
}

void CSalesEntryDlg::reject() {
    if (!m_basket.IsEmpty() &&
        Prompts().Message(this, m_basket.CloseQuestion(), CPrompts::Icon::Question,
                          CPrompts::Buttons::YesNo) == CPrompts::Answer::Yes &&
        !OnCheckout())
        return;
    QDialog::reject();
}

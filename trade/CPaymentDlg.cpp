#include "CPaymentDlg.h"

#include "artwork.h"
#include "money.h"
#include "payment_settings.h"
#include "prompts.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* LargeLabel(const QString& text, int id, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::number(id));
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 2.2);
    font.setBold(true);
    label->setFont(font);
    return label;
}

bool IsEnter(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

} // namespace

CPaymentDlg::CPaymentDlg(long long dueCents, const QStringList& methods, QWidget* parent)
    : QDialog(parent), m_nDue(dueCents) {
    setObjectName(QStringLiteral("payment"));
    setWindowTitle(QStringLiteral("结账"));
    setWindowIcon(ProgramIcon());

    QLabel* due = LargeLabel(QStringLiteral("应收 %1 元").arg(money::Yuan(dueCents)), IdDue, this);
    m_pMethods = new QListWidget(this);
    m_pMethods->setObjectName(QString::number(IdMethods));
    for (qsizetype i = 0; i < methods.size(); ++i) {
        // Digits reach the first nine; the arrows reach every one.
        auto* item = new QListWidgetItem(i < 9 ? QStringLiteral("%1  %2").arg(i + 1).arg(methods[i])
                                               : QStringLiteral("   ") + methods[i],
                                         m_pMethods);
        item->setData(Qt::UserRole, methods[i]);
    }
    m_pMethods->setCurrentRow(0);
    m_pMethods->installEventFilter(this);

    m_pTenderedLabel = new QLabel(QStringLiteral("实收（元）："), this);
    m_pTendered = new QLineEdit(money::Yuan(dueCents), this);
    m_pTendered->setObjectName(QString::number(IdTendered));
    m_pTendered->installEventFilter(this);
    m_pChange = LargeLabel(QString(), IdChange, this);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    // Enter is the fields' own: a default button would take a half-typed sum.
    for (QPushButton* button : {ok, cancel}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &CPaymentDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPaymentDlg::reject);

    auto* tendered = new QHBoxLayout;
    tendered->addWidget(m_pTenderedLabel);
    tendered->addWidget(m_pTendered, 1);
    auto* page = new QVBoxLayout(this);
    page->addWidget(due);
    page->addWidget(
        new QLabel(QStringLiteral("支付方式（按数字选择，回车确定，Esc 取消）："), this));
    page->addWidget(m_pMethods, 1);
    page->addLayout(tendered);
    page->addWidget(m_pChange);
    page->addWidget(buttons);

    connect(m_pMethods, &QListWidget::currentRowChanged, this, &CPaymentDlg::OnMethodChanged);
    connect(m_pTendered, &QLineEdit::textChanged, this, &CPaymentDlg::ShowChange);
    OnMethodChanged();
    m_pMethods->setFocus();
}

CPayment CPaymentDlg::Payment() const {
    CPayment payment;
    const QListWidgetItem* item = m_pMethods->currentItem();
    payment.method = item ? item->data(Qt::UserRole).toString() : QString();
    payment.dueCents = m_nDue;
    if (payment.IsCash())
        payment.tenderedCents = payment::ParseYuan(m_pTendered->text(), nullptr);
    return payment;
}

void CPaymentDlg::OnMethodChanged() {
    const bool cash = Payment().IsCash();
    m_pTendered->setEnabled(cash);
    m_pTenderedLabel->setEnabled(cash);
    m_pChange->setVisible(cash);
    ShowChange();
}

void CPaymentDlg::ShowChange() {
    QString failure;
    const std::optional<long long> tendered = payment::ParseYuan(m_pTendered->text(), &failure);
    if (!tendered)
        m_pChange->setText(QStringLiteral("找零 —"));
    else if (*tendered < m_nDue)
        m_pChange->setText(QStringLiteral("还差 %1 元").arg(money::Yuan(m_nDue - *tendered)));
    else
        m_pChange->setText(payment::ChangeText(*tendered - m_nDue));
}

void CPaymentDlg::OnMethodEntered() {
    if (!Payment().IsCash()) {
        accept();
        return;
    }
    m_pTendered->setFocus();
    m_pTendered->selectAll();
}

void CPaymentDlg::accept() {
    const CPayment payment = Payment();
    QString refusal = payment.Refusal();
    if (payment.IsCash() && !payment.tenderedCents) {
        // The reason a typed text is no sum says more than "请填写".
        (void)payment::ParseYuan(m_pTendered->text(), &refusal);
    }
    if (!refusal.isEmpty()) {
        Prompts().Tell(this, refusal + QStringLiteral("没有结账。"), CPrompts::Icon::Warning);
        m_pTendered->setFocus();
        m_pTendered->selectAll();
        return;
    }
    QDialog::accept();
}

bool CPaymentDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == m_pMethods) {
        if (IsEnter(key)) {
            OnMethodEntered();
            return true;
        }
        const int digit = key->key() - Qt::Key_1;
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            if (digit >= 0 && digit < std::min(9, m_pMethods->count())) {
                m_pMethods->setCurrentRow(digit);
                return true;
            }
        }
    } else if (watched == m_pTendered && IsEnter(key)) {
        accept();
        return true;
    } else if (watched == m_pTendered && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
        // Back to the methods without the mouse.
        m_pMethods->setFocus();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

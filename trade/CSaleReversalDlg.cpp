#include "CSaleReversalDlg.h"

#include "artwork.h"
#include "prompts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CSaleReversalDlg::CSaleReversalDlg(CSaleReversal& reversal, QWidget* parent,
                                   const QString& saleNumber)
    : QDialog(parent), m_reversal(reversal) {
    setObjectName(QStringLiteral("salereversal"));
    setWindowTitle(QStringLiteral("销售冲正"));
    setWindowIcon(ProgramIcon());

    m_pKey = new QLineEdit(this);
    m_pKey->setObjectName(QStringLiteral("key"));
    m_pKey->setPlaceholderText(QStringLiteral("单号或小票号"));
    m_pFind = new QPushButton(QStringLiteral("查找"), this);
    m_pSales = new QListWidget(this);
    m_pSales->setObjectName(QStringLiteral("sales"));
    m_pSales->setMinimumWidth(560);
    m_pReason = new QLineEdit(this);
    m_pReason->setObjectName(QStringLiteral("reason"));
    m_pReason->setMaxLength(200);
    m_pManager = new QLineEdit(this);
    m_pManager->setObjectName(QStringLiteral("manager"));
    m_pPassword = new QLineEdit(this);
    m_pPassword->setObjectName(QStringLiteral("password"));
    m_pPassword->setEchoMode(QLineEdit::Password);
    m_pStatus = new QLabel(this);
    m_pStatus->setObjectName(QStringLiteral("status"));
    m_pStatus->setWordWrap(true);

    auto* keyRow = new QHBoxLayout;
    keyRow->addWidget(m_pKey, 1);
    keyRow->addWidget(m_pFind);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("单号/小票号："), keyRow);
    form->addRow(QStringLiteral("销售："), m_pSales);
    form->addRow(QStringLiteral("冲正原因："), m_pReason);
    // Only a 营业员 needs a 店长 beside them.
    if (m_reversal.NeedsManager()) {
        form->addRow(QStringLiteral("店长用户名："), m_pManager);
        form->addRow(QStringLiteral("店长密码："), m_pPassword);
    } else {
        m_pManager->hide();
        m_pPassword->hide();
    }
    auto* buttons = new QDialogButtonBox(this);
    m_pReverse = buttons->addButton(QStringLiteral("冲正"), QDialogButtonBox::ActionRole);
    m_pReverse->setObjectName(QStringLiteral("reverse"));
    buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    auto* page = new QVBoxLayout(this);
    page->addLayout(form);
    page->addWidget(m_pStatus);
    page->addWidget(buttons);

    // Enter is taken by the fields below, never passed on to a button as well.
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
    connect(m_pFind, &QPushButton::clicked, this, &CSaleReversalDlg::OnFind);
    connect(m_pKey, &QLineEdit::returnPressed, this, &CSaleReversalDlg::OnFind);
    connect(m_pReverse, &QPushButton::clicked, this, &CSaleReversalDlg::OnReverse);
    // At the keyboard: Enter after the reason (or the 店长's password) reverses.
    connect(m_pReason, &QLineEdit::returnPressed, this, [this] {
        if (m_reversal.NeedsManager())
            m_pManager->setFocus();
        else
            OnReverse();
    });
    connect(m_pManager, &QLineEdit::returnPressed, m_pPassword, qOverload<>(&QWidget::setFocus));
    connect(m_pPassword, &QLineEdit::returnPressed, this, &CSaleReversalDlg::OnReverse);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    m_pStatus->setText(
        QStringLiteral("冲正记下一笔数量和金额为负的销售，把数量退回库存；原销售保留不动。"));
    if (!saleNumber.isEmpty()) {
        m_pKey->setText(saleNumber);
        OnFind();
        m_pReason->setFocus();
    } else {
        m_pKey->setFocus();
    }
}

void CSaleReversalDlg::OnFind() {
    m_pSales->clear();
    m_sales.clear();
    QString failure;
    const std::optional<std::vector<reversalsql::Sale>> found =
        m_reversal.Find(m_pKey->text(), &failure);
    if (!found) {
        Prompts().Tell(this,
                       failure.trimmed().isEmpty() ? QStringLiteral("数据库没有打开")
                                                   : failure.trimmed(),
                       CPrompts::Icon::Warning);
        return;
    }
    m_sales = *found;
    for (const reversalsql::Sale& sale : m_sales)
        m_pSales->addItem(CSaleReversal::Line(sale));
    if (m_sales.empty()) {
        m_pStatus->setText(m_pKey->text().trimmed().isEmpty()
                               ? CSaleReversal::kNoSale
                               : CSaleReversal::kNotFound.arg(m_pKey->text().trimmed()));
        return;
    }
    // A receipt of several sales: the user picks one; a single sale is picked already.
    if (m_sales.size() == 1)
        m_pSales->setCurrentRow(0);
    m_pStatus->setText(
        m_sales.size() == 1
            ? QStringLiteral("找到 1 笔销售")
            : QStringLiteral("小票上有 %1 笔销售，请选中要冲正的一笔").arg(m_sales.size()));
}

void CSaleReversalDlg::OnReverse() {
    const int row = m_pSales->currentRow();
    CSaleReversal::Request request;
    if (row >= 0 && row < int(m_sales.size()))
        request.saleNumber = m_sales[size_t(row)].number;
    request.reason = m_pReason->text();
    request.managerName = m_pManager->text();
    request.managerPassword = m_pPassword->text();
    const CSaleReversal::Outcome outcome =
        m_reversal.Reverse(request, QDateTime::currentDateTime());
    // The password is typed for each reversal, never kept.
    m_pPassword->clear();
    m_pStatus->setText(outcome.message);
    if (outcome.recorded) {
        m_strRecorded = outcome.number;
        m_pReason->clear();
        // The list shows the sale reversed now; the outcome stays what the status says.
        OnFind();
        m_pStatus->setText(outcome.message);
        return;
    }
    Prompts().Tell(this, outcome.message, CPrompts::Icon::Warning);
    using Field = CSaleReversal::Outcome::Field;
    switch (outcome.focus) {
    case Field::Sale:
        m_pKey->setFocus();
        break;
    case Field::Reason:
        m_pReason->setFocus();
        break;
    case Field::Manager:
        m_pManager->setFocus();
        break;
    case Field::None:
        break;
    }
}

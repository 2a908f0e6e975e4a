#include "CChangePasswordDlg.h"

#include "artwork.h"
#include "operator_passwords.h"
#include "prompts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CChangePasswordDlg::CChangePasswordDlg(CDatabase* db, QString name, QWidget* parent,
                                       const QString& knownOld)
    : QDialog(parent), m_pDatabase(db), m_strName(std::move(name)) {
    setWindowTitle(QStringLiteral("修改密码"));
    setWindowIcon(ProgramIcon());
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("操作员："), new QLabel(m_strName, this));
    const std::pair<QLineEdit**, int> boxes[] = {
        {&m_pOld, IdOld}, {&m_pNew, IdNew}, {&m_pRepeated, IdRepeated}};
    const char* labels[] = {"原密码：", "新密码：", "再输入一次："};
    for (std::size_t i = 0; i < std::size(boxes); ++i) {
        auto* box = new QLineEdit(this);
        box->setEchoMode(QLineEdit::Password);
        box->setObjectName(QString::number(boxes[i].second));
        *boxes[i].first = box;
        form->addRow(QString::fromUtf8(labels[i]), box);
    }
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CChangePasswordDlg::OnOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    m_pOld->setText(knownOld);
    (knownOld.isEmpty() ? m_pOld : m_pNew)->setFocus();
}

void CChangePasswordDlg::OnOk() {
    const QString failure = operatorpasswords::Change(m_pDatabase, m_strName, m_pOld->text(),
                                                      m_pNew->text(), m_pRepeated->text());
    if (!failure.isEmpty()) {
        Prompts().Tell(this, failure, CPrompts::Icon::Warning);
        m_pOld->setFocus();
        return;
    }
    Prompts().Tell(this, QStringLiteral("密码已修改。"), CPrompts::Icon::Information);
    accept();
}

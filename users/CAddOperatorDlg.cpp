#include "CAddOperatorDlg.h"

#include "ok_cancel.h"
#include "operator_passwords.h"
#include "operator_role.h"
#include "prompts.h"

#include "artwork.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CAddOperatorDlg::CAddOperatorDlg(CDatabase* db, QString actor, QWidget* parent)
    : QDialog(parent), m_pDatabase(db), m_strActor(std::move(actor)) {
    setWindowTitle(QStringLiteral("添加帐号"));
    setWindowIcon(ProgramIcon());
    m_pName = new QLineEdit(this);
    m_pName->setObjectName(QString::number(IdName));
    m_pRole = new QComboBox(this);
    m_pRole->setObjectName(QString::number(IdRole));
    m_pRole->addItems({operatorrole::kClerk, operatorrole::kManager});
    m_pNew = new QLineEdit(this);
    m_pNew->setObjectName(QString::number(IdNew));
    m_pRepeated = new QLineEdit(this);
    m_pRepeated->setObjectName(QString::number(IdRepeated));
    for (QLineEdit* box : {m_pNew, m_pRepeated})
        box->setEchoMode(QLineEdit::Password);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("用户名："), m_pName);
    form->addRow(QStringLiteral("角色："), m_pRole);
    form->addRow(QStringLiteral("密码："), m_pNew);
    form->addRow(QStringLiteral("再输入一次："), m_pRepeated);
    auto* buttons = AddOkCancel(this, [this] { OnOk(); });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    m_pName->setFocus();
}

void CAddOperatorDlg::OnOk() {
    const operatorpasswords::CPasswordOutcome outcome =
        operatorpasswords::Add(m_pDatabase, m_strActor, m_pName->text(), m_pRole->currentText(),
                               m_pNew->text(), m_pRepeated->text());
    if (!outcome.stored) {
        // What was typed stays, to be corrected.
        Prompts().Tell(this, outcome.message, CPrompts::Icon::Warning);
        return;
    }
    if (!outcome.message.isEmpty())
        Prompts().Tell(this, outcome.message, CPrompts::Icon::Information);
    accept();
}

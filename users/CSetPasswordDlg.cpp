#include "CSetPasswordDlg.h"

#include "operator_passwords.h"
#include "password_form.h"
#include "prompts.h"

#include <QLineEdit>

CSetPasswordDlg::CSetPasswordDlg(CDatabase* db, QString actor, QString name, QWidget* parent)
    : QDialog(parent), m_pDatabase(db), m_strActor(std::move(actor)), m_strName(std::move(name)) {
    const std::vector<QLineEdit*> boxes =
        BuildPasswordForm(this, QStringLiteral("设置密码"), m_strName,
                          {{"新密码：", IdNew}, {"再输入一次：", IdRepeated}}, [this] { OnOk(); });
    m_pNew = boxes[0];
    m_pRepeated = boxes[1];
    m_pNew->setFocus();
}

void CSetPasswordDlg::OnOk() {
    const operatorpasswords::CPasswordOutcome outcome = operatorpasswords::Set(
        m_pDatabase, m_strActor, m_strName, m_pNew->text(), m_pRepeated->text());
    if (!outcome.stored) {
        Prompts().Tell(this, outcome.message, CPrompts::Icon::Warning);
        m_pNew->setFocus();
        return;
    }
    // Stored, though the reply was lost: the user is told how that was found.
    if (!outcome.message.isEmpty())
        Prompts().Tell(this, outcome.message, CPrompts::Icon::Information);
    accept();
}

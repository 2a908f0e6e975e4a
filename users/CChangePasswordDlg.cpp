#include "CChangePasswordDlg.h"

#include "operator_passwords.h"
#include "password_form.h"
#include "prompts.h"

#include <QLineEdit>

CChangePasswordDlg::CChangePasswordDlg(CDatabase* db, QString name, QWidget* parent,
                                       const QString& knownOld)
    : QDialog(parent), m_pDatabase(db), m_strName(std::move(name)) {
    const std::vector<QLineEdit*> boxes =
        BuildPasswordForm(this, QStringLiteral("修改密码"), m_strName,
                          {{"原密码：", IdOld}, {"新密码：", IdNew}, {"再输入一次：", IdRepeated}},
                          [this] { OnOk(); });
    m_pOld = boxes[0];
    m_pNew = boxes[1];
    m_pRepeated = boxes[2];
    m_pOld->setText(knownOld);
    (knownOld.isEmpty() ? m_pOld : m_pNew)->setFocus();
}

void CChangePasswordDlg::OnOk() {
    const operatorpasswords::CPasswordOutcome outcome = operatorpasswords::Change(
        m_pDatabase, m_strName, m_pOld->text(), m_pNew->text(), m_pRepeated->text());
    if (!outcome.stored) {
        Prompts().Tell(this, outcome.message, CPrompts::Icon::Warning);
        m_pOld->setFocus();
        return;
    }
    Prompts().Tell(this,
                   outcome.message.isEmpty() ? QStringLiteral("密码已修改。") : outcome.message,
                   CPrompts::Icon::Information);
    accept();
}

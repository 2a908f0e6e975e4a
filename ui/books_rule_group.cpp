#include "books_rule_group.h"

#include "CDBException.h"
#include "prompts.h"

#include <QCheckBox>

CBooksRuleGroup::CBooksRuleGroup(CRule rule, QWidget* parent)
    : CSettingsGroup(rule.title, kHeight, {}, parent), m_rule(std::move(rule)) {
    m_pBox = new QCheckBox(m_rule.box, this);
    Place(m_pBox, m_rule.boxId, 7, 11, 220);
    AddApply(m_rule.applyId);
    try {
        m_pBox->setChecked(m_rule.read());
    } catch (const CDBException& e) {
        m_pBox->setEnabled(false);
        m_pBox->setToolTip(QStringLiteral("无法读取%1：").arg(m_rule.name) + e.ErrorText());
    }
}

void CBooksRuleGroup::OnApply() {
    if (!m_pBox->isEnabled()) {
        Prompts().Tell(this, QStringLiteral("%1没有读出，不能保存。").arg(m_rule.name),
                       CPrompts::Icon::Warning);
        return;
    }
    try {
        m_rule.write(m_pBox->isChecked());
    } catch (const CDBException& e) {
        Prompts().TellFailure(this,
                              QStringLiteral("%1没有保存：").arg(m_rule.name) + e.ErrorText());
        try {
            m_pBox->setChecked(m_rule.read());
        } catch (const CDBException&) {
            m_pBox->setEnabled(false);
        }
    }
}

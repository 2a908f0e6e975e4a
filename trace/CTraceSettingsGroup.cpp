#include "CTraceSettingsGroup.h"

#include "CDBException.h"
#include "prompts.h"
#include "trace_settings.h"

#include <QCheckBox>
#include <QDateTime>

CTraceSettingsGroup::CTraceSettingsGroup(CDatabase* db, QString operatorName, QWidget* parent)
    // The rule writes its own log row, in the transaction that saves it: no logger here.
    : CSettingsGroup(QStringLiteral("追溯码"), kHeight, {}, parent), m_pDatabase(db),
      m_strOperator(std::move(operatorName)) {
    m_pCodesRequired = new QCheckBox(QStringLiteral("销售须扫追溯码（整盒销售每盒扫一个）"), this);
    Place(m_pCodesRequired, IdCodesRequired, 7, 11, 160);
    AddApply(IdApplyTrace);
    try {
        m_pCodesRequired->setChecked(m_pDatabase && tracesettings::CodesRequired(*m_pDatabase));
    } catch (const CDBException& e) {
        // Unknown is not "off": a 店长 pressing 应用 must not switch the rule off unread.
        m_pCodesRequired->setEnabled(false);
        m_pCodesRequired->setToolTip(QStringLiteral("无法读取追溯码设置：") + e.ErrorText());
    }
}

void CTraceSettingsGroup::OnApply() {
    if (!m_pCodesRequired->isEnabled() || !m_pDatabase) {
        Prompts().Tell(this, QStringLiteral("追溯码设置没有读出，不能保存。"),
                       CPrompts::Icon::Warning);
        return;
    }
    try {
        tracesettings::SetCodesRequired(*m_pDatabase, m_pCodesRequired->isChecked(), m_strOperator,
                                        QDateTime::currentDateTime());
    } catch (const CDBException& e) {
        Prompts().TellFailure(this, QStringLiteral("追溯码设置没有保存：") + e.ErrorText());
        try {
            m_pCodesRequired->setChecked(tracesettings::CodesRequired(*m_pDatabase));
        } catch (const CDBException&) {
            m_pCodesRequired->setEnabled(false);
        }
    }
}

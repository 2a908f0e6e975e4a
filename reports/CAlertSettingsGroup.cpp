#include "CAlertSettingsGroup.h"

#include "alert_settings.h"
#include "prompts.h"

#include <QCheckBox>
#include <QLineEdit>

CAlertSettingsGroup::CAlertSettingsGroup(Logger log, QWidget* parent)
    : CSettingsGroup(QStringLiteral("药品预警"), kHeight, std::move(log), parent) {
    m_pNearExpiryDays = AddField(QStringLiteral("近效期（天）："), IdNearExpiryDays, 7, 11, 52, 36);
    m_pShortageBoxes =
        AddField(QStringLiteral("缺货下限（盒）："), IdShortageBoxes, 105, 11, 60, 36);
    m_pExpiredLocked = new QCheckBox(QStringLiteral("过期药品禁止销售"), this);
    m_pExpiredLocked->setObjectName(QString::number(IdExpiredLocked));
    m_pExpiredLocked->setGeometry(Units().Rect(7, 28, 120, 10));
    AddApply(IdApplyAlerts);

    const CAlertSettings alerts = CAlertSettings::Load();
    m_pNearExpiryDays->setText(alerts.DaysText());
    m_pShortageBoxes->setText(alerts.BoxesText());
    m_pExpiredLocked->setChecked(alerts.expiredLocked);
}

void CAlertSettingsGroup::OnApply() {
    QString failure;
    std::optional<CAlertSettings> alerts =
        CAlertSettings::Parse(m_pNearExpiryDays->text(), m_pShortageBoxes->text(), &failure);
    if (!alerts) {
        Prompts().Tell(this, failure + QStringLiteral("预警设置没有保存。"),
                       CPrompts::Icon::Warning);
        return;
    }
    alerts->expiredLocked = m_pExpiredLocked->isChecked();
    const CAlertSettings before = CAlertSettings::Load();
    alerts->Save();
    m_pNearExpiryDays->setText(alerts->DaysText());
    m_pShortageBoxes->setText(alerts->BoxesText());
    Log(QStringLiteral("预警设置"), QStringLiteral("药品预警"),
        QStringLiteral("近效期（天）：%1 → %2；缺货下限（盒）：%3 → %4；过期药品禁止销售：%5 → %6")
            .arg(before.DaysText(), alerts->DaysText(), before.BoxesText(), alerts->BoxesText(),
                 before.LockedText(), alerts->LockedText()));
}

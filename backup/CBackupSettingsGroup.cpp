#include "CBackupSettingsGroup.h"

#include "backup_settings.h"
#include "prompts.h"

#include <QLineEdit>

CBackupSettingsGroup::CBackupSettingsGroup(Logger log, QWidget* parent)
    : CSettingsGroup(QStringLiteral("数据备份"), kHeight, std::move(log), parent) {
    m_pBackupsKept = AddField(QStringLiteral("保留备份（份）："), IdBackupsKept, 7, 11, 60, 36);
    m_pBackupsKept->setText(QString::number(CBackupSettings::Load().keep));
    AddApply(IdApplyBackups);
}

void CBackupSettingsGroup::OnApply() {
    QString failure;
    const std::optional<int> keep = CBackupSettings::ParseKeep(m_pBackupsKept->text(), &failure);
    if (!keep) {
        Prompts().Tell(this, failure + QStringLiteral("备份设置没有保存。"),
                       CPrompts::Icon::Warning);
        return;
    }
    CBackupSettings settings = CBackupSettings::Load();
    const int before = settings.keep;
    settings.keep = *keep;
    settings.Save();
    m_pBackupsKept->setText(QString::number(*keep));
    Log(QStringLiteral("备份设置"), QStringLiteral("数据备份"),
        QStringLiteral("保留备份（份）：%1 → %2")
            .arg(QString::number(before), QString::number(*keep)));
}

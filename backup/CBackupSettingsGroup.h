#pragma once
// The group "数据备份" of 系统设置: how many automatic backups are kept, saved by its own 应用.
#include "settings_group.h"

class QLineEdit;

class CBackupSettingsGroup : public CSettingsGroup {
    Q_OBJECT
public:
    // Ids of the controls, which are also their objectName.
    enum : int { IdBackupsKept = 1047, IdApplyBackups = 1048 };
    // Its height in dialog units: one line.
    static constexpr int kHeight = 32;

    explicit CBackupSettingsGroup(Logger log, QWidget* parent = nullptr);

    // Saves the count, or says why it is not valid and saves nothing.
    void OnApply() override;

private:
    QLineEdit* m_pBackupsKept = nullptr;
};

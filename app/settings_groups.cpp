#include "settings_groups.h"

#include "CAlertSettingsGroup.h"
#include "CBackupSettingsGroup.h"
#include "CPaymentSettingsGroup.h"
#include "CReceiptSettingsGroup.h"
#include "CSettingsDlg.h"

void AddSettingsGroups(CSettingsDlg& dialog) {
    const CSettingsDlg::Logger log = dialog.SettingsLogger();
    dialog.AddGroup(new CAlertSettingsGroup(log));
    dialog.AddGroup(new CBackupSettingsGroup(log));
    dialog.AddGroup(new CReceiptSettingsGroup(log));
    dialog.AddGroup(new CPaymentSettingsGroup(log));
}

#include "settings_groups.h"

#include "CAlertSettingsGroup.h"
#include "CBackupSettingsGroup.h"
#include "CPaymentSettingsGroup.h"
#include "CReceiptSettingsGroup.h"
#include "CRegisterSettingsGroup.h"
#include "CSettingsDlg.h"
#include "CTraceSettingsGroup.h"

void AddSettingsGroups(CSettingsDlg& dialog, CDatabase* db, const QString& operatorName) {
    const CSettingsDlg::Logger log = dialog.SettingsLogger();
    dialog.AddGroup(new CAlertSettingsGroup(log));
    dialog.AddGroup(new CBackupSettingsGroup(log));
    dialog.AddGroup(new CReceiptSettingsGroup(log));
    dialog.AddGroup(new CPaymentSettingsGroup(log));
    dialog.AddGroup(new CTraceSettingsGroup(db, operatorName));
    dialog.AddGroup(new CRegisterSettingsGroup(db, operatorName));
}

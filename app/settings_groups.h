#pragma once
// 系统设置 as the program shows it: the operators, then each subsystem's own group.
#include <QString>

class CDatabase;
class CSettingsDlg;

// Hands the subsystems' groups to `dialog`, in their order on the page. `db` and `operatorName`
// are the dialog's: the rules kept in the books are saved there, under that name.
void AddSettingsGroups(CSettingsDlg& dialog, CDatabase* db, const QString& operatorName);

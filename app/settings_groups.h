#pragma once
// 系统设置 as the program shows it: the operators, then each subsystem's own group.
class CSettingsDlg;

// Hands the subsystems' groups to `dialog`, in their order on the page.
void AddSettingsGroups(CSettingsDlg& dialog);

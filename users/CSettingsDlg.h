#pragma once
// 系统设置: the operator accounts in an editable grid, whether the program starts with the
// system, and under them the groups the subsystems bring, each with its own 应用. Every change
// takes effect at once; closing writes nothing further.
#include "CAutoRunEntry.h"
#include "CGridDialog.h"
#include "settings_group.h"

#include <optional>

class CDatabase;
class QCheckBox;
class QPushButton;
class q_grid;

class CSettingsDlg : public CGridDialog {
    Q_OBJECT
public:
    // Ids of the controls, which are also their objectName.
    enum : int {
        IdPlaceholder = 1042,
        IdReload = 3,
        IdSave = 6,
        IdDelete = 5,
        IdAdd = 4,
        IdAutoRun = 1043,
        IdClose = 2,
        IdSetPassword = 1049,
        IdPharmacist = 1051,
    };

    using Logger = CSettingsGroup::Logger;

    // `db` is the shared connection, borrowed; changes are logged under `operatorName`.
    explicit CSettingsDlg(CDatabase* db, QWidget* owner = nullptr,
                          CAutoRunEntry autoRun = CAutoRunEntry(), QString operatorName = {});

    // Takes `group` in (the dialog owns it from now) under the groups before it, as tall as it
    // says, and grows the dialog to hold it.
    void AddGroup(CSettingsGroup* group);
    // The log row of a group's change, under this dialog's operator; a failure to write it is
    // told, the settings stay saved.
    Logger SettingsLogger();

    q_grid* Grid() const { return m_pGrid; }
    QCheckBox* AutoRunBox() const { return m_pAutoRun; }
    QCheckBox* PharmacistBox() const { return m_pPharmacist; }

    void OnReload();
    void OnSave();
    void OnDelete();
    // 添加: a new operator with role and password, in a dialog of its own.
    void OnAdd();
    void OnAutoRunClicked();
    // 设置密码...: a new password for the selected operator, in a dialog of its own.
    void OnSetPassword();
    // 执业药师: flags the selected operator (or clears the flag), logged.
    void OnPharmacistClicked();

    // The width of the name column after a good load.
    static constexpr int kNameColumnWidth = 200;

private:
    void BuildControls();
    // The dialog's height, 开机自动运行 and 关闭 under the last group.
    void PlaceBottom();
    void LogSettings(const QString& action, const QString& object, const QString& content);
    void CreateGrid();
    void ApplyLoadedLook();
    // Controls to fields (true) or fields to controls (false).
    void UpdateData(bool save);
    // The rows of 操作员 in the database now; nullopt when they cannot be counted (the reason
    // has been shown).
    std::optional<int> CountOperators();

    // The selected row when it is saved in the books; -1 (and why, shown) otherwise.
    int SavedSelectedRow();
    // 执业药师 shows what the books say of the selected saved operator; off without one.
    void ShowPharmacist();

    CDatabase* m_pDatabase;
    CAutoRunEntry m_autoRun;
    QString m_strOperator;
    bool m_bAutoRun = false;
    bool m_bGridReady = false; // the first load succeeded: editing is on

    q_grid* m_pGrid = nullptr; // child of this dialog
    QCheckBox* m_pAutoRun = nullptr;
    QCheckBox* m_pPharmacist = nullptr;
    QPushButton* m_pClose = nullptr;
    int m_nGroupsBottom = 0; // dialog units: where the next group goes
};

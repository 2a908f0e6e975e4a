#pragma once
// 系统设置: the operator accounts in an editable grid, and whether the program starts with the
// system. Every change takes effect at once; closing writes nothing further.
#include "CAutoRunEntry.h"
#include "CGridDialog.h"

#include <optional>

class CDatabase;
class QCheckBox;
class QComboBox;
class QLineEdit;
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
        IdNearExpiryDays = 1044,
        IdShortageBoxes = 1045,
        IdApplyAlerts = 1046,
        IdBackupsKept = 1047,
        IdApplyBackups = 1048,
        IdSetPassword = 1049,
        IdExpiredLocked = 1050,
        IdShopName = 1051,
        IdPaper = 1052,
        IdPrinter = 1053,
        IdPrintEachSale = 1054,
        IdFooter = 1055,
        IdApplyReceipt = 1056,
    };

    // `db` is the shared connection, borrowed; changes are logged under `operatorName`.
    explicit CSettingsDlg(CDatabase* db, QWidget* owner = nullptr,
                          CAutoRunEntry autoRun = CAutoRunEntry(), QString operatorName = {});

    q_grid* Grid() const { return m_pGrid; }
    QCheckBox* AutoRunBox() const { return m_pAutoRun; }

    void OnReload();
    void OnSave();
    void OnDelete();
    void OnAdd();
    void OnAutoRunClicked();
    // 设置密码...: a new password for the selected operator, in a dialog of its own.
    void OnSetPassword();
    // 应用 of 药品预警: saves both thresholds and the lock on expired stock, or says which
    // threshold is not valid and saves nothing.
    void OnApplyAlerts();
    // 应用 of 数据备份: saves how many automatic backups are kept, or says why not.
    void OnApplyBackups();
    void OnApplyReceipt();

    // The width of the name column after a good load.
    static constexpr int kNameColumnWidth = 200;

private:
    void BuildControls();
    void BuildAlertGroup();
    void BuildBackupGroup();
    void BuildReceiptGroup();
    // One row of the log for a change of the settings below the operator list; a failure to
    // write it is told, the settings stay saved.
    void LogSettings(const QString& action, const QString& object, const QString& content);
    // A label and a short edit on one line of a group, at dialog units.
    QLineEdit* AddGroupField(const char* label, int id, int x, int labelWidth, int y);
    void CreateGrid();
    void ApplyLoadedLook();
    // Controls to fields (true) or fields to controls (false).
    void UpdateData(bool save);
    // The rows of 操作员 in the database now; nullopt when they cannot be counted (the reason
    // has been shown).
    std::optional<int> CountOperators();

    // The selected row when it is saved in the books; -1 (and why, shown) otherwise.
    int SavedSelectedRow();

    CDatabase* m_pDatabase;
    CAutoRunEntry m_autoRun;
    QString m_strOperator;
    bool m_bAutoRun = false;
    bool m_bGridReady = false; // the first load succeeded: editing is on

    q_grid* m_pGrid = nullptr; // child of this dialog
    QCheckBox* m_pAutoRun = nullptr;
    QLineEdit* m_pNearExpiryDays = nullptr;
    QLineEdit* m_pShortageBoxes = nullptr;
    QCheckBox* m_pExpiredLocked = nullptr;
    QLineEdit* m_pShopName = nullptr;
    QComboBox* m_pPaper = nullptr;
    QComboBox* m_pPrinter = nullptr;
    QCheckBox* m_pPrintEachSale = nullptr;
    QLineEdit* m_pFooter = nullptr;
    QLineEdit* m_pBackupsKept = nullptr;
};

#pragma once
// 导入期初库存: a spreadsheet of the old program's stock chosen, every row shown with what it will
// become or, in red, why it cannot be taken, a summary, and the import only when no row is
// faulty or the 店长 ticks 跳过有误的行.
#include "import_preview.h"

#include <QDialog>

class CDatabase;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class CImportDlg : public QDialog {
    Q_OBJECT
public:
    // Ids of the controls, which are also their objectName.
    enum : int {
        IdFile = 1431,
        IdChoose = 1432,
        IdRows = 1433,
        IdSummary = 1434,
        IdSkipFaulty = 1435,
        IdImport = 1436,
        IdReadAs = 1437,
    };

    // `db` is borrowed; the import is logged under `operatorName`.
    CImportDlg(CDatabase* db, QString operatorName, QWidget* parent = nullptr);

    // Reads `path` and shows its preview.
    void Load(const QString& path);
    // 选择文件...
    void OnChoose();
    // 导入: writes the good rows in one transaction; true when they landed.
    bool OnImport();

    const CImportPreview& Preview() const { return m_preview; }

private:
    void ShowPreview();
    void UpdateImportButton();

    CDatabase* m_pDatabase;
    QString m_strOperator;
    CImportPreview m_preview;
    QLineEdit* m_pFile = nullptr;
    QLabel* m_pReadAs = nullptr;
    QTableWidget* m_pRows = nullptr;
    QLabel* m_pSummary = nullptr;
    QCheckBox* m_pSkipFaulty = nullptr;
    QPushButton* m_pImport = nullptr;
};

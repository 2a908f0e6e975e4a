#pragma once
// 入库登记表: records incoming batches, one per press of 添加, until 关闭.
#include "purchase_entry.h"
#include "scan_catcher.h"

#include <QDialog>

class CDatabase;
class QComboBox;
class QDateEdit;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class CPurchaseEntryDlg : public QDialog {
    Q_OBJECT
public:
    // Reads the opening lists through `db` (borrowed).
    explicit CPurchaseEntryDlg(CDatabase* db, QWidget* parent = nullptr, QString operatorName = {});

protected:
    // Enter in 条形码 looks the code up and Enter in 追溯码 lists the code, instead of pressing
    // 添加; a scanner's burst anywhere is a barcode to look up or a box's trace code.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    bool FilterKey(QObject* watched, QKeyEvent* key);
    void OnCode();
    // A box's trace code, scanned or typed: listed unless it is no code or listed already.
    void OnTraceCode(const QString& typed);
    // The codes listed and their count against 数量.
    void ShowTraceCodes();
    void FillLists();
    void OnAdd();
    // Controls to the form (true) or the form to the controls (false).
    void UpdateData(bool save);

    CPurchaseEntry m_entry;
    CPurchaseEntry::Form m_form;

    QLineEdit* m_pBarcode = nullptr;
    QDateEdit* m_pPurchaseDate = nullptr;
    QComboBox* m_pPurchaser = nullptr;
    QComboBox* m_pCategory = nullptr;
    QComboBox* m_pSubCategory = nullptr;
    QLineEdit* m_pCode = nullptr;
    QLineEdit* m_pName = nullptr;
    QLineEdit* m_pOrigin = nullptr;
    QLineEdit* m_pPackModel = nullptr;
    QLineEdit* m_pBatch = nullptr;
    QDateEdit* m_pExpiry = nullptr;
    QLineEdit* m_pPrice = nullptr;
    QLineEdit* m_pQuantity = nullptr;
    QLineEdit* m_pTraceCode = nullptr;
    QListWidget* m_pTraceList = nullptr;
    QLabel* m_pTraceCount = nullptr;
    QLabel* m_pStatus = nullptr;
    QPushButton* m_pAdd = nullptr;
    QPushButton* m_pClose = nullptr;

    CScanCatcher m_scans;
};

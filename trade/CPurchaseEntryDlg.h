#pragma once
// 入库登记表: records incoming batches, one per press of 添加, until 关闭.
#include "purchase_entry.h"

#include <QDialog>

class CDatabase;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

class CPurchaseEntryDlg : public QDialog {
    Q_OBJECT
public:
    // Reads the opening lists through `db` (borrowed).
    explicit CPurchaseEntryDlg(CDatabase* db, QWidget* parent = nullptr, QString operatorName = {});

protected:
    // Enter in 条形码 looks the code up instead of pressing 添加.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void OnCode();
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
    QLabel* m_pStatus = nullptr;
    QPushButton* m_pAdd = nullptr;
    QPushButton* m_pClose = nullptr;
};

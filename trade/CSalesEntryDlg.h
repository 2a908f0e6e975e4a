#pragma once
// 前台销售登记表: records counter sales, one per press of 添加, until 关闭.
#include "sales_entry.h"

#include <QDialog>

class CDatabase;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CSalesEntryDlg : public QDialog {
    Q_OBJECT
public:
    // Reads the stock cards for the pickers through `db` (borrowed).
    explicit CSalesEntryDlg(CDatabase* db, QWidget* parent = nullptr, QString operatorName = {});

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void ClearForm();
    void ApplySaleType();
    void RecomputeAmount();
    void RebuildPickerLists();
    void OnAdd();
    // Controls to the form (true) or the form to the controls (false).
    void UpdateData(bool save);
    CSalesEntry::Card TypedCard() const;

    CSalesEntry m_entry;
    CSalesEntry::Form m_form;
    bool m_bRebuilding = false;

    QLineEdit* m_pTimestamp = nullptr;
    QComboBox* m_pName = nullptr;
    QComboBox* m_pOrigin = nullptr;
    QComboBox* m_pPackModel = nullptr;
    QComboBox* m_pExpiry = nullptr;
    QLineEdit* m_pPrice = nullptr;
    QComboBox* m_pSaleType = nullptr;
    QLineEdit* m_pQuantity = nullptr;
    QLabel* m_pPiecesLabel = nullptr;
    QLineEdit* m_pPiecesPerBox = nullptr;
    QLineEdit* m_pAmount = nullptr;
    QLabel* m_pStatus = nullptr;
    QLabel* m_pCardHint = nullptr;
    QPushButton* m_pAdd = nullptr;
    QPushButton* m_pClose = nullptr;
};

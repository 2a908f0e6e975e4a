#pragma once
// 前台销售登记表: records counter sales, one per press of 添加, until 关闭.
#include "sale_basket.h"
#include "sales_entry.h"

#include <QDialog>

class CCardPickers;
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

    // Ids of the 本单 line and the 结账 button.
    enum Id : int { IdBasket = 1064, IdCheckout = 1065 };

    // Closing with sales in 本单 asks first whether to print their receipt.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void ClearForm();
    void ApplySaleType();
    void RecomputeAmount();
    void OnAdd();
    // 结账 (F9): the receipt of 本单, then a new one. False when it could not be printed.
    bool OnCheckout();
    // Prints the receipt of the sales numbered `numbers` (their 单号); its outcome in the status
    // line, a failure in a box too.
    bool PrintReceiptOf(const QStringList& numbers);
    // Controls to the form (true) or the form to the controls (false).
    void UpdateData(bool save);

    CDatabase* m_pDatabase;
    QString m_strOperator;
    CSalesEntry m_entry;
    CSaleBasket m_basket;
    CSalesEntry::Form m_form;
    CCardPickers* m_pPickers = nullptr; // child of the dialog

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
    QLabel* m_pBasket = nullptr;
    QPushButton* m_pCheckout = nullptr;
    QPushButton* m_pAdd = nullptr;
    QPushButton* m_pClose = nullptr;
};

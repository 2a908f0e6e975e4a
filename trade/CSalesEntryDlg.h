#pragma once
// 前台销售登记表: records counter sales, one per press of 添加, until 关闭.
#include "sale_basket.h"
#include "sales_entry.h"
#include "scan_catcher.h"

#include <QDialog>

class CCardPickers;
class CDatabase;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

class CSalesEntryDlg : public QDialog {
    Q_OBJECT
public:
    // Reads the stock cards for the pickers through `db` (borrowed). The scan field is named
    // "scan". `mayAttachCodes`: the operator is a 店长, who may attach an unknown code to the
    // drug the form names.
    explicit CSalesEntryDlg(CDatabase* db, QWidget* parent = nullptr, QString operatorName = {},
                            bool mayAttachCodes = false);

    // Ids of the 本单 line, the 结账 button and the scan field (named "scan", not by its id).
    enum Id : int { IdBasket = 1064, IdCheckout = 1065, IdScan = 1066 };

    // Who is on duty as pharmacist (empty: no one), asked at each sale that needs one.
    void SetPharmacistOnDuty(std::function<QString()> onDuty) {
        m_entry.SetPharmacistOnDuty(std::move(onDuty));
    }

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
    // A code from the scan field or a scanner's burst: the next item. A scanned item still in
    // the form is recorded first.
    void OnScan(const QString& code);
    // An unknown code: a 店长 is asked whether it belongs to the drug of the form. True when it
    // was attached and scanned again.
    bool OfferToAttach(const QString& code);
    // A key of any control: a scanner's burst is taken out of the control it went into and
    // becomes the next item; true when the key is used up.
    bool FilterKey(QObject* watched, QKeyEvent* key);
    // The catalogue's price and 每盒总量 once the three texts name a drug.
    void FillFromCatalogue();
    // 结账 (F9): asks how the customer pays, sets it on the sales of 本单, prints their receipt,
    // then starts a new one. False when 本单 stays: cancelled, or the payment not recorded.
    bool OnCheckout();
    // Prints the receipt of the sales numbered `numbers` (their 单号); its outcome in the status
    // line, a failure in a box too. `tenderedCents`: cash handed over at 结账.
    bool PrintReceiptOf(const QStringList& numbers,
                        std::optional<long long> tenderedCents = std::nullopt);
    // The prescription or the buyer the form's drug needs and 本单 does not hold yet, asked
    // before the sale is sent. False when one was cancelled or refused: nothing is recorded.
    bool AskRegisters();
    // Controls to the form (true) or the form to the controls (false).
    void UpdateData(bool save);

    CDatabase* m_pDatabase;
    QString m_strOperator;
    CSalesEntry m_entry;
    CSaleBasket m_basket;
    CSalesEntry::Form m_form;
    CCardPickers* m_pPickers = nullptr; // child of the dialog

    QLineEdit* m_pScan = nullptr;
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

    CScanCatcher m_scans;
    // Whether the time stamp counted as typed before a burst's first digit.
    bool m_bStampTypedBeforeBurst = false;
    // The form holds a scanned item not yet recorded.
    bool m_bScanPending = false;
    bool m_bMayAttachCodes;
};

#pragma once
// 销售冲正: picks one sale by its 单号 or 小票号 (or as selected in the main window), asks the
// reason and, for a 营业员, a 店长's name and password, and reverses it.
#include "sale_reversal.h"

#include <QDialog>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class CSaleReversalDlg : public QDialog {
    Q_OBJECT
public:
    // `reversal` is borrowed. `saleNumber`, when given, is found at once.
    CSaleReversalDlg(CSaleReversal& reversal, QWidget* parent = nullptr,
                     const QString& saleNumber = {});

    // The 单号 of the last reversing row written, empty when none.
    const QString& Recorded() const { return m_strRecorded; }

private:
    void OnFind();
    void OnReverse();

    CSaleReversal& m_reversal;
    std::vector<reversalsql::Sale> m_sales; // as listed
    QString m_strRecorded;

    QLineEdit* m_pKey = nullptr;
    QListWidget* m_pSales = nullptr;
    QLineEdit* m_pReason = nullptr;
    QLineEdit* m_pManager = nullptr;
    QLineEdit* m_pPassword = nullptr;
    QLabel* m_pStatus = nullptr;
    QPushButton* m_pFind = nullptr;
    QPushButton* m_pReverse = nullptr;
};

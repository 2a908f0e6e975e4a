#pragma once
// 结账's question: how the customer pays. The methods are numbered: a digit or the arrow keys
// pick one, Enter takes it; for 现金, Enter goes on to 实收, where the change shows in large
// type as it is typed, and Enter takes that. Esc cancels 结账 and changes nothing.
#include "payment.h"

#include <QDialog>
#include <QStringList>

class QLabel;
class QLineEdit;
class QListWidget;

class CPaymentDlg : public QDialog {
    Q_OBJECT
public:
    // Ids of the controls, which are also their objectName.
    enum : int { IdMethods = 1090, IdTendered = 1091, IdChange = 1092, IdDue = 1093 };

    // `dueCents`: what 本单 comes to; `methods` in the order offered, the first chosen.
    CPaymentDlg(long long dueCents, const QStringList& methods, QWidget* parent = nullptr);

    // The payment chosen; whole once the dialog is accepted.
    CPayment Payment() const;

    // Takes the payment, or says why not (too little cash, not a sum) and stays open.
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnMethodChanged();
    void ShowChange();
    // Enter on the list: cash goes on to 实收, any other method is taken.
    void OnMethodEntered();

    long long m_nDue;
    QListWidget* m_pMethods = nullptr;
    QLineEdit* m_pTendered = nullptr;
    QLabel* m_pTenderedLabel = nullptr;
    QLabel* m_pChange = nullptr;
};

#pragma once
// The buyer of an ephedrine product, asked once a 本单 before its first such line is recorded:
// the name and the ID number read from the card, checked before anything is recorded.
#include "ephedrine.h"

#include <QDate>
#include <QDialog>

class QLineEdit;

class CBuyerDlg : public QDialog {
    Q_OBJECT
public:
    // Ids of the fields, which are also their objectName.
    enum : int { IdBuyerName = 1411, IdBuyerId = 1412 };

    explicit CBuyerDlg(QDate today, QWidget* parent = nullptr);

    ephedrine::CBuyer Buyer() const;
    // 确定: accepted when the name is there and the number is a valid one, else says why.
    void OnOk();

private:
    QDate m_today;
    QLineEdit* m_pName = nullptr;
    QLineEdit* m_pId = nullptr;
};

#pragma once
// 报损/退货: boxes of one stock card leave the stock as a recorded loss or a return, one per
// press of 添加, until 关闭.
#include "card_lookup.h"
#include "write_off.h"

#include <QDialog>
#include <optional>

class CCardPickers;
class CDatabase;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CWriteOffDlg : public QDialog {
    Q_OBJECT
public:
    // `preset`: a card picked in the alert list, filled in and ready for 添加.
    CWriteOffDlg(CDatabase* db, QWidget* parent, QString operatorName,
                 const std::optional<CWriteOff::Form>& preset = std::nullopt);

    // What 添加 last put in the books ("已报损：…"); empty when nothing since it opened.
    const QString& LastRecorded() const { return m_strLastRecorded; }

private:
    void BuildControls();
    void Fill(const CWriteOff::Form& form);
    void OnAdd();

    CWriteOff m_writeOff;
    // The card pickers and the card hint, as the sales entry has them.
    CCardLookup m_cards;
    CCardPickers* m_pPickers = nullptr; // child of the dialog
    // Opened for one card picked from a list: it closes once that card is written off.
    bool m_bPicked = false;
    QString m_strLastRecorded;

    QComboBox* m_pName = nullptr;
    QComboBox* m_pOrigin = nullptr;
    QComboBox* m_pPackModel = nullptr;
    QComboBox* m_pExpiry = nullptr;
    QLineEdit* m_pQuantity = nullptr;
    QComboBox* m_pReason = nullptr;
    QLineEdit* m_pDestination = nullptr;
    QLineEdit* m_pNote = nullptr;
    QLabel* m_pCardHint = nullptr;
    QLabel* m_pStatus = nullptr;
    QPushButton* m_pAdd = nullptr;
    QPushButton* m_pClose = nullptr;
};

#pragma once
// 报损/退货: boxes of one stock card leave the stock as a recorded loss or a return, one per
// press of 添加, until 关闭. The boxes' trace codes are scanned (anywhere in the window) or typed
// into 追溯码 and listed; Delete on the list takes one off.
#include "card_lookup.h"
#include "scan_catcher.h"
#include "write_off.h"

#include <QDialog>
#include <QStringList>
#include <optional>

class CCardPickers;
class CDatabase;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class CWriteOffDlg : public QDialog {
    Q_OBJECT
public:
    // `preset`: a card picked in the alert list, filled in and ready for 添加.
    CWriteOffDlg(CDatabase* db, QWidget* parent, QString operatorName,
                 const std::optional<CWriteOff::Form>& preset = std::nullopt);

    // What 添加 last put in the books ("已报损：…"); empty when nothing since it opened.
    const QString& LastRecorded() const { return m_strLastRecorded; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A scanner's burst wherever the focus is goes to 追溯码, never into the focused field; so
    // does Enter in 追溯码, which never presses 添加.
    bool FilterKey(QObject* watched, QKeyEvent* key);
    void BuildControls();
    void Fill(const CWriteOff::Form& form);
    void OnAdd();
    // A scanned or typed code: listed, or the status line says why not.
    bool OnCode(const QString& typed);
    void RemoveCode();
    void ShowCodes();

    CWriteOff m_writeOff;
    // The card pickers and the card hint, as the sales entry has them.
    CCardLookup m_cards;
    CCardPickers* m_pPickers = nullptr; // child of the dialog
    // Opened for one card picked from a list: it closes once that card is written off.
    bool m_bPicked = false;
    QString m_strLastRecorded;
    QStringList m_codes;
    CScanCatcher m_scans;

    QComboBox* m_pName = nullptr;
    QComboBox* m_pOrigin = nullptr;
    QComboBox* m_pPackModel = nullptr;
    QComboBox* m_pExpiry = nullptr;
    QLineEdit* m_pQuantity = nullptr;
    QComboBox* m_pReason = nullptr;
    QLineEdit* m_pDestination = nullptr;
    QLineEdit* m_pNote = nullptr;
    QLineEdit* m_pTraceCode = nullptr;
    QListWidget* m_pTraceCodes = nullptr;
    QLabel* m_pTraceCount = nullptr;
    QLabel* m_pCardHint = nullptr;
    QLabel* m_pStatus = nullptr;
    QPushButton* m_pAdd = nullptr;
    QPushButton* m_pClose = nullptr;
};

#pragma once
// The four pickers that name a stock card (名称, 产地, 规格型号, 有效截止日期) and the hint line
// under them, as the sales entry and the write-off share them: when the user moves on from a
// picker, every list narrows to the cards that match what is typed, and the hint shows the
// card's stock and expiry. What is typed is never changed, but for initials (拼音码) in 名称:
// Enter or moving on takes the one name they stand for, and Enter drops the list down when
// they stand for several.
#include "card_lookup.h"

#include <QObject>
#include <functional>

class QComboBox;
class QLabel;
class QWidget;

class CCardPickers : public QObject {
public:
    // `cards` gives the lists and the hint and outlives this; the controls belong to `dialog`.
    CCardPickers(const CCardLookup& cards, QWidget* dialog, QComboBox* name, QComboBox* origin,
                 QComboBox* packModel, QComboBox* expiry, QLabel* hint);

    CStockCard Typed() const;
    // The lists and the hint for what is typed; a failure to read them is shown.
    void Rebuild();
    // Called after each rebuild, with the four texts as typed.
    void OnRebuilt(std::function<void()> rebuilt) { m_rebuilt = std::move(rebuilt); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Initials typed in 名称: true when the key is used up.
    bool TakeInitials(bool enter);

    const CCardLookup& m_cards;
    QWidget* m_pDialog;
    QComboBox* m_pName;
    QComboBox* m_pOrigin;
    QComboBox* m_pPackModel;
    QComboBox* m_pExpiry;
    QLabel* m_pHint;
    bool m_bRebuilding = false;
    // The list drops down with the names typed initials stand for.
    bool m_bNamesOffered = false;
    std::function<void()> m_rebuilt;
};

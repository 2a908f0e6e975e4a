#include "card_pickers.h"

#include "entry_layout.h"
#include "prompts.h"

#include <QComboBox>
#include <QDate>
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>

CCardPickers::CCardPickers(const CSalesEntry& cards, QWidget* dialog, QComboBox* name,
                           QComboBox* origin, QComboBox* packModel, QComboBox* expiry, QLabel* hint)
    : QObject(dialog), m_cards(cards), m_pDialog(dialog), m_pName(name), m_pOrigin(origin),
      m_pPackModel(packModel), m_pExpiry(expiry), m_pHint(hint) {
    for (QComboBox* picker : {m_pName, m_pOrigin, m_pPackModel, m_pExpiry})
        picker->installEventFilter(this);
}

CSalesEntry::Card CCardPickers::Typed() const {
    return {m_pName->currentText(), m_pOrigin->currentText(), m_pPackModel->currentText(),
            m_pExpiry->currentText()};
}

void CCardPickers::Rebuild() {
    if (m_bRebuilding)
        return;
    m_bRebuilding = true;
    const CSalesEntry::Card typed = Typed();
    QString failure;
    const std::optional<CSalesEntry::Lists> lists = m_cards.PickerLists(typed, &failure);
    Prompts().TellFailure(m_pDialog, failure);
    if (lists) {
        SetComboItems(m_pName, lists->names);
        SetComboItems(m_pOrigin, lists->origins);
        SetComboItems(m_pPackModel, lists->packModels);
        SetComboItems(m_pExpiry, lists->expiries);
    }
    m_pHint->setText(m_cards.CardHint(typed, QDate::currentDate()));
    // What was typed stays, whether or not the lists could be rebuilt.
    m_pName->setEditText(typed.name);
    m_pOrigin->setEditText(typed.origin);
    m_pPackModel->setEditText(typed.packModel);
    m_pExpiry->setEditText(typed.expiry);
    m_bRebuilding = false;
    if (m_rebuilt)
        m_rebuilt();
}

bool CCardPickers::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        // The user moving on inside the form, not a list dropping down or another window
        // (a message box) taking the focus.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason &&
            m_pDialog->isVisible())
            Rebuild();
    }
    return QObject::eventFilter(watched, event);
}

#include "card_pickers.h"

#include "entry_layout.h"
#include "prompts.h"

#include <QComboBox>
#include <QDate>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>

CCardPickers::CCardPickers(const CCardLookup& cards, QWidget* dialog, QComboBox* name,
                           QComboBox* origin, QComboBox* packModel, QComboBox* expiry, QLabel* hint)
    : QObject(dialog), m_cards(cards), m_pDialog(dialog), m_pName(name), m_pOrigin(origin),
      m_pPackModel(packModel), m_pExpiry(expiry), m_pHint(hint) {
    for (QComboBox* picker : {m_pName, m_pOrigin, m_pPackModel, m_pExpiry})
        picker->installEventFilter(this);
    // A name picked from what initials offered: on to 产地, as Enter after one name does.
    connect(m_pName, &QComboBox::activated, this, [this] {
        if (!m_bNamesOffered)
            return;
        m_bNamesOffered = false;
        Rebuild();
        m_pOrigin->setFocus(Qt::TabFocusReason);
    });
}

CStockCard CCardPickers::Typed() const {
    return {m_pName->currentText(), m_pOrigin->currentText(), m_pPackModel->currentText(),
            m_pExpiry->currentText()};
}

void CCardPickers::Rebuild() {
    if (m_bRebuilding)
        return;
    m_bRebuilding = true;
    const CStockCard typed = Typed();
    QString failure;
    const std::optional<CCardLookup::Lists> lists = m_cards.PickerLists(typed, &failure);
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

bool CCardPickers::TakeInitials(bool enter) {
    const QString typed = m_pName->currentText().trimmed();
    if (!CCardLookup::IsInitials(typed) || m_pName->findText(typed) >= 0)
        return false;
    QString failure;
    const QStringList names = m_cards.NamesByInitials(typed, 20, &failure);
    if (names.size() == 1) {
        m_pName->setEditText(names[0]);
        Rebuild();
        if (enter)
            m_pOrigin->setFocus(Qt::TabFocusReason);
        return enter;
    }
    if (!enter)
        return false;
    Rebuild();
    if (names.isEmpty())
        m_pHint->setText(failure.isEmpty()
                             ? QStringLiteral("拼音码 %1 没有对应的药品").arg(typed)
                             : QStringLiteral("读取药品目录发生错误：%1").arg(failure.trimmed()));
    else {
        m_bNamesOffered = true;
        m_pName->showPopup();
    }
    return true;
}

bool CCardPickers::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pName && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // Enter after initials picks a name, it never adds an entry.
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && TakeInitials(true))
            return true;
    }
    if (event->type() == QEvent::FocusOut) {
        if (watched == m_pName)
            TakeInitials(false);
        // The user moving on inside the form, not a list dropping down or another window
        // (a message box) taking the focus.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason &&
            m_pDialog->isVisible())
            Rebuild();
    }
    return QObject::eventFilter(watched, event);
}

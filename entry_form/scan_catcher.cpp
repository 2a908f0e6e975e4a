#include "scan_catcher.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLineEdit>

scanburst::CBurst::Step CScanCatcher::Key(QObject* watched, QKeyEvent* key) {
    using Step = scanburst::CBurst::Step;
    // Each key once, where it is going; a held key is a person.
    if (watched != QApplication::focusWidget() || key->isAutoRepeat())
        return Step::Other;
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    // Keys a program makes may carry no time: then the clock stands in.
    const qint64 ms = key->timestamp() ? qint64(key->timestamp()) : m_clock.elapsed();
    const Step step = m_burst.Key(key->text(), enter, ms);
    if (step == Step::FirstDigit) {
        // The digits go in as typed; should they turn out a scan, the field gets this back.
        auto* edit = qobject_cast<QLineEdit*>(watched);
        if (auto* box = qobject_cast<QComboBox*>(watched))
            edit = box->lineEdit();
        m_edit = edit;
        m_text = edit ? edit->text() : QString();
        m_cursor = edit ? edit->cursorPosition() : 0;
        m_dateEdit = qobject_cast<QDateEdit*>(watched);
        m_date = m_dateEdit ? m_dateEdit->date() : QDate();
    } else if (step == Step::Code) {
        if (m_edit) {
            m_edit->setText(m_text);
            m_edit->setCursorPosition(m_cursor);
        }
        if (m_dateEdit)
            m_dateEdit->setDate(m_date);
    }
    return step;
}

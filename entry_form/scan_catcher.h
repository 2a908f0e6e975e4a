#pragma once
// A scanner's burst caught wherever the focus is in an entry dialog: the digits that went into
// a field before the burst was recognised are taken out again, and the code comes out whole.
// The dialog feeds it every key of every control (an event filter on each).
#include "scan_burst.h"

#include <QDate>
#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QDateEdit;
class QKeyEvent;
class QLineEdit;
class QObject;

class CScanCatcher {
public:
    CScanCatcher() { m_clock.start(); }

    // One key going into `watched`. FirstDigit: a burst may begin, the field as it was is noted.
    // Code: a burst ended with this Enter, the field is back as it was and Code() holds the
    // scan; the caller uses the key up. Other: a key like any other (also one that is not going
    // to the focused control, or held down).
    scanburst::CBurst::Step Key(QObject* watched, QKeyEvent* key);
    const QString& Code() const { return m_burst.Code(); }
    scanburst::Shape CodeShape() const { return m_burst.CodeShape(); }

private:
    scanburst::CBurst m_burst;
    QElapsedTimer m_clock; // for key events that carry no time
    // The field a burst may be going into, as it was before the burst's first digit.
    QPointer<QLineEdit> m_edit;
    QString m_text;
    int m_cursor = 0;
    QPointer<QDateEdit> m_dateEdit;
    QDate m_date;
};

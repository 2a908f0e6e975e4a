#include "CDatePicker.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionComboBox>

CDatePicker::CDatePicker(QWidget* parent) : QDateEdit(parent) {
    // The calendar speaks Chinese; the text stays in the fixed form whatever the locale.
    setLocale(QLocale(QLocale::Chinese, QLocale::China));
    setCalendarPopup(true);
    setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    if (QCalendarWidget* calendar = calendarWidget()) {
        calendar->setLocale(locale());
        calendar->window()->installEventFilter(this);
    }
}

CDatePicker::CDatePicker(QWidget* parent, const QString& id) : CDatePicker(parent) {
    setObjectName(id);
    setMinimumWidth(140);
}

bool CDatePicker::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && calendarWidget() &&
        watched == calendarWidget()->window()) {
        // Below the picker (or above it, where QDateEdit put it), its right edge under ours,
        // and never off the screen's left.
        QWidget* popup = calendarWidget()->window();
        int x = mapToGlobal(QPoint(width(), 0)).x() - popup->width();
        if (const QScreen* shown = screen())
            x = qMax(x, shown->availableGeometry().left());
        popup->move(x, popup->y());
    }
    return QDateEdit::eventFilter(watched, event);
}

void CDatePicker::ShowCalendar() {
    // QDateEdit opens its calendar only from a press on its arrow, so press there.
    QStyleOptionComboBox option;
    option.initFrom(this);
    option.editable = true;
    option.frame = true;
    option.subControls = QStyle::SC_All;
    const QRect arrow =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this);
    const QPointF at =
        arrow.isValid() ? QPointF(arrow.center()) : QPointF(width() - 4, height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(this, &press);
}

bool CDatePicker::focusNextPrevChild(bool next) {
    // Past QDateEdit, which would step through the date's sections first.
    return QWidget::focusNextPrevChild(next);
}

void CDatePicker::keyPressEvent(QKeyEvent* event) {
    const bool altDown = event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier);
    if (altDown || (event->key() == Qt::Key_F4 && event->modifiers() == Qt::NoModifier)) {
        ShowCalendar();
        event->accept();
        return;
    }
    QDateEdit::keyPressEvent(event);
}

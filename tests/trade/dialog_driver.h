#pragma once
// Driving an entry dialog as a user does: typing into the focused control, Tab, Enter.
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace entrytest {

inline QWidget* Focused() {
    return QApplication::focusWidget();
}

// Whether the focus is in the control named `id` of `dialog` (or inside it, for a combo box).
inline bool FocusIn(QWidget* dialog, int id) {
    QWidget* control = dialog->findChild<QWidget*>(QString::number(id));
    QWidget* focus = Focused();
    return control && focus && (focus == control || control->isAncestorOf(focus));
}

// Letters as key clicks; a Chinese character as the key event that carries it, as an input
// method hands it over.
inline void Type(const QString& text) {
    ASSERT_TRUE(Focused());
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(Focused(), c.toLatin1());
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(Focused(), &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(Focused(), &release);
        }
    }
}

inline void Press(Qt::Key key) {
    ASSERT_TRUE(Focused());
    QTest::keyClick(Focused(), key);
}

// Types `text` into the focused control, over whatever it held, and moves on with Tab.
inline void Fill(const QString& text) {
    ASSERT_TRUE(Focused());
    if (auto* edit = qobject_cast<QLineEdit*>(Focused()))
        edit->selectAll();
    else if (auto* box = qobject_cast<QComboBox*>(Focused()); box && box->lineEdit())
        box->lineEdit()->selectAll();
    Type(text);
    Press(Qt::Key_Tab);
}

inline QStringList Items(QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

inline QStringList LabelTexts(QWidget* dialog) {
    QStringList texts;
    for (QLabel* label : dialog->findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

inline void ShowActive(QWidget* dialog) {
    dialog->show();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
}

} // namespace entrytest

#pragma once
// Typing into a widget as a user does, Chinese included: the input method commits the text
// (QTest's key helpers know ASCII keys only).
#include <QApplication>
#include <QInputMethodEvent>
#include <QString>
#include <QWidget>

inline void TypeText(QWidget* widget, const QString& text) {
    widget->setFocus();
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(widget, &commit);
}

#pragma once
// The short-date picker of the condition dialogs: "yyyy-MM-dd" (the text the statements take),
// a Chinese drop-down calendar whose right edge lines up with the picker's.
#include <QString>

class QDateEdit;
class QWidget;

QDateEdit* MakeShortDatePicker(QWidget* parent, const QString& id);

#include "date_picker.h"

#include "CDatePicker.h"

QDateEdit* MakeShortDatePicker(QWidget* parent, const QString& id) {
    auto* picker = new CDatePicker(parent);
    picker->setObjectName(id);
    picker->setMinimumWidth(140);
    return picker;
}

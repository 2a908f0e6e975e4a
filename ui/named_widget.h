#pragma once
// A dialog's control named by its numeric id (its objectName), as tests and the key filters
// find it.
#include <QString>

template <typename Widget> Widget* Named(Widget* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

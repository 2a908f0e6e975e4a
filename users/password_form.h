#pragma once
// The form both password dialogs share: the operator's name, password boxes, 确定 (the
// default) and 取消.
#include <QString>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

class QDialog;
class QLineEdit;

// Lays the form out on `dialog` titled `title`: one hidden-text box per (label, id), in order,
// each with its id as objectName. 确定 calls `onOk`; 取消 rejects. Returns the boxes.
std::vector<QLineEdit*> BuildPasswordForm(QDialog* dialog, const QString& title,
                                          const QString& name,
                                          std::initializer_list<std::pair<const char*, int>> boxes,
                                          std::function<void()> onOk);

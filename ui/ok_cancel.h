#pragma once
// 确定 and 取消 under a dialog's fields, as every small dialog has them: 确定 (named "1") is the
// default button and calls `onOk`, which decides whether the dialog closes; 取消 ("2") rejects.
#include <functional>

class QDialog;
class QDialogButtonBox;

QDialogButtonBox* AddOkCancel(QDialog* dialog, std::function<void()> onOk);

#pragma once
// 备份数据...: the user picks where (the backup folder and a stamped name are offered), the
// backup is made beside the program while the counter keeps working, and a message box says
// how it went.
#include <QDateTime>

class CDatabase;
class QObject;
class QWidget;

// The backup started (it is deleted once its outcome was told; closing `owner` stops it), or
// nullptr when none was (said why, or the user chose not to).
QObject* BackUpBooks(QWidget* owner, CDatabase* db, const QDateTime& now,
                     const QString& operatorName = {});

#pragma once
// 备份数据...: the user picks where (the backup folder and a stamped name are offered), the
// backup is made, and a message box says how it went.
#include <QDateTime>

class CDatabase;
class QWidget;

void BackUpBooks(QWidget* owner, CDatabase* db, const QDateTime& now,
                 const QString& operatorName = {});

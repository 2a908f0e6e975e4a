#pragma once
// How a backup went, in the words the user reads.
#include <QString>

struct CBackupOutcome {
    bool ok = false;
    // "备份完成：<file>（进 n 笔，存 n 张，销 n 笔）" or why it failed.
    QString message;
};

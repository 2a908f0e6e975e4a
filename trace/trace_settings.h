#pragma once
// The trace-code rules every counter on the same books shares, kept in the books (账套设置) and
// logged when changed, never in one computer's settings file.
#include <QDateTime>
#include <QString>

class CDatabase;

namespace tracesettings {

// Whether a whole-box sale needs a code per box (销售须扫追溯码); false until a 店长 sets it.
// Throws CDBException.
bool CodesRequired(CDatabase& db);
// Sets it, with its log row (动作 "追溯码设置", "销售须扫追溯码：否 → 是"), in one transaction;
// nothing is written when it is already so. Throws CDBException.
void SetCodesRequired(CDatabase& db, bool required, const QString& operatorName,
                      const QDateTime& now);

} // namespace tracesettings

#pragma once
// 拼音码: the initials of a drug's name, as every Chinese pharmacy program offers them
// ("amxljn" for 阿莫西林胶囊). Letters and digits of the name stay as they are (lower case);
// other signs drop out.
#include <QString>
#include <QStringList>

namespace pinyincode {

// The code of the most common readings.
QString Of(const QString& name);
// Every code the name's readings give, the most common first; a name of many polyphonic
// characters gives at most `limit` of them.
QStringList AllOf(const QString& name, int limit = 8);
// What 拼音码 stores: every code of AllOf, separated by blanks, within `width` characters.
QString Stored(const QString& name, int width = 100);
// Whether `typed` (letters, any case) starts one of the codes in `stored`.
bool Matches(const QString& stored, const QString& typed);

} // namespace pinyincode

#pragma once
// What every export of a grid shares: the column titles as the file shows them, and writing the
// file beside its place and renaming it in, so a failed write leaves no half file and an
// existing one as it was.
#include <QString>
#include <QStringList>
#include <functional>

class QIODevice;
class QWidget;

namespace reportfile {

// Column `column`'s title as a file shows it: no sort arrow, no trailing blanks; "-UNKNOWN-"
// past the titles given.
QString ShownTitle(const QStringList& titles, int column);
// Whether `path` may be written when the user chose `chosen` in the save dialog: a different
// existing file (the name got its ending) is not replaced unasked.
bool MayReplace(QWidget* owner, const QString& chosen, const QString& path);
// The chosen path as it is; a file name without an ending gets `suffix`.
QString WithEnding(const QString& chosen, const QString& suffix);
// Asks for the file through the save dialog with `filter`; a name without an ending gets
// `suffix` (asking before that replaces another file). Empty when the user gave none up.
QString AskPath(QWidget* owner, const QString& filter, const QString& suffix);
// Writes `path` through `write`; a file that cannot be made or written is reported (through
// Prompts(), as `what` "报表") and nothing is left. False then.
bool Write(QWidget* owner, const QString& path, const std::function<bool(QIODevice&)>& write);

} // namespace reportfile

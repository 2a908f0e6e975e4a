#pragma once
// The XDG desktop entry that starts the program with the session: its text, and reading a key
// back out of one.
#include <QString>
#include <optional>

namespace desktopentry {

// The Exec= value that runs `program` with no arguments. A path with a reserved character is
// put in double quotes with " ` $ \ escaped inside; % becomes %%; then the whole value is
// escaped as a string value (\ as \\, line ends and tabs as \n \r \t), which is the level a
// reader undoes first.
QString ExecValue(const QString& program);

// The whole file: [Desktop Entry], Type=Application, Name=`name`, Exec= as above.
QString EntryText(const QString& name, const QString& program);

// The raw value of `key` in the group [Desktop Entry] (blanks around '=' ignored), or nullopt
// when the group or the key is missing. Localised keys such as Name[zh_CN] are other keys.
std::optional<QString> ReadKey(const QString& text, const QString& key);

} // namespace desktopentry

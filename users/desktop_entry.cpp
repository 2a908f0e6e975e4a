#include "desktop_entry.h"

#include <QStringList>

namespace desktopentry {

namespace {

const QString kGroup = QStringLiteral("[Desktop Entry]");

bool IsReserved(QChar c) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    return reserved.contains(c);
}

// The quoting rule of the Exec key, for one argument.
QString QuotedArgument(const QString& argument) {
    bool needsQuotes = argument.isEmpty();
    for (QChar c : argument)
        needsQuotes = needsQuotes || IsReserved(c);
    if (!needsQuotes)
        return argument;
    QString out = QStringLiteral("\"");
    for (QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out + QLatin1Char('"');
}

// The escapes of a string value, which readers undo before the quoting.
QString StringValue(const QString& text) {
    QString out;
    for (QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else if (c == QLatin1Char('\t'))
            out += QStringLiteral("\\t");
        else
            out += c;
    }
    return out;
}

} // namespace

QString ExecValue(const QString& program) {
    QString argument = program;
    // A lone % would start a field code.
    argument.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return StringValue(QuotedArgument(argument));
}

QString EntryText(const QString& name, const QString& program) {
    return kGroup + QLatin1Char('\n') + QStringLiteral("Type=Application\n") +
           QStringLiteral("Name=") + StringValue(name) + QLatin1Char('\n') +
           QStringLiteral("Exec=") + ExecValue(program) + QLatin1Char('\n');
}

std::optional<QString> ReadKey(const QString& text, const QString& key) {
    bool inGroup = false;
    for (const QString& rawLine : text.split(QLatin1Char('\n'))) {
        QString line = rawLine;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        if (trimmed.startsWith(QLatin1Char('['))) {
            inGroup = trimmed == kGroup;
            continue;
        }
        if (!inGroup)
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0 || line.left(equals).trimmed() != key)
            continue;
        return line.mid(equals + 1).trimmed();
    }
    return std::nullopt;
}

} // namespace desktopentry

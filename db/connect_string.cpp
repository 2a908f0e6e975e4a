#include "connect_string.h"

namespace connectstring {

QString Value(const QString& connect, const QStringList& keys) {
    for (const QString& key : keys) {
        qsizetype at = 0;
        while (at < connect.size()) {
            qsizetype end = connect.indexOf(QLatin1Char(';'), at);
            // A braced value may hold semicolons of its own.
            const qsizetype equals = connect.indexOf(QLatin1Char('='), at);
            if (equals >= 0 && (end < 0 || equals < end) && equals + 1 < connect.size() &&
                connect.at(equals + 1) == QLatin1Char('{')) {
                const qsizetype close = connect.indexOf(QLatin1Char('}'), equals + 1);
                end = close < 0 ? -1 : connect.indexOf(QLatin1Char(';'), close);
            }
            if (end < 0)
                end = connect.size();
            const QString pair = connect.mid(at, end - at);
            const qsizetype sign = pair.indexOf(QLatin1Char('='));
            if (sign > 0 && pair.left(sign).trimmed().compare(key, Qt::CaseInsensitive) == 0) {
                QString value = pair.mid(sign + 1);
                if (value.startsWith(QLatin1Char('{')) && value.endsWith(QLatin1Char('}')))
                    value = value.mid(1, value.size() - 2);
                return value;
            }
            at = end + 1;
        }
    }
    return {};
}

} // namespace connectstring

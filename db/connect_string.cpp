#include "connect_string.h"

#include <QFile>

#include <vector>

std::optional<QByteArray> ReadConnectFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    // Passed on, a line break would name another data source or make the SQLite driver create
    // a new, empty file.
    if (bytes.endsWith("\r\n"))
        bytes.chop(2);
    else if (bytes.endsWith('\n'))
        bytes.chop(1);
    return bytes;
}

namespace connectstring {

namespace {

struct Pair {
    qsizetype start = 0;
    qsizetype end = 0; // the semicolon after it, or the end of the string
};

std::vector<Pair> Pairs(const QString& connect) {
    std::vector<Pair> pairs;
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
        pairs.push_back({at, end});
        at = end + 1;
    }
    return pairs;
}

bool Names(const QString& pair, const QString& key) {
    const qsizetype sign = pair.indexOf(QLatin1Char('='));
    return sign > 0 && pair.left(sign).trimmed().compare(key, Qt::CaseInsensitive) == 0;
}

} // namespace

QString Value(const QString& connect, const QStringList& keys) {
    const std::vector<Pair> pairs = Pairs(connect);
    for (const QString& key : keys) {
        for (const Pair& at : pairs) {
            const QString pair = connect.mid(at.start, at.end - at.start);
            if (!Names(pair, key))
                continue;
            QString value = pair.mid(pair.indexOf(QLatin1Char('=')) + 1);
            if (value.startsWith(QLatin1Char('{')) && value.endsWith(QLatin1Char('}')))
                value = value.mid(1, value.size() - 2);
            return value;
        }
    }
    return {};
}

QString WithOption(const QString& connect, const QString& key, const QString& value) {
    QStringList kept;
    for (const Pair& at : Pairs(connect)) {
        const QString pair = connect.mid(at.start, at.end - at.start);
        if (!pair.trimmed().isEmpty() && !Names(pair, key))
            kept << pair;
    }
    kept << key + QLatin1Char('=') + value;
    return kept.join(QLatin1Char(';'));
}

} // namespace connectstring

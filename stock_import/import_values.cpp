#include "import_values.h"

#include <QRegularExpression>

namespace importvalues {

QString Halfwidth(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E)
            out.append(QChar(char16_t(u - 0xFEE0)));
        else if (!c.isSpace() && u != 0x3000)
            out.append(c);
    }
    return out;
}

std::optional<CExpiry> ParseExpiry(const QString& text) {
    static const QRegularExpression day(QStringLiteral(
        "^([0-9]{4})([-/.])([0-9]{1,2})\\2([0-9]{1,2})(?:[T ]0?0:00(?::00(?:\\.0+)?)?)?$"));
    static const QRegularExpression compact(QStringLiteral("^([0-9]{4})([0-9]{2})([0-9]{2})$"));
    static const QRegularExpression month(QStringLiteral("^([0-9]{4})[-/.]([0-9]{1,2})$"));
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    // Blanks go, but one between the day and a time must stay to be read.
    const QString plain = Halfwidth(text.trimmed().replace(blanks, QStringLiteral("T")));
    QRegularExpressionMatch m = day.match(plain);
    if (m.hasMatch()) {
        const QDate date(m.captured(1).toInt(), m.captured(3).toInt(), m.captured(4).toInt());
        return date.isValid() ? std::optional(CExpiry{date, false}) : std::nullopt;
    }
    m = compact.match(plain);
    if (m.hasMatch()) {
        const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        return date.isValid() ? std::optional(CExpiry{date, false}) : std::nullopt;
    }
    m = month.match(plain);
    if (m.hasMatch()) {
        const QDate first(m.captured(1).toInt(), m.captured(2).toInt(), 1);
        if (!first.isValid())
            return std::nullopt;
        return CExpiry{QDate(first.year(), first.month(), first.daysInMonth()), true};
    }
    return std::nullopt;
}

std::optional<double> ParseNumber(const QString& text, bool money) {
    static const QRegularExpression grouped(
        QStringLiteral("^[+-]?(?:[0-9]{1,3}(?:,[0-9]{3})+|[0-9]+)(?:\\.[0-9]+)?$"
                       "|^[+-]?\\.[0-9]+$"));
    QString plain = Halfwidth(text);
    if (money && (plain.startsWith(u'¥') || plain.startsWith(u'￥')))
        plain.remove(0, 1);
    if (!grouped.match(plain).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = plain.remove(u',').toDouble(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

int Decimals(const QString& text) {
    const QString plain = Halfwidth(text);
    const qsizetype point = plain.indexOf(u'.');
    if (point < 0)
        return 0;
    qsizetype end = plain.size();
    while (end > point + 1 && plain[end - 1] == u'0')
        --end;
    return int(end - point - 1);
}

} // namespace importvalues

#include "entry_fields.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace entryfields {

namespace {

// Blanks are spaces and tabs, as the framework skips them.
QString Unblanked(const QString& text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (from < to && blank(text[from]))
        ++from;
    while (to > from && blank(text[to - 1]))
        --to;
    return text.mid(from, to - from);
}

} // namespace

std::optional<double> ParseNumber(const QString& text) {
    // Anchored as a whole: "$" alone would also accept a line break at the end.
    static const QRegularExpression number(QRegularExpression::anchoredPattern(
        QStringLiteral("[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?")));
    const QString value = Unblanked(text);
    if (!number.match(value).hasMatch())
        return std::nullopt;
    // The C locale whatever the user's: the point is the decimal point.
    bool ok = false;
    const double parsed = QLocale::c().toDouble(value, &ok);
    if (!ok || !std::isfinite(parsed))
        return std::nullopt;
    return parsed;
}

std::optional<unsigned> ParseUnsigned(const QString& text) {
    static const QRegularExpression digits(
        QRegularExpression::anchoredPattern(QStringLiteral("[0-9]+")));
    const QString value = Unblanked(text);
    if (!digits.match(value).hasMatch())
        return std::nullopt;
    bool ok = false;
    const qulonglong parsed = value.toULongLong(&ok);
    if (!ok || parsed > std::numeric_limits<unsigned>::max())
        return std::nullopt;
    return static_cast<unsigned>(parsed);
}

QString BoxesProblem(double boxes, const QString& field) {
    if (!std::isfinite(boxes) || std::fabs(boxes) > kMostBoxes)
        return QStringLiteral("%1 不能超过 %2 盒").arg(field, QString::number(kMostBoxes, 'f', 0));
    if (boxes != 0 && std::fabs(boxes) < kFinestBox)
        return QStringLiteral("%1 不能小于 %2 盒").arg(field, QString::number(kFinestBox, 'f', 4));
    return {};
}

QString NumberText(double value) {
    return QString::asprintf("%g", value);
}

QString UnsignedText(unsigned value) {
    return QString::number(value);
}

} // namespace entryfields

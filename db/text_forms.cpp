#include "text_forms.h"

#include <QStringList>

#include <charconv>

namespace textforms {

namespace {
template <typename T> QString Shortest(T value) {
    char out[64];
    auto result = std::to_chars(out, out + sizeof out, value);
    return QString::fromLatin1(out, result.ptr - out);
}
} // namespace

QString ShortestDouble(double value) {
    return Shortest(value);
}
QString ShortestFloat(float value) {
    return Shortest(value);
}

QString WithoutTrailingBlanks(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && IsBlank(text[end - 1].unicode()))
        --end;
    return end == text.size() ? text : text.left(end);
}

QString CutUtf8(const QString& text, int maxBytes) {
    QByteArray utf8 = text.toUtf8();
    if (utf8.size() <= maxBytes)
        return text;
    int end = maxBytes;
    // Step back over continuation bytes so no character is cut in two.
    while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
        --end;
    return QString::fromUtf8(utf8.constData(), end);
}

QString OneLine(const QString& text) {
    QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (QString& line : lines)
        line = line.trimmed();
    lines.removeAll(QString());
    return lines.join(QStringLiteral(" / "));
}

} // namespace textforms

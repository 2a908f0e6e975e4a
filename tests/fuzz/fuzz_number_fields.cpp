// The number fields of the entry dialogs: what is accepted is exactly a decimal number (or, for
// counts, decimal digits that fit), read as the C library reads it; what the dialog shows of a
// value is accepted again.
#include "entry_fields.h"

#include <QString>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

[[noreturn]] void Fail(const char* what, const QString& text, const QString& detail = {}) {
    std::fprintf(stderr, "fuzz_number_fields: %s\n  text=\"%s\"\n  %s\n", what,
                 text.toUtf8().constData(), detail.toUtf8().constData());
    std::abort();
}

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

QString Unblanked(const QString& text) {
    qsizetype from = 0, to = text.size();
    while (from < to && IsBlank(text[from]))
        ++from;
    while (to > from && IsBlank(text[to - 1]))
        --to;
    return text.mid(from, to - from);
}

// [+-] digits [. digits] [e [+-] digits], with a digit before or after the point.
bool IsDecimalNumber(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    while (i < n && IsDigit(text[i]))
        ++i, ++digits;
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && IsDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            ++i;
        qsizetype exponentDigits = 0;
        while (i < n && IsDigit(text[i]))
            ++i, ++exponentDigits;
        if (exponentDigits == 0)
            return false;
    }
    return i == n;
}

void CheckNumber(const QString& text) {
    const std::optional<double> parsed = entryfields::ParseNumber(text);
    const QString value = Unblanked(text);
    const bool grammar = IsDecimalNumber(value);
    if (parsed && !grammar)
        Fail("a text that is no decimal number is accepted", text, QString::number(*parsed));
    if (parsed && !std::isfinite(*parsed))
        Fail("an accepted number is not finite", text);
    if (!grammar)
        return;
    errno = 0;
    const double expected = std::strtod(value.toStdString().c_str(), nullptr);
    const bool inRange = errno != ERANGE;
    if (inRange && !parsed)
        Fail("a decimal number within range is refused", text);
    if (inRange && *parsed != expected)
        Fail("the number differs from strtod's", text,
             QString::asprintf("got %.17g, expected %.17g", *parsed, expected));
    if (parsed) {
        // The dialog writes the value back with "%g": that text must pass the check again.
        const QString shown = entryfields::NumberText(*parsed);
        if (!entryfields::ParseNumber(shown))
            Fail("the shown value is refused when read again", text, shown);
    }
}

void CheckUnsigned(const QString& text) {
    const std::optional<unsigned> parsed = entryfields::ParseUnsigned(text);
    const QString value = Unblanked(text);
    bool digits = !value.isEmpty();
    for (QChar c : value)
        digits = digits && IsDigit(c);
    unsigned long long expected = 0;
    bool fits = digits;
    for (qsizetype i = 0; fits && i < value.size(); ++i) {
        expected = expected * 10 + unsigned(value[i].unicode() - u'0');
        fits = expected <= UINT_MAX;
    }
    if (fits != parsed.has_value())
        Fail(fits ? "a count that fits is refused" : "a text that is no count is accepted", text,
             parsed ? QString::number(*parsed) : QString());
    if (parsed && *parsed != expected)
        Fail("the count is read wrong", text, QString::number(*parsed));
    if (parsed && entryfields::ParseUnsigned(entryfields::UnsignedText(*parsed)) != parsed)
        Fail("the shown count does not read back", text, entryfields::UnsignedText(*parsed));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    CheckNumber(text);
    CheckUnsigned(text);
    return 0;
}

// The grid's sort keys: the number a text begins with agrees with the C library's reading of
// the same digits, and the GB18030 text key loses nothing.
#include "sort_keys.h"

#include <QString>
#include <QStringDecoder>

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Fail(const char* what, const QString& text, double got, double expected = 0) {
    std::fprintf(stderr, "fuzz_sort_number: %s\n  text=\"%s\"\n  got %.17g, expected %.17g\n", what,
                 text.toUtf8().constData(), got, expected);
    std::abort();
}

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// strtod reads the same numbers, and also hexadecimal, "inf" and "nan", which the grid does
// not: compare only where the text begins with a decimal number or with nothing numeric.
void CompareWithStrtod(const std::string& ascii, double got, const QString& text) {
    size_t i = 0;
    while (i < ascii.size() && IsBlank(ascii[i]))
        ++i;
    if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-'))
        ++i;
    const bool decimal =
        i < ascii.size() && ((ascii[i] >= '0' && ascii[i] <= '9') || ascii[i] == '.');
    if (!decimal) {
        if (got != 0)
            Fail("a text without a leading number reads as a number", text, got);
        return;
    }
    if (ascii[i] == '0' && i + 1 < ascii.size() && (ascii[i + 1] == 'x' || ascii[i + 1] == 'X'))
        return;
    errno = 0;
    const double expected = std::strtod(ascii.c_str(), nullptr);
    const bool underflow = errno == ERANGE && std::fabs(expected) < DBL_MIN;
    if (got == expected || (underflow && got == 0))
        return;
    Fail("the leading number differs from strtod's", text, got, expected);
}

void CheckNumber(const QString& text) {
    const double value = sortkeys::LeadingNumber(text);
    if (std::isnan(value))
        Fail("the leading number is NaN", text, value);
    // Nothing after the text can make its number different when it is no digit.
    const double extended = sortkeys::LeadingNumber(QString(text + u'x'));
    if (!(extended == value))
        Fail("a letter after the text changes its number", text, extended, value);
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii) {
        const std::string bytes = text.toStdString();
        // strtod stops at a NUL as the grid stops at any non-digit.
        CompareWithStrtod(bytes.substr(0, std::strlen(bytes.c_str())), value, text);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    CheckNumber(text);

    // The key decodes back to the text: GB18030 covers every character, so no two texts that
    // differ share a key.
    const QByteArray key = sortkeys::TextKey(text);
    QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
    const QString back = decoder.decode(key);
    if (decoder.hasError() || back != text)
        Fail("the GB18030 key does not decode to the text", text, double(key.size()));
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii && key != text.toLatin1())
        Fail("an ASCII text's key is not its own bytes", text, double(key.size()));

    // The same bytes as UTF-16 units, lone surrogates included: read without a fault.
    std::u16string raw(size / 2, u'\0');
    std::memcpy(raw.data(), data, raw.size() * sizeof(char16_t));
    const QString units = QString::fromUtf16(raw.data(), qsizetype(raw.size()));
    CheckNumber(units);
    (void)sortkeys::TextKey(units);
    return 0;
}

#include "trace_code.h"

#include "ascii_digit.h"
#include "gs1_check_digit.h"

#include <optional>

namespace tracecode {

namespace {

constexpr char16_t kGroupSeparator = 0x1d;
constexpr int kNationalLength = 20;
constexpr int kGtinLength = 14;
constexpr int kExpiryLength = 6;
constexpr int kMaxVariable = 20; // batch (10) and serial (21)

bool AllDigits(const QString& text) {
    for (const QChar c : text)
        if (!IsAsciiDigit(c))
            return false;
    return !text.isEmpty();
}

// What GS1 allows in a batch or serial: printable ASCII; brackets would mislead the reader.
bool IsPlainPart(const QString& text) {
    if (text.isEmpty() || text.size() > kMaxVariable)
        return false;
    for (const QChar c : text)
        if (c.unicode() <= 0x20 || c.unicode() >= 0x7f || c == QLatin1Char('(') ||
            c == QLatin1Char(')'))
            return false;
    return true;
}

struct CParsed {
    QString code;
    QString problem;
};

CParsed Refused(const QString& problem) {
    return {QString(), problem};
}

// The parts of a GS1 element string, "(01)…(21)…" or "01…21…" with group separators after a
// batch or serial that does not end the text.
struct CGs1Parts {
    QString gtin, expiry, batch, serial;
    bool hasExpiry = false, hasBatch = false, hasSerial = false;
};

std::optional<CGs1Parts> SplitGs1(const QString& text, QString* problem) {
    const bool bracketed = text.startsWith(QLatin1Char('('));
    CGs1Parts parts;
    bool gtinSeen = false;
    qsizetype at = 0;
    while (at < text.size()) {
        QString ai;
        if (bracketed) {
            if (text[at] != QLatin1Char('(') || at + 3 >= text.size() ||
                text[at + 3] != QLatin1Char(')')) {
                *problem = QStringLiteral("GS1 码的应用标识应写作 (01)、(17)、(10)、(21)");
                return std::nullopt;
            }
            ai = text.mid(at + 1, 2);
            at += 4;
        } else {
            ai = text.mid(at, 2);
            at += 2;
        }
        QString* part = nullptr;
        bool* seen = nullptr;
        int fixed = 0;
        if (ai == QLatin1String("01")) {
            part = &parts.gtin;
            seen = &gtinSeen;
            fixed = kGtinLength;
        } else if (ai == QLatin1String("17")) {
            part = &parts.expiry;
            seen = &parts.hasExpiry;
            fixed = kExpiryLength;
        } else if (ai == QLatin1String("10")) {
            part = &parts.batch;
            seen = &parts.hasBatch;
        } else if (ai == QLatin1String("21")) {
            part = &parts.serial;
            seen = &parts.hasSerial;
        }
        if (!part) {
            *problem = QStringLiteral("GS1 码里有不认识的应用标识 (%1)").arg(ai);
            return std::nullopt;
        }
        if (*seen) {
            *problem = QStringLiteral("GS1 码里 (%1) 出现了两次").arg(ai);
            return std::nullopt;
        }
        *seen = true;
        qsizetype end = 0;
        if (fixed > 0) {
            end = at + fixed;
        } else {
            end = at;
            while (end < text.size() && text[end] != kGroupSeparator &&
                   !(bracketed && text[end] == QLatin1Char('(')))
                ++end;
        }
        *part = text.mid(at, end - at);
        at = end;
        if (at < text.size() && text[at] == kGroupSeparator)
            ++at;
    }
    return parts;
}

CParsed ParseGs1(const QString& text) {
    QString problem;
    const std::optional<CGs1Parts> parts = SplitGs1(text, &problem);
    if (!parts)
        return Refused(problem);
    if (parts->gtin.size() != kGtinLength || !AllDigits(parts->gtin))
        return Refused(QStringLiteral("GS1 码的 (01) 应为 14 位数字"));
    if (!gs1::HasValidCheckDigit(parts->gtin))
        return Refused(QStringLiteral("GS1 码的 (01) 校验位不对，请重新扫描"));
    if (parts->hasExpiry && (parts->expiry.size() != kExpiryLength || !AllDigits(parts->expiry)))
        return Refused(QStringLiteral("GS1 码的 (17) 有效期应为 6 位数字（年月日）"));
    if (parts->hasBatch && !IsPlainPart(parts->batch))
        return Refused(QStringLiteral("GS1 码的 (10) 批号应为 1 到 20 个字母或数字"));
    if (!parts->hasSerial)
        return Refused(QStringLiteral("GS1 码里没有 (21) 序列号，认不出是哪一盒"));
    if (!IsPlainPart(parts->serial))
        return Refused(QStringLiteral("GS1 码的 (21) 序列号应为 1 到 20 个字母或数字"));
    // A box is its GTIN and serial; its batch and expiry are on its card already, and the
    // same box scanned with or without them stays one code.
    return {QStringLiteral("(01)%1(21)%2").arg(parts->gtin, parts->serial), QString()};
}

CParsed Parse(const QString& typed) {
    QString text = typed.trimmed();
    // A scanner may announce a data matrix by its symbology identifier.
    if (text.startsWith(QLatin1String("]d2")))
        text = text.mid(3);
    if (text.isEmpty())
        return Refused(QStringLiteral("请扫描或输入追溯码"));
    if (AllDigits(text)) {
        if (text.size() == kNationalLength)
            return {text, QString()};
        // Digits only: a GS1 string without batch, else a national code of the wrong length.
        const CParsed gs1 = text.startsWith(QLatin1String("01")) ? ParseGs1(text) : CParsed{};
        if (!gs1.code.isEmpty())
            return gs1;
        return Refused(QStringLiteral("追溯码应为 20 位数字，这里是 %1 位").arg(text.size()));
    }
    if (text.startsWith(QLatin1Char('(')) || text.startsWith(QLatin1String("01")))
        return ParseGs1(text);
    return Refused(
        QStringLiteral("追溯码应为 20 位数字，或带 (01) 商品条码和 (21) 序列号的 GS1 码"));
}

} // namespace

QString Normalized(const QString& typed) {
    return Parse(typed).code;
}

QString Problem(const QString& typed) {
    return Parse(typed).problem;
}

bool IsTraceShape(const QString& digits) {
    return digits.size() == kNationalLength && AllDigits(digits);
}

} // namespace tracecode

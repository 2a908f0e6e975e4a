#include "pinyin_code.h"

#include "pinyin_table.h"

#include <algorithm>

namespace pinyincode {

namespace {

// The initials a character may have: itself for a letter or digit, nothing for a sign.
QString InitialsOf(char32_t c) {
    if (c < 0x80) {
        const QChar ch(static_cast<ushort>(c));
        return ch.isLetterOrNumber() ? QString(ch.toLower()) : QString();
    }
    const auto* end = pinyintable::kEntries + pinyintable::kEntryCount;
    const auto* found =
        std::lower_bound(pinyintable::kEntries, end, c,
                         [](const pinyintable::CEntry& e, char32_t v) { return e.codePoint < v; });
    if (found == end || found->codePoint != c)
        return {};
    return QString::fromLatin1(found->initials);
}

} // namespace

QString Of(const QString& name) {
    return AllOf(name, 1).value(0);
}

QStringList AllOf(const QString& name, int limit) {
    QStringList codes{QString()};
    for (const char32_t c : name.toUcs4()) {
        const QString initials = InitialsOf(c);
        if (initials.isEmpty())
            continue;
        QStringList next;
        for (const QString& code : codes)
            for (const QChar letter : initials)
                if (next.size() < limit)
                    next << code + letter;
        codes = next;
    }
    codes.removeDuplicates();
    return codes;
}

QString Stored(const QString& name, int width) {
    QString stored;
    for (const QString& code : AllOf(name)) {
        const QString next = stored.isEmpty() ? code : stored + QLatin1Char(' ') + code;
        if (next.size() > width)
            break;
        stored = next;
    }
    return stored;
}

bool Matches(const QString& stored, const QString& typed) {
    const QString wanted = typed.trimmed().toLower();
    if (wanted.isEmpty())
        return false;
    const QStringList codes = stored.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return std::any_of(codes.begin(), codes.end(),
                       [&](const QString& code) { return code.startsWith(wanted); });
}

} // namespace pinyincode

#include "id_card.h"

#include "ascii_digit.h"
#include <array>

namespace idcard {

namespace {

constexpr int kLength = 18;
constexpr int kAreaLength = 6;
constexpr int kBirthAt = 6;
constexpr int kBirthLength = 8;
constexpr int kShownTail = 4;
constexpr int kEarliestYear = 1900;
// ISO 7064 MOD 11-2 as GB 11643 writes it out.
constexpr std::array<int, kLength - 1> kWeights = {7, 9, 10, 5,  8, 4, 2, 1, 6,
                                                   3, 7, 9,  10, 5, 8, 4, 2};
constexpr char kCheckCharacters[] = "10X98765432";

QChar CheckCharacter(const QString& id) {
    int sum = 0;
    for (int i = 0; i < kLength - 1; ++i)
        sum += (id[i].unicode() - u'0') * kWeights[static_cast<std::size_t>(i)];
    return QLatin1Char(kCheckCharacters[sum % 11]);
}

} // namespace

QString Normalized(const QString& typed) {
    QString id = typed.trimmed();
    if (id.endsWith(QLatin1Char('x')))
        id.back() = QLatin1Char('X');
    return id;
}

QString Problem(const QString& typed, const QDate& today) {
    const QString id = Normalized(typed);
    if (id.isEmpty())
        return QStringLiteral("请输入身份证号");
    if (id.size() != kLength)
        return QStringLiteral("身份证号应为 18 位（17 位数字加 1 位校验位），输入的是 %1 位")
            .arg(id.size());
    for (int i = 0; i < kLength - 1; ++i)
        if (!IsAsciiDigit(id[i]))
            return QStringLiteral("身份证号前 17 位应为数字，第 %1 位“%2”不是数字")
                .arg(QString::number(i + 1), QString(id[i]));
    if (!IsAsciiDigit(id.back()) && id.back() != QLatin1Char('X'))
        return QStringLiteral("身份证号第 18 位（校验位）应为数字或 X");
    if (id.left(kAreaLength) == QString(kAreaLength, QLatin1Char('0')))
        return QStringLiteral("身份证号前 6 位地区码不能全为 0");

    const QString birthText = id.mid(kBirthAt, kBirthLength);
    const QDate birth = QDate::fromString(birthText, QStringLiteral("yyyyMMdd"));
    if (!birth.isValid())
        return QStringLiteral("身份证号中的出生日期 %1 不是有效日期").arg(birthText);
    if (birth.year() < kEarliestYear)
        return QStringLiteral("身份证号中的出生日期 %1 早于 1900 年").arg(birthText);
    if (birth > today)
        return QStringLiteral("身份证号中的出生日期 %1 晚于今天").arg(birthText);

    if (CheckCharacter(id) != id.back())
        return QStringLiteral("身份证号校验位不对，请核对号码");
    return {};
}

QString Masked(const QString& id) {
    const QString shown = Normalized(id);
    const qsizetype size = shown.size();
    if (size <= kShownTail)
        return QString(size, QLatin1Char('*'));
    if (size == kLength)
        return shown.left(kAreaLength) +
               QString(kLength - kAreaLength - kShownTail, QLatin1Char('*')) +
               shown.right(kShownTail);
    return QString(size - kShownTail, QLatin1Char('*')) + shown.right(kShownTail);
}

QString LogForm(const QString& id) {
    return Masked(id);
}

} // namespace idcard

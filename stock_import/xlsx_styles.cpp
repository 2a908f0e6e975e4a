#include "xlsx_styles.h"

#include <QHash>
#include <QXmlStreamReader>

#include <charconv>
#include <cmath>
#include <cstdio>

namespace xlsxstyles {

namespace {

// The built-in formats that show dates or times, the East Asian ones as Excel and WPS mean them
// for Chinese dates without spelling them out in the file.
QString BuiltinCode(int id) {
    static const QHash<int, QString> codes{
        {14, QStringLiteral("m/d/yyyy")},
        {15, QStringLiteral("d-mmm-yy")},
        {16, QStringLiteral("d-mmm")},
        {17, QStringLiteral("mmm-yy")},
        {18, QStringLiteral("h:mm AM/PM")},
        {19, QStringLiteral("h:mm:ss AM/PM")},
        {20, QStringLiteral("h:mm")},
        {21, QStringLiteral("h:mm:ss")},
        {22, QStringLiteral("m/d/yyyy h:mm")},
        {27, QStringLiteral("yyyy\"年\"m\"月\"")},
        {28, QStringLiteral("m\"月\"d\"日\"")},
        {29, QStringLiteral("m\"月\"d\"日\"")},
        {30, QStringLiteral("m-d-yy")},
        {31, QStringLiteral("yyyy\"年\"m\"月\"d\"日\"")},
        {32, QStringLiteral("h\"时\"mm\"分\"")},
        {33, QStringLiteral("h\"时\"mm\"分\"ss\"秒\"")},
        {34, QStringLiteral("上午/下午h\"时\"mm\"分\"")},
        {35, QStringLiteral("上午/下午h\"时\"mm\"分\"ss\"秒\"")},
        {36, QStringLiteral("yyyy\"年\"m\"月\"")},
        {45, QStringLiteral("mm:ss")},
        {46, QStringLiteral("[h]:mm:ss")},
        {47, QStringLiteral("mmss.0")},
        {50, QStringLiteral("yyyy\"年\"m\"月\"")},
        {51, QStringLiteral("m\"月\"d\"日\"")},
        {52, QStringLiteral("yyyy\"年\"m\"月\"")},
        {53, QStringLiteral("m\"月\"d\"日\"")},
        {54, QStringLiteral("m\"月\"d\"日\"")},
        {55, QStringLiteral("上午/下午h\"时\"mm\"分\"")},
        {56, QStringLiteral("上午/下午h\"时\"mm\"分\"ss\"秒\"")},
        {57, QStringLiteral("yyyy\"年\"m\"月\"")},
        {58, QStringLiteral("m\"月\"d\"日\"")},
    };
    return codes.value(id);
}

// The letters of a format's first section that stand for parts of a date or time, in order:
// quoted text, escaped characters, brackets, spacing (_x), fill (*x) and AM/PM left out.
QString DateLetters(const QString& code) {
    QString letters;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == QLatin1Char(';'))
            break;
        if (c == QLatin1Char('"')) {
            const qsizetype end = code.indexOf(QLatin1Char('"'), i + 1);
            i = end < 0 ? code.size() : end;
        } else if (c == QLatin1Char('\\') || c == QLatin1Char('_') || c == QLatin1Char('*')) {
            ++i;
        } else if (c == QLatin1Char('[')) {
            const qsizetype end = code.indexOf(QLatin1Char(']'), i + 1);
            i = end < 0 ? code.size() : end;
        } else if (code.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0) {
            i += 4;
        } else if (code.mid(i, 3).compare(QLatin1String("A/P"), Qt::CaseInsensitive) == 0) {
            i += 2;
        } else if (QStringLiteral("ymdhs").contains(c.toLower())) {
            letters += c.toLower();
        } else if (c.isLetter() && c.unicode() < 0x80) {
            // Any other Latin letter (General, E+) is no date part.
            letters += QLatin1Char('.');
        }
    }
    return letters;
}

} // namespace

std::vector<EShown> CellStyles(const QByteArray& stylesXml) {
    QHash<int, EShown> custom;
    std::vector<EShown> styles;
    QXmlStreamReader xml(stylesXml);
    bool inCellXfs = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == u"cellXfs")
            inCellXfs = false;
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (xml.name() == u"numFmt") {
            custom.insert(attributes.value(QLatin1String("numFmtId")).toInt(),
                          ShownBy(attributes.value(QLatin1String("formatCode")).toString()));
        } else if (xml.name() == u"cellXfs") {
            inCellXfs = true;
        } else if (inCellXfs && xml.name() == u"xf") {
            const int id = attributes.value(QLatin1String("numFmtId")).toInt();
            styles.push_back(custom.contains(id) ? custom.value(id) : ShownBy(BuiltinCode(id)));
        }
    }
    return styles;
}

EShown ShownBy(const QString& formatCode) {
    const QString letters = DateLetters(formatCode);
    bool day = false, month = false, year = false;
    for (qsizetype i = 0; i < letters.size(); ++i) {
        const QChar c = letters[i];
        if (c == QLatin1Char('y'))
            year = true;
        else if (c == QLatin1Char('d'))
            day = true;
        else if (c == QLatin1Char('m')) {
            // Beside an hour before it or seconds after it, m counts minutes.
            qsizetype before = i - 1;
            while (before >= 0 && letters[before] == QLatin1Char('m'))
                --before;
            qsizetype after = i + 1;
            while (after < letters.size() && letters[after] == QLatin1Char('m'))
                ++after;
            const bool minutes = (before >= 0 && letters[before] == QLatin1Char('h')) ||
                                 (after < letters.size() && letters[after] == QLatin1Char('s'));
            if (!minutes)
                month = true;
            i = after - 1;
        }
    }
    if (day)
        return EShown::Day;
    if (year || month)
        return EShown::Month;
    return EShown::Number;
}

QDate SerialDate(double serial, bool from1904) {
    const long long day = static_cast<long long>(std::floor(serial));
    if (from1904)
        return day < 0 ? QDate() : QDate(1904, 1, 1).addDays(day);
    if (day < 1)
        return QDate();
    return QDate(1899, 12, 31).addDays(day < 60 ? day : day - 1);
}

QString PlainNumber(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", value);
    const double shown = std::strtod(text, nullptr);
    char out[400];
    const auto result = std::to_chars(out, out + sizeof out, shown, std::chars_format::fixed);
    if (result.ec != std::errc())
        return QString::fromLatin1(text);
    return QString::fromLatin1(out, result.ptr - out);
}

} // namespace xlsxstyles

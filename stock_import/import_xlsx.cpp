// The first sheet of a workbook: a zip of XML parts, read with QuaZip and QXmlStreamReader.
#include "import_file.h"
#include "import_rows.h"
#include "xlsx_styles.h"

#include <QFile>
#include <QHash>
#include <QXmlStreamReader>
#include <quazip.h>
#include <quazipfile.h>

namespace {

// No part of a stock list comes near this; a larger one is a zip bomb or not a stock list.
constexpr qint64 kLargestPart = 256ll * 1024 * 1024;

const QString kBroken = QStringLiteral(
    "文件不是有效的 XLSX 工作簿（%1），请在 Excel 或 WPS 中打开后另存为 .xlsx 或 .csv");

class CWorkbookZip {
public:
    explicit CWorkbookZip(const QString& path) : m_zip(path) {}
    bool Open() { return m_zip.open(QuaZip::mdUnzip); }
    bool Has(const QString& name) { return m_zip.setCurrentFile(name); }
    // nullopt with `failure` set when the part is missing or unreadable.
    std::optional<QByteArray> Part(const QString& name, QString* failure) {
        if (!m_zip.setCurrentFile(name)) {
            *failure = kBroken.arg(QStringLiteral("缺少 %1").arg(name));
            return std::nullopt;
        }
        QuaZipFileInfo64 info;
        if (m_zip.getCurrentFileInfo(&info) && (info.flags & 1)) {
            *failure = QStringLiteral("工作簿已加密，请在 Excel 或 WPS 中去掉密码后另存再导入");
            return std::nullopt;
        }
        if (info.uncompressedSize > quint64(kLargestPart)) {
            *failure = kBroken.arg(QStringLiteral("%1 太大").arg(name));
            return std::nullopt;
        }
        QuaZipFile file(&m_zip);
        if (!file.open(QIODevice::ReadOnly)) {
            *failure = kBroken.arg(QStringLiteral("无法解压 %1").arg(name));
            return std::nullopt;
        }
        QByteArray bytes = file.read(kLargestPart + 1);
        file.close();
        if (file.getZipError() != UNZ_OK || bytes.size() > kLargestPart) {
            *failure = kBroken.arg(QStringLiteral("%1 已损坏").arg(name));
            return std::nullopt;
        }
        return bytes;
    }

private:
    QuaZip m_zip;
};

// A part's path from a relationship's target, which is relative to xl/ or absolute.
QString PartPath(const QString& target) {
    if (target.startsWith(u'/'))
        return target.mid(1);
    QString path = QStringLiteral("xl/") + target;
    while (path.contains(QStringLiteral("/../"))) {
        const qsizetype up = path.indexOf(QStringLiteral("/../"));
        const qsizetype parent = path.lastIndexOf(u'/', up - 1);
        path.remove(parent + 1, up + 4 - (parent + 1));
    }
    return path;
}

// The text of an <si> or <is>: its <t>, or its runs' <t> together; phonetic runs left out.
QString RichText(QXmlStreamReader& xml) {
    QString text;
    const QString end = xml.name().toString();
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == end)
            break;
        if (xml.isStartElement() && xml.name() == u"rPh")
            xml.skipCurrentElement();
        else if (xml.isStartElement() && xml.name() == u"t")
            text += xml.readElementText();
    }
    return text;
}

std::optional<QStringList> SharedStrings(const QByteArray& bytes) {
    QStringList strings;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"si")
            strings.append(RichText(xml));
    if (xml.hasError())
        return std::nullopt;
    return strings;
}

struct CFirstSheet {
    QString name;
    QString path;
    QString sharedStrings; // empty when the workbook has none
    QString styles;
    bool from1904 = false;
};

std::optional<CFirstSheet> FirstSheet(CWorkbookZip& zip, QString* failure) {
    const std::optional<QByteArray> workbook = zip.Part(QStringLiteral("xl/workbook.xml"), failure);
    if (!workbook)
        return std::nullopt;
    const std::optional<QByteArray> rels =
        zip.Part(QStringLiteral("xl/_rels/workbook.xml.rels"), failure);
    if (!rels)
        return std::nullopt;
    CFirstSheet sheet;
    QString relation;
    QXmlStreamReader book(*workbook);
    while (!book.atEnd()) {
        if (book.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = book.attributes();
        if (book.name() == u"workbookPr") {
            const QStringView flag = attributes.value(QLatin1String("date1904"));
            sheet.from1904 = flag == u"1" || flag == u"true";
        } else if (book.name() == u"sheet" && relation.isEmpty()) {
            sheet.name = attributes.value(QLatin1String("name")).toString();
            for (const QXmlStreamAttribute& a : attributes)
                if (a.name() == u"id" && a.prefix() != u"")
                    relation = a.value().toString();
        }
    }
    if (book.hasError() || relation.isEmpty()) {
        *failure = kBroken.arg(QStringLiteral("找不到工作表"));
        return std::nullopt;
    }
    QXmlStreamReader links(*rels);
    while (!links.atEnd()) {
        if (links.readNext() != QXmlStreamReader::StartElement || links.name() != u"Relationship")
            continue;
        const QXmlStreamAttributes a = links.attributes();
        const QString target = PartPath(a.value(QLatin1String("Target")).toString());
        const QStringView type = a.value(QLatin1String("Type"));
        if (a.value(QLatin1String("Id")) == relation)
            sheet.path = target;
        else if (type.endsWith(u"/sharedStrings"))
            sheet.sharedStrings = target;
        else if (type.endsWith(u"/styles"))
            sheet.styles = target;
    }
    if (sheet.path.isEmpty()) {
        *failure = kBroken.arg(QStringLiteral("找不到第一个工作表“%1”").arg(sheet.name));
        return std::nullopt;
    }
    return sheet;
}

// "AB12" → column 27 (0-based); -1 when the reference has no letters.
int ColumnOf(QStringView reference) {
    int column = 0;
    qsizetype i = 0;
    for (; i < reference.size() && i < 3; ++i) {
        const char16_t c = reference[i].toUpper().unicode();
        if (c < u'A' || c > u'Z')
            break;
        column = column * 26 + (c - u'A' + 1);
    }
    return i == 0 || column > 16384 ? -1 : column - 1;
}

struct CCellContext {
    const QStringList& shared;
    const std::vector<xlsxstyles::EShown>& styles;
    bool from1904;
};

QString CellText(QXmlStreamReader& xml, const CCellContext& context) {
    const QXmlStreamAttributes a = xml.attributes();
    const QString type = a.value(QLatin1String("t")).toString();
    const int style = a.value(QLatin1String("s")).toInt();
    QString value;
    bool hasValue = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == u"c")
            break;
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"v") {
            value = xml.readElementText();
            hasValue = true;
        } else if (xml.name() == u"is") {
            value = RichText(xml);
        } else {
            xml.skipCurrentElement(); // a formula: its value is in <v>
        }
    }
    if (type == u"inlineStr" || type == u"str" || type == u"e")
        return value;
    if (type == u"s") {
        bool ok = false;
        const int index = value.toInt(&ok);
        return ok && index >= 0 && index < context.shared.size() ? context.shared[index]
                                                                 : QString();
    }
    if (type == u"b")
        return value == u"1" ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    if (type == u"d")
        return value.left(10); // ISO 8601; the day is all an expiry needs
    if (!hasValue)
        return {};
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok)
        return value;
    const xlsxstyles::EShown shown = style >= 0 && size_t(style) < context.styles.size()
                                         ? context.styles[style]
                                         : xlsxstyles::EShown::Number;
    if (shown != xlsxstyles::EShown::Number) {
        const QDate date = xlsxstyles::SerialDate(number, context.from1904);
        if (date.isValid())
            return date.toString(shown == xlsxstyles::EShown::Month ? QStringLiteral("yyyy-MM")
                                                                    : QStringLiteral("yyyy-MM-dd"));
    }
    return xlsxstyles::PlainNumber(number);
}

std::optional<std::vector<CImportRow>> SheetRows(const QByteArray& bytes,
                                                 const CCellContext& context) {
    std::vector<CImportRow> rows;
    QXmlStreamReader xml(bytes);
    int lastLine = 0;
    int nextColumn = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (xml.name() == u"row") {
            const int line = attributes.value(QLatin1String("r")).toInt();
            lastLine = line > lastLine ? line : lastLine + 1;
            rows.push_back(CImportRow{lastLine, {}});
            nextColumn = 0;
        } else if (xml.name() == u"c" && !rows.empty()) {
            const QStringView reference = attributes.value(QLatin1String("r"));
            const int placed = reference.isEmpty() ? nextColumn : ColumnOf(reference);
            const int column = placed < 0 ? nextColumn : placed;
            const QString text = CellText(xml, context);
            QStringList& cells = rows.back().cells;
            while (cells.size() < column)
                cells.append(QString());
            if (cells.size() == column)
                cells.append(text);
            else
                cells[column] = text;
            nextColumn = column + 1;
        }
    }
    if (xml.hasError())
        return std::nullopt;
    return rows;
}

bool LooksEncrypted(const QString& path) {
    // An encrypted workbook is an OLE compound file, not a zip; so is an old .xls.
    QFile file(path);
    return file.open(QIODevice::ReadOnly) &&
           file.read(8) == QByteArray::fromHex("D0CF11E0A1B11AE1");
}

} // namespace

std::optional<CImportTable> ReadXlsx(const QString& path, QString* failure) {
    if (!QFile::exists(path)) {
        *failure = QStringLiteral("文件 %1 不存在").arg(path);
        return std::nullopt;
    }
    CWorkbookZip zip(path);
    if (!zip.Open()) {
        *failure = LooksEncrypted(path)
                       ? QStringLiteral("工作簿已加密或是旧的 .xls 格式，请在 Excel 或 WPS "
                                        "中去掉密码并另存为 .xlsx 或 .csv")
                       : kBroken.arg(QStringLiteral("无法作为 zip 打开"));
        return std::nullopt;
    }
    const std::optional<CFirstSheet> sheet = FirstSheet(zip, failure);
    if (!sheet)
        return std::nullopt;
    QStringList shared;
    if (!sheet->sharedStrings.isEmpty() && zip.Has(sheet->sharedStrings)) {
        const std::optional<QByteArray> bytes = zip.Part(sheet->sharedStrings, failure);
        if (!bytes)
            return std::nullopt;
        std::optional<QStringList> strings = SharedStrings(*bytes);
        if (!strings) {
            *failure = kBroken.arg(QStringLiteral("共享字符串已损坏"));
            return std::nullopt;
        }
        shared = std::move(*strings);
    }
    std::vector<xlsxstyles::EShown> styles;
    if (!sheet->styles.isEmpty() && zip.Has(sheet->styles)) {
        const std::optional<QByteArray> bytes = zip.Part(sheet->styles, failure);
        if (!bytes)
            return std::nullopt;
        styles = xlsxstyles::CellStyles(*bytes);
    }
    const std::optional<QByteArray> bytes = zip.Part(sheet->path, failure);
    if (!bytes)
        return std::nullopt;
    std::optional<std::vector<CImportRow>> rows =
        SheetRows(*bytes, CCellContext{shared, styles, sheet->from1904});
    if (!rows) {
        *failure = kBroken.arg(QStringLiteral("工作表“%1”已损坏").arg(sheet->name));
        return std::nullopt;
    }
    return importrows::Table(std::move(*rows),
                             QStringLiteral("XLSX 第一个工作表“%1”").arg(sheet->name));
}

#include "import_template.h"
#include "import_columns.h"

#include <QBuffer>
#include <QSaveFile>
#include <quazip.h>
#include <quazipfile.h>

namespace importtemplate {

namespace {

QString Save(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("无法写入 %1：%2").arg(path, file.errorString());
    return {};
}

QByteArray Escaped(const QString& text) {
    return text.toHtmlEscaped().toUtf8();
}

QByteArray SheetXml() {
    QByteArray cells;
    const QStringList headers = Headers();
    for (int i = 0; i < headers.size(); ++i)
        cells += "<c r=\"" + QByteArray(1, char('A' + i)) + "1\" t=\"inlineStr\"><is><t>" +
                 Escaped(headers[i]) + "</t></is></c>";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
           "<cols><col min=\"1\" max=\"12\" width=\"16\" customWidth=\"1\"/></cols>"
           "<sheetData><row r=\"1\">" +
           cells + "</row></sheetData></worksheet>";
}

struct CPart {
    const char* name;
    QByteArray content;
};

std::vector<CPart> Parts() {
    const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    return {
        {"[Content_Types].xml",
         head + "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                "<Default Extension=\"rels\" "
                "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/"
                "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
                "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"application/"
                "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
                "</Types>"},
        {"_rels/.rels",
         head + "<Relationships "
                "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/"
                "officeDocument/2006/relationships/officeDocument\" Target=\"xl/workbook.xml\"/>"
                "</Relationships>"},
        {"xl/workbook.xml",
         head +
             "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
             "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
             "<sheets><sheet name=\"" +
             Escaped(QStringLiteral("期初库存")) +
             "\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         head + "<Relationships "
                "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/"
                "officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
                "</Relationships>"},
        {"xl/worksheets/sheet1.xml", SheetXml()},
    };
}

} // namespace

QStringList Headers() {
    QStringList headers;
    for (int f = 0; f < importcolumns::kFields; ++f)
        headers.append(importcolumns::FieldName(static_cast<importcolumns::EField>(f)));
    return headers;
}

QString WriteTemplateCsv(const QString& path) {
    return Save(path, "\xEF\xBB\xBF" + Headers().join(u',').toUtf8() + "\r\n");
}

QString WriteTemplateXlsx(const QString& path) {
    QBuffer buffer;
    {
        QuaZip zip(&buffer);
        if (!zip.open(QuaZip::mdCreate))
            return QStringLiteral("无法生成工作簿");
        for (const CPart& part : Parts()) {
            QuaZipFile file(&zip);
            if (!file.open(QIODevice::WriteOnly, QuaZipNewInfo(QString::fromLatin1(part.name))) ||
                file.write(part.content) != part.content.size())
                return QStringLiteral("无法生成工作簿");
            file.close();
            if (file.getZipError() != ZIP_OK)
                return QStringLiteral("无法生成工作簿");
        }
        zip.close();
        if (zip.getZipError() != ZIP_OK)
            return QStringLiteral("无法生成工作簿");
    }
    return Save(path, buffer.data());
}

} // namespace importtemplate

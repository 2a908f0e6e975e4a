// The HTML report writer: whatever the cells and titles hold, the file has only the layout's own
// tags, decodes from GB18030 without loss, and every cell reads back as the grid shows it.
#include "html_export.h"
#include "result_table.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QBuffer>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* what, const QString& detail) {
    std::fprintf(stderr, "fuzz_html: %s\n  %s\n", what, detail.toUtf8().constData());
    std::abort();
}

const std::array<QStringView, 14> kLayoutTags = {
    u"<head>",   u"</head>",
    u"<title>",  u"</title>",
    u"<body>",   u"</body>",
    u"</html>",  u"<table border=\"1\" width=\"100%\" cellspacing=\"0\" cellpadding=\"0\">",
    u"</table>", u"<tr>",
    u"</tr>",    u"<td bgcolor=\"#C0C0C0\">",
    u"<td>",     u"</td>"};

// The entities the writer uses, and the characters they stand for.
const std::array<std::pair<QStringView, QChar>, 4> kEntities = {
    {{u"&amp;", u'&'}, {u"&lt;", u'<'}, {u"&gt;", u'>'}, {u"&quot;", u'"'}}};

QString Unescaped(QStringView text, const QString& page) {
    QString out;
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] != u'&') {
            out += text[i++];
            continue;
        }
        bool known = false;
        for (const auto& [entity, character] : kEntities) {
            if (text.mid(i).startsWith(entity)) {
                out += character;
                i += entity.size();
                known = true;
                break;
            }
        }
        if (!known)
            Fail("a bare '&' in a cell makes its text ambiguous", page);
    }
    return out;
}

// Splits the page into the layout's tags and the texts between them; fails on any other markup.
struct Page {
    std::vector<QString> headerCells, bodyCells;
    int rows = 0;
};

Page Read(const QString& page) {
    Page result;
    QStringView openCell;
    qsizetype cellStart = -1;
    for (qsizetype i = 0; i < page.size();) {
        const QChar c = page[i];
        if (c == u'>' || c == u'"')
            Fail("a '>' or '\"' outside the layout's tags", page.mid(i, 80));
        if (c != u'<') {
            ++i;
            continue;
        }
        QStringView tag;
        for (QStringView known : kLayoutTags) {
            if (QStringView(page).mid(i).startsWith(known)) {
                tag = known;
                break;
            }
        }
        if (tag.isEmpty())
            Fail("markup that is not the layout's", page.mid(i, 80));
        if (tag == u"<tr>")
            ++result.rows;
        if (tag.startsWith(u"<td")) {
            openCell = tag;
            cellStart = i + tag.size();
        } else if (tag == u"</td>") {
            if (cellStart < 0)
                Fail("a cell closed that was not opened", page.mid(i, 80));
            const QString text = Unescaped(QStringView(page).mid(cellStart, i - cellStart), page);
            (openCell == u"<td>" ? result.bodyCells : result.headerCells).push_back(text);
            cellStart = -1;
        }
        i += tag.size();
    }
    return result;
}

bool IsValidUtf8(const std::string& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    return !decoder.hasError() && text.toStdString() == bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const int columns = input.ConsumeIntegralInRange(0, 4);
    // Fewer titles than columns happens when a grid is given a short list.
    const int titleCount = input.ConsumeIntegralInRange(0, columns);
    const int rows = input.ConsumeIntegralInRange(0, 5);

    QStringList titles;
    for (int t = 0; t < titleCount; ++t)
        titles << QString::fromUtf8(input.ConsumeRandomLengthString(40));
    CResultTable table;
    table.SetColumns(std::vector<CResultColumn>(size_t(columns)));
    std::vector<std::string> cellBytes;
    for (int r = 0; r < rows; ++r) {
        const int row = table.AppendRow();
        for (int c = 0; c < columns; ++c) {
            // Loads decode the driver's UTF-8 straight into the table.
            cellBytes.push_back(input.ConsumeRandomLengthString(60));
            table.SetCellUtf8(row, c, cellBytes.back());
            const QString cell = table.CellText(row, c);
            if (!QStringView(cell).isValidUtf16())
                Fail("decoding UTF-8 left a lone surrogate", cell);
            if (IsValidUtf8(cellBytes.back()) && cell != QString::fromUtf8(cellBytes.back()))
                Fail("valid UTF-8 decodes differently from Qt's decoder", cell);
        }
    }

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!htmlexport::WriteReport(buffer, titles, table))
        Fail("writing to memory failed", QString());

    QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
    const QString page = decoder.decode(bytes);
    if (decoder.hasError())
        Fail("the report is not GB18030", page);
    const Page read = Read(page);
    if (read.rows != rows + 1 || read.headerCells.size() != size_t(columns) ||
        read.bodyCells.size() != size_t(rows * columns))
        Fail("the report's table has another shape than the grid's", page);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            if (read.bodyCells[size_t(r * columns + c)] != table.CellText(r, c))
                Fail("a cell reads back changed", page);
    return 0;
}

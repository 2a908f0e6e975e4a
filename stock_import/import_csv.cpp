// CSV as spreadsheets write it: quoted cells may hold separators, doubled quotes and line breaks.
#include "import_file.h"
#include "import_rows.h"

#include <QStringDecoder>

namespace {

struct CDecoded {
    QString text;
    QString encoding; // "UTF-8", "GB18030"
    bool bom = false;
};

std::optional<CDecoded> Decode(const QByteArray& bytes) {
    // A BOM says it; without one, text that is valid UTF-8 is taken as such, since GB18030 text
    // of any length is hardly ever valid UTF-8.
    const std::optional<QStringConverter::Encoding> marked =
        QStringConverter::encodingForData(bytes);
    if (marked) {
        QStringDecoder decoder(*marked, QStringConverter::Flag::Stateless);
        QString text = decoder.decode(bytes);
        if (decoder.hasError())
            return std::nullopt;
        const char* name = QStringConverter::nameForEncoding(*marked);
        return CDecoded{text, QString::fromLatin1(name), true};
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return CDecoded{text, QStringLiteral("UTF-8")};
    QStringDecoder gb18030("GB18030", QStringConverter::Flag::Stateless);
    if (!gb18030.isValid())
        return std::nullopt;
    text = gb18030.decode(bytes);
    if (gb18030.hasError())
        return std::nullopt;
    return CDecoded{text, QStringLiteral("GB18030")};
}

// Tab when the first line has tabs and no commas outside quotes.
QChar Separator(const QString& text) {
    bool quoted = false, tabs = false, commas = false;
    for (const QChar c : text) {
        if (c == u'"')
            quoted = !quoted; // near enough for the header line
        else if (!quoted && (c == u'\n' || c == u'\r'))
            break;
        else if (!quoted && c == u'\t')
            tabs = true;
        else if (!quoted && c == u',')
            commas = true;
    }
    return tabs && !commas ? u'\t' : u',';
}

// nullopt when a quote opened on line `*openedOn` is never closed.
std::optional<std::vector<CImportRow>> Records(const QString& text, QChar separator,
                                               int* openedOn) {
    std::vector<CImportRow> rows;
    CImportRow row{1, {}};
    QString cell;
    bool quoted = false;
    bool cellStarted = false; // a quote inside an unquoted cell is just a character (5" 锭)
    const qsizetype n = text.size();
    auto endCell = [&] {
        row.cells.append(cell);
        cell.clear();
        cellStarted = false;
    };
    auto endRecord = [&] {
        endCell();
        rows.push_back(std::move(row));
        row = CImportRow{int(rows.size()) + 1, {}};
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c != u'"')
                cell.append(c);
            else if (i + 1 < n && text[i + 1] == u'"')
                cell.append(text[++i]);
            else
                quoted = false;
        } else if (c == u'"' && !cellStarted) {
            quoted = cellStarted = true;
            *openedOn = row.line;
        } else if (c == separator) {
            endCell();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            endRecord();
        } else {
            cell.append(c);
            cellStarted = true;
        }
    }
    if (quoted)
        return std::nullopt;
    if (cellStarted || !row.cells.isEmpty())
        endRecord();
    return rows;
}

} // namespace

std::optional<CImportTable> ReadCsv(const QByteArray& bytes, QString* failure) {
    const std::optional<CDecoded> decoded = Decode(bytes);
    if (!decoded) {
        *failure = QStringLiteral(
            "文件既不是 UTF-8 也不是 GB18030 编码的文本，请另存为 CSV（UTF-8）后再导入");
        return std::nullopt;
    }
    const QChar separator = Separator(decoded->text);
    const QString readAs =
        QStringLiteral("%1 CSV%2，%3")
            .arg(decoded->encoding, decoded->bom ? QStringLiteral("（带 BOM）") : QString(),
                 separator == u'\t' ? QStringLiteral("制表符分隔") : QStringLiteral("逗号分隔"));
    int openedOn = 0;
    std::optional<std::vector<CImportRow>> rows = Records(decoded->text, separator, &openedOn);
    if (!rows) {
        *failure = QStringLiteral("第 %1 行的引号没有配对，文件在这里之后读不下去").arg(openedOn);
        return std::nullopt;
    }
    return importrows::Table(std::move(*rows), readAs);
}

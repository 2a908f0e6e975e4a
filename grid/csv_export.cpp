#include "csv_export.h"

#include "report_file.h"

#include <QStringEncoder>

namespace csvexport {

namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";

bool LooksLikeFormula(const QString& cell) {
    if (cell.isEmpty())
        return false;
    // A spreadsheet skips a leading tab or CR and may run what follows.
    const QChar first = cell.front();
    if (first != u'=' && first != u'+' && first != u'-' && first != u'@' && first != u'\t' &&
        first != u'\r')
        return false;
    bool number = false;
    cell.toDouble(&number);
    return !number;
}

} // namespace

QString Field(const QString& cell) {
    const QString text = LooksLikeFormula(cell) ? QLatin1Char('\'') + cell : cell;
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\r') &&
        !text.contains(u'\n'))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool WriteCsv(QIODevice& file, const QStringList& titles, const CResultTable& table,
              Encoding encoding) {
    // GB18030 covers every character, as UTF-8 does: nothing is lost either way.
    const auto flags = QStringConverter::Flag::Stateless;
    QStringEncoder encoder = encoding == Encoding::Utf8
                                 ? QStringEncoder(QStringConverter::Utf8, flags)
                                 : QStringEncoder("GB18030", flags);
    if (!encoder.isValid())
        return false;
    QString text;
    QByteArray bytes(encoding == Encoding::Utf8 ? kByteOrderMark : "");
    const auto line = [&](const auto& cellOf) {
        for (int c = 0; c < table.ColumnCount(); ++c) {
            if (c > 0)
                text += QLatin1Char(',');
            text += Field(cellOf(c));
        }
        text += QLatin1String("\r\n");
        // Written in large pieces: a hundred thousand rows must not grow one huge text.
        if (text.size() >= (1 << 16)) {
            bytes += QByteArray(encoder(text));
            text.clear();
            if (file.write(bytes) != bytes.size())
                return false;
            bytes.clear();
        }
        return true;
    };
    if (!line([&](int c) { return reportfile::ShownTitle(titles, c); }))
        return false;
    for (int r = 0; r < table.RowCount(); ++r)
        if (!line([&](int c) { return table.CellText(r, c); }))
            return false;
    bytes += QByteArray(encoder(text));
    return !encoder.hasError() && file.write(bytes) == bytes.size();
}

bool ExportCsv(QWidget* owner, const QStringList& titles, const CResultTable& table,
               Encoding encoding) {
    const QString path =
        reportfile::AskPath(owner, QStringLiteral("CSV 文件 (*.csv)"), QStringLiteral("csv"));
    if (path.isEmpty())
        return false;
    return reportfile::Write(
        owner, path, [&](QIODevice& file) { return WriteCsv(file, titles, table, encoding); });
}

} // namespace csvexport

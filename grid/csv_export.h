#pragma once
// Saving what a grid shows as a CSV file for spreadsheets: UTF-8 with a byte-order mark (or, on
// request, GB18030 without one, for upload tools that read no UTF-8), commas, fields quoted as
// RFC 4180 says, CR LF line ends, the header row first.
#include "result_table.h"

#include <QIODevice>
#include <QString>
#include <QStringList>

class QWidget;

namespace csvexport {

enum class Encoding { Utf8, Gb18030 };

// One cell as a field: quoted (quotes doubled) when it holds a comma, a quote, CR or LF; a text
// that begins with = + - @ tab or CR and is no number gets a leading apostrophe, so that no
// spreadsheet runs it as a formula ("-ABC" too: telling formulas apart is the spreadsheet's
// business, and an apostrophe costs nothing).
QString Field(const QString& cell);
// The whole file: the titles as shown (no sort arrow), then every row in display order.
bool WriteCsv(QIODevice& file, const QStringList& titles, const CResultTable& table,
              Encoding encoding = Encoding::Utf8);
// Asks for the file (filter "CSV 文件 (*.csv)"; ".csv" added to a name without an ending) and
// writes it. False when cancelled or nothing could be written; a failure is shown.
bool ExportCsv(QWidget* owner, const QStringList& titles, const CResultTable& table,
               Encoding encoding = Encoding::Utf8);

} // namespace csvexport

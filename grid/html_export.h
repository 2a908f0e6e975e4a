#pragma once
// Saving what a grid shows as a one-table HTML file (GB18030 bytes, CR LF line ends).
#include "result_table.h"
#include <QIODevice>
#include <QString>

class QWidget;

namespace htmlexport {

// The chosen path as it is (Linux names are case-sensitive: another case is another file);
// ".htm" appended only to a file name without an ending.
QString ReportPath(const QString& chosen);
// `&`, `<`, `>` and `"` as entities, so no cell adds markup.
QString Escaped(const QString& text);
// Writes the text's bytes and, when `lineEnd`, CR LF. False on a write error.
bool WriteText(QIODevice& file, const QString& text, bool lineEnd);
// The whole file: head, title, the table with header cells from `titles` (arrows removed,
// trailing blanks removed) and every row of `table` in display order.
bool WriteReport(QIODevice& file, const QStringList& titles, const CResultTable& table);
// Asks for the file (through Prompts(), filter "HTM Files (*.HTM)"; asking before the added
// ending replaces another file) and writes it. False when cancelled or nothing could be
// written; a write error is shown.
bool ExportHtml(QWidget* owner, const QStringList& titles, const CResultTable& table);

} // namespace htmlexport

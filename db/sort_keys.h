#pragma once
// How the grid orders its rows on a header click, and the arrow in the sorted column's title.
#include "result_table.h"
#include <QByteArray>
#include <QString>
#include <vector>

namespace sortkeys {

// The number a text begins with: blanks skipped, optional sign, digits with an optional decimal
// point and exponent. A text that does not begin with a number counts as 0.
double LeadingNumber(QStringView text);
// The bytes texts are compared by: GB18030, so Chinese sorts as users of GBK programs know.
QByteArray TextKey(QStringView text);
// The new display order of `table` for a click on `column` with direction flag `flag`:
// numeric columns ascending when the flag is true; other columns descending when it is true.
std::vector<int> SortOrder(const CResultTable& table, int column, bool flag);

// The title cut at its first "↓", then at its first "↑".
QString CutArrow(const QString& title);
// The cut title with "↓" (flag true) or "↑" (flag false) appended.
QString WithArrow(const QString& title, bool flag);
// The title with every arrow removed: the column's name for statements and reports.
QString ColumnName(const QString& title);

} // namespace sortkeys

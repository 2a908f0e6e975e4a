#pragma once
// Dates in a workbook are numbers shown through a date format: which cell styles are dates,
// and the day a serial number names.
#include <QByteArray>
#include <QDate>
#include <QString>
#include <vector>

namespace xlsxstyles {

enum class EShown { Number, Day, Month };

// For each cell style (xl/styles.xml, cellXfs, in order): what its number format shows.
std::vector<EShown> CellStyles(const QByteArray& stylesXml);

// What a format code shows: a date when it has y, m or d outside quotes, escapes and brackets,
// and is not a time alone (m beside h or s is minutes); a month when it has no d ("yyyy-mm",
// "mmm-yy"), which an expiry means as the month's last day.
EShown ShownBy(const QString& formatCode);

// The day of a serial number: 1 is 1900-01-01 and Excel's 29 February 1900 (serial 60) is
// counted, so later serials are one day less; with the 1904 system, 0 is 1904-01-01. An
// invalid date when the serial is before the first day.
QDate SerialDate(double serial, bool from1904);

// The shortest plain decimal that a spreadsheet shows for `value` (15 significant digits):
// "100000", not "1e+05"; "12.3", not "12.300000000000001".
QString PlainNumber(double value);

} // namespace xlsxstyles

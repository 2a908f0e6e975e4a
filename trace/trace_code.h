#pragma once
// The shape of a trace code, checked before anything is looked up. Accepted: the national
// 20-digit 药品追溯码; and the GS1 element string of a data matrix as a scanner types it, with
// its parts (01) GTIN-14, (17) expiry YYMMDD, (10) batch, (21) serial, in brackets or
// separated by the group separator (ASCII 29), with or without the scanner's "]d2". A box is its
// GTIN and serial: a GS1 code is kept as "(01)<GTIN-14>(21)<serial>" (at most 42 characters),
// its GTIN's check digit checked; the batch and expiry parts are checked for shape only, since
// the box's card holds them.
#include <QString>

namespace tracecode {

// The code as the books keep it: blanks around it dropped; a GS1 string as "(01)…(21)…".
// Empty when the text is no trace code.
QString Normalized(const QString& typed);
// Why `typed` is no trace code, for the user ("追溯码应为 20 位数字…"); empty when it is one.
QString Problem(const QString& typed);
// Whether a scanner's burst of digits is a trace code rather than a barcode: 20 digits.
bool IsTraceShape(const QString& digits);

} // namespace tracecode

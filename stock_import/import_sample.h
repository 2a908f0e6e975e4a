#pragma once
// A realistic opening-stock file, for the bench and for trying the import window by hand.
#include <QByteArray>
#include <QList>

namespace importsample {

// A GB18030 CSV of `batches` rows over `drugs` drugs (names, makers, pack models, batch
// numbers, expiries 2027–2029 in mixed date forms, quantities, costs and higher prices, valid
// EAN-13 codes); the rows on `faultyLines` (as a spreadsheet numbers them: the header is 1)
// get an expiry that is no date.
QByteArray SampleCsv(int batches, int drugs, const QList<int>& faultyLines);

} // namespace importsample

#pragma once
// Money to the fen: the one rounding every shown, summed or printed amount goes through.
#include <QString>

namespace money {

// Fen, half away from zero, on the value's decimal text at 15 significant digits: the decimal
// the user typed or sees, not the binary double beneath it (1.005 → 101, 2.675 → 268,
// -1.005 → -101). Fifteen digits, not the shortest text: a product or sum, in the program or in
// SQL, carries binary noise (1.005 × 3 is 3.0149999999999997) that the shortest text keeps.
// From a thousand million million yuan on, the fen saturate; NaN is 0.
long long Cents(double yuan);
// "1.01", "-0.50", "0.00".
QString Yuan(long long cents);
// Yuan(Cents(yuan)); from a thousand million million yuan on, the value's own digits.
QString Amount(double yuan);

} // namespace money

#pragma once
// Text measured as a printer lays it out, in points: at screen sizes the hinted glyphs come out
// narrower than on paper. The printed pages and the receipts measure the same way.
#include <QFont>
#include <QFontMetricsF>

namespace printermetrics {

// Metrics at 1200 dots per inch.
QFontMetricsF Metrics(const QFont& font);
// Their lengths in points.
constexpr double kToPoints = 72.0 / 1200;

} // namespace printermetrics

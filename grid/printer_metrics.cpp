#include "printer_metrics.h"

#include <QImage>

namespace printermetrics {

QFontMetricsF Metrics(const QFont& font) {
    constexpr double kDpi = 72 / kToPoints;
    static const QImage printer = [] {
        QImage image(1, 1, QImage::Format_ARGB32);
        image.setDotsPerMeterX(qRound(kDpi / 0.0254));
        image.setDotsPerMeterY(qRound(kDpi / 0.0254));
        return image;
    }();
    return QFontMetricsF(font, &printer);
}

} // namespace printermetrics

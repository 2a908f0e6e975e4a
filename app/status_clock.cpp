#include "status_clock.h"

QString ClockText(const QDateTime& now) {
    const QDate date = now.date();
    const QTime time = now.time();
    return QString::asprintf("%04d年%02d月%02d日%02d点%02d分", date.year(), date.month(),
                             date.day(), time.hour(), time.minute());
}

QString ClockPlaceholder() {
    return QStringLiteral("0000年00月00日00点00分");
}

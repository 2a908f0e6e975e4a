#include "sql_text.h"

#include "money.h"
#include "text_forms.h"

namespace sqltext {

QString Escape(const QString& text) {
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return out;
}

QString Quote(const QString& text) {
    return QLatin1Char('\'') + Escape(text) + QLatin1Char('\'');
}

QString Number(double value) {
    return QString::asprintf("%f", value);
}

QString Count(long long value) {
    return QString::asprintf("%lld", value);
}

QString Amount(double value) {
    return money::Amount(value);
}

QString Exact(double value) {
    return textforms::ShortestDouble(value);
}

QString Date(const QDate& date) {
    return QString::asprintf("%04d-%02d-%02d", date.year(), date.month(), date.day());
}

QString Timestamp(const QDateTime& time) {
    const QDate d = time.date();
    const QTime t = time.time();
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", d.year(), d.month(), d.day(),
                             t.hour(), t.minute(), t.second());
}

QString WholeDayRange(const QString& from, const QString& to) {
    return QStringLiteral("BETWEEN '%1 00:00:00.000' AND '%2 23:59:59.999'")
        .arg(Escape(from), Escape(to));
}

} // namespace sqltext

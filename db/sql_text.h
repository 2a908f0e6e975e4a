#pragma once
// The one place that turns values into the text forms of the statements.
#include <QDate>
#include <QDateTime>
#include <QString>

namespace sqltext {

// 'text' with every single quote doubled, so the text stays one literal.
QString Quote(const QString& text);
// The text between the quotes of a literal (quotes doubled), for templates that supply them.
QString Escape(const QString& text);
// "%f": six decimals.
QString Number(double value);
// "%d".
QString Count(long long value);
// Yuan to the fen, as money::Amount rounds it: "1.01".
QString Amount(double value);
// The shortest text that reads back as the same double: a stored quantity found again exactly.
QString Exact(double value);
// "%04d-%02d-%02d".
QString Date(const QDate& date);
// "%04d-%02d-%02d %02d:%02d:%02d".
QString Timestamp(const QDateTime& time);
// "BETWEEN 'from 00:00:00.000' AND 'to 23:59:59.999'" for two date texts.
QString WholeDayRange(const QString& from, const QString& to);

} // namespace sqltext

#pragma once
// Combination products containing ephedrine (含麻黄碱类复方制剂): the buyer whose ID card is
// checked, how many boxes one customer may take, and the same buyer coming back within days.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

class CDatabase;

namespace ephedrine {

// At most this many boxes a customer's 本单, unless sold on a prescription.
constexpr double kBoxesPerSale = 2;
// A buyer seen again within this many days is told of (or refused, as the 店长 set).
constexpr int kRepeatDays = 7;

struct CBuyer {
    QString name; // 姓名
    QString id;   // 身份证号, as idcard::Normalized keeps it
};

// Why `buyer` cannot be registered (姓名 missing, the number malformed); empty when it can.
QString Problem(const CBuyer& buyer, const QDate& today);
// `buyer` as the books keep it.
CBuyer Normalized(const CBuyer& buyer);

// The boxes a sale line takes: whole boxes, or the boxes its pieces open.
double BoxesOf(bool splitPack, unsigned quantity, unsigned piecesPerBox);
// The refusal of `line` boxes more after `before` in the same 本单, naming the limit; empty
// while within it.
QString OverLimit(double before, double line);

// The buyer's earlier purchases since `since` on every counter of the books, reversed sales left
// out, newest first: "2026-12-05 10:12 复方甘草片 1 盒". Throws CDBException.
QStringList Earlier(CDatabase& db, const QString& id, const QDateTime& since);

// What the 店长 decided for a buyer seen again within kRepeatDays: refused, or only warned
// (the default). Shared by every counter on the books. Throws CDBException.
bool RepeatRefused(CDatabase& db);
// Sets it with its log row. Throws CDBException.
void SetRepeatRefused(CDatabase& db, bool refused, const QString& operatorName,
                      const QDateTime& now);

// What the counter says of `earlier` purchases: a question to go on, or the refusal.
QString RepeatText(const QStringList& earlier, bool refused);

} // namespace ephedrine

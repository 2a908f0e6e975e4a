#pragma once
// The words of the 损 records: the reasons, and boxes and money as the counter reads them.
#include "loss_statements.h"

#include <QString>
#include <QStringList>

namespace losstext {

inline const QString kExpired = QStringLiteral("过期");
inline const QString kBroken = QStringLiteral("破损");
inline const QString kReturn = QStringLiteral("退回供应商");
inline const QString kShortfall = QStringLiteral("盘亏");
inline const QString kSurplus = QStringLiteral("盘盈");
inline const QString kOther = QStringLiteral("其他");

// What the write-off offers; 盘亏 and 盘盈 come only from a stock-take.
QStringList WriteOffReasons();

// At most two decimals, without trailing zeros: "25.71", "3".
QString Boxes(double boxes);
// "%.2f".
QString Money(double amount);
// 数量 × 成本单价, "%.2f".
QString Cost(const losssql::Loss& loss);

} // namespace losstext

#pragma once
// The statements of the three detail commands, for the date the command runs on.
#include <QDate>
#include <QString>

// 本日销售明细: the sales of `today`, oldest first.
QString TodaySalesStatement(const QDate& today);
// 库存明细: every stock card.
QString StockListStatement();
// 本年度采购明细: purchases from 1 January of `today`'s year up to and including 1 January of
// the next year, oldest first.
QString YearPurchasesStatement(const QDate& today);

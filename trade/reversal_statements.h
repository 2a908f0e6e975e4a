#pragma once
// The statements of 销售冲正, with their values bound: a sale found by its number or its
// receipt, and the reversing row that takes it back.
#include "sql_params.h"

#include <QString>
#include <vector>

class CResultTable;

namespace reversalsql {

// A sale as the books hold it, with what a reversal needs of it.
struct Sale {
    QString number; // 单号
    QString stamp;  // 日期时间
    QString name;
    QString origin;
    QString packModel;
    QString expiry;
    double price = 0;
    double quantity = 0; // boxes, as stored
    QString saleType;
    double amount = 0;  // 实收金额
    double badDebt = 0; // 坏帐
    QString clerk;
    QString receipt;    // 小票号
    QString reverses;   // 冲正单号: the sale this row reverses; "" for a sale
    QString reversedBy; // the 单号 of the row that reverses this sale; "" when none
};

// The sale numbered `number`.
CStatement ByNumber(const QString& number);
// The sales printed on receipt `receipt`, in time order.
CStatement ByReceipt(const QString& receipt);
// The sales of a result of ByNumber or ByReceipt.
std::vector<Sale> Read(const CResultTable& rows);
// The 单号 of the row that reverses the sale numbered `number`, if any.
CStatement ReversalOf(const QString& number);
// The reversing row of `sale`: stamped `stamp`, entered by `clerk`, numbered `number`.
CStatement InsertReversal(const Sale& sale, const QString& stamp, const QString& clerk,
                          const QString& number);
// The sale's boxes back on its card; changes no row when the card is gone.
CStatement RaiseStock(const Sale& sale);

} // namespace reversalsql

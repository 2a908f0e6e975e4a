#pragma once
// Forms and book readings shared by the entry tests.
#include "CTestBooks.h"
#include "purchase_entry.h"
#include "query_rows.h"
#include "sales_entry.h"

#include <vector>

namespace entrytest {

// A batch of 阿莫西林胶囊, expiring 2005-04-30.
inline CPurchaseEntry::Form Batch(const QString& price, const QString& quantity) {
    CPurchaseEntry::Form form;
    form.purchaseDate = QDate(2003, 5, 1);
    form.purchaser = QStringLiteral("张明");
    form.category = QStringLiteral("西药");
    form.subCategory = QStringLiteral("抗生素");
    form.code = QStringLiteral("YP001");
    form.name = QStringLiteral("阿莫西林胶囊");
    form.origin = QStringLiteral("石药集团");
    form.packModel = QStringLiteral("0.25g*24粒");
    form.batch = QStringLiteral("24031501");
    form.expiry = QDate(2005, 4, 30);
    form.price = price;
    form.quantity = quantity;
    return form;
}

// A sale from the card of Batch, as the dialog would hold it with the time stamp typed.
inline CSalesEntry::Form SaleOf(const QString& quantity, const QString& piecesPerBox,
                                const QString& price,
                                const QString& timestamp = QStringLiteral("2003-05-02 10:15:30")) {
    CSalesEntry::Form form;
    form.timestamp = timestamp;
    form.timestampTyped = true;
    form.card = {QStringLiteral("阿莫西林胶囊"), QStringLiteral("石药集团"),
                 QStringLiteral("0.25g*24粒"), QStringLiteral("2005-04-30")};
    form.price = price;
    form.quantity = quantity;
    form.piecesPerBox = piecesPerBox;
    form.saleType =
        piecesPerBox == QLatin1String("1") ? CSalesEntry::kWholeBox : CSalesEntry::kSplitPack;
    form.amount = CSalesEntry::AmountDue(quantity.trimmed().toUInt(), price.toDouble());
    return form;
}

// Every row of the books an entry changes, in a fixed order, for comparing whole states.
inline std::vector<QStringList> AllBooks(CDatabase& db) {
    std::vector<QStringList> rows;
    for (const char* sql :
         {"SELECT * FROM 进 ORDER BY 采购日期,名称,进价,数量",
          "SELECT * FROM 存 ORDER BY 名称,产地,规格型号,有效截止日期",
          "SELECT * FROM 销 ORDER BY 日期时间", "SELECT * FROM 损 ORDER BY 单号"}) {
        rows.push_back({QString::fromUtf8(sql)});
        for (QStringList& row : QueryRows(db, QString::fromUtf8(sql)))
            rows.push_back(std::move(row));
    }
    return rows;
}

// The average cost and stock of every card.
inline std::vector<QStringList> Cards(CDatabase& db) {
    return QueryRows(db, QStringLiteral("SELECT 平均成本单价,现有存货量 FROM 存 ORDER BY "
                                        "有效截止日期"));
}

inline QString Count(CDatabase& db, const char* table) {
    return QueryValue(db, QStringLiteral("SELECT COUNT(*) FROM ") + QString::fromUtf8(table));
}

} // namespace entrytest

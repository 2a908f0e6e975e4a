#pragma once
// One row of an opening-stock file as the import reads it: a batch of a drug, with what the
// catalogue may learn from it, or why the row cannot be taken.
#include <QDate>
#include <QString>
#include <optional>
#include <vector>

struct CImportBatch {
    int line = 0; // the row's line in the file as a spreadsheet numbers it (the header is 1)

    // The card: the three words of the drug and the batch's expiry.
    QString name;           // 名称
    QString origin;         // 产地 (生产企业)
    QString packModel;      // 规格型号
    QDate expiry;           // 有效截止日期
    bool monthOnly = false; // the file gave a month: the expiry is its last day
    QString batch;          // 批号, may be empty

    double quantity = 0; // boxes, fractions allowed
    double cost = 0;     // 进价 of one box

    // What the catalogue may take (empty or nullopt: the file has no such column or cell).
    std::optional<double> price; // 零售价 of a box
    QString barcode;             // 条形码
    QString approval;            // 批准文号
    QString drugClass; // 类别: 处方药, 甲类非处方药, 乙类非处方药 or 其他
    std::optional<double> piecesPerBox; // 每盒总量

    // Empty when the row can be imported; else the reason, for the user:
    // "第 12 行：有效期“2027-13-01”不是日期".
    QString fault;
};

// The rows of one file, in file order.
using CImportBatches = std::vector<CImportBatch>;

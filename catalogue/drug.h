#pragma once
// One drug of the catalogue (药品): what a pharmacist calls it, by the three words the stock
// cards use, and what the counter needs to sell it.
#include <QString>

struct CDrug {
    QString name;             // 名称
    QString origin;           // 产地
    QString packModel;        // 规格型号
    QString barcode;          // 条形码: the drug's first code; more may be in 药品条码
    QString approval;         // 批准文号
    QString drugClass;        // 类别: 处方药, 甲类非处方药, 乙类非处方药 or 其他
    bool ephedrine = false;   // 含麻黄碱
    double piecesPerBox = 20; // 每盒总量
    QString pieceUnit;        // 拆零单位: 片, 粒, 袋 …
    double boxPrice = 0;      // 零售价 of a box
    double piecePrice = 0;    // 拆零价 of a piece
    QString pinyin;           // 拼音码: the initials of 名称
};

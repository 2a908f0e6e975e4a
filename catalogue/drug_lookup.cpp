#include "drug_lookup.h"

#include "result_loader.h"

namespace druglookup {

namespace {

const QString kColumns =
    QStringLiteral("药品.名称,药品.产地,药品.规格型号,药品.条形码,药品.批准文号,"
                   "药品.类别,药品.含麻黄碱,药品.每盒总量,药品.拆零单位,"
                   "药品.零售价,药品.拆零价,药品.拼音码");

std::optional<CDrug> First(CDatabase* db, const CStatement& statement, QString* failure) {
    QString why;
    const std::optional<CResultTable> rows =
        RunStatement(db, QStringLiteral("药品"), statement, &why);
    if (failure)
        *failure = rows ? QString() : why;
    if (!rows || rows->RowCount() == 0 || rows->ColumnCount() < 12)
        return std::nullopt;
    CDrug drug;
    drug.name = rows->CellText(0, 0);
    drug.origin = rows->CellText(0, 1);
    drug.packModel = rows->CellText(0, 2);
    drug.barcode = rows->CellText(0, 3);
    drug.approval = rows->CellText(0, 4);
    drug.drugClass = rows->CellText(0, 5);
    drug.ephedrine = rows->CellText(0, 6) == QStringLiteral("是");
    drug.piecesPerBox = rows->CellText(0, 7).toDouble();
    drug.pieceUnit = rows->CellText(0, 8);
    drug.boxPrice = rows->CellText(0, 9).toDouble();
    drug.piecePrice = rows->CellText(0, 10).toDouble();
    drug.pinyin = rows->CellText(0, 11);
    return drug;
}

} // namespace

std::optional<CDrug> ByCode(CDatabase* db, const QString& code, QString* failure) {
    const QString trimmed = code.trimmed();
    if (trimmed.isEmpty()) {
        if (failure)
            failure->clear();
        return std::nullopt;
    }
    // The first code, else one of the others; never both, the program keeps them apart.
    return First(
        db,
        {QStringLiteral(
             "SELECT %1 FROM 药品 WHERE 条形码=? AND 条形码<>'' UNION ALL SELECT %1 FROM 药品 "
             "JOIN 药品条码 ON 药品条码.名称=药品.名称 AND "
             "药品条码.产地=药品.产地 AND 药品条码.规格型号=药品.规格型号 "
             "WHERE 药品条码.条形码=?")
             .arg(kColumns),
         {trimmed, trimmed}},
        failure);
}

std::optional<CDrug> ByName(CDatabase* db, const QString& name, const QString& origin,
                            const QString& packModel, QString* failure) {
    return First(
        db,
        {QStringLiteral("SELECT %1 FROM 药品 WHERE 名称=? AND 产地=? AND 规格型号=?").arg(kColumns),
         {name, origin, packModel}},
        failure);
}

} // namespace druglookup

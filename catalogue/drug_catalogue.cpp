#include "drug_catalogue.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CRecordset.h"
#include "drug_lookup.h"
#include "ean13.h"
#include "pack_model.h"
#include "pinyin_code.h"
#include "sql_text.h"

#include <QRegularExpression>

namespace drugcatalogue {

const QString kCardsNameIt = QStringLiteral("还有库存卡是这种药品，不能删除或改名");

namespace {

const QString kDrugs = QStringLiteral("药品");
const QString kCodes = QStringLiteral("药品条码");

QString DrugText(const CDrug& drug) {
    return QStringLiteral("%1 %2 %3").arg(drug.name, drug.origin, drug.packModel);
}

// The lookup reports a failure as a text; here it is the exception it was.
std::optional<CDrug> Found(std::optional<CDrug> drug, const QString& failure) {
    if (!failure.isEmpty())
        throw CDBException(failure);
    return drug;
}

bool IsDrug(const CDrug& drug, const QString& name, const QString& origin,
            const QString& packModel) {
    return drug.name == name && drug.origin == origin && drug.packModel == packModel;
}

QString Taken(const QString& code, const CDrug& owner) {
    return QStringLiteral("条形码 %1 已是“%2”的条形码，一个条形码只能对应一种药品")
        .arg(code.trimmed(), DrugText(owner));
}

} // namespace

QString CodeProblem(const QString& code) {
    static const QRegularExpression thirteen(QStringLiteral("^[0-9]{13}$"));
    const QString trimmed = code.trimmed();
    if (thirteen.match(trimmed).hasMatch() && !ean13::IsValid(trimmed))
        return QStringLiteral("条形码 %1 的校验位不对，请重新扫描或核对后输入").arg(trimmed);
    return {};
}

QString ClassProblem(const QString& drugClass, const QString& ephedrine) {
    static const QStringList classes{QStringLiteral("处方药"), QStringLiteral("甲类非处方药"),
                                     QStringLiteral("乙类非处方药"), QStringLiteral("其他")};
    if (!classes.contains(drugClass))
        return QStringLiteral("类别只能是 处方药、甲类非处方药、乙类非处方药 或 其他，没有写入");
    if (ephedrine != QStringLiteral("是") && ephedrine != QStringLiteral("否"))
        return QStringLiteral("含麻黄碱只能是 是 或 否，没有写入");
    return {};
}

QString CodeTakenBy(CDatabase& db, const QString& code, const QString& name, const QString& origin,
                    const QString& packModel) {
    QString failure;
    const std::optional<CDrug> owner = Found(druglookup::ByCode(&db, code, &failure), failure);
    return owner && !IsDrug(*owner, name, origin, packModel) ? Taken(code, *owner) : QString();
}

bool StillNamedOutsideCatalogue(CDatabase& db, const QString& table, const QString& name,
                                const QString& origin, const QString& packModel) {
    CRecordset rows(&db);
    rows.Open(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE 名称=? AND 产地=? AND 规格型号=? AND "
                             "NOT EXISTS (SELECT 1 FROM 药品 WHERE 名称=? AND 产地=? AND "
                             "规格型号=?)")
                  .arg(table),
              {name, origin, packModel, name, origin, packModel});
    return rows.Fetch() && rows.GetFieldValue(0).value_or(QString()).toLongLong() > 0;
}

QString CardsStillName(CDatabase& db, const QString& name, const QString& origin,
                       const QString& packModel) {
    return StillNamedOutsideCatalogue(db, QStringLiteral("存"), name, origin, packModel)
               ? kCardsNameIt
               : QString();
}

CDrug NewDrug(const QString& name, const QString& origin, const QString& packModel,
              const QString& code) {
    // A new drug counts its pieces as its pack model says; the table's defaults otherwise.
    const CPieces counted =
        packmodel::PiecesOf(packModel).value_or(CPieces{20, QStringLiteral("片")});
    CDrug drug;
    drug.name = name;
    drug.origin = origin;
    drug.packModel = packModel;
    drug.barcode = code.trimmed();
    drug.drugClass = QStringLiteral("其他");
    drug.piecesPerBox = counted.count;
    drug.pieceUnit = counted.unit;
    drug.pinyin = pinyincode::Stored(name);
    return drug;
}

CPurchasedDrug EnterNew(CDatabase& db, const QString& name, const QString& origin,
                        const QString& packModel, const QString& code,
                        const QString& operatorName) {
    const CDrug drug = NewDrug(name, origin, packModel, code);
    const QString& scanned = drug.barcode;
    db.ExecuteSQL({QStringLiteral("INSERT INTO 药品(名称,产地,规格型号,条形码,每盒总量,"
                                  "拆零单位,拼音码) VALUES(?,?,?,?,?,?,?)"),
                   {name, origin, packModel, scanned, qlonglong(drug.piecesPerBox), drug.pieceUnit,
                    drug.pinyin}});
    CPurchasedDrug out;
    out.note = scanned.isEmpty() ? QStringLiteral("新药品已加入药品目录")
                                 : QStringLiteral("新药品已加入药品目录，条形码 %1").arg(scanned);
    out.log.push_back({operatorName,
                       QStringLiteral("添加"),
                       kDrugs,
                       QStringLiteral("名称：%1；产地：%2；规格型号：%3；条形码：%4；每盒总量：%5；"
                                      "拆零单位：%6（随进货登记）")
                           .arg(name, origin, packModel, scanned,
                                QString::number(drug.piecesPerBox), drug.pieceUnit),
                       {},
                       {CLoggedRow::Change::Added, kDrugs, {name, origin, packModel}, {}}});
    return out;
}

CPurchasedDrug EnterPurchased(CDatabase& db, const QString& name, const QString& origin,
                              const QString& packModel, const QString& code,
                              const QString& operatorName) {
    const QString scanned = code.trimmed();
    CPurchasedDrug out;
    QString failure;
    const std::optional<CDrug> owner = Found(druglookup::ByCode(&db, scanned, &failure), failure);
    if (owner && !IsDrug(*owner, name, origin, packModel)) {
        out.refusal = Taken(scanned, *owner);
        return out;
    }
    const std::optional<CDrug> known =
        Found(druglookup::ByName(&db, name, origin, packModel, &failure), failure);
    const QStringList key{name, origin, packModel};

    if (!known)
        return EnterNew(db, name, origin, packModel, scanned, operatorName);
    // A code this drug already has changes nothing.
    if (scanned.isEmpty() || owner)
        return out;
    if (known->barcode.isEmpty()) {
        db.ExecuteSQL({QStringLiteral("UPDATE 药品 SET 条形码=? WHERE 名称=? AND 产地=? AND "
                                      "规格型号=?"),
                       {scanned, name, origin, packModel}});
        out.note = QStringLiteral("药品目录：条形码 %1 登记为本药品的条形码").arg(scanned);
        out.log.push_back(
            {operatorName,
             QStringLiteral("修改"),
             kDrugs,
             QStringLiteral("%1：条形码： → %2（随进货登记）").arg(DrugText(*known), scanned),
             {},
             {CLoggedRow::Change::Changed, kDrugs, key, {}}});
        return out;
    }
    db.ExecuteSQL(
        {QStringLiteral("INSERT INTO 药品条码(条形码,名称,产地,规格型号) VALUES(?,?,?,?)"),
         {scanned, name, origin, packModel}});
    out.note = QStringLiteral("药品目录：条形码 %1 登记为本药品的又一个条形码").arg(scanned);
    out.log.push_back({operatorName,
                       QStringLiteral("添加"),
                       kCodes,
                       QStringLiteral("条形码：%1；名称：%2；产地：%3；规格型号：%4（随进货登记）")
                           .arg(scanned, name, origin, packModel),
                       {},
                       {CLoggedRow::Change::Added, kCodes, {scanned}, {}}});
    return out;
}

std::optional<CLogEntry> FillBlanks(CDatabase& db, const QString& name, const QString& origin,
                                    const QString& packModel, const CDrugFacts& facts,
                                    const QString& operatorName, const CDrug* given) {
    const bool price = facts.boxPrice && *facts.boxPrice > 0;
    const bool approval = !facts.approval.trimmed().isEmpty();
    const bool drugClass = !facts.drugClass.isEmpty() &&
                           facts.drugClass != QStringLiteral("其他") &&
                           ClassProblem(facts.drugClass, QStringLiteral("否")).isEmpty();
    const bool pieces = facts.piecesPerBox && *facts.piecesPerBox > 0;
    if (!price && !approval && !drugClass && !pieces)
        return std::nullopt;
    QString failure;
    const std::optional<CDrug> known =
        given ? std::optional<CDrug>(*given)
              : Found(druglookup::ByName(&db, name, origin, packModel, &failure), failure);
    if (!known)
        return std::nullopt;
    const double guessedPieces =
        packmodel::PiecesOf(packModel).value_or(CPieces{20, QStringLiteral("片")}).count;

    QStringList sets;
    sqlparams::Values values;
    QStringList changes;
    if (price && known->boxPrice == 0) {
        sets << QStringLiteral("零售价=?");
        values.emplace_back(*facts.boxPrice);
        changes << QStringLiteral("零售价： → %1").arg(sqltext::Exact(*facts.boxPrice));
    }
    if (approval && known->approval.isEmpty()) {
        sets << QStringLiteral("批准文号=?");
        values.emplace_back(facts.approval.trimmed());
        changes << QStringLiteral("批准文号： → %1").arg(facts.approval.trimmed());
    }
    if (drugClass && known->drugClass == QStringLiteral("其他")) {
        sets << QStringLiteral("类别=?");
        values.emplace_back(facts.drugClass);
        changes << QStringLiteral("类别：其他 → %1").arg(facts.drugClass);
    }
    if (pieces && known->piecesPerBox == guessedPieces && *facts.piecesPerBox != guessedPieces) {
        sets << QStringLiteral("每盒总量=?");
        values.emplace_back(*facts.piecesPerBox);
        changes << QStringLiteral("每盒总量：%1 → %2")
                       .arg(sqltext::Exact(known->piecesPerBox),
                            sqltext::Exact(*facts.piecesPerBox));
    }
    if (sets.isEmpty())
        return std::nullopt;
    values.emplace_back(name);
    values.emplace_back(origin);
    values.emplace_back(packModel);
    db.ExecuteSQL({QStringLiteral("UPDATE 药品 SET %1 WHERE 名称=? AND 产地=? AND 规格型号=?")
                       .arg(sets.join(QLatin1Char(','))),
                   values});
    return CLogEntry{operatorName,
                     QStringLiteral("修改"),
                     kDrugs,
                     QStringLiteral("%1：%2（随期初导入）")
                         .arg(DrugText(*known), changes.join(QStringLiteral("；"))),
                     {},
                     {CLoggedRow::Change::Changed, kDrugs, {name, origin, packModel}, {}}};
}

} // namespace drugcatalogue

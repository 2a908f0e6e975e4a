#include "drug_codes.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CRecordset.h"
#include "CTransaction.h"
#include "audit_log.h"
#include "drug_catalogue.h"
#include "drug_lookup.h"

namespace drugcatalogue {

namespace {

const QString kDrugs = QStringLiteral("药品");
const QString kCodes = QStringLiteral("药品条码");

QString DrugText(const QString& name, const QString& origin, const QString& packModel) {
    return QStringLiteral("%1 %2 %3").arg(name, origin, packModel);
}

// The database's failure as the text to show; after a lost reply the books alone can tell.
QString FailureText(const CDBException& e, const QString& code) {
    if (!CDatabase::IsConnectionLost(e))
        return e.ErrorText();
    return QStringLiteral("与数据库的连接中断了，条形码 %1 可能已经写入，也可能没有：请重新打开后"
                          "核对。\n%2")
        .arg(code, e.ErrorText());
}

// Why `code` may not be given to the drug; empty when it may. Throws CDBException.
QString Refusal(CDatabase& db, const QString& name, const QString& origin, const QString& packModel,
                const QString& code) {
    if (code.isEmpty())
        return QStringLiteral("请输入或扫描条形码");
    if (QString problem = CodeProblem(code); !problem.isEmpty())
        return problem;
    if (code.size() > 50)
        return QStringLiteral("条形码最长 50 个字符，没有写入");
    QString failure;
    if (!druglookup::ByName(&db, name, origin, packModel, &failure)) {
        if (!failure.isEmpty())
            throw CDBException(failure);
        return QStringLiteral("药品目录里没有“%1”，请先在维护药品目录中添加这种药品")
            .arg(DrugText(name, origin, packModel));
    }
    const std::optional<CDrug> owner = druglookup::ByCode(&db, code, &failure);
    if (!failure.isEmpty())
        throw CDBException(failure);
    if (owner && owner->name == name && owner->origin == origin && owner->packModel == packModel)
        return QStringLiteral("条形码 %1 已是这种药品的条形码").arg(code);
    return CodeTakenBy(db, code, name, origin, packModel);
}

QString Given(CDatabase& db, const QString& name, const QString& origin, const QString& packModel,
              const QString& typed, const QString& operatorName, const QDateTime& now,
              const QString& action) {
    const QString code = typed.trimmed();
    try {
        CTransaction transaction(db);
        if (QString refusal = Refusal(db, name, origin, packModel, code); !refusal.isEmpty())
            return refusal;
        const QStringList key{name, origin, packModel};
        // The first code only where the drug has none, so that it never takes another's place.
        const long long first =
            db.ExecuteSQL({QStringLiteral("UPDATE 药品 SET 条形码=? WHERE 名称=? AND 产地=? AND "
                                          "规格型号=? AND 条形码=''"),
                           {code, name, origin, packModel}});
        CLogEntry entry{operatorName, action, kDrugs, {}, {}, {}};
        if (first > 0) {
            entry.content = QStringLiteral("%1：条形码 %2（第一个条形码）")
                                .arg(DrugText(name, origin, packModel), code);
            entry.row = {CLoggedRow::Change::Changed, kDrugs, key, {}};
        } else {
            db.ExecuteSQL(
                {QStringLiteral("INSERT INTO 药品条码(条形码,名称,产地,规格型号) VALUES(?,?,?,?)"),
                 {code, name, origin, packModel}});
            entry.object = kCodes;
            entry.content =
                QStringLiteral("%1：条形码 %2").arg(DrugText(name, origin, packModel), code);
            entry.row = {CLoggedRow::Change::Added, kCodes, {code}, {}};
        }
        auditlog::Append(db, entry, now);
        (void)transaction.Commit();
    } catch (const CDBException& e) {
        return FailureText(e, code);
    }
    return {};
}

} // namespace

QStringList FurtherCodes(CDatabase& db, const QString& name, const QString& origin,
                         const QString& packModel) {
    CRecordset codes(&db);
    codes.Open(QStringLiteral("SELECT 条形码 FROM 药品条码 WHERE 名称=? AND 产地=? AND 规格型号=? "
                              "ORDER BY 条形码"),
               {name, origin, packModel});
    QStringList out;
    while (codes.Fetch())
        out << codes.GetFieldValue(0).value_or(QString());
    return out;
}

QString AddCode(CDatabase& db, const QString& name, const QString& origin, const QString& packModel,
                const QString& code, const QString& operatorName, const QDateTime& now) {
    return Given(db, name, origin, packModel, code, operatorName, now, QStringLiteral("添加条码"));
}

QString AttachCode(CDatabase& db, const QString& name, const QString& origin,
                   const QString& packModel, const QString& code, const QString& operatorName,
                   const QDateTime& now) {
    return Given(db, name, origin, packModel, code, operatorName, now, QStringLiteral("登记条码"));
}

QString RemoveCode(CDatabase& db, const QString& name, const QString& origin,
                   const QString& packModel, const QString& code, const QString& operatorName,
                   const QDateTime& now) {
    try {
        CTransaction transaction(db);
        const long long removed = db.ExecuteSQL(
            {QStringLiteral("DELETE FROM 药品条码 WHERE 条形码=? AND 名称=? AND 产地=? AND "
                            "规格型号=?"),
             {code, name, origin, packModel}});
        if (removed == 0)
            return QStringLiteral(
                       "条形码 %1 已不是“%2”的条形码，可能刚被别人删除；没有改变任何记录")
                .arg(code, DrugText(name, origin, packModel));
        const QList<std::pair<QString, QString>> was{{QStringLiteral("条形码"), code},
                                                     {QStringLiteral("名称"), name},
                                                     {QStringLiteral("产地"), origin},
                                                     {QStringLiteral("规格型号"), packModel}};
        auditlog::Append(
            db,
            {operatorName,
             QStringLiteral("删除条码"),
             kCodes,
             QStringLiteral("%1：条形码 %2").arg(DrugText(name, origin, packModel), code),
             {},
             {CLoggedRow::Change::Removed, kCodes, {code}, was}},
            now);
        (void)transaction.Commit();
    } catch (const CDBException& e) {
        return FailureText(e, code);
    }
    return {};
}

QString FurtherCodesStillName(CDatabase& db, const QString& name, const QString& origin,
                              const QString& packModel) {
    return StillNamedOutsideCatalogue(db, kCodes, name, origin, packModel)
               ? QStringLiteral("这种药品还有其他条形码（条码…），请先删除它们再删除或改名")
               : QString();
}

} // namespace drugcatalogue

#include "register_entry.h"

#include "CDatabase.h"
#include "CRecordset.h"
#include "audit_log.h"
#include "id_card.h"
#include "sql_params.h"
#include "sql_text.h"

namespace registers {

namespace {

QString FirstValue(CDatabase& db, const CStatement& statement) {
    CRecordset rows(&db);
    rows.Open(statement.sql, statement.values);
    return rows.Fetch() ? rows.GetFieldValue(0).value_or(QString()) : QString();
}

// The batch the line's boxes came from: that of a code the sale took, else of the card's
// latest purchase that names one.
QString BatchOf(CDatabase& db, const CSoldLine& line) {
    const QString traced = FirstValue(
        db, {QStringLiteral("SELECT t.批号 FROM 追溯码去向 d JOIN 追溯码 t ON t.追溯码 = d.追溯码 "
                            "WHERE d.单号 = ? AND t.批号 <> '' ORDER BY d.序号"),
             {line.number}});
    if (!traced.isEmpty())
        return traced;
    return FirstValue(db, {QStringLiteral("SELECT 批号 FROM 进 WHERE 名称=? AND 产地=? AND "
                                          "规格型号=? AND 有效截止日期=? AND 批号 <> '' ORDER "
                                          "BY 采购日期 DESC"),
                           {line.name, line.origin, line.packModel, line.expiry}});
}

void WritePrescription(CDatabase& db, const CSoldLine& line, const prescription::CPrescription& p,
                       const QString& batch, const QDateTime& now) {
    // The first line of 本单 on it writes it; a line after it, or a press again after a refusal
    // took the first line back, finds out here.
    if (FirstValue(db, {QStringLiteral("SELECT 处方号 FROM 处方 WHERE 处方号=?"), {p.number}})
            .isEmpty()) {
        const QString date = p.date.toString(Qt::ISODate);
        db.ExecuteSQL({QStringLiteral("INSERT INTO 处方 (处方号, 患者姓名, 性别, 年龄, 处方医师, "
                                      "医疗机构, 处方日期, 审方药师, 调配人, 登记时间) VALUES "
                                      "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                       {p.number, p.patient, p.sex, qlonglong(p.age.toInt()), p.doctor,
                        p.institution, date, p.pharmacist, p.dispenser, line.time}});
        auditlog::Append(
            db,
            {line.operatorName,
             QStringLiteral("处方登记"),
             QStringLiteral("处方"),
             QStringLiteral("处方号 %1 · 患者 %2（%3，%4 岁） · 处方医师 %5 · 医疗机构 %6 · "
                            "处方日期 %7 · 审方药师 %8 · 调配人 %9")
                 .arg(p.number, p.patient, p.sex, p.age, p.doctor, p.institution, date,
                      p.pharmacist, p.dispenser),
             line.number,
             {CLoggedRow::Change::Added, QStringLiteral("处方"), {p.number}, {}}},
            now);
    }
    db.ExecuteSQL({QStringLiteral("INSERT INTO 处方销售 (单号, 处方号, 批号) VALUES (?, ?, ?)"),
                   {line.number, p.number, batch}});
    auditlog::Append(db,
                     {line.operatorName,
                      QStringLiteral("处方销售"),
                      line.name,
                      QStringLiteral("处方号 %1 · 批号 %2").arg(p.number, batch),
                      line.number,
                      {CLoggedRow::Change::Added, QStringLiteral("处方销售"), {line.number}, {}}},
                     now);
}

void WriteBuyer(CDatabase& db, const CSoldLine& line, const ephedrine::CBuyer& buyer,
                const QString& prescriptionNumber, const QString& batch, const QDateTime& now) {
    db.ExecuteSQL(
        {QStringLiteral("INSERT INTO 麻黄碱登记 (单号, 姓名, 身份证号, 批号, 处方号, 时间) "
                        "VALUES (?, ?, ?, ?, ?, ?)"),
         {line.number, buyer.name, buyer.id, batch, prescriptionNumber, line.time}});
    // No row digest: a hash of a row this small is a hash of the ID number, which a search
    // over the possible numbers would undo.
    auditlog::Append(db,
                     {line.operatorName, QStringLiteral("麻黄碱登记"), line.name,
                      QStringLiteral("购买人 %1 · 身份证号 %2 · 批号 %3")
                          .arg(buyer.name, idcard::LogForm(buyer.id), batch),
                      line.number},
                     now);
}

} // namespace

void Write(CDatabase& db, const CSoldLine& line, const prescription::CPrescription* onPrescription,
           const ephedrine::CBuyer* buyer, const QDateTime& now) {
    if (!onPrescription && !buyer)
        return;
    const QString batch = BatchOf(db, line);
    if (onPrescription)
        WritePrescription(db, line, *onPrescription, batch, now);
    if (buyer)
        WriteBuyer(db, line, *buyer, onPrescription ? onPrescription->number : QString(), batch,
                   now);
}

} // namespace registers

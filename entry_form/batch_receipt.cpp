#include "batch_receipt.h"

#include "CDatabase.h"
#include "CTransaction.h"
#include "drug_catalogue.h"
#include "sql_text.h"

namespace entrysql {

namespace {

// The four texts that name a stock card, as the WHERE of its statements binds them.
const QString kCardKey =
    QStringLiteral(" WHERE 名称=? AND 产地=? AND 规格型号=? AND 有效截止日期=?");

} // namespace

CStatement InsertPurchase(const Purchase& p) {
    return {QStringLiteral("INSERT INTO 进(采购日期,采购人,大类,小类,编号,名称,产地,规格型号,批号,"
                           "有效截止日期,进价,数量,录入员,单号) "
                           "VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
            {sqltext::Date(p.purchaseDate), p.purchaser, p.category, p.subCategory, p.code, p.name,
             p.origin, p.packModel, p.batch, sqltext::Date(p.expiry), p.price, p.quantity,
             p.enteredBy, p.number}};
}

CStatement InsertStockCard(const Purchase& p) {
    return {
        QStringLiteral("INSERT INTO 存(名称,产地,规格型号,有效截止日期,平均成本单价,现有存货量) "
                       "VALUES(?,?,?,?,?,?)"),
        {p.name, p.origin, p.packModel, sqltext::Date(p.expiry), p.price, p.quantity}};
}

CStatement ReaverageStockCard(const Purchase& p) {
    // The batch's cost is computed here; the division stays in the statement, where a card
    // and a batch both of 0 boxes fail it.
    return {QStringLiteral("UPDATE 存 SET 平均成本单价=(平均成本单价*现有存货量+?)/(现有存货量+?),"
                           "现有存货量=现有存货量+?") +
                kCardKey,
            {p.price * p.quantity, p.quantity, p.quantity, p.name, p.origin, p.packModel,
             sqltext::Date(p.expiry)}};
}

} // namespace entrysql

namespace entrylog {

// Every value goes in by one multi-argument arg(): a typed "%1" stays as typed. Numbers are
// written as stored, so the log row reads back as the row it records.
CLogEntry Purchase(const entrysql::Purchase& p, qsizetype traceCodes) {
    CLogEntry entry{
        p.enteredBy,
        QStringLiteral("进货"),
        QStringLiteral("进"),
        QStringLiteral(
            "%1（%2，%3，批号 %4，有效期至 %5）%6 盒，进价 %7 元；采购人 %8，采购日期 %9；"
            "大类 %10，小类 %11，编号 %12")
            .arg(p.name, p.origin, p.packModel, p.batch, sqltext::Date(p.expiry),
                 sqltext::Exact(p.quantity), sqltext::Exact(p.price), p.purchaser,
                 sqltext::Date(p.purchaseDate), p.category, p.subCategory, p.code),
        p.number,
        CLoggedRow{CLoggedRow::Change::Added, QStringLiteral("进"), {p.number}, {}}};
    if (traceCodes > 0)
        entry.content += QStringLiteral("，追溯码 %1 个").arg(traceCodes);
    return entry;
}

} // namespace entrylog

namespace batchreceipt {

namespace {

const QString kCardSavepoint = QStringLiteral("apricot_card");

} // namespace

CReceipt Write(CDatabase& db, CTransaction& transaction, const entrysql::Purchase& p,
               const QString& barcode, const QString& operatorName, qsizetype traceCodes,
               CardState card, DrugState known) {
    CReceipt out;
    try {
        transaction.Execute(entrysql::InsertPurchase(p));
    } catch (const CDBException& e) {
        out.refusal = CReceipt::Refusal::Purchase;
        out.error = e;
        out.why = e.ErrorText();
        return out;
    }
    // A new card when the key is free; the key of 存 refusing it means the card exists.
    if (card == CardState::New)
        transaction.Execute(entrysql::InsertStockCard(p));
    else if (card == CardState::Existing ||
             transaction.TryExecute(kCardSavepoint, entrysql::InsertStockCard(p))) {
        // An update that matches no card (the insert failed for another reason, such as a
        // text too long for 存) writes no card either: the purchase goes with it.
        bool updated = false;
        try {
            updated = transaction.Execute(entrysql::ReaverageStockCard(p)) != 0;
        } catch (const CDBException&) {
            updated = false;
        }
        if (!updated) {
            out.refusal = CReceipt::Refusal::Card;
            return out;
        }
    }
    // A drug new to the catalogue enters it with its first batch.
    drugcatalogue::CPurchasedDrug drug;
    if (known == DrugState::Unknown)
        drug =
            drugcatalogue::EnterPurchased(db, p.name, p.origin, p.packModel, barcode, operatorName);
    if (!drug.refusal.isEmpty()) {
        out.refusal = CReceipt::Refusal::Catalogue;
        out.why = drug.refusal;
        return out;
    }
    CLogEntry entry = entrylog::Purchase(p, traceCodes);
    if (!drug.note.isEmpty())
        entry.content += QStringLiteral("；") + drug.note;
    out.log.push_back(std::move(entry));
    for (CLogEntry& row : drug.log)
        out.log.push_back(std::move(row));
    return out;
}

} // namespace batchreceipt

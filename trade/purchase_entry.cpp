#include "purchase_entry.h"

#include "CDatabase.h"
#include "CTransaction.h"
#include "batch_receipt.h"
#include "drug_catalogue.h"
#include "drug_lookup.h"
#include "entry_check.h"
#include "entry_fields.h"
#include "entry_lookup.h"
#include "picker_list.h"
#include "result_loader.h"
#include "sql_text.h"
#include "text_forms.h"
#include "trace_code_list.h"
#include "trace_ledger.h"

const QString CPurchaseEntry::kOpeningStatus =
    QStringLiteral("请尽可能详细的填写【入库登记卡】，以便以后查阅");
const QString CPurchaseEntry::kNameMissing =
    QStringLiteral("名称、产地、规格型号不能为空，请填写。");
const QString CPurchaseEntry::kConnectionClosed = QStringLiteral("通讯连接错误，数据库已经关闭");
const QString CPurchaseEntry::kCardInvalid =
    QStringLiteral("无法对库存进行更新，当前的库存登记卡无效，再次审改后，重新输入");
const QString CPurchaseEntry::kRecorded = QStringLiteral("录入成功,登记卡信息已经被系统接纳");
const QString CPurchaseEntry::kPastExpiryQuestion =
    QStringLiteral("有效截止日期已过，确定入库吗？");
const QString CPurchaseEntry::kPastExpiryDeclined = QStringLiteral("已取消：有效截止日期已过");
const QString CPurchaseEntry::kListsStatement =
    QStringLiteral("SELECT 采购人,大类,小类 FROM 进 GROUP BY 采购人,大类,小类");

CPurchaseEntry::Form CPurchaseEntry::Opening(const QDate& today) {
    Form form;
    form.purchaseDate = today;
    form.expiry = today.addDays(356);
    form.price = entryfields::NumberText(0);
    form.quantity = entryfields::NumberText(0);
    return form;
}

CPurchaseEntry::Form CPurchaseEntry::Cleared(const Form& recorded) {
    Form form = Opening(recorded.purchaseDate);
    form.expiry = recorded.expiry;
    return form;
}

CPurchaseEntry::Lists CPurchaseEntry::OpeningLists(QString* failure) const {
    Lists lists;
    const std::optional<CResultTable> rows =
        RunStatement(m_pDatabase, QStringLiteral("进"), kListsStatement, failure);
    if (!rows)
        return lists;
    lists.purchasers = CPickerList::FromColumn(*rows, 0);
    lists.categories = CPickerList::FromColumn(*rows, 1);
    lists.subCategories = CPickerList::FromColumn(*rows, 2);
    return lists;
}

CPurchaseEntry::CodeLookup CPurchaseEntry::LookUpCode(const Form& form) const {
    const QString code = form.barcode.trimmed();
    CodeLookup out{false, form, {}};
    if (code.isEmpty())
        return out;
    if (out.status = drugcatalogue::CodeProblem(code); !out.status.isEmpty())
        return out;
    QString failure;
    const std::optional<CDrug> drug = druglookup::ByCode(m_pDatabase, code, &failure);
    if (!drug) {
        out.status = failure.isEmpty() ? QStringLiteral("条形码 %1 未登记").arg(code) : failure;
        return out;
    }
    out.found = true;
    out.form.name = drug->name;
    out.form.origin = drug->origin;
    out.form.packModel = drug->packModel;
    out.status =
        QStringLiteral("条形码 %1：%2 %3 %4").arg(code, drug->name, drug->origin, drug->packModel);
    const std::optional<CResultTable> last = RunStatement(
        m_pDatabase, QStringLiteral("进"),
        {QStringLiteral("SELECT 大类,小类 FROM 进 WHERE 名称=? AND 产地=? AND 规格型号=? "
                        "ORDER BY 采购日期 DESC, 单号 DESC"),
         {drug->name, drug->origin, drug->packModel}},
        &failure);
    if (last && last->RowCount() > 0) {
        out.form.category = last->CellText(0, 0);
        out.form.subCategory = last->CellText(0, 1);
    }
    return out;
}

CEntryOutcome CPurchaseEntry::Add(const Form& form) {
    // The fields are read in the order of the form; the first that fails stops the entry.
    const std::optional<double> price = entryfields::ParseNumber(form.price);
    if (!price)
        return CEntryOutcome::Refused(entryfields::kNotANumber, IdPrice);
    const std::optional<double> quantity = entryfields::ParseNumber(form.quantity);
    if (!quantity)
        return CEntryOutcome::Refused(entryfields::kNotANumber, IdQuantity);
    if (const QString problem = entryfields::BoxesProblem(*quantity, QStringLiteral("数量"));
        !problem.isEmpty())
        return CEntryOutcome::Refused(problem, IdQuantity, problem);
    if (const QString tooMany =
            tracelist::TooMany(form.traceCodes.size(), *quantity, tracelist::kEntryCodes);
        !tooMany.isEmpty())
        return CEntryOutcome::Refused({}, IdQuantity, tooMany);

    // What is stored is what the grid and the pickers will show: no trailing blanks.
    const auto typed = [](const QString& text) { return textforms::WithoutTrailingBlanks(text); };
    entrysql::Purchase p;
    p.purchaseDate = form.purchaseDate;
    p.purchaser = typed(form.purchaser);
    p.category = typed(form.category);
    p.subCategory = typed(form.subCategory);
    p.code = typed(form.code);
    p.name = typed(form.name);
    p.origin = typed(form.origin);
    p.packModel = typed(form.packModel);
    p.batch = typed(form.batch);
    p.expiry = form.expiry;
    p.enteredBy = m_strOperator;
    if (p.name.isEmpty() || p.origin.isEmpty() || p.packModel.isEmpty())
        return CEntryOutcome::Status(kNameMissing);
    const QString barcode = form.barcode.trimmed();
    if (const QString problem = drugcatalogue::CodeProblem(barcode); !problem.isEmpty())
        return CEntryOutcome::Refused({}, IdBarcode, problem);
    if (!m_pDatabase || !m_pDatabase->IsOpen())
        return CEntryOutcome::Status(kConnectionClosed);
    p.price = *price;
    p.quantity = *quantity;
    // Past on the day the batch is booked as bought: today, unless an old delivery is typed in.
    if (!form.pastExpiryAccepted && p.expiry < p.purchaseDate)
        return CEntryOutcome::Question(kPastExpiryQuestion, kPastExpiryDeclined);

    // Pressed again after the connection broke: the first press may be in the books.
    const entrylookup::CPendingNumber::CTry attempt =
        m_number.BeforeTry(m_pDatabase, QStringLiteral("进"));
    using Step = entrylookup::CPendingNumber::CTry::Step;
    if (attempt.step == Step::StillUnknown)
        return CEntryOutcome::Status(entrylookup::kOutcomeUnknown);
    if (attempt.step == Step::AlreadyRecorded)
        return CEntryOutcome::Recorded(entrylookup::kAlreadyRecorded, IdPurchaser, std::nullopt);
    p.number = attempt.number;
    return Record(p, barcode, form.traceCodes);
}

CEntryOutcome CPurchaseEntry::Record(const entrysql::Purchase& p, const QString& barcode,
                                     const QStringList& traceCodes) {
    QString lostReply;
    try {
        CTransaction transaction(*m_pDatabase);
        const batchreceipt::CReceipt receipt = batchreceipt::Write(
            *m_pDatabase, transaction, p, barcode, m_strOperator, traceCodes.size());
        using Refusal = batchreceipt::CReceipt::Refusal;
        if (receipt.refusal == Refusal::Purchase)
            return CEntryOutcome::DriverStatus(*receipt.error);
        if (receipt.refusal == Refusal::Card)
            return CEntryOutcome::Status(kCardInvalid);
        if (receipt.refusal == Refusal::Catalogue)
            return CEntryOutcome::Refused({}, IdBarcode, receipt.why);
        const QDateTime now = QDateTime::currentDateTime();
        // A code already in the books takes the batch back with it: a box comes in once.
        const traceledger::CStep captured =
            traceledger::Capture(*m_pDatabase, traceCodes,
                                 {p.name, p.origin, p.packModel, sqltext::Date(p.expiry), p.batch},
                                 {p.number, sqltext::Timestamp(now), m_strOperator});
        if (!captured.ok())
            return CEntryOutcome::Refused(captured.refusal, IdTraceList, captured.refusal);
        // The batch and its log rows stay together or go together.
        for (const CLogEntry& row : receipt.log)
            auditlog::Append(*m_pDatabase, row, now);
        try {
            return CEntryOutcome::Recorded(kRecorded, IdPurchaser, transaction.Commit());
        } catch (const CDBException& e) {
            if (!CDatabase::IsConnectionLost(e))
                throw;
            lostReply = e.ErrorText();
        }
    } catch (const CDBException& e) {
        // Auto-commit could not be turned off, a savepoint failed, or the commit did.
        if (!CDatabase::IsConnectionLost(e))
            return CEntryOutcome::DriverStatus(e);
        // Lost on the way to the commit (the log row, its savepoint): looked up all the same.
        lostReply = e.ErrorText();
    }
    // The commit's reply was lost: looked up by its number once the transaction is gone.
    const std::optional<bool> inBooks =
        entrylookup::InBooks(m_pDatabase, QStringLiteral("进"), p.number);
    if (!inBooks)
        m_number.Keep(p.number);
    return entrycheck::LookedUp(inBooks, IdPurchaser, lostReply);
}

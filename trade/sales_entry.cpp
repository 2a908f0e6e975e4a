#include "sales_entry.h"

#include "CDatabase.h"
#include "CTransaction.h"
#include "datetime_parse.h"
#include "drug_lookup.h"
#include "entry_check.h"
#include "entry_fields.h"
#include "entry_log.h"
#include "entry_statements.h"
#include "money.h"
#include "register_entry.h"
#include "result_loader.h"
#include "sql_text.h"
#include "stock_shortfall.h"
#include "text_forms.h"
#include "trace_code_list.h"
#include "trace_ledger.h"

#include <algorithm>

const QString CSalesEntry::kWholeBox = QStringLiteral("整盒销售");
const QString CSalesEntry::kSplitPack = QStringLiteral("拆零销售");
const QString CSalesEntry::kOpeningStatus =
    QStringLiteral("请尽可能详细填写【销售登记卡】,以便以后查阅");
const QString CSalesEntry::kCardMissing =
    QStringLiteral("名称，产地，规格型号,有效截止日期 必须填写");
const QString CSalesEntry::kAmountInvalid = QStringLiteral("应付金额 无效");
const QString CSalesEntry::kLookupFailed =
    QStringLiteral("打开数据库表[库存]发生错误，可能是输入有误");
const QString CSalesEntry::kNoSuchCard =
    QStringLiteral("库存中无此药品，仔细审改后重新输入,或者重下拉列表中选择一个有效的项");
const QString CSalesEntry::kRecorded = QStringLiteral("新的销售记录已经被系统接纳");
const QString CSalesEntry::kExpiredDeclined = QStringLiteral("已取消：该批药品已过期");
const QString CSalesEntry::kStampInvalid =
    QStringLiteral("日期时间 无效：请按 2003-05-02 10:15:30 的格式填写，或清空后由系统填写");
const QString CSalesEntry::kPiecesPerBoxZero = QStringLiteral("每盒总量 不能为 0");

namespace {

const QString kClampSavepoint = QStringLiteral("apricot_clamp");
const QString kStockTable = QStringLiteral("存");

} // namespace

std::optional<CSalesEntry::SaleTypeRule> CSalesEntry::RuleFor(const QString& saleType) {
    if (saleType == kWholeBox)
        return SaleTypeRule{1, false};
    if (saleType == kSplitPack)
        return SaleTypeRule{20, true};
    return std::nullopt;
}

QString CSalesEntry::AmountDue(unsigned quantity, double price) {
    return money::Amount(static_cast<double>(quantity) * price);
}

CSalesEntry::Form CSalesEntry::Cleared(const QString& saleType, const QDateTime& now) {
    m_dPrice = 0;
    m_nQuantity = 1;
    Form form;
    form.timestamp = sqltext::Timestamp(now);
    form.timestampTyped = false;
    form.price = entryfields::NumberText(m_dPrice);
    form.saleType = saleType;
    form.quantity = entryfields::UnsignedText(m_nQuantity);
    const std::optional<SaleTypeRule> rule = RuleFor(saleType);
    form.piecesPerBox = entryfields::UnsignedText(rule ? rule->piecesPerBox : 1);
    form.amount = QStringLiteral("0");
    return form;
}

QString CSalesEntry::AmountWhileTyping(const QString& price, const QString& quantity) {
    if (const std::optional<double> parsed = entryfields::ParseNumber(price))
        m_dPrice = *parsed;
    if (const std::optional<unsigned> parsed = entryfields::ParseUnsigned(quantity))
        m_nQuantity = *parsed;
    return AmountDue(m_nQuantity, m_dPrice);
}

QString CSalesEntry::StoredStamp(const QString& typed) {
    const QByteArray text = typed.toUtf8();
    apricot_datetime t{};
    if (!apricot_parse_datetime(text.constData(), int(text.size()), &t))
        return {};
    // The books keep whole seconds.
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(t.year, 4, 10, QLatin1Char('0'))
        .arg(t.month, 2, 10, QLatin1Char('0'))
        .arg(t.day, 2, 10, QLatin1Char('0'))
        .arg(t.hour, 2, 10, QLatin1Char('0'))
        .arg(t.minute, 2, 10, QLatin1Char('0'))
        .arg(t.second, 2, 10, QLatin1Char('0'));
}

QDate CSalesEntry::SaleDay(const Form& form, const QDate& today) {
    if (!form.timestampTyped)
        return today;
    const QDate typed = CCardLookup::DateOf(StoredStamp(form.timestamp).left(10));
    return typed.isValid() ? typed : today;
}

QString CSalesEntry::ExpiredQuestion(const QString& expiry) {
    return QStringLiteral("该批药品已于 %1 过期，确定要销售吗？").arg(expiry);
}

QString CSalesEntry::ExpiredLockedText(const QString& expiry) {
    return QStringLiteral("该批药品已于 %1 过期，已禁止销售，请报损处理").arg(expiry);
}

QString CSalesEntry::CodesMissingText(unsigned boxes, qsizetype codes) {
    return QStringLiteral("整盒销售 %1 盒需扫 %1 个追溯码，已扫 %2 个")
        .arg(QString::number(boxes), QString::number(codes));
}

CEntryOutcome CSalesEntry::Add(const Form& form) {
    // Pressed again after the connection broke: the first press may be in the books.
    const entrylookup::CPendingNumber::CTry attempt =
        m_number.BeforeTry(m_pDatabase, QStringLiteral("销"));
    using Step = entrylookup::CPendingNumber::CTry::Step;
    if (attempt.step == Step::StillUnknown)
        return CEntryOutcome::Status(entrylookup::kOutcomeUnknown);
    if (attempt.step == Step::AlreadyRecorded) {
        CEntryOutcome outcome =
            CEntryOutcome::Recorded(entrylookup::kAlreadyRecorded, IdName, std::nullopt);
        outcome.recordedNumber = attempt.number;
        return outcome;
    }

    // The fields are read in the framework's order; the first that fails stops the entry.
    const std::optional<double> price = entryfields::ParseNumber(form.price);
    if (!price)
        return CEntryOutcome::Refused(entryfields::kNotANumber, IdPrice);
    m_dPrice = *price;
    const std::optional<unsigned> quantity = entryfields::ParseUnsigned(form.quantity);
    if (!quantity)
        return CEntryOutcome::Refused(entryfields::kNotAPositiveInteger, IdQuantity);
    m_nQuantity = *quantity;
    const std::optional<unsigned> piecesPerBox = entryfields::ParseUnsigned(form.piecesPerBox);
    if (!piecesPerBox)
        return CEntryOutcome::Refused(entryfields::kNotAPositiveInteger, IdPiecesPerBox);
    if (*piecesPerBox == 0)
        return CEntryOutcome::Refused(QString(), IdPiecesPerBox, kPiecesPerBoxZero);
    if (const QString problem = entryfields::BoxesProblem(
            static_cast<double>(*quantity) / *piecesPerBox, QStringLiteral("数量"));
        !problem.isEmpty())
        return CEntryOutcome::Refused(QString(), IdQuantity, problem);

    const Card card = Stored(form.card);
    if (card.name.isEmpty() || card.origin.isEmpty() || card.packModel.isEmpty() ||
        card.expiry.isEmpty())
        return CEntryOutcome::Status(kCardMissing);
    if (!entrysql::IsAmount(form.amount))
        return CEntryOutcome::Status(kAmountInvalid);
    // A stamp left to the program is the time the sale is sent, not when the form was cleared.
    const QString stamp = form.timestampTyped ? StoredStamp(form.timestamp)
                                              : sqltext::Timestamp(QDateTime::currentDateTime());
    if (stamp.isEmpty())
        return CEntryOutcome::Refused(QString(), IdTimestamp, kStampInvalid);
    // A box a code: never more codes than boxes, nor fewer while the books require them.
    const qsizetype codes = form.traceCodes.size();
    if (form.saleType == kSplitPack) {
        if (codes > 1)
            return CEntryOutcome::Refused(
                QString(), 0,
                QStringLiteral("拆零销售只拆一盒，只需扫一个追溯码，这里有 %1 个").arg(codes));
    } else if (const QString tooMany = tracelist::TooMany(codes, *quantity, tracelist::kEntryCodes);
               !tooMany.isEmpty()) {
        return CEntryOutcome::Refused(QString(), IdQuantity, tooMany);
    } else if (m_bCodesRequired && codes < qsizetype(*quantity)) {
        return CEntryOutcome::Refused(QString(), 0, CodesMissingText(*quantity, codes));
    }

    entrysql::Sale sale;
    sale.timestamp = stamp;
    sale.name = card.name;
    sale.origin = card.origin;
    sale.packModel = card.packModel;
    sale.expiry = card.expiry;
    sale.price = *price;
    sale.quantity = *quantity;
    sale.piecesPerBox = *piecesPerBox;
    sale.saleType = form.saleType;
    sale.amount = form.amount;
    sale.clerk = m_strOperator;

    QString failure;
    const std::optional<CResultTable> found =
        RunStatement(m_pDatabase, kStockTable, entrysql::FindStockCard(sale), &failure);
    if (!found)
        return CEntryOutcome::Refused(failure, 0, kLookupFailed);
    if (found->RowCount() == 0)
        return CEntryOutcome::Status(kNoSuchCard);
    // Expired on the day the sale is stamped with: today, unless a past sale is typed in.
    const QString expiry = found->CellText(0, 3);
    const QDate expires = CCardLookup::DateOf(expiry);
    const QDate saleDay = CCardLookup::DateOf(sale.timestamp.left(10));
    if (expires.isValid() && saleDay.isValid() && expires < saleDay) {
        const QString day = expires.toString(Qt::ISODate);
        // Locked, no answer lets the sale through; the user picks another batch.
        if (m_bExpiredLocked) {
            const QString refusal = ExpiredLockedText(day);
            return CEntryOutcome::Refused(refusal, IdExpiry, refusal);
        }
        if (!form.expiredAccepted)
            return CEntryOutcome::Question(ExpiredQuestion(day), kExpiredDeclined);
    }

    // The drug's class decides who may sell it and what the registers keep of the sale.
    QString unreadable;
    const std::optional<CBasketRegisters::CRules> rules = RulesFor(card, &unreadable);
    if (!rules)
        return CEntryOutcome::Refused(unreadable, 0, kLookupFailed);
    const double boxes = ephedrine::BoxesOf(form.saleType == kSplitPack, *quantity, *piecesPerBox);
    if (const QString refusal = m_registers.Refusal(*rules, boxes, PharmacistOnDuty());
        !refusal.isEmpty())
        return CEntryOutcome::Refused(refusal, 0, refusal);

    // A kept number not in the books is written again as it was.
    sale.number = attempt.number;
    return Record(sale, form.traceCodes, *rules, boxes);
}

std::optional<CBasketRegisters::CRules> CSalesEntry::RulesFor(const Card& card,
                                                              QString* failure) const {
    QString unreadable;
    const std::optional<CDrug> drug =
        druglookup::ByName(m_pDatabase, card.name, card.origin, card.packModel, &unreadable);
    if (drug)
        return CBasketRegisters::RulesOf(drug->drugClass, drug->ephedrine);
    if (!unreadable.isEmpty()) {
        if (failure)
            *failure = unreadable;
        return std::nullopt;
    }
    return CBasketRegisters::CRules{};
}

CBasketRegisters::CNeeds CSalesEntry::RegistersNeeded(const Form& form) const {
    const std::optional<CBasketRegisters::CRules> rules = RulesFor(Stored(form.card), nullptr);
    if (!rules || (rules->pharmacistNeeded && PharmacistOnDuty().isEmpty()))
        return {};
    return m_registers.Needs(*rules);
}

CSalesEntry::BuyerCheck CSalesEntry::CheckBuyer(const ephedrine::CBuyer& buyer,
                                                const QDateTime& now) const {
    try {
        const QStringList earlier =
            ephedrine::Earlier(*m_pDatabase, buyer.id, now.addDays(-ephedrine::kRepeatDays));
        if (earlier.isEmpty())
            return {};
        const bool refused = ephedrine::RepeatRefused(*m_pDatabase);
        const QString said = ephedrine::RepeatText(earlier, refused);
        return refused ? BuyerCheck{said, {}} : BuyerCheck{{}, said};
    } catch (const CDBException& e) {
        return {QStringLiteral("无法查询该身份证号的购买记录，没有销售：") + e.ErrorText(), {}};
    }
}

CEntryOutcome CSalesEntry::Record(const entrysql::Sale& sale, const QStringList& traceCodes,
                                  const CBasketRegisters::CRules& rules, double boxes) {
    std::optional<CDBException> clampFailed, afterCommit;
    stockshortfall::Written shortfall;
    bool commitLost = false;
    QString lostReply;
    try {
        CTransaction transaction(*m_pDatabase);
        try {
            transaction.Execute(entrysql::InsertSale(sale));
        } catch (const CDBException& e) {
            return CEntryOutcome::DriverStatus(e);
        }
        try {
            // The card can have gone since the lookup: then the sale goes too.
            if (transaction.Execute(entrysql::LowerStock(sale)) == 0)
                return CEntryOutcome::Status(kNoSuchCard);
        } catch (const CDBException& e) {
            return CEntryOutcome::DriverStatus(e);
        }
        // The boxes leave with the sale; a code the ledger refuses takes the sale back.
        const traceledger::CCard card{sale.name, sale.origin, sale.packModel, sale.expiry, {}};
        const traceledger::CMove move{sale.number, sale.timestamp, m_strOperator};
        const bool split = sale.saleType == kSplitPack;
        traceledger::CStep taken;
        if (split && sale.quantity > 0)
            taken = traceledger::SellPieces(*m_pDatabase, traceCodes.value(0), card, sale.quantity,
                                            sale.piecesPerBox, m_bCodesRequired, move);
        else if (!split && !traceCodes.isEmpty())
            taken = traceledger::Sell(*m_pDatabase, traceCodes, card, move);
        if (!taken.ok())
            return CEntryOutcome::Refused(taken.refusal, 0, taken.refusal);
        // What the sale took, also an opened box's code that was not scanned.
        const QStringList took = split || !traceCodes.isEmpty()
                                     ? traceledger::CodesOf(*m_pDatabase, sale.number)
                                     : QStringList();
        registers::Write(*m_pDatabase,
                         {sale.number, sale.timestamp, sale.name, sale.origin, sale.packModel,
                          sale.expiry, m_strOperator},
                         m_registers.PrescriptionFor(rules), m_registers.BuyerFor(rules),
                         QDateTime::currentDateTime());
        // Stock taken beyond the card is written as 盘盈 before the clamp sets it to 0. Both may
        // fail on their own: the sale and its stock reduction stay.
        clampFailed = transaction.TryRun(kClampSavepoint, [&] {
            shortfall = stockshortfall::Record(*m_pDatabase, transaction, sale.number,
                                               m_strOperator, sale.timestamp);
        });
        // The sale and its log row stay together or go together.
        auditlog::Append(*m_pDatabase, entrylog::Sale(sale, took), QDateTime::currentDateTime());
        try {
            afterCommit = transaction.Commit();
        } catch (const CDBException& e) {
            if (!CDatabase::IsConnectionLost(e))
                throw;
            commitLost = true;
            lostReply = e.ErrorText();
        }
    } catch (const CDBException& e) {
        if (!CDatabase::IsConnectionLost(e))
            return CEntryOutcome::DriverStatus(e);
        // Lost on the way to the commit (the log row, its savepoint): looked up all the same.
        commitLost = true;
        lostReply = e.ErrorText();
    }
    if (commitLost) {
        // The server may have committed: looked up by the sale's number, once the transaction
        // is gone.
        const std::optional<bool> inBooks =
            entrylookup::InBooks(m_pDatabase, QStringLiteral("销"), sale.number);
        CEntryOutcome outcome = entrycheck::LookedUp(inBooks, IdName, lostReply);
        if (!inBooks) {
            m_number.Keep(sale.number);
        } else if (*inBooks) {
            outcome.recordedNumber = sale.number;
            m_registers.Recorded(rules, boxes);
        }
        return outcome;
    }
    // A clamp that failed is told beside the sale, which is recorded all the same.
    const QString found = stockshortfall::Told(shortfall);
    const CEntryOutcome outcome = CEntryOutcome::Recorded(
        found.isEmpty() ? kRecorded : kRecorded + QStringLiteral("，") + found, IdName,
        clampFailed);
    m_registers.Recorded(rules, boxes);
    CEntryOutcome recorded = CEntryOutcome::Recorded(outcome.status, IdName, afterCommit);
    recorded.recordedNumber = sale.number;
    return recorded;
}

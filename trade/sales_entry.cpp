#include "sales_entry.h"

#include "CDatabase.h"
#include "CTransaction.h"
#include "datetime_parse.h"
#include "drug_catalogue.h"
#include "drug_codes.h"
#include "drug_lookup.h"
#include "drug_pinyin.h"
#include "entry_check.h"
#include "entry_fields.h"
#include "entry_log.h"
#include "entry_statements.h"
#include "money.h"
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

// The catalogue's 每盒总量 as the entry counts pieces: a whole number of at least 1.
std::optional<unsigned> WholePieces(double pieces) {
    if (pieces >= 1 && pieces <= 1e6 && pieces == double(unsigned(pieces)))
        return unsigned(pieces);
    return std::nullopt;
}

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

namespace {
// How many drugs a few typed initials name at most before the clerk is asked for more.
constexpr int kOfferedDrugs = 5;
} // namespace

CSalesEntry::Scanned CSalesEntry::Scan(const Form& form, const QString& code,
                                       const QDate& today) const {
    Scanned scanned{false, form, {}};
    const QString typed = code.trimmed();
    if (const QString trace = tracecode::Normalized(typed); !trace.isEmpty())
        return ScanTraceCode(form, trace);
    QString failure;
    // Digits are a code; letters the initials of a name (拼音码), which must name one drug.
    const bool initials =
        std::any_of(typed.begin(), typed.end(), [](QChar c) { return c.isLetter(); });
    std::optional<CDrug> drug;
    if (!initials) {
        drug = druglookup::ByCode(m_pDatabase, typed, &failure);
    } else {
        const std::vector<drugpinyin::CMatch> matches =
            drugpinyin::Search(m_pDatabase, typed, kOfferedDrugs + 1, &failure);
        if (matches.size() == 1)
            drug = druglookup::ByName(m_pDatabase, matches[0].name, matches[0].origin,
                                      matches[0].packModel, &failure);
        else if (matches.size() > 1 && failure.isEmpty()) {
            QStringList offered;
            for (size_t i = 0; i < matches.size() && int(i) < kOfferedDrugs; ++i)
                offered << QStringLiteral("%1 %2 %3")
                               .arg(matches[i].name, matches[i].origin, matches[i].packModel);
            scanned.status = QStringLiteral("拼音码 %1 有 %2 种药品：%3；请多输入几个字母或扫码")
                                 .arg(typed,
                                      matches.size() > size_t(kOfferedDrugs)
                                          ? QStringLiteral("%1 以上").arg(kOfferedDrugs)
                                          : QString::number(matches.size()),
                                      offered.join(QStringLiteral("、")));
            return scanned;
        }
    }
    if (!drug) {
        scanned.status = !failure.isEmpty()
                             ? QStringLiteral("读取药品目录发生错误：%1").arg(failure)
                         : initials ? QStringLiteral("拼音码 %1 没有对应的药品").arg(typed)
                                    : QStringLiteral("条形码 %1 未登记").arg(typed);
        scanned.unknownCode = failure.isEmpty() && !initials;
        return scanned;
    }
    const std::optional<CResultTable> cards =
        RunStatement(m_pDatabase, kStockTable,
                     CCardLookup::CardsOfDrug(drug->name, drug->origin, drug->packModel), &failure);
    if (!cards) {
        scanned.status = QStringLiteral("%1：%2").arg(kLookupFailed, failure);
        return scanned;
    }
    // First expiry first out: the rows come earliest first.
    QString firstOut;
    QStringList expired;
    for (int row = 0; row < cards->RowCount() && firstOut.isEmpty(); ++row) {
        const QString expiry = cards->CellText(row, 0);
        const QString stock = cards->CellText(row, 1);
        if (!CCardLookup::HasStock(stock))
            continue;
        const QDate date = CCardLookup::DateOf(expiry);
        if (date.isValid() && date < today)
            expired << QStringLiteral("%1（%2 盒）").arg(expiry, CCardLookup::BoxesText(stock));
        else
            firstOut = expiry;
    }
    if (firstOut.isEmpty()) {
        const QString what =
            (initials ? QStringLiteral("拼音码 ") : QStringLiteral("条形码 ")) + typed;
        const QString drugText =
            QStringLiteral("%1 %2 %3").arg(drug->name, drug->origin, drug->packModel);
        if (expired.isEmpty())
            scanned.status = QStringLiteral("%1 的药品（%2）没有库存").arg(what, drugText);
        else if (m_bExpiredLocked)
            scanned.status = QStringLiteral("%1 的药品只有已过期的批次：%2，不能销售")
                                 .arg(what, expired.join(QStringLiteral("、")));
        else
            scanned.status = QStringLiteral("%1 的药品只有已过期的批次：%2，扫码不选过期批次")
                                 .arg(what, expired.join(QStringLiteral("、")));
        return scanned;
    }

    Form& filled = scanned.form;
    filled.card = {drug->name, drug->origin, drug->packModel, firstOut};
    const bool split = form.saleType == kSplitPack;
    const double price = split ? drug->piecePrice : drug->boxPrice;
    filled.price = entryfields::NumberText(price);
    filled.quantity = entryfields::UnsignedText(1);
    if (const std::optional<unsigned> pieces = WholePieces(drug->piecesPerBox); split && pieces)
        filled.piecesPerBox = entryfields::UnsignedText(*pieces);
    filled.amount = AmountDue(1, price);
    filled.expiredAccepted = false;
    scanned.filled = true;
    scanned.status = QStringLiteral("%1 %2 %3 · %4 批：按 Enter 登记，或先输入数量")
                         .arg(drug->name, drug->origin, drug->packModel, firstOut);
    return scanned;
}

CSalesEntry::Scanned CSalesEntry::ScanTraceCode(const Form& form, const QString& code) const {
    Scanned scanned{false, form, {}};
    if (!m_pDatabase || !m_pDatabase->IsOpen()) {
        scanned.status = kLookupFailed;
        return scanned;
    }
    std::optional<traceledger::CCodeRow> row;
    try {
        row = traceledger::Find(*m_pDatabase, code);
    } catch (const CDBException& e) {
        scanned.status = QStringLiteral("读取追溯码发生错误：%1").arg(e.ErrorText());
        return scanned;
    }
    // Gone already: refused now, before anything else is scanned with it.
    if (row) {
        if (const QString refusal = tracelist::LeftRefusal(*row); !refusal.isEmpty()) {
            scanned.status = refusal;
            return scanned;
        }
    }
    const bool split = form.saleType == kSplitPack;
    if (row && row->state == traceledger::kOpened && !split) {
        scanned.status = QStringLiteral("追溯码 %1 的药盒已拆零（还剩 %2 个），不能整盒销售")
                             .arg(code, sqltext::Exact(row->piecesLeft));
        return scanned;
    }
    const Card held = Stored(form.card);
    const bool holdsCard = !held.name.isEmpty() && !held.origin.isEmpty() &&
                           !held.packModel.isEmpty() && !held.expiry.isEmpty();
    const bool sameCard = row && holdsCard && held.name == row->card.name &&
                          held.origin == row->card.origin &&
                          held.packModel == row->card.packModel && held.expiry == row->card.expiry;
    Form& filled = scanned.form;
    if (sameCard || (!row && holdsCard)) {
        // One more box of the item in the form.
        const tracelist::CAdded added =
            tracelist::Added(form.traceCodes, code, tracelist::kEntryCodes);
        if (!added.refusal.isEmpty()) {
            scanned.status = added.refusal;
            return scanned;
        }
        if (split && !form.traceCodes.isEmpty()) {
            scanned.status =
                QStringLiteral("拆零销售只拆一盒：已扫追溯码 %1").arg(form.traceCodes.front());
            return scanned;
        }
        filled.traceCodes << added.code;
        const std::optional<unsigned> typed = entryfields::ParseUnsigned(form.quantity);
        const unsigned boxes = unsigned(filled.traceCodes.size());
        if (!split && (!typed || *typed < boxes)) {
            filled.quantity = entryfields::UnsignedText(boxes);
            if (const std::optional<double> price = entryfields::ParseNumber(form.price))
                filled.amount = AmountDue(boxes, *price);
        }
        scanned.filled = true;
        scanned.added = true;
        scanned.status =
            QStringLiteral("%1 %2 %3 · %4 批 · %5")
                .arg(held.name, held.origin, held.packModel, held.expiry,
                     QStringLiteral("追溯码 ") +
                         tracelist::Counted(boxes, filled.quantity, tracelist::kEntryCodes));
        if (!row)
            scanned.status +=
                QStringLiteral("；追溯码 %1 没有入库记录，随本药品售出时登记").arg(code);
        return scanned;
    }
    if (!row) {
        scanned.status =
            QStringLiteral(
                "追溯码 %1 没有入库记录，认不出是哪种药品：请先扫药品的条形码或选好药品，"
                "再扫这个追溯码")
                .arg(code);
        return scanned;
    }

    // The card the box came in with, whatever expires first.
    const traceledger::CCard& card = row->card;
    QString failure;
    const std::optional<CDrug> drug =
        druglookup::ByName(m_pDatabase, card.name, card.origin, card.packModel, &failure);
    if (!failure.isEmpty()) {
        scanned.status = QStringLiteral("读取药品目录发生错误：%1").arg(failure);
        return scanned;
    }
    filled.card = {card.name, card.origin, card.packModel, card.expiry};
    const double price = !drug ? 0 : split ? drug->piecePrice : drug->boxPrice;
    filled.price = entryfields::NumberText(price);
    filled.quantity = entryfields::UnsignedText(1);
    if (const std::optional<unsigned> pieces =
            drug ? WholePieces(drug->piecesPerBox) : std::nullopt;
        split && pieces)
        filled.piecesPerBox = entryfields::UnsignedText(*pieces);
    filled.amount = AmountDue(1, price);
    filled.traceCodes = QStringList{code};
    filled.expiredAccepted = false;
    scanned.filled = true;
    scanned.status = QStringLiteral("%1 %2 %3 · %4 批 · %5：按 Enter 登记，或再扫下一盒")
                         .arg(card.name, card.origin, card.packModel, card.expiry,
                              QStringLiteral("追溯码 ") +
                                  tracelist::Counted(1, filled.quantity, tracelist::kEntryCodes));
    return scanned;
}

QString CSalesEntry::AttachQuestion(const Form& form, const QString& code) const {
    const CStockCard card = Stored(form.card);
    if (card.name.isEmpty() || card.origin.isEmpty() || card.packModel.isEmpty() ||
        !drugcatalogue::CodeProblem(code.trimmed()).isEmpty() ||
        !druglookup::ByName(m_pDatabase, card.name, card.origin, card.packModel))
        return {};
    return QStringLiteral("条形码 %1 未登记。把它登记为“%2（%3，%4）”的条形码吗？")
        .arg(code.trimmed(), card.name, card.origin, card.packModel);
}

QString CSalesEntry::AttachCode(const Form& form, const QString& code, const QDateTime& now) {
    if (!m_pDatabase || !m_pDatabase->IsOpen())
        return kLookupFailed;
    const CStockCard card = Stored(form.card);
    return drugcatalogue::AttachCode(*m_pDatabase, card.name, card.origin, card.packModel,
                                     code.trimmed(), m_strOperator, now);
}

CSalesEntry::Form CSalesEntry::WithCatalogue(const Form& form) const {
    const Card card = Stored(form.card);
    if (card.name.isEmpty() || card.origin.isEmpty() || card.packModel.isEmpty())
        return form;
    const std::optional<CDrug> drug =
        druglookup::ByName(m_pDatabase, card.name, card.origin, card.packModel);
    if (!drug)
        return form;
    Form filled = form;
    const bool split = form.saleType == kSplitPack;
    const double price = split ? drug->piecePrice : drug->boxPrice;
    // Only where the user has not typed: a cleared form's 0 and the sale type's own 每盒总量.
    if (price > 0 && entryfields::ParseNumber(form.price) == 0.0)
        filled.price = entryfields::NumberText(price);
    const std::optional<SaleTypeRule> rule = RuleFor(form.saleType);
    const std::optional<unsigned> pieces = WholePieces(drug->piecesPerBox);
    if (split && rule && pieces &&
        entryfields::ParseUnsigned(form.piecesPerBox) == rule->piecesPerBox)
        filled.piecesPerBox = entryfields::UnsignedText(*pieces);
    const std::optional<double> shownPrice = entryfields::ParseNumber(filled.price);
    const std::optional<unsigned> quantity = entryfields::ParseUnsigned(filled.quantity);
    if (shownPrice && quantity)
        filled.amount = AmountDue(*quantity, *shownPrice);
    return filled;
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

    // A kept number not in the books is written again as it was.
    sale.number = attempt.number;
    return Record(sale, form.traceCodes);
}

CEntryOutcome CSalesEntry::Record(const entrysql::Sale& sale, const QStringList& traceCodes) {
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
        if (!inBooks)
            m_number.Keep(sale.number);
        else if (*inBooks)
            outcome.recordedNumber = sale.number;
        return outcome;
    }
    // A clamp that failed is told beside the sale, which is recorded all the same.
    const QString found = stockshortfall::Told(shortfall);
    const CEntryOutcome outcome = CEntryOutcome::Recorded(
        found.isEmpty() ? kRecorded : kRecorded + QStringLiteral("，") + found, IdName,
        clampFailed);
    CEntryOutcome recorded = CEntryOutcome::Recorded(outcome.status, IdName, afterCommit);
    recorded.recordedNumber = sale.number;
    return recorded;
}

// What a scan does to the sales entry's form: a barcode or a drug's initials (拼音码) picks the
// drug and its card first expiry first out, a trace code its own box's card; an unknown
// barcode may be attached to the drug of the form; the catalogue's prices fill a typed form.
#include "sales_entry.h"

#include "CDatabase.h"
#include "drug_catalogue.h"
#include "drug_codes.h"
#include "drug_lookup.h"
#include "drug_pinyin.h"
#include "entry_fields.h"
#include "result_loader.h"
#include "sql_text.h"
#include "trace_code_list.h"
#include "trace_ledger.h"

#include <algorithm>

namespace {

const QString kStockTable = QStringLiteral("存");

// The catalogue's 每盒总量 as the entry counts pieces: a whole number of at least 1.
std::optional<unsigned> WholePieces(double pieces) {
    if (pieces >= 1 && pieces <= 1e6 && pieces == double(unsigned(pieces)))
        return unsigned(pieces);
    return std::nullopt;
}

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

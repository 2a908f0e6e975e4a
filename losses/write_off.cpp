#include "write_off.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CTransaction.h"
#include "entry_check.h"
#include "entry_fields.h"
#include "entry_lookup.h"
#include "loss_record.h"
#include "loss_text.h"
#include "text_forms.h"
#include "trace_ledger.h"

#include <cmath>

const QString CWriteOff::kOpeningStatus =
    QStringLiteral("选择药品，填写数量和原因，按【添加】记入账上");
const QString CWriteOff::kCardMissing =
    QStringLiteral("请填写完整的名称、产地、规格型号和有效截止日期");
const QString CWriteOff::kNoSuchCard = QStringLiteral("库存中没有这批药品");
const QString CWriteOff::kQuantityInvalid =
    QStringLiteral("数量必须是大于 0 的盒数，可以有小数，例如 2 或 0.5。");
const QString CWriteOff::kReasonInvalid =
    QStringLiteral("请选择原因：过期、破损、退回供应商或其他。");
const tracelist::CWording CWriteOff::kCodes{
    QStringLiteral("追溯码 %1 已经扫过了"),
    QStringLiteral("扫了 %1 个追溯码，多于这次的 %2 盒：请删去多扫的"),
    losstext::Boxes,
    true,
};

QString CWriteOff::MoreThanHeldText(const QString& stock) {
    return QStringLiteral("数量超过库存：这批药品现有 %1 盒，最多只能报损这么多。").arg(stock);
}

QString CWriteOff::RecordedText(const losssql::Loss& loss, qsizetype codes) {
    const QString done =
        loss.reason == losstext::kReturn ? QStringLiteral("已退货") : QStringLiteral("已报损");
    const QString text =
        QStringLiteral("%1：%2 %3 盒，成本 %4 元")
            .arg(done, loss.card.name, losstext::Boxes(loss.quantity), losstext::Cost(loss));
    return codes ? text + QStringLiteral("，追溯码 %1 个").arg(codes) : text;
}

std::optional<CWriteOff::Form> CWriteOff::ForCard(const losssql::Card& card, const QDate& today,
                                                  QString* failure) const {
    const std::optional<lossrecord::CardFigures> figures =
        lossrecord::ReadCard(m_pDatabase, card, failure);
    if (!figures)
        return std::nullopt;
    const QDate expires = QDate::fromString(card.expiry.left(10), Qt::ISODate);
    Form form;
    form.card = card;
    form.quantity = figures->stockText;
    form.reason = expires.isValid() && expires < today ? losstext::kExpired : losstext::kBroken;
    return form;
}

CEntryOutcome CWriteOff::Add(const Form& form) {
    const auto stored = [](const QString& text) { return textforms::WithoutTrailingBlanks(text); };
    losssql::Loss loss;
    loss.card = {stored(form.card.name), stored(form.card.origin), stored(form.card.packModel),
                 stored(form.card.expiry)};
    if (loss.card.name.isEmpty() || loss.card.origin.isEmpty() || loss.card.packModel.isEmpty() ||
        loss.card.expiry.isEmpty())
        return CEntryOutcome::Status(kCardMissing);
    const std::optional<double> quantity = entryfields::ParseNumber(form.quantity);
    if (!quantity || !std::isfinite(*quantity) || *quantity <= 0)
        return CEntryOutcome::Refused(kQuantityInvalid, IdQuantity);
    if (const QString problem = entryfields::BoxesProblem(*quantity, QStringLiteral("数量"));
        !problem.isEmpty())
        return CEntryOutcome::Refused(problem, IdQuantity, problem);
    if (!losstext::WriteOffReasons().contains(form.reason))
        return CEntryOutcome::Refused(kReasonInvalid, IdReason);
    QStringList codes = form.traceCodes;
    if (const QString problem = tracelist::Problem(codes, *quantity, kCodes); !problem.isEmpty())
        return CEntryOutcome::Refused(problem, IdTraceCode, problem);
    if (!m_pDatabase || !m_pDatabase->IsOpen())
        return CEntryOutcome::DriverStatus(CDBException::ConnectionClosed());
    loss.quantity = *quantity;
    loss.reason = form.reason;
    loss.destination = stored(form.destination);
    loss.note = stored(form.note);
    loss.operatorName = m_strOperator;

    // A number kept from a press whose outcome is unknown: never written twice.
    const entrylookup::CPendingNumber::CTry attempt =
        m_number.BeforeTry(m_pDatabase, QStringLiteral("损"));
    using Step = entrylookup::CPendingNumber::CTry::Step;
    if (attempt.step == Step::StillUnknown)
        return CEntryOutcome::Status(
            textforms::CutUtf8(entrylookup::Reported(std::nullopt, attempt.failure), 254));
    if (attempt.step == Step::AlreadyRecorded)
        return CEntryOutcome::Recorded(entrylookup::kAlreadyRecorded, IdName, std::nullopt);
    loss.number = attempt.number;
    loss.timestamp = lossrecord::Now();
    return Record(loss, codes);
}

CEntryOutcome CWriteOff::Record(losssql::Loss& loss, const QStringList& codes) {
    std::optional<QString> lost; // the driver's text when the commit's reply was lost
    try {
        CTransaction transaction(*m_pDatabase);
        // The card's row, then the codes, as a sale takes them: a sale and a write-off of the
        // same box never wait on each other crosswise. Both before the log is locked.
        if (!codes.isEmpty()) {
            transaction.Execute(losssql::TakeFromStock(loss.card, 0));
            const traceledger::CStep taken = traceledger::TakeOut(
                *m_pDatabase, codes,
                {loss.card.name, loss.card.origin, loss.card.packModel, loss.card.expiry, {}},
                loss.reason == losstext::kReturn ? traceledger::kReturned
                                                 : traceledger::kWrittenOff,
                {loss.number, loss.timestamp, loss.operatorName});
            if (!taken.ok()) {
                m_number.Forget();
                return CEntryOutcome::Refused(taken.refusal, IdTraceCode, taken.refusal);
            }
        }
        // The codes go into the 损 row's own log row.
        loss.traceCodes = codes;
        switch (lossrecord::Record(*m_pDatabase, transaction, loss, true)) {
        case lossrecord::Step::NoCard:
            m_number.Forget();
            return CEntryOutcome::Status(kNoSuchCard);
        case lossrecord::Step::NotHeld: {
            m_number.Forget();
            QString failure;
            const std::optional<lossrecord::CardFigures> figures =
                lossrecord::ReadCard(m_pDatabase, loss.card, &failure);
            return CEntryOutcome::Refused(
                MoreThanHeldText(figures ? losstext::Boxes(figures->stock) : QStringLiteral("？")),
                IdQuantity);
        }
        case lossrecord::Step::Written:
            break;
        }
        try {
            const std::optional<CDBException> afterCommit = transaction.Commit();
            m_number.Forget();
            return CEntryOutcome::Recorded(RecordedText(loss, codes.size()), IdName, afterCommit);
        } catch (const CDBException& e) {
            if (!CDatabase::IsConnectionLost(e))
                throw;
            lost = e.ErrorText();
        }
    } catch (const CDBException& e) {
        // Undone before its commit: surely not in the books.
        m_number.Forget();
        return CEntryOutcome::DriverStatus(e);
    }
    // The commit's reply was lost: looked up by its number once the transaction is gone.
    const std::optional<bool> inBooks =
        entrylookup::InBooks(m_pDatabase, QStringLiteral("损"), loss.number);
    if (inBooks)
        m_number.Forget();
    else
        m_number.Keep(loss.number);
    return entrycheck::LookedUp(inBooks, IdName, *lost);
}

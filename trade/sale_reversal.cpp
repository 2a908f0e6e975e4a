#include "sale_reversal.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CTransaction.h"
#include "audit_log.h"
#include "entry_number.h"
#include "money.h"
#include "result_loader.h"
#include "sql_text.h"
#include "trace_ledger.h"

const QString CSaleReversal::kNoSale =
    QStringLiteral("请先选出要冲正的那一笔销售：填单号或小票号，按【查找】，再在列表中选中它");
const QString CSaleReversal::kNoReason = QStringLiteral("请填写冲正的原因");
const QString CSaleReversal::kNeedsManager =
    QStringLiteral("营业员冲正销售须由店长授权：请店长填写用户名和密码");
const QString CSaleReversal::kManagerRefused =
    QStringLiteral("店长用户名或密码不对（或此用户不是店长），没有冲正");
const QString CSaleReversal::kAlreadyReversed = QStringLiteral("这笔销售已经冲正过了");
const QString CSaleReversal::kIsReversal =
    QStringLiteral("这一行本身是一笔冲正，不能再冲正；如冲正有误，请重新登记这笔销售");
const QString CSaleReversal::kUnnumbered =
    QStringLiteral("这笔销售没有单号（不是本程序录入的），无法冲正");
const QString CSaleReversal::kCardGone = QStringLiteral(
    "这批药品的库存卡已被删除，数量无法退回库存，没有冲正。请先在维护库存中恢复这张卡");
const QString CSaleReversal::kNotFound = QStringLiteral("账上没有单号或小票号为 %1 的销售");

namespace {

const QString kSales = QStringLiteral("销");
const QString kRecorded = QStringLiteral("已冲正：%1，数量已退回库存");

using Outcome = CSaleReversal::Outcome;
using Field = Outcome::Field;

Outcome Refused(const QString& message, Field focus = Field::None) {
    return {false, message, focus, {}};
}

Outcome Recorded(const QString& message, const QString& number) {
    return {true, message, Field::None, number};
}

QString Failed(const QString& failure) {
    return failure.trimmed().isEmpty() ? QStringLiteral("数据库没有打开") : failure.trimmed();
}

} // namespace

CSaleReversal::CSaleReversal(CDatabase* db, QString operatorName, bool isManager,
                             ManagerCheck managerCheck)
    : m_pDatabase(db), m_strOperator(std::move(operatorName)), m_bManager(isManager),
      m_managerCheck(std::move(managerCheck)) {}

std::optional<std::vector<reversalsql::Sale>> CSaleReversal::Find(const QString& text,
                                                                  QString* failure) const {
    const QString key = text.trimmed();
    if (key.isEmpty())
        return std::vector<reversalsql::Sale>();
    for (const CStatement& statement : {reversalsql::ByNumber(key), reversalsql::ByReceipt(key)}) {
        const std::optional<CResultTable> rows =
            RunStatement(m_pDatabase, kSales, statement, failure);
        if (!rows)
            return std::nullopt;
        if (rows->RowCount() > 0)
            return reversalsql::Read(*rows);
    }
    return std::vector<reversalsql::Sale>();
}

std::optional<bool> CSaleReversal::Reversed(const QString& number, QString* failure) const {
    const std::optional<CResultTable> rows =
        RunStatement(m_pDatabase, kSales, reversalsql::ReversalOf(number), failure);
    if (!rows)
        return std::nullopt;
    return rows->RowCount() > 0;
}

QString CSaleReversal::Line(const reversalsql::Sale& sale) {
    QString line = QStringLiteral("%1  %2（%3，%4，有效期至 %5）%6 盒，实收 %7 元，营业员 %8")
                       .arg(sale.stamp, sale.name, sale.origin, sale.packModel, sale.expiry,
                            sqltext::Exact(sale.quantity), money::Amount(sale.amount),
                            sale.clerk.isEmpty() ? QStringLiteral("—") : sale.clerk);
    if (!sale.reverses.isEmpty())
        line += QStringLiteral("  〔冲正记录〕");
    else if (!sale.reversedBy.isEmpty())
        line += QStringLiteral("  〔已冲正〕");
    return line;
}

QString CSaleReversal::LogText(const reversalsql::Sale& sale, const QString& reason,
                               const QString& manager) {
    // One pass over every value: a typed "%1" in the reason stays as typed.
    const QString name = sale.name, origin = sale.origin, pack = sale.packModel,
                  expiry = sale.expiry, quantity = sqltext::Exact(sale.quantity),
                  amount = sqltext::Exact(sale.amount);
    if (manager.isEmpty())
        return QStringLiteral("%1（%2，%3，有效期至 %4）%5 盒，实收 %6 元，原单号 %7，原营业员 %8，"
                              "原日期时间 %9；原因：%10")
            .arg(name, origin, pack, expiry, quantity, amount, sale.number, sale.clerk, sale.stamp,
                 reason);
    return QStringLiteral("%1（%2，%3，有效期至 %4）%5 盒，实收 %6 元，原单号 %7，原营业员 %8，"
                          "原日期时间 %9；原因：%10；授权店长 %11")
        .arg(name, origin, pack, expiry, quantity, amount, sale.number, sale.clerk, sale.stamp,
             reason, manager);
}

CSaleReversal::Outcome CSaleReversal::Reverse(const Request& request, const QDateTime& now) {
    const QString number = request.saleNumber.trimmed();
    if (number.isEmpty())
        return Refused(kNoSale, Field::Sale);
    const QString reason = request.reason.trimmed();
    if (reason.isEmpty())
        return Refused(kNoReason, Field::Reason);
    QString manager;
    if (!m_bManager) {
        if (request.managerName.isEmpty())
            return Refused(kNeedsManager, Field::Manager);
        if (!m_managerCheck || !m_managerCheck(request.managerName, request.managerPassword))
            return Refused(kManagerRefused, Field::Manager);
        manager = request.managerName;
    }

    // Pressed again after the connection broke: the first press may be in the books.
    const entrylookup::CPendingNumber::CTry attempt = m_number.BeforeTry(m_pDatabase, kSales);
    using Step = entrylookup::CPendingNumber::CTry::Step;
    if (attempt.step == Step::StillUnknown)
        return Refused(entrylookup::kOutcomeUnknown);
    if (attempt.step == Step::AlreadyRecorded)
        return Recorded(entrylookup::kAlreadyRecorded, attempt.number);

    QString failure;
    const std::optional<CResultTable> rows =
        RunStatement(m_pDatabase, kSales, reversalsql::ByNumber(number), &failure);
    if (!rows)
        return Refused(Failed(failure));
    const std::vector<reversalsql::Sale> found = reversalsql::Read(*rows);
    if (found.empty())
        return Refused(kNotFound.arg(number), Field::Sale);
    const reversalsql::Sale& sale = found.front();
    if (!sale.reverses.isEmpty())
        return Refused(kIsReversal, Field::Sale);
    if (!sale.reversedBy.isEmpty())
        return Refused(kAlreadyReversed, Field::Sale);
    return Record(sale, reason, manager, attempt.number, now);
}

CSaleReversal::Outcome CSaleReversal::Record(const reversalsql::Sale& sale, const QString& reason,
                                             const QString& manager, const QString& number,
                                             const QDateTime& now) {
    const QString stamp = sqltext::Timestamp(now);
    std::optional<CDBException> refused;
    QString lostReply;
    try {
        CTransaction transaction(*m_pDatabase);
        try {
            transaction.Execute(reversalsql::InsertReversal(sale, stamp, m_strOperator, number));
        } catch (const CDBException& e) {
            if (CDatabase::IsConnectionLost(e))
                throw;
            refused = e;
        }
        if (!refused) {
            if (transaction.Execute(reversalsql::RaiseStock(sale)) == 0)
                return Refused(kCardGone, Field::Sale);
            // The boxes come back with the stock: their codes may be sold again.
            traceledger::PutBack(*m_pDatabase, sale.number, {number, stamp, m_strOperator});
            CLogEntry entry{m_strOperator, QStringLiteral("冲正"), kSales,
                            LogText(sale, reason, manager), number};
            entry.row = CLoggedRow{CLoggedRow::Change::Added, kSales, {number}, {}};
            auditlog::Append(*m_pDatabase, entry, now);
            const std::optional<CDBException> afterCommit = transaction.Commit();
            QString message = kRecorded.arg(Line(sale));
            if (afterCommit)
                message += QStringLiteral("\n") + afterCommit->ErrorText().trimmed();
            return Recorded(message, number);
        }
    } catch (const CDBException& e) {
        if (!CDatabase::IsConnectionLost(e))
            return Refused(e.ErrorText().trimmed());
        lostReply = e.ErrorText();
    }
    if (refused) {
        // Another counter may have reversed it since it was read: the index refused a second.
        if (Reversed(sale.number, nullptr).value_or(false))
            return Refused(kAlreadyReversed, Field::Sale);
        return Refused(refused->ErrorText().trimmed());
    }
    // The server may have committed: looked up by the reversing row's number.
    const std::optional<bool> inBooks = entrylookup::InBooks(m_pDatabase, kSales, number);
    if (!inBooks)
        m_number.Keep(number);
    const QString said = entrylookup::Reported(inBooks, lostReply, QStringLiteral("冲正"));
    return inBooks.value_or(false) ? Recorded(said, number) : Refused(said);
}

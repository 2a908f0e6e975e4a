#include "payment.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CTransaction.h"
#include "audit_log.h"
#include "entry_lookup.h"
#include "entry_number.h"
#include "money.h"
#include "payment_settings.h"
#include "result_loader.h"
#include "typed_amount.h"

#include <map>

namespace {

const QString kSales = QStringLiteral("销");

QString Yuan(long long cents) {
    return money::Yuan(cents);
}

} // namespace

namespace payment {

std::optional<long long> ParseYuan(const QString& text, QString* failure) {
    return typedamount::Cents(text, QStringLiteral("实收金额"), failure);
}

QString ChangeText(long long cents) {
    return QStringLiteral("找零 %1 元").arg(Yuan(cents));
}

} // namespace payment

bool CPayment::IsCash() const {
    return method == CPaymentSettings::kCash;
}

std::optional<long long> CPayment::ChangeCents() const {
    if (!IsCash() || !tenderedCents)
        return std::nullopt;
    return *tenderedCents - dueCents;
}

QString CPayment::Refusal() const {
    if (method.trimmed().isEmpty())
        return QStringLiteral("请选择支付方式。");
    if (IsCash()) {
        if (!tenderedCents)
            return QStringLiteral("请填写实收金额。");
        if (*tenderedCents < dueCents)
            return QStringLiteral("实收 %1 元，不够应收 %2 元，还差 %3 元。")
                .arg(Yuan(*tenderedCents), Yuan(dueCents), Yuan(dueCents - *tenderedCents));
    }
    return {};
}

CCheckout::CCheckout(CDatabase* db, QString operatorName)
    : m_pDatabase(db), m_strOperator(std::move(operatorName)) {}

std::optional<long long> CCheckout::Due(const QStringList& numbers, QString* failure) const {
    if (!m_pDatabase || !m_pDatabase->IsOpen()) {
        if (failure)
            *failure = CDBException::ConnectionClosed().ErrorText();
        return std::nullopt;
    }
    // A reversal in the bill comes with its sale too: each row counts once.
    std::map<QString, long long> rowsDue;
    for (const QString& number : numbers) {
        // The sale and any row that reverses it, as the receipt lists them.
        const std::optional<CResultTable> rows = RunStatement(
            m_pDatabase, kSales,
            CStatement{QStringLiteral("SELECT 单号,实收金额 FROM 销 WHERE 单号<>'' AND (单号=? "
                                      "OR 冲正单号=?)"),
                       {number, number}},
            failure);
        if (!rows)
            return std::nullopt;
        for (int r = 0; r < rows->RowCount(); ++r)
            rowsDue[rows->CellText(r, 0)] = money::Cents(rows->CellText(r, 1).toDouble());
    }
    long long due = 0;
    for (const auto& [number, cents] : rowsDue)
        due += cents;
    return due;
}

CCheckout::Outcome CCheckout::Pay(const QStringList& numbers, const CPayment& payment,
                                  const QDateTime& now) {
    const QString kNotPaid = QStringLiteral("没有结账：");
    if (const QString refused = payment.Refusal(); !refused.isEmpty())
        return {false, refused};
    if (!m_pDatabase || !m_pDatabase->IsOpen())
        return {false, kNotPaid + CDBException::ConnectionClosed().ErrorText().trimmed()};

    // The bill in the log: the method, and for cash what was handed over and given back.
    QString bill = QStringLiteral("本单 %1 笔，合计 %2 元")
                       .arg(QString::number(numbers.size()), Yuan(payment.dueCents));
    if (const std::optional<long long> change = payment.ChangeCents())
        bill += QStringLiteral("，实收 %1 元，找零 %2 元")
                    .arg(Yuan(*payment.tenderedCents), Yuan(*change));

    QString firstPaid;
    int paid = 0;
    try {
        CTransaction transaction(*m_pDatabase);
        QStringList changed;
        for (const QString& number : numbers) {
            // A reversal is not paid, and a sale paid before keeps its method.
            if (transaction.Execute(QStringLiteral("UPDATE 销 SET 支付方式=? WHERE ") +
                                        entrynumber::ByNumber() +
                                        QStringLiteral(" AND 冲正单号='' AND 支付方式=''"),
                                    {payment.method, number}) == 1)
                changed << number;
        }
        // The log is appended last: on server books it is locked from the first row on.
        for (const QString& number : changed) {
            auditlog::Append(
                *m_pDatabase,
                CLogEntry{
                    m_strOperator, QStringLiteral("结账"), kSales,
                    QStringLiteral("单号 %1 支付方式 %2（%3）").arg(number, payment.method, bill),
                    number, CLoggedRow{CLoggedRow::Change::Changed, kSales, {number}, {}}},
                now);
        }
        if (!changed.isEmpty())
            firstPaid = changed.first();
        paid = int(changed.size());
        // Once committed the rows stand; a failure to return to auto-commit changes nothing.
        (void)transaction.Commit();
    } catch (const CDBException& e) {
        if (!CDatabase::IsConnectionLost(e) || firstPaid.isEmpty())
            return {false, kNotPaid + e.ErrorText().trimmed()};
        // The commit may have reached the books: the first sale tells, for all went together.
        QString failure;
        const std::optional<CResultTable> rows = RunStatement(
            m_pDatabase, kSales,
            CStatement{QStringLiteral("SELECT 支付方式 FROM 销 WHERE ") + entrynumber::ByNumber(),
                       {firstPaid}},
            &failure);
        std::optional<bool> found;
        if (rows && rows->RowCount() == 1)
            found = rows->CellText(0, 0) == payment.method;
        const bool recorded = found.value_or(false);
        return {recorded,
                QStringLiteral("结账：") +
                    entrylookup::Reported(found, e.ErrorText().trimmed(), QStringLiteral("结账")),
                recorded ? paid : 0};
    }
    if (paid == 0)
        return {true, QStringLiteral("本单已经结账，没有再记一次。"), 0};
    return {true, QStringLiteral("已结账：%1").arg(payment.method), paid};
}

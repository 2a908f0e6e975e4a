#pragma once
// 交班报表: what each 营业员 sold on one day — sales, split-pack sales, turnover to the cent, the
// first and last sale — with a 合计 row, and 交班, which records one operator's figures in the
// log. A 店长 sees everyone; a 营业员 only themselves, whatever is asked.
#include "entry_lookup.h"
#include "log_head.h"
#include "result_table.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTime>
#include <map>
#include <optional>
#include <vector>

class CDatabase;

struct CShiftRow {
    QString clerk; // as stored; "" for sales made before operators were recorded
    int sales = 0;
    int splitSales = 0;
    int reversals = 0;   // rows that reverse a sale; not counted in `sales`
    long long cents = 0; // the turnover in cents
    QTime first;         // null when there was no sale
    QTime last;
    // The turnover by 支付方式, in cents; "" for sales not paid yet.
    std::map<QString, long long> byMethod;

    // What the cash drawer should hold: the turnover paid in cash.
    long long CashCents() const;
};

struct CShiftFigures {
    QDate day;
    std::vector<CShiftRow> rows; // by name
    CShiftRow total;             // clerk "合计"
    // The payment columns: the methods of this counter that were used, in their order, then
    // any other, then "未结账" when a sale is not paid yet.
    QStringList methods;
    // The log's head when the figures were read, printed with them so that a log rewritten
    // afterwards no longer matches the paper.
    auditlog::CChainHead head;
};

namespace shiftreport {

inline const QString kAll = QStringLiteral("全部");
inline const QString kUnrecorded = QStringLiteral("（未记录）");
inline const QString kTotal = QStringLiteral("合计");

// 营业员, 笔数, 拆零笔数, 冲正笔数, 营业额, 首笔, 末笔.
QStringList Titles();
// Those, then one per payment column of `figures`.
QStringList Titles(const CShiftFigures& figures);
// A name as the report shows it: "（未记录）" for "".
QString ShownName(const QString& clerk);

// The figures from the result of reportsql::ShiftReport. `clerk`: the one operator asked for,
// who gets a row of zeros when they sold nothing.
CShiftFigures FromResult(const CResultTable& result, const QDate& day,
                         const std::optional<QString>& clerk);
// Adds the sums of reportsql::ShiftPayments to the rows of `figures`, and the payment columns in
// the order of `methods` (this counter's).
void AddPayments(CShiftFigures& figures, const CResultTable& payments, const QStringList& methods);
// The rows as shown: one per operator, then 合计.
CResultTable Table(const CShiftFigures& figures);
// As printed and exported: the rows shown, then the log's head ("日志 n 条 · 校验 …").
CResultTable PrintedTable(const CShiftFigures& figures);
// The log row's 内容: "张三 2026-12-08 交班：销售 23 笔（拆零 5 笔），营业额 1234.50 元，首笔
// 08:41:22，末笔 18:02:30" (no times when there was no sale), then the turnover by payment
// ("；支付：现金 1200.00 元，微信 34.50 元") and, with the cash counted, "；点钞：应有现金
// 1200.00 元，实点 1199.00 元，差额 -1.00 元".
// The methods come in the order of `methods` (CShiftFigures::methods).
QString LogText(const CShiftRow& row, const QDate& day, const QStringList& methods = {},
                std::optional<long long> countedCents = std::nullopt);
// What starts the 内容 of `clerk`'s 交班 of `day`: "张三 2026-12-08 交班：".
QString LogPrefix(const QString& clerk, const QDate& day);

} // namespace shiftreport

class CShiftReport {
public:
    CShiftReport(CDatabase* db, QString operatorName, bool isManager);

    const QString& OperatorName() const { return m_strOperator; }
    bool IsManager() const { return m_bManager; }
    // What the chooser offers on `day`: "全部" and every name, sorted, for a 店长; the operator's
    // own name alone for a 营业员. nullopt, with why in `failure`, when it cannot be read.
    std::optional<QStringList> Choices(const QDate& day, QString* failure) const;
    // The figures of `day` for `choice` ("全部" or a name), and the log's head after them; a
    // 营业员 always gets their own.
    std::optional<CShiftFigures> Load(const QDate& day, const QString& choice,
                                      QString* failure) const;
    // The log's head now: after 交班 it takes in the rows just written.
    std::optional<auditlog::CChainHead> Head(QString* failure) const;

    struct Outcome {
        bool ok = false;
        QString message; // what to show, either way
    };
    // The operators of `figures` whose 交班 of its day is in the log already; nullopt, why in
    // `failure`, when the log cannot be read.
    std::optional<QStringList> HandedOver(const CShiftFigures& figures, QString* failure) const;

    // 交班: one log row per operator row of `figures`, all in one transaction, at `now`, with
    // the cash each one counted where `counted` (cents by 营业员) has it. A
    // 营业员 may hand over only their own figures. The rows of one press are numbered as one
    // entry, row i by entrynumber::Part(number, i); when the reply of that press was lost, the
    // next press looks its first row up in the log before it writes anything.
    Outcome HandOver(const CShiftFigures& figures, const QDateTime& now,
                     const std::map<QString, long long>& counted = {});

private:
    // The one name a load is limited to; nullopt for everyone.
    std::optional<QString> Filter(const QString& choice) const;

    // Whether the press numbered `number` is in the log: its first row tells, for they were
    // written in one transaction.
    std::optional<bool> Recorded(const QString& number, QString* failure) const;

    CDatabase* m_pDatabase;
    QString m_strOperator;
    bool m_bManager;
    entrylookup::CPendingNumber m_pending;
};

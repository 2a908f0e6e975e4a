#pragma once
// 结账 without its dialog: how the customer pays for 本单, the change when they pay cash, and
// the method set on every sale of the bill with its log row, in one transaction.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

class CDatabase;

namespace payment {

// 实收 as typed: its cents, or nullopt with why in `failure`.
std::optional<long long> ParseYuan(const QString& text, QString* failure);
// "找零 2.50 元".
QString ChangeText(long long cents);

} // namespace payment

// How one bill is paid.
struct CPayment {
    QString method;
    long long dueCents = 0; // what the bill comes to
    // Cash only: what was handed over.
    std::optional<long long> tenderedCents;

    bool IsCash() const;
    // What goes back to the customer; nullopt unless cash was handed over.
    std::optional<long long> ChangeCents() const;
    // Empty when it can be taken; else why not ("实收 5.00 元，不够应收 12.30 元" …).
    QString Refusal() const;
};

class CCheckout {
public:
    // `db` is borrowed and may be null or closed; the log rows are signed by `operatorName`.
    CCheckout(CDatabase* db, QString operatorName);

    // What the sales numbered `numbers` come to, each rounded to the fen as its receipt line,
    // their reversals taken off. nullopt, why in `failure`, when the books cannot be read.
    std::optional<long long> Due(const QStringList& numbers, QString* failure) const;

    struct Outcome {
        bool ok = false;
        QString message;
        int paid = 0; // sales that took the method now
    };
    // Sets `payment`'s method on every sale of `numbers` that is no reversal and not paid yet,
    // each with its log row, in one transaction at `now`. Pressed again after a lost reply it
    // pays only what is still unpaid, so nothing is logged twice.
    Outcome Pay(const QStringList& numbers, const CPayment& payment, const QDateTime& now);

private:
    CDatabase* m_pDatabase;
    QString m_strOperator;
};

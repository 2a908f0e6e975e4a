#pragma once
// 销售冲正 without its dialog: a mistaken sale is taken back by a reversing row of 销 (the same
// card and price, 数量, 实收金额 and 坏帐 negated, naming the sale in 冲正单号), its boxes back on
// the card and its log row, in one transaction. Never deleted, reversed at most once.
#include "entry_lookup.h"
#include "reversal_statements.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class CDatabase;

class CSaleReversal {
public:
    // Whether `name` is a 店长 whose password is `password`.
    using ManagerCheck = std::function<bool(const QString& name, const QString& password)>;

    static const QString kNoSale;
    static const QString kNoReason;
    static const QString kNeedsManager;
    static const QString kManagerRefused;
    static const QString kAlreadyReversed;
    static const QString kIsReversal;
    static const QString kUnnumbered;
    static const QString kCardGone;
    static const QString kNotFound;

    // `db` is borrowed and may be null or closed. `operatorName` is who is logged in; a 营业员
    // (`isManager` false) reverses only with a 店长's name and password, which `managerCheck`
    // tells.
    CSaleReversal(CDatabase* db, QString operatorName, bool isManager, ManagerCheck managerCheck);

    bool NeedsManager() const { return !m_bManager; }

    // The sale numbered `text`, or else the sales of receipt `text`; nullopt when the books
    // cannot be read (why in `failure`), an empty list when none matches.
    std::optional<std::vector<reversalsql::Sale>> Find(const QString& text, QString* failure) const;

    struct Request {
        QString saleNumber; // the 单号 of the sale to reverse
        QString reason;
        QString managerName; // for a 营业员
        QString managerPassword;
    };
    struct Outcome {
        enum class Field { None, Sale, Reason, Manager };
        bool recorded = false;
        QString message;
        Field focus = Field::None;
        QString number; // the reversing row's 单号, when recorded
    };
    // Reverses the sale at `now`. A commit whose reply was lost is looked up by the reversing
    // row's number, which is kept until its outcome is known, so it is never written twice.
    Outcome Reverse(const Request& request, const QDateTime& now);

    // The sale in a line of the picker: "2026-12-09 10:15:30 阿莫西林胶囊（石药集团，0.25g*24粒，
    // 有效期至 2005-04-30）2 盒，实收 60.00 元，营业员 张三".
    static QString Line(const reversalsql::Sale& sale);
    // The log row's 内容 for the reversal of `sale`, approved by `manager` ("" for the 店长's own).
    static QString LogText(const reversalsql::Sale& sale, const QString& reason,
                           const QString& manager);

private:
    Outcome Record(const reversalsql::Sale& sale, const QString& reason, const QString& manager,
                   const QString& number, const QDateTime& now);
    // Whether the sale numbered `number` is reversed already; nullopt when it cannot be read.
    std::optional<bool> Reversed(const QString& number, QString* failure) const;

    CDatabase* m_pDatabase;
    QString m_strOperator;
    bool m_bManager;
    ManagerCheck m_managerCheck;
    entrylookup::CPendingNumber m_number;
};

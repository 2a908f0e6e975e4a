#pragma once
// 报损/退货 without its dialog: boxes of one stock card leave the stock as a recorded loss or a
// return to the supplier, never more than the card holds, with its row, the card's new stock,
// the boxes' trace codes (报损, or 退货 for a return) and its log row in one transaction.
#include "entry_lookup.h"
#include "entry_outcome.h"
#include "loss_statements.h"
#include "trace_code_list.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

class CDatabase;

class CWriteOff {
public:
    // Control ids of the dialog; the card's four as in the sales entry.
    enum Id : int {
        IdName = 1050,
        IdOrigin = 1051,
        IdPackModel = 1052,
        IdExpiry = 1058,
        IdQuantity = 1053,
        IdCardHint = 1063,
        IdReason = 1064,
        IdDestination = 1065,
        IdNote = 1066,
        IdTraceCode = 1067,
        IdTraceCodes = 1068,
        IdTraceCount = 1069,
        IdStatus = 1060,
    };

    struct Form {
        losssql::Card card;
        QString quantity;
        QString reason;
        QString destination;
        QString note;
        // The boxes' codes, as many as boxes at most; none for boxes bought before the rule.
        QStringList traceCodes = {};
    };

    static const QString kOpeningStatus;
    static const QString kCardMissing;
    static const QString kNoSuchCard;
    static const QString kQuantityInvalid;
    static const QString kReasonInvalid;
    // How its list of trace codes reads: a part of a box leaves with its box's code.
    static const tracelist::CWording kCodes;
    // The card holds only `stock` boxes.
    static QString MoreThanHeldText(const QString& stock);
    // What the status line says once the row is in the books with `codes` codes.
    static QString RecordedText(const losssql::Loss& loss, qsizetype codes = 0);

    // `db` is borrowed; it may be null or closed, which 添加 reports.
    explicit CWriteOff(CDatabase* db, QString operatorName = {})
        : m_pDatabase(db), m_strOperator(std::move(operatorName)) {}

    // The form for a card picked from the alert list: its whole stock, and 过期 when it has
    // expired by `today` (破损 otherwise). nullopt when the card cannot be read (why in
    // `failure`; empty when the books have no such card).
    std::optional<Form> ForCard(const losssql::Card& card, const QDate& today,
                                QString* failure) const;

    // One press of 添加, stamped with the clock's time. After a lost reply whose outcome is
    // unknown the next press looks the kept number up first and writes only when it is not in
    // the books.
    CEntryOutcome Add(const Form& form);

private:
    CEntryOutcome Record(losssql::Loss& loss, const QStringList& codes);

    CDatabase* m_pDatabase;
    QString m_strOperator;
    entrylookup::CPendingNumber m_number;
};

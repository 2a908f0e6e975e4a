#pragma once
// 报损/退货 without its dialog: boxes of one stock card leave the stock as a recorded loss or a
// return to the supplier, never more than the card holds, with its row, the card's new stock
// and the log row in one transaction.
#include "entry_lookup.h"
#include "entry_outcome.h"
#include "loss_statements.h"

#include <QDate>
#include <QString>
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
        IdStatus = 1060,
    };

    struct Form {
        losssql::Card card;
        QString quantity;
        QString reason;
        QString destination;
        QString note;
    };

    static const QString kOpeningStatus;
    static const QString kCardMissing;
    static const QString kNoSuchCard;
    static const QString kQuantityInvalid;
    static const QString kReasonInvalid;
    // The card holds only `stock` boxes.
    static QString MoreThanHeldText(const QString& stock);
    // What the status line says once the row is in the books.
    static QString RecordedText(const losssql::Loss& loss);

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
    CEntryOutcome Record(losssql::Loss& loss);

    CDatabase* m_pDatabase;
    QString m_strOperator;
    entrylookup::CPendingNumber m_number;
};

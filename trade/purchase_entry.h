#pragma once
// The purchase entry without its dialog: the form's values, what 添加 checks and in which
// order, and the statements that record one batch as one transaction.
#include "entry_lookup.h"
#include "entry_outcome.h"
#include "entry_statements.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

class CDatabase;

class CPurchaseEntry {
public:
    // Control ids of the dialog "入库登记表".
    enum Id : int {
        IdPurchaseDate = 1047,
        IdPurchaser = 1050,
        IdCategory = 1051,
        IdSubCategory = 1052,
        IdCode = 1053,
        IdName = 1054,
        IdOrigin = 1055,
        IdPackModel = 1056,
        IdBatch = 1057,
        IdExpiry = 1048,
        IdPrice = 1058,
        IdQuantity = 1059,
        IdStatus = 1060,
        IdBarcode = 1061,
        IdTraceCode = 1062,
        IdTraceList = 1063,
        IdTraceCount = 1064,
    };

    // The form as its controls hold it: the number fields as typed.
    struct Form {
        // 条形码: typed or scanned; a drug new to the catalogue takes it as its code.
        QString barcode;
        QDate purchaseDate;
        QString purchaser;
        QString category;
        QString subCategory;
        QString code;
        QString name;
        QString origin;
        QString packModel;
        QString batch;
        QDate expiry;
        QString price;
        QString quantity;
        // The boxes' trace codes as the books keep them, one a box; fewer than the boxes, or
        // none, for stock bought before the boxes carried codes.
        QStringList traceCodes;
        // The user answered Yes to a batch whose expiry had passed.
        bool pastExpiryAccepted = false;
    };

    // The three opening lists.
    struct Lists {
        QStringList purchasers;
        QStringList categories;
        QStringList subCategories;
    };

    static const QString kOpeningStatus;
    static const QString kNameMissing;
    static const QString kConnectionClosed;
    static const QString kCardInvalid;
    static const QString kRecorded;
    static const QString kListsStatement;
    static const QString kPastExpiryQuestion;
    static const QString kPastExpiryDeclined;

    // `db` is borrowed; it may be null or closed, which the entry reports. `operatorName` is
    // who is logged in: every entry records it.
    explicit CPurchaseEntry(CDatabase* db, QString operatorName = {})
        : m_pDatabase(db), m_strOperator(std::move(operatorName)) {}

    // The form on opening: bought today, expiring 356 days later, numbers 0, texts empty.
    static Form Opening(const QDate& today);
    // The form after a recorded batch: the dates as they were, everything else as on opening.
    static Form Cleared(const Form& recorded);

    // The purchasers, categories and sub-categories bought so far; empty lists when the query
    // was refused or failed (a failure in `failure`, as the record grid would show it).
    Lists OpeningLists(QString* failure = nullptr) const;

    // What Enter in 条形码 comes to: the form with the drug the code names (and 大类, 小类 of
    // its last purchase), or as it was with the status saying why not.
    struct CodeLookup {
        bool found = false;
        Form form;
        QString status;
    };
    CodeLookup LookUpCode(const Form& form) const;

    // One press of 添加 on `form`. An expiry before the purchase date asks first, unless
    // `pastExpiryAccepted`. More trace codes than boxes are refused before anything is written;
    // a code the books hold already refuses the whole batch. Each batch gets its own number (单号);
    // when the connection breaks during the commit, the batch is looked up by that number. Until
    // its outcome is known the number is kept, and the next press looks it up first: a batch is
    // never written twice.
    CEntryOutcome Add(const Form& form);

private:
    // Records `p` as one transaction, with the drug and `barcode` in the catalogue and its
    // boxes' `traceCodes` captured.
    CEntryOutcome Record(const entrysql::Purchase& p, const QString& barcode,
                         const QStringList& traceCodes);

    CDatabase* m_pDatabase;
    QString m_strOperator;
    entrylookup::CPendingNumber m_number;
};

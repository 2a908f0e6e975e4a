#pragma once
// The counter sales entry without its dialog: the form's values, the sale-type rule, the
// amount due, the card pickers' lists, what 添加 checks and in which order, and the statements
// that record one sale as one transaction.
#include "basket_registers.h"
#include "card_lookup.h"
#include "entry_lookup.h"
#include "entry_outcome.h"
#include "sql_params.h"
#include "stock_card.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class CDatabase;
namespace entrysql {
struct Sale;
}

class CSalesEntry {
public:
    // Control ids of the dialog "前台销售登记表".
    enum Id : int {
        IdTimestamp = 1061,
        IdName = 1050,
        IdOrigin = 1051,
        IdPackModel = 1052,
        IdExpiry = 1058,
        IdPrice = 1055,
        IdSaleType = 1056,
        IdQuantity = 1053,
        IdPiecesPerBox = 1057,
        IdPiecesPerBoxLabel = 1062,
        IdCardHint = 1063,
        IdAmount = 1054,
        IdStatus = 1060,
    };

    // The four texts that name a stock card.
    using Card = CStockCard;

    // The form as its controls hold it: the numbers as typed.
    struct Form {
        QString timestamp;
        // The user typed the time stamp since the form was cleared: it is used as typed.
        // Otherwise the sale is stamped with the clock's time when 添加 is pressed.
        bool timestampTyped = false;
        Card card;
        QString price;
        QString saleType;
        QString quantity;
        QString piecesPerBox;
        QString amount; // the read-only amount due, as shown
        // The boxes' trace codes scanned into the sale, as the books keep them: one a box for a
        // whole-box sale, the box it opens for a split pack.
        QStringList traceCodes;
        // The user answered Yes to selling from a card that had expired.
        bool expiredAccepted = false;
    };

    // The four picker lists, in picker order.
    using Lists = CCardLookup::Lists;

    // What a sale type means for 每盒总量.
    struct SaleTypeRule {
        unsigned piecesPerBox;
        bool piecesShown;
    };

    static const QString kWholeBox;
    static const QString kSplitPack;
    static const QString kOpeningStatus;
    static const QString kCardMissing;
    static const QString kAmountInvalid;
    static const QString kLookupFailed;
    static const QString kNoSuchCard;
    static const QString kRecorded;
    static const QString kExpiredDeclined;
    static const QString kStampInvalid;
    static const QString kPiecesPerBoxZero;

    // What a scanned code did to the form.
    struct Scanned {
        // The form holds the drug's card to sell first, 数量 1: Enter records it.
        bool filled = false;
        Form form;      // the form to show: as it was unless filled
        QString status; // what the status line says
        // The code is in no drug's codes: a 店长 may attach it to the drug of the form.
        bool unknownCode = false;
        // A trace code went onto the item the form holds: nothing to record before it.
        bool added = false;
    };

    // The question before a sale from a card that expired on `expiry`.
    static QString ExpiredQuestion(const QString& expiry);
    // The refusal of a sale from a card that expired on `expiry`, while expired stock is locked.
    static QString ExpiredLockedText(const QString& expiry);

    // `db` is borrowed; it may be null or closed, which the entry reports. `operatorName` is
    // who is logged in: every entry records it.
    explicit CSalesEntry(CDatabase* db, QString operatorName = {})
        : m_pDatabase(db), m_strOperator(std::move(operatorName)), m_cards(db) {}

    // The card pickers' lists and hint, over the same books.
    const CCardLookup& Cards() const { return m_cards; }

    // Locked (the default): 添加 refuses a card that has expired. Unlocked: it asks first.
    void SetExpiredLocked(bool locked) { m_bExpiredLocked = locked; }
    // Required (销售须扫追溯码): a whole-box sale of n boxes needs n trace codes, a split pack a
    // code for the box it opens. Not required (the default): codes are taken when scanned.
    void SetCodesRequired(bool required) { m_bCodesRequired = required; }

    // 整盒销售: one box, 每盒总量 hidden; 拆零销售: 20 pieces, shown; any other text: nullopt.
    static std::optional<SaleTypeRule> RuleFor(const QString& saleType);
    // "%.2f" of 数量 × 零售价.
    static QString AmountDue(unsigned quantity, double price);
    // The form cleared for the next sale at `now`: the sale type kept, 数量 1, 零售价 0,
    // 应付金额 "0", the time stamp not typed. Also forgets what was typed.
    Form Cleared(const QString& saleType, const QDateTime& now);
    // The amount due while the user types: from each of the two fields that parses, and for
    // one that does not, from what it last held that did. Shows nothing.
    QString AmountWhileTyping(const QString& price, const QString& quantity);

    // The card as the books store it: each text without its trailing blanks.
    static Card Stored(const Card& typed) { return CCardLookup::Stored(typed); }
    // The picker query: the cards of the typed 名称, or every card while it is empty.
    static CStatement PickerStatement(const Card& typed) {
        return CCardLookup::PickerStatement(typed);
    }
    // A typed time stamp as the books read it ("2025/6/1 10:00" gives "2025-06-01 10:00:00");
    // empty when the text is no date-time.
    static QString StoredStamp(const QString& typed);
    // The day a sale of `form` is stamped with: its typed stamp's, else `today`.
    static QDate SaleDay(const Form& form, const QDate& today);
    // The four lists for what is typed (CCardLookup::PickerLists).
    std::optional<Lists> PickerLists(const Card& typed, QString* failure = nullptr) const {
        return m_cards.PickerLists(typed, failure);
    }

    // A scanned or typed code on `today`: the drug from the catalogue, then its card by first
    // expiry first out (the earliest 有效截止日期 not before `today` with stock; never an expired
    // one), 零售价 from the catalogue (拆零价 and 每盒总量 for a split pack), 数量 1. An unknown
    // code or a drug with no card to sell leaves the form as it was and says why. Letters are
    // the initials of a name (拼音码): one drug is taken as its code would be; several are named
    // in the status, the form unchanged. A trace code (tracecode::Normalized) takes the card it
    // came in with (not first out) and is the form's first code; scanned while the form holds
    // that card, or a code never captured while it holds any, it is one more code of that item,
    // 数量 raised to the codes where it was below. A code that has left the books is refused
    // naming the entry that took it.
    Scanned Scan(const Form& form, const QString& code, const QDate& today) const;
    // A code the catalogue does not know, attached to the drug the form's three texts name: the
    // question to ask first, empty when they name no drug of the catalogue or the code is
    // malformed (a misread, to scan again).
    QString AttachQuestion(const Form& form, const QString& code) const;
    // Attaches it, with its log row (登记条码): empty when written, else why not.
    QString AttachCode(const Form& form, const QString& code, const QDateTime& now);

    // The form with the catalogue's 零售价 and 每盒总量 for the drug its three texts name, where
    // those fields still hold what a cleared form holds; the amount due follows.
    Form WithCatalogue(const Form& form) const;

    // The card's stock and expiry and the batch to sell first (CCardLookup::CardHint).
    QString CardHint(const Card& typed, const QDate& today) const {
        return m_cards.CardHint(typed, today);
    }

    // One press of 添加 on `form`; a failed card lookup comes as the outcome's message, as the
    // record grid would show it. A time stamp that was not typed is the clock's time now; a
    // typed one is stored as the books read it, and one that is no date-time is refused. A card
    // that expired before the day of the sale's stamp is refused while expired stock is locked,
    // and otherwise asks first, unless `expiredAccepted`. Each sale gets its own number (单号):
    // when the connection breaks during the commit, the sale is looked up by it, and until its
    // outcome is known the number is kept and the next press looks it up first, so a sale is
    // never recorded twice. More trace codes than boxes, or fewer while codes are required, are
    // refused before anything is written; the codes leave the books with the sale, and one the
    // ledger refuses takes the sale back with it.
    CEntryOutcome Add(const Form& form);

    // Who is on duty as pharmacist (empty: no one), asked at each sale of a drug that needs one.
    void SetPharmacistOnDuty(std::function<QString()> onDuty) { m_onDuty = std::move(onDuty); }
    QString PharmacistOnDuty() const { return m_onDuty ? m_onDuty() : QString(); }
    // What the registers still need asked before `form` can be recorded: the prescription of a
    // prescription drug, the buyer of an ephedrine product, once a 本单. Nothing while the sale
    // is refused anyway (no pharmacist on duty, a catalogue that cannot be read).
    CBasketRegisters::CNeeds RegistersNeeded(const Form& form) const;
    // The prescription (checked by prescription::Problem) every prescription line of this 本单
    // is registered with.
    void SetPrescription(const prescription::CPrescription& p) { m_registers.SetPrescription(p); }
    // The buyer (checked by ephedrine::Problem) held against their purchases of the last
    // ephedrine::kRepeatDays on every counter: nothing to say, the refusal, or the question to go
    // on, as the 店长 set the rule.
    struct BuyerCheck {
        QString refusal;
        QString question;
    };
    BuyerCheck CheckBuyer(const ephedrine::CBuyer& buyer, const QDateTime& now) const;
    void SetBuyer(const ephedrine::CBuyer& buyer) { m_registers.SetBuyer(buyer); }
    // 结账 done: the next 本单 starts without a prescription, a buyer or boxes counted.
    void NewBasket() { m_registers.Clear(); }

    // The refusal of a whole-box sale of `boxes` with `codes` codes while codes are required
    // ("整盒销售 2 盒需扫 2 个追溯码，已扫 1 个").
    static QString CodesMissingText(unsigned boxes, qsizetype codes);

private:
    // One sale as one transaction, its trace codes taken with it and the registers its drug's
    // `rules` ask for written with it.
    CEntryOutcome Record(const entrysql::Sale& sale, const QStringList& traceCodes,
                         const CBasketRegisters::CRules& rules, double boxes);
    // What the catalogue says of the card's drug (none for a drug it does not hold); nullopt and
    // why in `failure` when it cannot be read.
    std::optional<CBasketRegisters::CRules> RulesFor(const Card& card, QString* failure) const;
    // Scan of a trace code as the books keep it.
    Scanned ScanTraceCode(const Form& form, const QString& code) const;

    CDatabase* m_pDatabase;
    QString m_strOperator;
    CCardLookup m_cards;
    bool m_bExpiredLocked = true;
    bool m_bCodesRequired = false;
    entrylookup::CPendingNumber m_number;
    CBasketRegisters m_registers;
    std::function<QString()> m_onDuty;
    // What 零售价 and 数量 last held that parsed.
    double m_dPrice = 0;
    unsigned m_nQuantity = 1;
};

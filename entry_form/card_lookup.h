#pragma once
// What the entry forms read about stock cards while a card is being named: the pickers' lists
// and the hint under them, as the sales entry and the write-off share them.
#include "sql_params.h"
#include "stock_card.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

class CDatabase;

class CCardLookup {
public:
    // The four picker lists, in picker order.
    struct Lists {
        QStringList names;
        QStringList origins;
        QStringList packModels;
        QStringList expiries;
    };

    // `db` is borrowed; it may be null or closed, which the lists report.
    explicit CCardLookup(CDatabase* db) : m_pDatabase(db) {}

    // The card as the books store it: each text without its trailing blanks.
    static CStockCard Stored(const CStockCard& typed);
    // The picker query: the cards of the typed 名称, or every card while it is empty.
    static CStatement PickerStatement(const CStockCard& typed);
    // Every card of one drug with its stock, the first to expire first: 有效截止日期, 现有存货量.
    static CStatement CardsOfDrug(const QString& name, const QString& origin,
                                  const QString& packModel);
    // A stock as the counter reads it: at most two decimals ("7.13", "3").
    static QString BoxesText(const QString& stock);
    // Whether a card's stock is something to sell: at least the finest quantity a shop counts,
    // never the residue that split packs leave in a binary fraction (1.3e-13 boxes).
    static bool HasStock(const QString& stock);
    // A date as the books hold it ("2005-04-30"); invalid when the text is none.
    static QDate DateOf(const QString& text);

    // The four lists for what is typed; each offers every card that matches the texts of the
    // pickers before it, never narrowed by its own text, so that a refused batch leaves the
    // others to pick. Initials in 名称 that no card is named by offer the drugs they stand for.
    // nullopt when a query was refused or failed (a failure in `failure`, as the record grid would
    // show it).
    std::optional<Lists> PickerLists(const CStockCard& typed, QString* failure = nullptr) const;
    // A 名称 typed as the initials of a name (拼音码, "amxl"): latin letters only, as no card's
    // name is.
    static bool IsInitials(const QString& typed);
    // The names of the catalogue's drugs whose 拼音码 starts with `initials`, each once, at most
    // `limit`; empty when none does or the catalogue cannot be read (then `failure` says why).
    QStringList NamesByInitials(const QString& initials, int limit = 20,
                                QString* failure = nullptr) const;

    // Once the four texts name a card: its stock and expiry on `today` ("库存 12 盒 · 2027-06-30
    // 到期（还有 204 天）"), and the batch of the same drug to sell first, where another card with
    // stock that has not expired expires earlier. Empty otherwise, or when the cards cannot be
    // read.
    QString CardHint(const CStockCard& typed, const QDate& today) const;

private:
    CDatabase* m_pDatabase;
};

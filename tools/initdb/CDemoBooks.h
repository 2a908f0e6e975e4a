#pragma once
// Demo books of a small pharmacy: about four months of purchases and counter sales, written
// through the entry statements, so they look exactly like books kept by the program.
#include "CDatabase.h"
#include "demo_random.h"
#include "entry_statements.h"

#include <QDateTime>
#include <vector>

class CDemoBooks {
public:
    struct Summary {
        int purchases = 0;
        int cards = 0;
        int sales = 0;
        int salesToday = 0;
    };

    static constexpr int kDays = 120;

    // `now` fixes today and the latest sale; the same `now` always gives the same books.
    CDemoBooks(CDatabase& db, QDateTime now);

    // Writes everything in one transaction (or in the caller's, when one is open); on failure
    // nothing is left behind. Throws CDBException.
    Summary Write();

private:
    struct Card {
        int drug;
        QDate expiry;
        QString batch;
        double stock;
    };
    struct Pricing {
        float box;   // retail price of one box
        float piece; // retail price of one piece
    };

    void WriteAll();
    // The catalogue: every demo drug with its code, class, pieces and the prices it sells at.
    void WriteCatalogue();
    void RunDay(int day);
    void Purchase(int drug, const QDate& date, bool firstBatch);
    void SellSomething(const QDateTime& when);
    void SellOut(int drug, QDateTime when);
    void Sell(Card& card, unsigned quantity, unsigned piecesPerBox, float price,
              const QDateTime& when);
    bool TryInsertCard(const entrysql::Purchase& p);

    double SellableStock(int drug, const QDate& date) const;
    Card* CardToSellFrom(int drug, const QDate& date);
    Card* FindCard(int drug, const QDate& expiry);

    CDatabase& m_db;
    QDateTime m_now;
    QDate m_today;
    CDemoRandom m_random;
    std::vector<Card> m_cards;
    std::vector<int> m_firstDay;
    std::vector<int> m_lastPurchaseDay;
    std::vector<Pricing> m_pricing;
    Summary m_summary;
};

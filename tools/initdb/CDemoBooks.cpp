#include "CDemoBooks.h"

#include "CDBException.h"
#include "CRecordset.h"
#include "demo_catalogue.h"
#include "loss_statements.h"
#include "pinyin_code.h"
#include "sql_text.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace {

constexpr std::uint64_t kSeed = 20030501;
constexpr int kOpening = 8 * 3600;         // 08:00
constexpr int kClosing = 21 * 3600 + 1800; // 21:30
const QString kCardSavepoint = QStringLiteral("demo_card");
const QString kWholeBox = QStringLiteral("整盒销售");
const QString kSplitPack = QStringLiteral("拆零销售");

// A price in cents near `yuan` that a 32-bit float keeps closely enough for "%f" to print it
// as a person would type it (131.75, not 131.699997 for 131.70), so the demo rows look tidy.
float TidyPrice(double yuan) {
    const long target = std::max(1L, std::lround(yuan * 100.0));
    for (long step = 0; step < 100; ++step) {
        for (long cents : {target - step, target + step}) {
            if (cents <= 0)
                continue;
            const float price = static_cast<float>(cents) / 100.0f;
            if (QString::asprintf("%f", static_cast<double>(price)) ==
                QString::asprintf("%ld.%02ld0000", cents / 100, cents % 100))
                return price;
        }
    }
    return static_cast<float>(target) / 100.0f;
}
float Dimes(double yuan) {
    return TidyPrice(std::round(yuan * 10.0) / 10.0);
}

// What is left of a card, in whole units: the tiny rest that fractions of a box leave behind
// does not count.
unsigned WholeUnits(double amount) {
    return amount <= 0 ? 0u : static_cast<unsigned>(std::floor(amount + 1e-9));
}

CDBException DemoFault(const QString& what) {
    return CDBException(QStringLiteral("演示数据与数据库不一致：%1\n").arg(what));
}

} // namespace

CDemoBooks::CDemoBooks(CDatabase& db, QDateTime now)
    : m_db(db), m_now(std::move(now)), m_today(m_now.date()), m_random(kSeed) {
    const auto& drugs = DemoDrugs();
    for (const DemoDrug& drug : drugs) {
        // Drugs that expire early arrive first, so that they are on the shelf long enough.
        const int lateness =
            drug.expiredDaysAgo > 0 ? m_random.Between(0, 3) : m_random.Between(0, 10);
        m_firstDay.push_back(-kDays + lateness);
        m_lastPurchaseDay.push_back(-kDays - 1);
        const float box = Dimes(drug.cost * (1.35 + 0.25 * m_random.Fraction()));
        const float piece =
            drug.piecesPerBox > 0 ? TidyPrice(std::max(0.05, box / drug.piecesPerBox * 1.2)) : 0.0f;
        m_pricing.push_back({box, piece});
    }
}

CDemoBooks::Summary CDemoBooks::Write() {
    const bool ownTransaction = m_db.IsAutoCommit();
    if (ownTransaction)
        m_db.SetAutoCommit(false);
    try {
        WriteAll();
        if (ownTransaction) {
            m_db.CommitTrans();
            m_db.SetAutoCommit(true);
        }
    } catch (...) {
        if (ownTransaction) {
            try {
                m_db.Rollback();
                m_db.SetAutoCommit(true);
            } catch (const CDBException&) {
                // The first error is the one to report.
            }
        }
        throw;
    }
    return m_summary;
}

void CDemoBooks::WriteAll() {
    // Each run starts from the same state, so a second Write gives the same rows again.
    m_random = CDemoRandom(kSeed + 1);
    m_summary = {};
    m_cards.clear();
    std::fill(m_lastPurchaseDay.begin(), m_lastPurchaseDay.end(), -kDays - 1);
    for (int day = -kDays; day <= 0; ++day)
        RunDay(day);
    m_summary.cards = static_cast<int>(m_cards.size());
    WriteCatalogue();
}

void CDemoBooks::WriteCatalogue() {
    const auto& drugs = DemoDrugs();
    for (int i = 0; i < static_cast<int>(drugs.size()); ++i) {
        const DemoDrug& d = drugs[i];
        const DemoListing listing = DemoListingOf(i);
        const Pricing& pricing = m_pricing[i];
        m_db.ExecuteSQL(
            {QStringLiteral("INSERT INTO 药品(名称,产地,规格型号,条形码,类别,含麻黄碱,每盒总量,"
                            "拆零单位,零售价,拆零价,拼音码) VALUES(?,?,?,?,?,?,?,?,?,?,?)"),
             {QString::fromUtf8(d.name), QString::fromUtf8(d.origin),
              QString::fromUtf8(d.packModel), listing.barcode, listing.drugClass,
              listing.ephedrine ? QStringLiteral("是") : QStringLiteral("否"),
              qlonglong(listing.pieces), listing.unit, sqltext::Amount(pricing.box).toDouble(),
              sqltext::Amount(pricing.piece).toDouble(),
              pinyincode::Stored(QString::fromUtf8(d.name))}});
    }
}

void CDemoBooks::RunDay(int day) {
    const QDate date = m_today.addDays(day);
    const auto& drugs = DemoDrugs();
    for (int i = 0; i < static_cast<int>(drugs.size()); ++i) {
        const DemoDrug& drug = drugs[i];
        const double reorderLevel = drug.cost < 20 ? 8 : 3;
        if (day == m_firstDay[i])
            Purchase(i, date, true);
        else if (day > m_firstDay[i] && drug.sellOutDay == 0 && day - m_lastPurchaseDay[i] >= 3 &&
                 SellableStock(i, date) < reorderLevel)
            Purchase(i, date, false);
    }

    // Today only up to now, so the first start shows the morning's sales.
    int from = kOpening;
    int to = kClosing;
    int count = date.dayOfWeek() >= 6 ? m_random.Between(8, 14) : m_random.Between(5, 10);
    if (day == 0) {
        const int nowSecond = m_now.time().msecsSinceStartOfDay() / 1000;
        to = std::min(kClosing, nowSecond);
        if (to <= from + 3600)
            from = 0;
        count = std::min(m_random.Between(5, 8), std::max(0, to - from));
    }
    std::set<int> seconds;
    while (static_cast<int>(seconds.size()) < count)
        seconds.insert(m_random.Between(from, to - 1));
    for (int second : seconds)
        SellSomething(QDateTime(date, QTime(0, 0).addSecs(second)));

    for (int i = 0; i < static_cast<int>(drugs.size()); ++i)
        if (drugs[i].sellOutDay < 0 && drugs[i].sellOutDay == day)
            SellOut(i, QDateTime(date, QTime(21, 40 + i % 15, 0)));
}

void CDemoBooks::Purchase(int drug, const QDate& date, bool firstBatch) {
    const DemoDrug& d = DemoDrugs()[drug];
    const QStringList purchasers = DemoPurchasers();

    QDate expiry;
    QString batch;
    // A re-delivered batch lands on its existing card and re-averages it.
    Card* redelivered = nullptr;
    if (!firstBatch && m_random.Chance(0.4)) {
        for (Card& card : m_cards)
            if (card.drug == drug && card.expiry > date.addDays(180))
                redelivered = &card;
    }
    if (redelivered) {
        expiry = redelivered->expiry;
        batch = redelivered->batch;
    } else {
        expiry = firstBatch && d.expiredDaysAgo > 0 ? m_today.addDays(-d.expiredDaysAgo)
                                                    : m_today.addDays(m_random.Between(365, 1095));
        const QDate made = date.addDays(-m_random.Between(20, 200));
        batch = made.toString(QStringLiteral("yyMMdd")) +
                QStringLiteral("%1").arg(m_random.Between(1, 99), 2, 10, QLatin1Char('0'));
    }

    int boxes = d.cost < 20   ? m_random.Between(20, 60)
                : d.cost < 60 ? m_random.Between(10, 30)
                              : m_random.Between(4, 12);
    if (firstBatch && d.expiredDaysAgo > 0)
        boxes = m_random.Between(40, 60);
    const float price =
        firstBatch ? TidyPrice(d.cost) : TidyPrice(d.cost * (0.95 + 0.12 * m_random.Fraction()));

    entrysql::Purchase p;
    p.purchaseDate = date;
    p.purchaser = purchasers[m_random.Between(0, static_cast<int>(purchasers.size()) - 1)];
    p.category = QString::fromUtf8(d.category);
    p.subCategory = QString::fromUtf8(d.subCategory);
    p.code = QString::fromUtf8(d.code);
    p.name = QString::fromUtf8(d.name);
    p.origin = QString::fromUtf8(d.origin);
    p.packModel = QString::fromUtf8(d.packModel);
    p.batch = batch;
    p.expiry = expiry;
    // Prices in yuan and cents, as a person types them.
    p.price = sqltext::Amount(price).toDouble();
    p.quantity = static_cast<float>(boxes);
    // Numbered in order, so that the same day gives the same books.
    p.number = QStringLiteral("demo-p%1").arg(m_summary.purchases + 1, 6, 10, QLatin1Char('0'));

    m_db.ExecuteSQL(entrysql::InsertPurchase(p));
    const bool created = TryInsertCard(p);
    if (!created)
        m_db.ExecuteSQL(entrysql::ReaverageStockCard(p));

    Card* card = FindCard(drug, expiry);
    if (created == (card != nullptr))
        throw DemoFault(p.name + QLatin1Char(' ') + sqltext::Date(expiry));
    if (card)
        card->stock += boxes;
    else
        m_cards.push_back({drug, expiry, batch, static_cast<double>(boxes)});
    m_lastPurchaseDay[drug] = static_cast<int>(m_today.daysTo(date));
    ++m_summary.purchases;
}

// The card insert is the statement allowed to fail (the card exists); the savepoint keeps the
// transaction usable on PostgreSQL after it.
bool CDemoBooks::TryInsertCard(const entrysql::Purchase& p) {
    m_db.Savepoint(kCardSavepoint);
    try {
        m_db.ExecuteSQL(entrysql::InsertStockCard(p));
        m_db.ReleaseSavepoint(kCardSavepoint);
        return true;
    } catch (const CDBException&) {
        m_db.RollbackToSavepoint(kCardSavepoint);
        m_db.ReleaseSavepoint(kCardSavepoint);
        return false;
    }
}

void CDemoBooks::SellSomething(const QDateTime& when) {
    const auto& drugs = DemoDrugs();
    for (int attempt = 0; attempt < 6; ++attempt) {
        const int drug = m_random.Between(0, static_cast<int>(drugs.size()) - 1);
        Card* card = CardToSellFrom(drug, when.date());
        if (!card)
            continue;
        const DemoDrug& d = drugs[drug];
        const Pricing& pricing = m_pricing[drug];
        const unsigned boxesLeft = WholeUnits(card->stock);
        const bool split = d.piecesPerBox > 0 && (boxesLeft == 0 || m_random.Chance(0.4));
        if (split) {
            const unsigned piecesLeft = WholeUnits(card->stock * d.piecesPerBox);
            if (piecesLeft == 0)
                continue;
            const int most = std::min({static_cast<int>(piecesLeft), d.piecesPerBox - 1, 12});
            const auto pieces = static_cast<unsigned>(m_random.Between(1, std::max(1, most)));
            Sell(*card, pieces, static_cast<unsigned>(d.piecesPerBox), pricing.piece, when);
            return;
        }
        if (boxesLeft == 0)
            continue;
        const int wanted = d.cost > 50             ? 1
                           : m_random.Chance(0.65) ? 1
                           : m_random.Chance(0.7)  ? 2
                                                   : 3;
        Sell(*card, std::min(boxesLeft, static_cast<unsigned>(wanted)), 1, pricing.box, when);
        return;
    }
}

void CDemoBooks::SellOut(int drug, QDateTime when) {
    for (Card& card : m_cards) {
        if (card.drug != drug)
            continue;
        const unsigned boxes = WholeUnits(card.stock);
        if (boxes == 0)
            continue;
        Sell(card, boxes, 1, m_pricing[drug].box, when);
        when = when.addSecs(1);
    }
}

void CDemoBooks::Sell(Card& card, unsigned quantity, unsigned piecesPerBox, float price,
                      const QDateTime& when) {
    const DemoDrug& d = DemoDrugs()[card.drug];
    entrysql::Sale s;
    s.timestamp = sqltext::Timestamp(when);
    s.name = QString::fromUtf8(d.name);
    s.origin = QString::fromUtf8(d.origin);
    s.packModel = QString::fromUtf8(d.packModel);
    s.expiry = sqltext::Date(card.expiry);
    s.price = sqltext::Amount(price).toDouble();
    s.quantity = quantity;
    s.piecesPerBox = piecesPerBox;
    s.saleType = piecesPerBox == 1 ? kWholeBox : kSplitPack;
    s.amount = sqltext::Amount(static_cast<double>(quantity) * static_cast<double>(price));
    s.number = QStringLiteral("demo-s%1").arg(m_summary.sales + 1, 6, 10, QLatin1Char('0'));

    {
        CRecordset lookup(&m_db);
        const CStatement find = entrysql::FindStockCard(s);
        lookup.Open(find.sql, find.values);
        if (!lookup.Fetch())
            throw DemoFault(s.name + QLatin1Char(' ') + s.expiry);
    }
    m_db.ExecuteSQL(entrysql::InsertSale(s));
    m_db.ExecuteSQL(entrysql::LowerStock(s));
    m_db.ExecuteSQL(losssql::ClampNegativeStock());

    card.stock = std::max(0.0, card.stock - static_cast<double>(quantity) / piecesPerBox);
    ++m_summary.sales;
    if (when.date() == m_today)
        ++m_summary.salesToday;
}

double CDemoBooks::SellableStock(int drug, const QDate& date) const {
    double stock = 0;
    for (const Card& card : m_cards)
        if (card.drug == drug && card.expiry > date)
            stock += card.stock;
    return stock;
}

// The card that expires first among those still good and not empty.
CDemoBooks::Card* CDemoBooks::CardToSellFrom(int drug, const QDate& date) {
    Card* best = nullptr;
    for (Card& card : m_cards)
        if (card.drug == drug && card.expiry > date && card.stock > 1e-9 &&
            (!best || card.expiry < best->expiry))
            best = &card;
    return best;
}

CDemoBooks::Card* CDemoBooks::FindCard(int drug, const QDate& expiry) {
    for (Card& card : m_cards)
        if (card.drug == drug && card.expiry == expiry)
            return &card;
    return nullptr;
}

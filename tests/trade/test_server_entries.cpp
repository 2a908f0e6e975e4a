// The entries on server books, where several counters record at once and a database may read
// strings the old way (a backslash escaping the quote after it).
#include "entry_books.h"

#include <QDateTime>
#include <cstdlib>
#include <map>
#include <thread>

namespace {

using namespace entrytest;

class ServerEntriesTest : public CBooksTest {
protected:
    void SetUp() override {
        CBooksTest::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        if (Books().GetBackend() != Backend::PostgreSQL)
            GTEST_SKIP() << "server books only";
    }
};

// Counters record sales of one card at once, each sale stamped when its 添加 is pressed.
TEST_P(ServerEntriesTest, EightCountersSellingOneCardKeepEverySaleAndTheStock) {
    constexpr int kCounters = 8, kSales = 50;
    CPurchaseEntry::Form batch = Batch("8", "1000");
    batch.expiry = QDate(2099, 12, 31);
    ASSERT_TRUE(CPurchaseEntry(&Db()).Add(batch).recorded);
    struct Sent {
        QString number;
        qint64 calledAt = 0; // ms since the epoch
        QString status;
    };
    std::vector<std::unique_ptr<CDatabase>> connections;
    std::vector<std::vector<Sent>> sent(kCounters);
    for (int c = 0; c < kCounters; ++c)
        connections.push_back(Books().OpenAnotherConnection());
    std::vector<std::thread> counters;
    for (int c = 0; c < kCounters; ++c) {
        counters.emplace_back([&, c] {
            CSalesEntry entry(connections[c].get());
            // The form as cleared long ago: its stamp is not what the sale gets.
            CSalesEntry::Form form = SaleOf("1", "1", "12");
            form.timestampTyped = false;
            form.card.expiry = QStringLiteral("2099-12-31");
            for (int i = 0; i < kSales; ++i) {
                const qint64 calledAt = QDateTime::currentMSecsSinceEpoch();
                const CEntryOutcome outcome = entry.Add(form);
                sent[c].push_back({outcome.recordedNumber, calledAt, outcome.status});
            }
        });
    }
    for (std::thread& counter : counters)
        counter.join();

    std::map<QString, qint64> calledAt;
    for (const std::vector<Sent>& counter : sent)
        for (const Sent& sale : counter) {
            EXPECT_FALSE(sale.number.isEmpty()) << sale.status.toStdString();
            calledAt[sale.number] = sale.calledAt;
        }
    const std::vector<QStringList> rows = QueryRows(Db(), "SELECT 单号,日期时间 FROM 销");
    EXPECT_EQ(rows.size(), size_t(kCounters * kSales));
    for (const QStringList& row : rows) {
        ASSERT_EQ(calledAt.count(row[0]), 1u) << row[0].toStdString();
        const QDateTime stamp = QDateTime::fromString(row[1].left(19), "yyyy-MM-dd HH:mm:ss");
        ASSERT_TRUE(stamp.isValid()) << row[1].toStdString();
        EXPECT_LE(std::abs(stamp.toMSecsSinceEpoch() - calledAt[row[0]]), 1000)
            << row[1].toStdString();
    }
    EXPECT_EQ(QueryValue(Db(), "SELECT 现有存货量 FROM 存"),
              QString::number(1000 - kCounters * kSales));
}

// For the length of a test, the database reads strings the old way for every new connection.
class CBackslashEscapes {
public:
    explicit CBackslashEscapes(CDatabase& db)
        : m_db(db), m_name(QueryValue(db, "SELECT current_database()")) {
        m_db.ExecuteSQL(
            QStringLiteral("ALTER DATABASE \"%1\" SET standard_conforming_strings = off")
                .arg(m_name));
    }
    ~CBackslashEscapes() {
        m_db.ExecuteSQL(
            QStringLiteral("ALTER DATABASE \"%1\" RESET standard_conforming_strings").arg(m_name));
    }

private:
    CDatabase& m_db;
    QString m_name;
};

TEST_P(ServerEntriesTest, TextsAreStoredAndLookedUpAsTypedWhateverTheServerMakesOfBackslashes) {
    const QString hostile = QStringLiteral("\\'; CREATE TABLE pwned(x int); --");
    CBackslashEscapes escapes(Db());
    const std::unique_ptr<CDatabase> db = Books().OpenAnotherConnection();
    // Whatever a connection sets for itself when it opens, this one reads strings the old way.
    db->ExecuteSQL(QStringLiteral("SET standard_conforming_strings = off"));
    ASSERT_EQ(QueryValue(*db, "SHOW standard_conforming_strings"), "off");

    CPurchaseEntry::Form batch = Batch("8", "10");
    batch.name = hostile;
    batch.batch = hostile;
    const CEntryOutcome outcome = CPurchaseEntry(db.get()).Add(batch);
    ASSERT_TRUE(outcome.recorded) << outcome.status.toStdString();
    EXPECT_EQ(QueryRows(Db(), "SELECT 名称,批号 FROM 进"),
              (std::vector<QStringList>{{hostile, hostile}}));
    EXPECT_EQ(QueryValue(Db(), "SELECT 名称 FROM 存"), hostile);

    const std::optional<CSalesEntry::Lists> lists =
        CSalesEntry(db.get()).PickerLists({hostile, "", "", ""}, nullptr);
    ASSERT_TRUE(lists.has_value());
    EXPECT_EQ(lists->names, QStringList{hostile});
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM pg_tables WHERE tablename='pwned'"), "0");
}

APRICOT_INSTANTIATE_BACKENDS(ServerEntriesTest);

} // namespace

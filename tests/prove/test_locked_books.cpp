// Another program holding the SQLite file locked. An entry waits at most the connection's busy
// time-out (Timeout=5000), then reports the driver's message and leaves the books as they
// were; the grid's write-back does the same and keeps showing what the books hold. Nothing
// waits longer than the 15-second query time-out, and the connection is usable once the lock
// has gone.
#include "CTestBooks.h"
#include "books_state.h"
#include "entry_books.h"
#include "q_edit.h"
#include "q_grid.h"
#include "recording_prompts.h"
#include "result_loader.h"
#include "sqlite_journal.h"
#include "sqlite_lock.h"
#include "write_back.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

using namespace provetest;
using entrytest::Batch;
using entrytest::SaleOf;

constexpr qint64 kBusyTimeoutMs = 5000;
constexpr qint64 kQueryTimeoutMs = 15000;

// The driver's text for a file another connection holds.
const QString kLocked = QStringLiteral("locked");

class LockedBooksTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_books = std::make_unique<CTestBooks>(Backend::SQLite);
        // 9 boxes of one card, one sale.
        ASSERT_TRUE(CPurchaseEntry(&Db()).Add(Batch("1", "10")).recorded);
        ASSERT_TRUE(CSalesEntry(&Db()).Add(SaleOf("1", "1", "12")).recorded);
        m_before = ReadBooks(Db());
    }

    CDatabase& Db() { return m_books->Db(); }
    QString File() const { return QDir(m_books->Folder()).filePath(QStringLiteral("apricot.db")); }

    // The books as a fresh connection reads them once the lock has gone.
    BooksState BooksNow() {
        std::unique_ptr<CDatabase> other = m_books->OpenAnotherConnection();
        return ReadBooks(*other);
    }

    // After a refused change: the connection is back in auto-commit and holds no lock, so the
    // next entry goes through.
    void ExpectUsableAgain() {
        EXPECT_TRUE(Db().IsAutoCommit());
        EXPECT_EQ(BooksNow(), m_before) << "the refused entry left something behind";
        const CEntryOutcome again = CPurchaseEntry(&Db()).Add(Batch("1", "1"));
        EXPECT_TRUE(again.recorded) << again.status.toStdString();
        const auto changes = Changes(m_before, BooksNow());
        EXPECT_EQ(changes.size(), 2u); // the purchase row, and the card re-averaged
    }

    std::unique_ptr<CTestBooks> m_books;
    BooksState m_before;
    CRecordingPrompts m_prompts;
    QElapsedTimer m_timer;
};

TEST_F(LockedBooksTest, PurchaseWaitsTheBusyTimeOutThenReportsTheDriver) {
    {
        CSqliteLock lock(File(), QStringLiteral("BEGIN EXCLUSIVE"));
        m_timer.start();
        const CEntryOutcome outcome = CPurchaseEntry(&Db()).Add(Batch("2", "5"));
        const qint64 elapsed = m_timer.elapsed();
        EXPECT_FALSE(outcome.recorded);
        EXPECT_TRUE(outcome.status.contains(kLocked)) << outcome.status.toStdString();
        // It waited for the lock, but not past the query time-out.
        EXPECT_GE(elapsed, kBusyTimeoutMs - 500);
        EXPECT_LT(elapsed, kQueryTimeoutMs);
    }
    ExpectUsableAgain();
}

TEST_F(LockedBooksTest, SaleUnderAnExclusiveLockCannotEvenLookTheCardUp) {
    {
        CSqliteLock lock(File(), QStringLiteral("BEGIN EXCLUSIVE"));
        m_timer.start();
        const CEntryOutcome outcome =
            CSalesEntry(&Db()).Add(SaleOf("1", "1", "12", "2003-05-03 09:00:00"));
        const qint64 elapsed = m_timer.elapsed();
        EXPECT_FALSE(outcome.recorded);
        EXPECT_EQ(outcome.status, CSalesEntry::kLookupFailed);
        // The driver's own words come first, as the record grid shows a failed load.
        EXPECT_TRUE(outcome.message.contains(kLocked)) << outcome.message.toStdString();
        EXPECT_LT(elapsed, kQueryTimeoutMs);
    }
    ExpectUsableAgain();
}

// A writer in the middle of its transaction: reading goes on, writing waits.
TEST_F(LockedBooksTest, EntriesBesideAWriterInMidTransaction) {
    {
        CSqliteLock lock(File(), QStringLiteral("BEGIN IMMEDIATE"));
        m_timer.start();
        CEntryOutcome outcome = CPurchaseEntry(&Db()).Add(Batch("2", "5"));
        EXPECT_FALSE(outcome.recorded);
        EXPECT_TRUE(outcome.status.contains(kLocked)) << outcome.status.toStdString();
        EXPECT_LT(m_timer.elapsed(), kQueryTimeoutMs);

        // The card is found; the sale row is what cannot be written.
        m_timer.start();
        outcome = CSalesEntry(&Db()).Add(SaleOf("1", "1", "12", "2003-05-03 09:00:00"));
        EXPECT_FALSE(outcome.recorded);
        EXPECT_TRUE(outcome.status.contains(kLocked)) << outcome.status.toStdString();
        EXPECT_TRUE(m_prompts.Texts().isEmpty());
        EXPECT_LT(m_timer.elapsed(), kQueryTimeoutMs);

        // The books still read as they were, through the locked file.
        EXPECT_EQ(ReadBooks(Db()), m_before);
    }
    ExpectUsableAgain();
}

TEST_F(LockedBooksTest, LockGoneWithinTheTimeOutLetsTheEntryThrough) {
    CSqliteLock lock(File(), QStringLiteral("BEGIN EXCLUSIVE"), 1500);
    m_timer.start();
    const CEntryOutcome outcome = CPurchaseEntry(&Db()).Add(Batch("2", "5"));
    const qint64 elapsed = m_timer.elapsed();
    EXPECT_TRUE(outcome.recorded) << outcome.status.toStdString();
    EXPECT_GE(elapsed, 1000);
    EXPECT_LT(elapsed, kBusyTimeoutMs);
}

// A program reading a large result in the background holds the books open for reading; on
// books in WAL mode another program's sale is written beside it instead of failing "locked".
TEST_F(LockedBooksTest, AnotherProgramsSaleGoesThroughWhileALargeLoadIsHalfRead) {
    ASSERT_EQ(sqlitejournal::UseWal(Db()), QString());
    Db().ExecuteSQL(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000) "
        "INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, 数量, 销售类型, "
        "实收金额, 坏帐) SELECT strftime('%Y-%m-%d %H:%M:%S', '2004-01-01', '+' || i || ' "
        "minutes'),"
        " '药', '厂', '盒', '2030-01-01', 1, 1, '整盒销售', 1, 0 FROM n"));
    CResultTable table;
    resultloader::CLoad load(Db(), table);
    ASSERT_TRUE(load.StartStreaming(QStringLiteral("select * from 销")));
    ASSERT_EQ(load.FetchSome(100), 100);
    ASSERT_FALSE(load.Done());

    std::unique_ptr<CDatabase> counter = m_books->OpenAnotherConnection();
    const CEntryOutcome sale =
        CSalesEntry(counter.get()).Add(SaleOf("1", "1", "12", "2003-05-03 09:00:00"));
    EXPECT_TRUE(sale.recorded) << sale.status.toStdString() << sale.message.toStdString();

    // The load reads on in the books as they were when it began.
    load.FetchAll();
    EXPECT_TRUE(load.Outcome().ok) << load.Outcome().message.toStdString();
    EXPECT_EQ(table.RowCount(), 5001);
    EXPECT_EQ(BooksNow().at(QStringLiteral("销")).size(), 5002u);
}

class LockedGridTest : public LockedBooksTest {
protected:
    void SetUp() override {
        LockedBooksTest::SetUp();
        ASSERT_TRUE(m_grid.Create(&Db(), QStringLiteral("存"), QStringLiteral("SELECT * FROM 存"),
                                  nullptr, QRect(0, 0, 800, 300), true, true));
        m_grid.SetPermissions(true, true, true, true);
        ASSERT_EQ(m_grid.GetItemCount(), 1);
        m_shown = Shown();
    }

    std::vector<QStringList> Shown() const {
        std::vector<QStringList> rows;
        for (int r = 0; r < m_grid.GetItemCount(); ++r) {
            QStringList row;
            for (int c = 0; c < m_grid.GetColumnCount(); ++c)
                row << m_grid.GetItemText(r, c);
            rows.push_back(row);
        }
        return rows;
    }

    // One failed write-back: the driver's message shown, nothing open, the grid unchanged.
    void ExpectRefused(const char* what) {
        SCOPED_TRACE(what);
        ASSERT_EQ(m_prompts.Texts().size(), 1);
        EXPECT_TRUE(m_prompts.Texts().front().contains(kLocked))
            << m_prompts.Texts().front().toStdString();
        m_prompts.Clear();
        EXPECT_EQ(m_grid.EditRow(), -1);
        EXPECT_FALSE(m_grid.IsNewRow());
        EXPECT_EQ(Shown(), m_shown);
        EXPECT_LT(m_timer.elapsed(), kQueryTimeoutMs);
        EXPECT_TRUE(Db().IsAutoCommit());
    }

    q_grid m_grid;
    std::vector<QStringList> m_shown;
};

TEST_F(LockedGridTest, WriteBackReportsTheDriverAndKeepsTheGridAsTheBooksAre) {
    {
        CSqliteLock lock(File(), QStringLiteral("BEGIN IMMEDIATE"));
        m_timer.start();
        m_grid.BeginEdit(0);
        m_grid.Editor(5)->SetText(QStringLiteral("99"));
        m_grid.CommitEdit();
        ExpectRefused("changed row");

        m_timer.start();
        m_grid.AddRow();
        const QStringList card = {QStringLiteral("板蓝根颗粒"), QStringLiteral("白云山"),
                                  QStringLiteral("10g*20袋"),   QStringLiteral("2006-01-01"),
                                  QStringLiteral("2"),          QStringLiteral("5")};
        for (int c = 0; c < card.size(); ++c)
            m_grid.Editor(c)->SetText(card[c]);
        m_grid.CommitEdit();
        ExpectRefused("new row");

        m_timer.start();
        m_grid.DeleteRow(0, false);
        ExpectRefused("deleted row");
    }
    EXPECT_EQ(BooksNow(), m_before);
    // What the grid shows is what a reload reads, and writing works again.
    ASSERT_TRUE(m_grid.Reload());
    EXPECT_EQ(Shown(), m_shown);
    m_grid.BeginEdit(0);
    m_grid.Editor(5)->SetText(QStringLiteral("99"));
    m_grid.CommitEdit();
    EXPECT_TRUE(m_prompts.Texts().isEmpty());
    EXPECT_EQ(m_grid.GetItemText(0, 5), QStringLiteral("99"));
    EXPECT_EQ(BooksNow().at(QStringLiteral("存")).front().at(5), QStringLiteral("99"));
}

// An exclusive lock refuses even the reload: the grid says so and keeps no half-read rows as
// if they were the books.
TEST_F(LockedGridTest, ReloadUnderAnExclusiveLockReportsTheDriver) {
    CSqliteLock lock(File(), QStringLiteral("BEGIN EXCLUSIVE"));
    m_timer.start();
    EXPECT_FALSE(m_grid.Reload());
    EXPECT_LT(m_timer.elapsed(), kQueryTimeoutMs);
    ASSERT_EQ(m_prompts.Texts().size(), 1);
    EXPECT_TRUE(m_prompts.Texts().front().contains(kLocked));
    EXPECT_EQ(m_grid.GetItemCount(), 0);
    // Nothing can be edited or written from an empty grid.
    m_grid.BeginEdit(0);
    EXPECT_EQ(m_grid.EditRow(), -1);
    lock.Release();
    ASSERT_TRUE(m_grid.Reload());
    EXPECT_EQ(Shown(), m_shown);
}

} // namespace

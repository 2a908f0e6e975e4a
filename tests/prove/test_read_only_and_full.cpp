// Books that cannot be written: a read-only SQLite file or folder (immutable even for root), a
// read-only PostgreSQL session, a full disk (a small tmpfs filled to its last block) and a
// file-size limit. Every entry and write-back gives the driver's message, nothing already
// recorded is lost, and the books take entries again once the space or the right is back.
#include "CDBException.h"
#include "CTestBooks.h"
#include "books_state.h"
#include "entry_books.h"
#include "read_only_path.h"
#include "recording_prompts.h"
#include "result_loader.h"
#include "schema.h"
#include "small_file_system.h"
#include "write_back.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <iostream>

namespace {

using namespace provetest;
using entrytest::Batch;
using entrytest::SaleOf;

constexpr qint64 kQueryTimeoutMs = 15000;

// Records a purchase and a sale; the books to compare against.
BooksState Record(CDatabase& db) {
    EXPECT_TRUE(CPurchaseEntry(&db).Add(Batch("1", "10")).recorded);
    EXPECT_TRUE(CSalesEntry(&db).Add(SaleOf("1", "1", "12")).recorded);
    return ReadBooks(db);
}

QString IntegrityOf(CDatabase& db) {
    CResultTable result;
    resultloader::Load(db, QStringLiteral("PRAGMA integrity_check"), result);
    return result.RowCount() ? result.CellText(0, 0) : QStringLiteral("(nothing)");
}

// The stock card's row as the grid holds it, and the columns to write it back with: taken
// while the books can still be read.
struct GridRow {
    std::vector<CResultColumn> columns;
    QStringList cells;
};

GridRow CardRow(CDatabase& db) {
    return {TableColumns(db, QStringLiteral("存")), TableRows(db, QStringLiteral("存")).front()};
}

// Tries a purchase, a sale and a write-back of the stock card on `db`, which cannot write:
// each must say why, soon. Returns what was said.
QStringList ExpectEverythingRefused(CDatabase& db, const GridRow& card,
                                    CRecordingPrompts& prompts) {
    QStringList said;
    QElapsedTimer timer;

    timer.start();
    CEntryOutcome outcome = CPurchaseEntry(&db).Add(Batch("2", "5"));
    EXPECT_LT(timer.elapsed(), kQueryTimeoutMs);
    EXPECT_FALSE(outcome.recorded);
    EXPECT_FALSE(outcome.status.isEmpty());
    EXPECT_NE(outcome.status, CPurchaseEntry::kRecorded);
    said << QStringLiteral("purchase: ") + outcome.status.trimmed();

    prompts.Clear();
    timer.start();
    outcome = CSalesEntry(&db).Add(SaleOf("1", "1", "12", "2003-05-03 09:00:00"));
    EXPECT_LT(timer.elapsed(), kQueryTimeoutMs);
    EXPECT_FALSE(outcome.recorded);
    EXPECT_FALSE(outcome.status.isEmpty() && prompts.Texts().isEmpty());
    EXPECT_NE(outcome.status, CSalesEntry::kRecorded);
    said << QStringLiteral("sale: ") + outcome.status.trimmed() + QLatin1Char(' ') +
                prompts.Texts().join(QLatin1Char('|')).trimmed();

    prompts.Clear();
    timer.start();
    QStringList changed = card.cells;
    changed[5] = QStringLiteral("99");
    EXPECT_FALSE(
        CRowWriter(&db, nullptr).Update(QStringLiteral("存"), card.columns, card.cells, changed));
    EXPECT_LT(timer.elapsed(), kQueryTimeoutMs);
    EXPECT_EQ(prompts.Texts().size(), 1);
    said << QStringLiteral("write-back: ") + prompts.Texts().join(QLatin1Char('|')).trimmed();
    prompts.Clear();
    return said;
}

// Afterwards: the same books through a new connection, whole. Then an entry on `db`: it
// records, and says so, or it is refused, says why and leaves nothing.
void ExpectIntactAndTruthful(CTestBooks& books, CDatabase& db, const BooksState& before) {
    std::unique_ptr<CDatabase> fresh = books.OpenAnotherConnection();
    EXPECT_EQ(ReadBooks(*fresh), before);
    if (fresh->GetDialect() == CDatabase::Dialect::SQLite) {
        EXPECT_EQ(IntegrityOf(*fresh), QStringLiteral("ok"));
    }
    const CEntryOutcome outcome = CPurchaseEntry(&db).Add(Batch("2", "5"));
    const auto changes = Changes(before, ReadBooks(*fresh));
    if (outcome.recorded) {
        EXPECT_EQ(changes.size(), 2u); // the purchase row, and the card re-averaged
    } else {
        EXPECT_TRUE(changes.empty()) << "reported \"" << outcome.status.toStdString()
                                     << "\" but the purchase is in the books";
    }
}

// The books take entries again through a new connection, as after restarting the program.
void ExpectWritableAgain(CTestBooks& books, const BooksState& before) {
    std::unique_ptr<CDatabase> fresh = books.OpenAnotherConnection();
    const CEntryOutcome outcome = CPurchaseEntry(fresh.get()).Add(Batch("3", "1"));
    EXPECT_TRUE(outcome.recorded) << outcome.status.toStdString();
    EXPECT_EQ(Changes(before, ReadBooks(*fresh)).size(), 2u);
}

class ReadOnlySqliteTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_books = std::make_unique<CTestBooks>(Backend::SQLite);
        m_before = Record(m_books->Db());
        m_card = CardRow(m_books->Db());
    }
    QString File() const { return QDir(m_books->Folder()).filePath(QStringLiteral("apricot.db")); }

    std::unique_ptr<CTestBooks> m_books;
    BooksState m_before;
    GridRow m_card;
    CRecordingPrompts m_prompts;
};

TEST_F(ReadOnlySqliteTest, FileReadOnlyBeforeTheProgramOpensIt) {
    m_books->Db().Close();
    std::unique_ptr<CDatabase> db;
    {
        CReadOnlyPath readOnly(File());
        if (!readOnly.Refuses())
            GTEST_SKIP() << "cannot make a file read-only here: "
                         << readOnly.Problem().toStdString();
        // The driver opens it anyway, for reading.
        db = m_books->OpenAnotherConnection();
        EXPECT_EQ(ReadBooks(*db), m_before);
        const QStringList said = ExpectEverythingRefused(*db, m_card, m_prompts);
        std::cout << said.join(QLatin1Char('\n')).toStdString() << "\n";
        EXPECT_TRUE(said.front().contains(QStringLiteral("readonly")))
            << said.front().toStdString();
        EXPECT_EQ(ReadBooks(*db), m_before);
    }
    // That connection stays read-only; the program's next start writes again.
    ExpectIntactAndTruthful(*m_books, *db, m_before);
    ExpectWritableAgain(*m_books, m_before);
}

TEST_F(ReadOnlySqliteTest, FileMadeReadOnlyWhileTheProgramRuns) {
    {
        CReadOnlyPath readOnly(File());
        if (!readOnly.Refuses())
            GTEST_SKIP() << "cannot make a file read-only here: "
                         << readOnly.Problem().toStdString();
        // The failed write leaves a journal that cannot be rolled back into the file: until
        // it can, the books cannot even be read through this connection.
        const QStringList said = ExpectEverythingRefused(m_books->Db(), m_card, m_prompts);
        std::cout << said.join(QLatin1Char('\n')).toStdString() << "\n";
    }
    ExpectIntactAndTruthful(*m_books, m_books->Db(), m_before);
    ExpectWritableAgain(*m_books, m_before);
}

TEST_F(ReadOnlySqliteTest, FolderReadOnlySoNoJournalCanBeMade) {
    {
        CReadOnlyPath readOnly(m_books->Folder());
        if (!readOnly.Refuses())
            GTEST_SKIP() << "cannot make a folder read-only here: "
                         << readOnly.Problem().toStdString();
        const QStringList said = ExpectEverythingRefused(m_books->Db(), m_card, m_prompts);
        std::cout << said.join(QLatin1Char('\n')).toStdString() << "\n";
        EXPECT_EQ(ReadBooks(m_books->Db()), m_before);
    }
    ExpectIntactAndTruthful(*m_books, m_books->Db(), m_before);
    ExpectWritableAgain(*m_books, m_before);
}

// PostgreSQL's own read-only state: a session whose transactions may only read.
TEST(ReadOnlyPostgreSQLTest, ReadOnlySessionRefusesEveryWrite) {
    bool skip = false;
    const QString unavailable = CTestBooks::Unavailable(Backend::PostgreSQL, &skip);
    if (skip)
        GTEST_SKIP() << unavailable.toStdString();
    ASSERT_TRUE(unavailable.isEmpty()) << unavailable.toStdString();
    CTestBooks books(Backend::PostgreSQL);
    CRecordingPrompts prompts;
    const BooksState before = Record(books.Db());
    const GridRow card = CardRow(books.Db());
    books.Db().ExecuteSQL(QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY"));
    const QStringList said = ExpectEverythingRefused(books.Db(), card, prompts);
    std::cout << said.join(QLatin1Char('\n')).toStdString() << "\n";
    EXPECT_TRUE(said.front().contains(QStringLiteral("read-only"))) << said.front().toStdString();
    EXPECT_EQ(ReadBooks(books.Db()), before);
    books.Db().ExecuteSQL(QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ WRITE"));
    ExpectIntactAndTruthful(books, books.Db(), before);
    ExpectWritableAgain(books, before);
}

// Books on a file system of their own, which the test fills.
class FullDiskTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_folder.isValid());
        m_mount = m_folder.filePath(QStringLiteral("disk"));
        ASSERT_TRUE(QDir().mkdir(m_mount));
    }

    QTemporaryDir m_folder;
    QString m_mount;
    CRecordingPrompts m_prompts;
};

TEST_F(FullDiskTest, EntriesOnAFullDiskSayItAndLoseNothing) {
    CSmallFileSystem disk(m_mount, 4 << 20);
    if (!disk.IsMounted())
        GTEST_SKIP() << disk.Problem().toStdString()
                     << " (the file-size limit test stands in for a full disk)";
    const QString connect = schema::SqliteConnectString(
        QDir(m_mount).filePath(QStringLiteral("apricot.db")), CTestBooks::SqliteExtension());
    CDatabase db;
    ASSERT_TRUE(db.OpenEx(connect));
    schema::Create(db);
    const BooksState before = Record(db);
    const GridRow card = CardRow(db);

    ASSERT_TRUE(disk.Fill()) << "the file system never filled";
    const QStringList said = ExpectEverythingRefused(db, card, m_prompts);
    std::cout << said.join(QLatin1Char('\n')).toStdString() << "\n";
    EXPECT_TRUE(said.front().contains(QStringLiteral("full"))) << said.front().toStdString();
    EXPECT_EQ(ReadBooks(db), before);

    disk.Free();
    CDatabase fresh;
    ASSERT_TRUE(fresh.OpenEx(connect));
    EXPECT_EQ(ReadBooks(fresh), before);
    EXPECT_EQ(IntegrityOf(fresh), QStringLiteral("ok"));
    // With room again the same connection records, and says so.
    const CEntryOutcome outcome = CPurchaseEntry(&db).Add(Batch("2", "5"));
    EXPECT_TRUE(outcome.recorded) << outcome.status.toStdString();
    EXPECT_EQ(Changes(before, ReadBooks(fresh)).size(), 2u);
    db.Close();
    fresh.Close();
}

// No file of the process may grow past a few hundred bytes: every page write fails as on a
// disk without room. Needs no privilege.
TEST(FileSizeLimitTest, EntriesPastTheFileSizeLimitSayItAndLoseNothing) {
    CTestBooks books(Backend::SQLite);
    CRecordingPrompts prompts;
    const BooksState before = Record(books.Db());
    const GridRow card = CardRow(books.Db());
    {
        CFileSizeLimit limit(512);
        ASSERT_TRUE(limit.IsSet());
        const QStringList said = ExpectEverythingRefused(books.Db(), card, prompts);
        std::cout << said.join(QLatin1Char('\n')).toStdString() << "\n";
    }
    ExpectIntactAndTruthful(books, books.Db(), before);
    ExpectWritableAgain(books, before);
}

// After one write that failed on the disk, the connection must still keep each entry whole:
// a refused entry leaves nothing, a recorded one says so.
TEST(FileSizeLimitTest, AfterAFailedWriteEntriesStayWhole) {
    CTestBooks books(Backend::SQLite);
    CRecordingPrompts prompts;
    CDatabase& db = books.Db();
    Record(db);
    // A card of stock 0, onto which a batch of 0 boxes cannot be averaged.
    CPurchaseEntry::Form empty = Batch("3", "4");
    empty.expiry = QDate(2007, 1, 1);
    ASSERT_TRUE(CPurchaseEntry(&db).Add(empty).recorded);
    db.ExecuteSQL(QStringLiteral("UPDATE 存 SET 现有存货量=0 WHERE 有效截止日期='2007-01-01'"));
    const BooksState before = ReadBooks(db);
    {
        CFileSizeLimit limit(512);
        ASSERT_TRUE(limit.IsSet());
        const CEntryOutcome failed = CPurchaseEntry(&db).Add(Batch("2", "5"));
        ASSERT_FALSE(failed.recorded);
        std::cout << "at the limit: " << failed.status.toStdString() << "\n";
    }
    EXPECT_EQ(ReadBooks(db), before);

    CPurchaseEntry::Form zero = Batch("2", "0");
    zero.expiry = QDate(2007, 1, 1);
    const CEntryOutcome refused = CPurchaseEntry(&db).Add(zero);
    EXPECT_FALSE(refused.recorded);
    EXPECT_EQ(refused.status, CPurchaseEntry::kCardInvalid);
    EXPECT_EQ(ReadBooks(db), before) << "the refused batch left its purchase row";
}

} // namespace

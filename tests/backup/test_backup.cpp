// Backups of SQLite books: the checked copy, a failed one leaving nothing, the rotation that
// keeps only the newest of the program's own files, and files that are no books refused.
#include "CTestBooks.h"
#include "backup_names.h"
#include "books_file.h"
#include "query_rows.h"
#include "read_only_path.h"
#include "sqlite_backup.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

class SqliteBackupTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_books = std::make_unique<CTestBooks>(Backend::SQLite);
        Db().ExecuteSQL(QStringLiteral("INSERT INTO 存 VALUES('板蓝根颗粒','白云山','10g*20袋',"
                                       "'2027-06-30',8.5,12)"));
        Db().ExecuteSQL(QStringLiteral("INSERT INTO 销 VALUES('2026-12-08 09:30:05','板蓝根颗粒',"
                                       "'白云山','10g*20袋','2027-06-30',12,1,'整盒销售',12,0)"));
    }
    CDatabase& Db() { return m_books->Db(); }
    QString Path(const QString& name) const { return QDir(m_books->Folder()).filePath(name); }
    QStringList Files(const QString& folder) const {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden);
    }

    std::unique_ptr<CTestBooks> m_books;
};

TEST_F(SqliteBackupTest, TheCopyIsCheckedAndHoldsTheBooks) {
    QDir().mkpath(Path("backups"));
    const QString target = Path("backups/apricot-20261208-093005.db");
    const CBackupOutcome outcome = BackUpSqlite(Db(), target, CTestBooks::SqliteExtension());
    ASSERT_TRUE(outcome.ok) << outcome.message.toStdString();
    EXPECT_EQ(outcome.message,
              QStringLiteral("备份完成：%1（进 0 笔，存 1 张，销 1 笔）").arg(target));
    EXPECT_EQ(Files(Path("backups")), QStringList{"apricot-20261208-093005.db"});
    QString why;
    const std::optional<CBooksCounts> copy =
        booksfile::Check(target, CTestBooks::SqliteExtension(), &why);
    ASSERT_TRUE(copy) << why.toStdString();
    EXPECT_EQ(copy->cards, 1);
    EXPECT_EQ(copy->sales, 1);
    EXPECT_EQ(copy, booksfile::Count(Db(), nullptr));
}

TEST_F(SqliteBackupTest, AFailedBackupLeavesNoFileAndTheBooksAsTheyWere) {
    QDir().mkpath(Path("locked"));
    const CReadOnlyPath locked(Path("locked"));
    ASSERT_TRUE(locked.Refuses()) << locked.Problem().toStdString();
    const CBackupOutcome outcome = BackUpSqlite(Db(), Path("locked/apricot-20261208-093005.db"),
                                                CTestBooks::SqliteExtension());
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.message.startsWith(QStringLiteral("备份失败：")))
        << outcome.message.toStdString();
    EXPECT_TRUE(Files(Path("locked")).isEmpty());
    EXPECT_EQ(QueryValue(Db(), "SELECT 现有存货量 FROM 存"), "12");
    // The books still take entries.
    Db().ExecuteSQL(QStringLiteral("UPDATE 存 SET 现有存货量=11"));
}

TEST_F(SqliteBackupTest, RotationKeepsTheNewestOfItsOwnAndNothingElseGoes) {
    const QString folder = Path("backups");
    QDir().mkpath(folder);
    const QStringList names = {"apricot-20261201-080000.db",
                               "apricot-20261202-080000.db",
                               "apricot-20261203-080000.db",
                               "apricot-20261204-080000.db",
                               "apricot-20261130-235959.db",
                               "apricot-20261101-080000.db.bak",
                               "mine.db",
                               "apricot-2026.db"};
    for (const QString& name : names) {
        QFile file(QDir(folder).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(PruneBackups(folder, 3), 2);
    QStringList left = Files(folder);
    left.sort();
    EXPECT_EQ(left, (QStringList{"apricot-2026.db", "apricot-20261101-080000.db.bak",
                                 "apricot-20261202-080000.db", "apricot-20261203-080000.db",
                                 "apricot-20261204-080000.db", "mine.db"}));
}

TEST_F(SqliteBackupTest, AFileThatIsNoBooksIsRefused) {
    QFile text(Path("notes.db"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("进货单 2026-12-08\n");
    text.close();
    QString why;
    EXPECT_FALSE(booksfile::Check(Path("notes.db"), CTestBooks::SqliteExtension(), &why));
    EXPECT_TRUE(why.contains(QStringLiteral("不是账套"))) << why.toStdString();
    // An empty SQLite database has none of the four tables.
    CTestBooks empty(Backend::SQLite, CTestBooks::Tables::None);
    const QString emptyPath = QDir(empty.Folder()).filePath("apricot.db");
    EXPECT_FALSE(booksfile::Check(emptyPath, CTestBooks::SqliteExtension(), &why));
    EXPECT_FALSE(booksfile::Check(Path("missing.db"), CTestBooks::SqliteExtension(), &why));
    EXPECT_FALSE(QFile::exists(Path("missing.db")));
}

} // namespace

// Backups of SQLite books: the checked copy, a failed one leaving nothing, the rotation that
// keeps only the newest of the program's own files, the automatic backup of each set of books,
// the guards of the 备份数据 command, and files that are no books refused.
#include "CTestBooks.h"
#include "automatic_backup.h"
#include "background_backup.h"
#include "backup_command.h"
#include "backup_names.h"
#include "books_file.h"
#include "pg_dump.h"
#include "query_rows.h"
#include "read_only_path.h"
#include "recording_prompts.h"
#include "sqlite_backup.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs the events of this thread until `done` says so or 60 s went by; whether it did.
bool Await(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 60000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

class SqliteBackupTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_books = std::make_unique<CTestBooks>(Backend::SQLite);
        Db().ExecuteSQL(QStringLiteral("INSERT INTO 存 VALUES('板蓝根颗粒','白云山','10g*20袋',"
                                       "'2027-06-30',8.5,12)"));
        Db().ExecuteSQL(QStringLiteral(
            "INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, 数量, 销售类型, "
            "实收金额, 坏帐) VALUES('2026-12-08 09:30:05','板蓝根颗粒',"
            "'白云山','10g*20袋','2027-06-30',12,1,'整盒销售',12,0)"));
    }
    CDatabase& Db() { return m_books->Db(); }
    QString Path(const QString& name) const { return QDir(m_books->Folder()).filePath(name); }
    QStringList Files(const QString& folder) const {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden);
    }
    // An empty file written at `when`.
    static bool MakeFile(const QString& path, const QDateTime& when) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) &&
               file.setFileTime(when, QFileDevice::FileModificationTime);
    }
    // The time in a backup's name, or a fixed one for other names.
    static QDateTime StampOf(const QString& name) {
        const QDateTime named =
            QDateTime::fromString(name.mid(8, 15), QStringLiteral("yyyyMMdd-HHmmss"));
        return named.isValid() ? named : QDateTime(QDate(2026, 1, 1), QTime(0, 0));
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
    for (const QString& name : names)
        ASSERT_TRUE(MakeFile(QDir(folder).filePath(name), StampOf(name)));
    EXPECT_EQ(PruneBackups(folder, 3), 2);
    QStringList left = Files(folder);
    left.sort();
    EXPECT_EQ(left, (QStringList{"apricot-2026.db", "apricot-20261101-080000.db.bak",
                                 "apricot-20261202-080000.db", "apricot-20261203-080000.db",
                                 "apricot-20261204-080000.db", "mine.db"}));
}

// A clock that ran behind named today's backup as if it were the oldest: it is kept, and the
// others go by when they were written.
TEST_F(SqliteBackupTest, RotationKeepsTheBackupJustMadeAndGoesByWhenFilesWereWritten) {
    const QString folder = Path("backups");
    QDir().mkpath(folder);
    const QDateTime now = QDateTime::currentDateTime();
    const std::pair<const char*, QDateTime> files[] = {
        {"apricot-20261201-080000.db", now.addDays(-3)},
        {"apricot-20261202-080000.db", now.addDays(-9)},
        {"apricot-20261203-080000.db", now.addDays(-1)},
        {"apricot-20200101-080000.db", now}};
    for (const auto& [name, when] : files)
        ASSERT_TRUE(MakeFile(QDir(folder).filePath(name), when));
    EXPECT_EQ(PruneBackups(folder, 3, QDir(folder).filePath("apricot-20200101-080000.db")), 1);
    QStringList left = Files(folder);
    left.sort();
    EXPECT_EQ(left, (QStringList{"apricot-20200101-080000.db", "apricot-20261201-080000.db",
                                 "apricot-20261203-080000.db"}));
}

// Each set of books opened on a day gets its own automatic backup, whatever was opened before.
TEST_F(SqliteBackupTest, EverySetOfBooksGetsItsAutomaticBackupOfTheDay) {
    CTestBooks second(Backend::SQLite);
    const QDateTime now = QDateTime::currentDateTime();
    const QString day = now.toString(QStringLiteral("yyyyMMdd"));
    for (CDatabase* db : {&Db(), &second.Db()}) {
        const std::optional<CBackupOutcome> made = AutomaticBackup(*db, now);
        ASSERT_TRUE(made);
        EXPECT_TRUE(made->ok) << made->message.toStdString();
    }
    for (const QString& books : {m_books->Folder(), second.Folder()})
        EXPECT_EQ(QDir(books + "/backups").entryList({"apricot-" + day + "-*.db"}).size(), 1)
            << books.toStdString();
    EXPECT_FALSE(AutomaticBackup(second.Db(), now.addSecs(60)));
}

TEST_F(SqliteBackupTest, ABackupMadeIsLoggedWithWhoMadeIt) {
    const std::optional<CBackupOutcome> made =
        AutomaticBackup(Db(), QDateTime::currentDateTime(), QStringLiteral("张三"));
    ASSERT_TRUE(made && made->ok);
    EXPECT_EQ(QueryRows(Db(), "SELECT 操作员, 动作, 对象, 内容 FROM 日志"),
              (std::vector<QStringList>{{"张三", "备份", "账套", made->message}}));
}

// The books' own files are never a backup's target, and another file is replaced only when the
// user says so.
TEST_F(SqliteBackupTest, BackupCommandRefusesTheBooksAndAsksBeforeReplacingAFile) {
    const QByteArray books = Bytes(Path("apricot.db"));
    CRecordingPrompts prompts;
    for (const char* own :
         {"apricot.db", "apricot.db-wal", "apricot.db-journal", "apricot.db-shm"}) {
        EXPECT_FALSE(BackUpSqlite(Db(), Path(own), CTestBooks::SqliteExtension()).ok) << own;
        EXPECT_EQ(QFileInfo::exists(Path(own)), std::string(own) == "apricot.db") << own;
    }
    prompts.ChooseFile(Path("apricot"));
    EXPECT_EQ(BackUpBooks(nullptr, &Db(), QDateTime::currentDateTime()), nullptr);
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_TRUE(prompts.Messages()[0].text.contains(QStringLiteral("账套自己的文件")))
        << prompts.Messages()[0].text.toStdString();
    EXPECT_EQ(Bytes(Path("apricot.db")), books);

    ASSERT_TRUE(MakeFile(Path("mine.db"), QDateTime::currentDateTime()));
    prompts.Clear();
    prompts.ChooseFile(Path("mine")); // the dialog asked about "mine", not "mine.db"
    EXPECT_EQ(BackUpBooks(nullptr, &Db(), QDateTime::currentDateTime()), nullptr);
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0].buttons, CPrompts::Buttons::YesNo);
    EXPECT_TRUE(Bytes(Path("mine.db")).isEmpty());
    prompts.Clear();
    prompts.ChooseFile(Path("mine"));
    prompts.AnswerNext(CPrompts::Answer::Yes);
    const QPointer<QObject> running = BackUpBooks(nullptr, &Db(), QDateTime::currentDateTime());
    ASSERT_TRUE(running);
    ASSERT_TRUE(Await([&] { return running.isNull(); }));
    ASSERT_EQ(prompts.Messages().size(), 2u);
    EXPECT_TRUE(prompts.Messages()[1].text.startsWith(QStringLiteral("备份完成")))
        << prompts.Messages()[1].text.toStdString();
    EXPECT_TRUE(booksfile::Check(Path("mine.db"), CTestBooks::SqliteExtension(), nullptr));
}

// The backup of the day runs on a connection of its own: the counter records a sale while the
// backup is held, and the copy, made before that sale, still counts.
TEST_F(SqliteBackupTest, TheCounterRecordsWhileTheBackupOfTheDayRuns) {
    std::atomic<bool> copied{false}, release{false};
    std::optional<CBackupOutcome> outcome;
    bool told = false;
    QObject context;
    CBackgroundBackup backup(
        Db().ConnectString(),
        [&](CDatabase& own, CBackupStop& stop) {
            own.SetStatementHook([&](const QString& sql) {
                if (!sql.startsWith(QStringLiteral("VACUUM")))
                    return;
                copied = true;
                while (!release)
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
            });
            return AutomaticBackup(own, QDateTime::currentDateTime(), QStringLiteral("张三"),
                                   &stop);
        },
        &context,
        [&](const std::optional<CBackupOutcome>& made) {
            outcome = made;
            told = true;
        });
    ASSERT_TRUE(Await([&] { return copied.load(); }));
    Db().ExecuteSQL(QStringLiteral(
        "INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, 数量, 销售类型, "
        "实收金额, 坏帐) VALUES('2026-12-08 09:31:00','板蓝根颗粒','白云山','10g*20袋',"
        "'2027-06-30',12,1,'整盒销售',12,0)"));
    EXPECT_FALSE(backup.Finished());
    release = true;
    ASSERT_TRUE(Await([&] { return told; }));
    ASSERT_TRUE(outcome && outcome->ok) << (outcome ? outcome->message.toStdString() : "none");
    EXPECT_TRUE(outcome->message.contains(QStringLiteral("销 1 笔")))
        << outcome->message.toStdString();
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 日志 WHERE 操作员='张三' AND 动作='备份'"),
              "1");
}

// Closing the program interrupts the backup at once (here in the check of the copy, which reads
// all of it), and nothing half made stays.
TEST_F(SqliteBackupTest, ClosingStopsARunningBackupAtOnceAndLeavesNoFile) {
    Db().ExecuteSQL(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200000) "
        "INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, 数量, 销售类型, "
        "实收金额, 坏帐) SELECT datetime('2020-01-01', '+' || i || ' minutes'), '板蓝根颗粒' || i, "
        "'白云山', '10g*20袋', '2027-06-30', 12, 1, '整盒销售', 12, 0 FROM n"));
    std::atomic<bool> copied{false};
    bool told = false;
    QObject context;
    auto backup = std::make_unique<CBackgroundBackup>(
        Db().ConnectString(),
        [&](CDatabase& own, CBackupStop& stop) {
            own.SetStatementHook([&](const QString& sql) {
                copied = copied || sql.startsWith(QStringLiteral("VACUUM"));
            });
            return AutomaticBackup(own, QDateTime::currentDateTime(), {}, &stop);
        },
        &context, [&](const std::optional<CBackupOutcome>&) { told = true; });
    ASSERT_TRUE(Await([&] { return copied || backup->Finished(); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_FALSE(backup->Finished()) << "the copy was checked too fast to be interrupted";
    QElapsedTimer clock;
    clock.start();
    backup.reset();
    const qint64 closing = clock.elapsed();
    const QString folder = Path("backups");
    EXPECT_TRUE(Files(folder).isEmpty()) << Files(folder).join(' ').toStdString();
    QCoreApplication::processEvents();
    EXPECT_FALSE(told);
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 日志"), "0");
    // Set against a whole backup of the same books too, so that a fast machine still tells.
    clock.restart();
    ASSERT_TRUE(BackUpSqlite(Db(), Path("whole.db"), CTestBooks::SqliteExtension()).ok);
    const qint64 whole = clock.elapsed();
    EXPECT_LT(closing, std::min<qint64>(1000, whole / 4)) << "a whole backup took " << whole;
}

// Server books are dumped beside the program too: 备份数据 returns at once and says later how
// it went; the dump takes its name only whole, and its log row is written.
TEST(ServerBackupTest, TheBackupCommandDumpsServerBooksBesideTheProgram) {
    bool skip = false;
    const QString unavailable = CTestBooks::Unavailable(Backend::PostgreSQL, &skip);
    if (skip)
        GTEST_SKIP() << unavailable.toStdString();
    ASSERT_TRUE(unavailable.isEmpty()) << unavailable.toStdString();
    if (pgdump::Find().isEmpty())
        GTEST_SKIP() << "pg_dump is not installed";
    CTestBooks books(Backend::PostgreSQL);
    CRecordingPrompts prompts;
    prompts.ChooseFile(QDir(books.Folder()).filePath("books"));
    const QPointer<QObject> running =
        BackUpBooks(nullptr, &books.Db(), QDateTime::currentDateTime(), QStringLiteral("张三"));
    ASSERT_TRUE(running);
    ASSERT_TRUE(Await([&] { return running.isNull(); }));
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_TRUE(prompts.Messages()[0].text.startsWith(QStringLiteral("备份完成")))
        << prompts.Messages()[0].text.toStdString();
    EXPECT_EQ(QDir(books.Folder()).entryList({"*.dump*"}, QDir::Files | QDir::Hidden),
              QStringList{"books.dump"});
    EXPECT_EQ(QueryValue(books.Db(), "SELECT 操作员 FROM 日志 WHERE 动作='备份'"), "张三");
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

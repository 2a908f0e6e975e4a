// apricot-initdb as a user runs it.
#include "CTestBooks.h"
#include "audit_log.h"
#include "books_lock.h"
#include "books_version.h"
#include "query_rows.h"
#include "schema.h"
#include "sql_text.h"
#include "sqlite_journal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace {

struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ProgramRun RunInitDb(const QStringList& args, const QString& program = APRICOT_INITDB) {
    QProcess process;
    process.start(program, args);
    ProgramRun run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class InitDbFolderTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return QDir(m_dir.path()).filePath(name); }
    QTemporaryDir m_dir;
};

TEST_F(InitDbFolderTest, MakesTheFolderTheDatabaseAndConnectTxt) {
    const QString folder = Path("药店/账套");
    const ProgramRun run = RunInitDb({folder});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();

    const QString db = QFileInfo(folder + "/apricot.db").absoluteFilePath();
    const QString extension =
        QFileInfo(QStringLiteral(APRICOT_INITDB)).absolutePath() + "/apricot_sqlite.so";
    ASSERT_TRUE(QFileInfo(extension).isFile());
    EXPECT_EQ(QString::fromUtf8(Bytes(folder + "/connect.txt")),
              "Driver=SQLite3;Database=" + db + ";LoadExt=" + QDir::cleanPath(extension) +
                  ";Timeout=5000");

    CDatabase books;
    ASSERT_TRUE(books.OpenEx(QString::fromUtf8(Bytes(folder + "/connect.txt"))));
    EXPECT_EQ(QueryRows(books, "SELECT * FROM 操作员"),
              (std::vector<QStringList>{{"管理员", "737", "店长"}}));
    EXPECT_EQ(QueryValue(books, "SELECT COUNT(*) FROM 销"), "0");
    // A program reading a large result must not lock another one's sale out.
    EXPECT_EQ(sqlitejournal::Mode(books), "wal");
    // The date-time collation is there: a purchase at midnight is found by its date.
    books.ExecuteSQL("INSERT INTO 进 (采购日期, 采购人, 大类, 小类, 编号, 名称, 产地, 规格型号, "
                     "批号, 有效截止日期, 进价, 数量) "
                     "VALUES('2003-05-01','','','','','a','b','c','','2005-01-01',1,1)");
    EXPECT_EQ(QueryValue(books, "SELECT COUNT(*) FROM 进 WHERE 采购日期 BETWEEN "
                                "'2003-05-01 00:00:00.000' AND '2003-05-01 23:59:59.999'"),
              "1");
}

TEST_F(InitDbFolderTest, SecondRunRefusesAndChangesNothing) {
    ASSERT_EQ(RunInitDb({"--demo", m_dir.path()}).exitCode, 0);
    const QByteArray db = Bytes(Path("apricot.db"));
    const QByteArray connect = Bytes(Path("connect.txt"));
    ASSERT_FALSE(db.isEmpty());

    for (const QStringList& args :
         {QStringList{m_dir.path()}, QStringList{"--demo", m_dir.path()}}) {
        const ProgramRun again = RunInitDb(args);
        EXPECT_NE(again.exitCode, 0);
        EXPECT_EQ(again.err.count('\n'), 1) << again.err.toStdString();
        EXPECT_TRUE(again.err.contains("已有账套")) << again.err.toStdString();
    }
    EXPECT_EQ(Bytes(Path("apricot.db")), db);
    EXPECT_EQ(Bytes(Path("connect.txt")), connect);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files),
              QStringList({"apricot.db", "connect.txt"}));
}

TEST_F(InitDbFolderTest, ForeignConnectTxtIsKept) {
    const QByteArray other = "Driver=PostgreSQL Unicode;Servername=db;Database=pharmacy;";
    {
        QFile file(Path("connect.txt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(other);
    }
    const ProgramRun run = RunInitDb({m_dir.path()});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains("connect.txt")) << run.err.toStdString();
    EXPECT_EQ(Bytes(Path("connect.txt")), other);
    EXPECT_FALSE(QFileInfo::exists(Path("apricot.db")));
}

TEST_F(InitDbFolderTest, DemoBooksHaveTodaysSalesAndAddUp) {
    const ProgramRun run = RunInitDb({"--demo", m_dir.path()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    CDatabase books;
    ASSERT_TRUE(books.OpenEx(QString::fromUtf8(Bytes(Path("connect.txt")))));
    const QDateTime now = QDateTime::currentDateTime();
    const QString today = sqltext::Date(now.date());
    const int salesToday = QueryValue(books, "SELECT COUNT(*) FROM 销 WHERE 日期时间 " +
                                                 sqltext::WholeDayRange(today, today))
                               .toInt();
    // Only in the first seconds after midnight can there be no sale yet.
    if (now.time() > QTime(0, 1)) {
        EXPECT_GT(salesToday, 0);
    }
    EXPECT_EQ(QueryValue(books, "SELECT COUNT(*) FROM 销 WHERE 日期时间 > " +
                                    sqltext::Quote(sqltext::Timestamp(now))),
              "0");
    EXPECT_EQ(QueryValue(books, "SELECT COUNT(*) FROM 存 WHERE 现有存货量<0"), "0");
    EXPECT_EQ(QueryValue(books, "SELECT COUNT(*) FROM 销 WHERE NOT EXISTS (SELECT 1 FROM 存 WHERE "
                                "存.名称=销.名称 AND 存.产地=销.产地 AND 存.规格型号=销.规格型号 "
                                "AND 存.有效截止日期=销.有效截止日期)"),
              "0");
    EXPECT_TRUE(run.out.contains("演示数据")) << run.out.toStdString();
}

TEST_F(InitDbFolderTest, FindsTheExtensionInTheInstalledLayout) {
    ASSERT_TRUE(QDir().mkpath(Path("prefix/bin")));
    ASSERT_TRUE(QDir().mkpath(Path("prefix/lib/apricot")));
    ASSERT_TRUE(QFile::copy(APRICOT_INITDB, Path("prefix/bin/apricot-initdb")));
    const QString extension =
        QFileInfo(QStringLiteral(APRICOT_INITDB)).absolutePath() + "/apricot_sqlite.so";
    ASSERT_TRUE(QFile::copy(extension, Path("prefix/lib/apricot/apricot_sqlite.so")));

    const ProgramRun run = RunInitDb({Path("books")}, Path("prefix/bin/apricot-initdb"));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(Bytes(Path("books/connect.txt")))
                    .contains(";LoadExt=" + Path("prefix/lib/apricot/apricot_sqlite.so") + ";"));

    ASSERT_TRUE(QFile::remove(Path("prefix/lib/apricot/apricot_sqlite.so")));
    const ProgramRun missing = RunInitDb({Path("books2")}, Path("prefix/bin/apricot-initdb"));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("apricot_sqlite.so")) << missing.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(Path("books2")));
}

TEST_F(InitDbFolderTest, RestorePutsACheckedBackupInPlaceAndKeepsTheOldBooks) {
    ASSERT_EQ(RunInitDb({Path("books")}).exitCode, 0);
    ASSERT_EQ(RunInitDb({"--demo", Path("other")}).exitCode, 0);
    const QByteArray before = Bytes(Path("books/apricot.db"));

    // Refused: a file that is no books, and books that a program works on.
    QFile notes(Path("notes.db"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("not books");
    notes.close();
    ProgramRun run = RunInitDb({"--restore", Path("notes.db"), Path("books")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("不是账套")) << run.err.toStdString();
    {
        const auto inUse = CBooksLock::Take(Path("books/apricot.db"), CBooksLock::Mode::Shared);
        ASSERT_TRUE(inUse);
        run = RunInitDb({"--restore", Path("other/apricot.db"), Path("books")});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains("正在被程序使用")) << run.err.toStdString();
    }
    EXPECT_EQ(Bytes(Path("books/apricot.db")), before);
    EXPECT_EQ(QDir(Path("books")).entryList(QDir::Files),
              (QStringList{"apricot.db", "apricot.db.lock", "connect.txt"}));

    run = RunInitDb({"--restore", Path("other/apricot.db"), Path("books")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("原来的账套保存为")) << run.out.toStdString();
    const QStringList kept =
        QDir(Path("books")).entryList({"apricot-before-restore-*.db"}, QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(Bytes(Path("books/") + kept[0]), before);
    // The backup's books, every row of them, and the restore's own row at the end of their log.
    CDatabase restored, backup;
    ASSERT_TRUE(restored.OpenEx(
        schema::SqliteConnectString(Path("books/apricot.db"), CTestBooks::SqliteExtension())));
    ASSERT_TRUE(backup.OpenEx(
        schema::SqliteConnectString(Path("other/apricot.db"), CTestBooks::SqliteExtension())));
    for (const char* table : {"进", "存", "销", "操作员"}) {
        const QString all = QStringLiteral("SELECT * FROM ") + QString::fromUtf8(table);
        EXPECT_EQ(QueryRows(restored, all), QueryRows(backup, all)) << table;
    }
    const std::vector<QStringList> log =
        QueryRows(restored, "SELECT 操作员, 动作, 对象 FROM 日志 ORDER BY 序号");
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), (QStringList{"系统", "恢复", "账套"}));
    EXPECT_EQ(log.size(), QueryRows(backup, "SELECT 序号 FROM 日志").size() + 1);
}

// The program works on the books that connect.txt names: the restore puts the backup there, and
// their lock is the one that refuses it.
TEST_F(InitDbFolderTest, RestoreReplacesTheBooksThatConnectTxtNames) {
    ASSERT_EQ(RunInitDb({Path("data")}).exitCode, 0);
    ASSERT_EQ(RunInitDb({"--demo", Path("other")}).exitCode, 0);
    ASSERT_TRUE(QDir().mkpath(Path("start")));
    ASSERT_TRUE(QFile::copy(Path("data/connect.txt"), Path("start/connect.txt")));
    const QByteArray before = Bytes(Path("data/apricot.db"));
    {
        const auto inUse = CBooksLock::Take(Path("data/apricot.db"), CBooksLock::Mode::Shared);
        ASSERT_TRUE(inUse);
        const ProgramRun run = RunInitDb({"--restore", Path("other/apricot.db"), Path("start")});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains("正在被程序使用")) << run.err.toStdString();
    }
    const ProgramRun run = RunInitDb({"--restore", Path("other/apricot.db"), Path("start")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    {
        CDatabase restored, backup;
        ASSERT_TRUE(restored.OpenEx(
            schema::SqliteConnectString(Path("data/apricot.db"), CTestBooks::SqliteExtension())));
        ASSERT_TRUE(backup.OpenEx(
            schema::SqliteConnectString(Path("other/apricot.db"), CTestBooks::SqliteExtension())));
        EXPECT_EQ(QueryRows(restored, "SELECT * FROM 销"), QueryRows(backup, "SELECT * FROM 销"));
        EXPECT_EQ(QueryValue(restored, "SELECT 动作 FROM 日志 ORDER BY 序号 DESC LIMIT 1"), "恢复");
    }
    const QStringList kept =
        QDir(Path("data")).entryList({"apricot-before-restore-*.db"}, QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(Bytes(Path("data/") + kept[0]), before);
    EXPECT_EQ(QDir(Path("start")).entryList(QDir::Files), QStringList{"connect.txt"});
}

// A program that ended abruptly leaves the old books' latest entries in apricot.db-wal, which
// SQLite would apply to any file named apricot.db: they stay with the old books, with or
// without the old file beside them.
TEST_F(InitDbFolderTest, RestoreNeverAppliesTheOldBooksWalToTheRestoredFile) {
    ASSERT_EQ(RunInitDb({"--demo", Path("other")}).exitCode, 0);
    for (const bool oldFileLost : {false, true}) {
        SCOPED_TRACE(oldFileLost ? "only the -wal left" : "the books and their -wal left");
        const QString folder = Path(oldFileLost ? "lost" : "crashed");
        ASSERT_EQ(RunInitDb({folder}).exitCode, 0);
        const QString connect = QString::fromUtf8(Bytes(folder + "/connect.txt"));
        {
            CDatabase program;
            ASSERT_TRUE(program.OpenEx(connect));
            program.ExecuteSQL("INSERT INTO 存 VALUES('旧账','厂','盒','2030-01-01',1,7)");
            // What stays on the disk when the program is killed now.
            ASSERT_TRUE(QFile::copy(folder + "/apricot.db", folder + "/crash.db"));
            ASSERT_TRUE(QFile::copy(folder + "/apricot.db-wal", folder + "/crash.db-wal"));
        }
        ASSERT_TRUE(QFile::remove(folder + "/apricot.db"));
        if (!oldFileLost) {
            ASSERT_TRUE(QFile::rename(folder + "/crash.db", folder + "/apricot.db"));
        }
        ASSERT_TRUE(QFile::rename(folder + "/crash.db-wal", folder + "/apricot.db-wal"));

        const ProgramRun run = RunInitDb({"--restore", Path("other/apricot.db"), folder});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        CDatabase restored;
        ASSERT_TRUE(restored.OpenEx(connect));
        EXPECT_EQ(QueryValue(restored, "SELECT COUNT(*) FROM 存 WHERE 名称='旧账'"), "0");
        CDatabase backup;
        ASSERT_TRUE(backup.OpenEx(
            schema::SqliteConnectString(Path("other/apricot.db"), CTestBooks::SqliteExtension())));
        EXPECT_EQ(QueryValue(restored, "SELECT COUNT(*) FROM 销"),
                  QueryValue(backup, "SELECT COUNT(*) FROM 销"));
        EXPECT_EQ(QueryValue(restored, "PRAGMA integrity_check"), "ok");
        if (!oldFileLost) {
            const QStringList kept =
                QDir(folder).entryList({"apricot-before-restore-*.db"}, QDir::Files);
            ASSERT_EQ(kept.size(), 1);
            CDatabase old;
            ASSERT_TRUE(old.OpenEx(schema::SqliteConnectString(folder + "/" + kept[0],
                                                               CTestBooks::SqliteExtension())));
            EXPECT_EQ(QueryValue(old, "SELECT 现有存货量 FROM 存 WHERE 名称='旧账'"), "7");
        }
    }
}

TEST_F(InitDbFolderTest, BadCallsFailWithAMessage) {
    QFile file(Path("plain-file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const ProgramRun notAFolder = RunInitDb({Path("plain-file")});
    EXPECT_EQ(notAFolder.exitCode, 1);
    EXPECT_TRUE(notAFolder.err.contains("不是文件夹")) << notAFolder.err.toStdString();

    const ProgramRun semicolon = RunInitDb({Path("a;b")});
    EXPECT_EQ(semicolon.exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(Path("a;b")));

    for (const QStringList& args :
         {QStringList{}, QStringList{"--demo"}, QStringList{"a", "b"}, QStringList{"--connect"},
          QStringList{"--connect", "Driver=x", m_dir.path()},
          QStringList{"--frobnicate", m_dir.path()}}) {
        const ProgramRun run = RunInitDb(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("用法")) << args.join(' ').toStdString();
    }
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList({"plain-file"}));

    const ProgramRun unreachable = RunInitDb({"--connect", "Driver=NoSuchDriver;Database=x"});
    EXPECT_EQ(unreachable.exitCode, 1);
    EXPECT_TRUE(unreachable.err.contains("无法连接数据库")) << unreachable.err.toStdString();
}

// --connect on an empty database of either backend.
class InitDbConnectTest : public CBooksTest {
protected:
    CTestBooks::Tables InitialTables() const override { return CTestBooks::Tables::None; }
};

TEST_P(InitDbConnectTest, CreatesTheTablesOnceAndThenRefuses) {
    ASSERT_FALSE(schema::AnyTableExists(Db()));
    const ProgramRun run = RunInitDb({"--connect", Books().ConnectString()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(QueryRows(Db(), "SELECT * FROM 操作员"),
              (std::vector<QStringList>{{"管理员", "737", "店长"}}));
    Exec("INSERT INTO 操作员 (用户名, 密码) VALUES('收银员','1')");

    const ProgramRun again = RunInitDb({"--demo", "--connect", Books().ConnectString()});
    EXPECT_EQ(again.exitCode, 3);
    EXPECT_EQ(again.err.count('\n'), 1) << again.err.toStdString();
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 操作员"), "2");
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 销"), "0");
}

TEST_P(InitDbConnectTest, RefusesWhenOnlyOneTableExists) {
    Exec("CREATE TABLE 存 (名称 VARCHAR(10))");
    Exec("INSERT INTO 存 VALUES('旧卡')");
    const ProgramRun run = RunInitDb({"--connect", Books().ConnectString()});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(QueryRows(Db(), "SELECT * FROM 存"), (std::vector<QStringList>{{"旧卡"}}));
    Exec("DROP TABLE 存");
    EXPECT_FALSE(schema::AnyTableExists(Db()));
}

TEST_P(InitDbConnectTest, DemoBooksThroughTheConnection) {
    const ProgramRun run = RunInitDb({"--demo", "--connect", Books().ConnectString()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_GT(QueryValue(Db(), "SELECT COUNT(*) FROM 销").toInt(), 500);
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 存 WHERE 现有存货量<0"), "0");
}

APRICOT_INSTANTIATE_BACKENDS(InitDbConnectTest);

// --upgrade of first-version books: a SQLite folder, a server through --connect.
class InitDbUpgradeTest : public CBooksTest {
protected:
    CTestBooks::Tables InitialTables() const override { return CTestBooks::Tables::Version1; }
    ProgramRun Upgrade() {
        return GetParam() == Backend::SQLite
                   ? RunInitDb({"--upgrade", Books().Folder()})
                   : RunInitDb({"--upgrade", "--connect", Books().ConnectString()});
    }
};

TEST_P(InitDbUpgradeTest, UpgradesOnceThenSaysSoAndRefusesNewerBooks) {
    Exec("INSERT INTO 操作员 (用户名, 密码) VALUES ('收银员', '1')");
    const ProgramRun run = Upgrade();
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString newest = QString::number(booksversion::kNewest);
    EXPECT_TRUE(run.out.contains("账套由第 1 版升级到第 " + newest + " 版"))
        << run.out.toStdString();
    EXPECT_EQ(QueryValue(Db(), "SELECT 版本 FROM 账套版本"), newest);
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 操作员 WHERE 角色 = '店长'"), "2");
    // The upgrade that brings the row digests records every card's stock with it; the one that
    // brings the catalogue, the drugs it found.
    EXPECT_EQ(QueryRows(Db(), "SELECT 操作员, 动作, 对象 FROM 日志 ORDER BY 序号"),
              (std::vector<QStringList>{
                  {"系统", "升级", "账套"}, {"系统", "期初", "存"}, {"系统", "药品目录", "药品"}}));
    if (GetParam() == Backend::SQLite) {
        // The backup was made before, of the books as they were.
        const QStringList backups =
            QDir(Books().Folder() + "/backups").entryList({"apricot-*.db"}, QDir::Files);
        ASSERT_EQ(backups.size(), 1);
        EXPECT_TRUE(run.out.contains(backups[0])) << run.out.toStdString();
        CDatabase backup;
        ASSERT_TRUE(backup.OpenEx(schema::SqliteConnectString(
            Books().Folder() + "/backups/" + backups[0], CTestBooks::SqliteExtension())));
        EXPECT_EQ(QueryRows(backup, "SELECT * FROM 操作员 ORDER BY 用户名"),
                  (std::vector<QStringList>{{"收银员", "1"}, {"管理员", "737"}}));
    }

    const ProgramRun again = Upgrade();
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_TRUE(again.out.contains("已是第 " + newest + " 版")) << again.out.toStdString();
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 日志"), "3");

    const QString newer = QString::number(booksversion::kNewest + 1);
    Exec("UPDATE 账套版本 SET 版本 = " + newer);
    const ProgramRun refused = Upgrade();
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("第 " + newer + " 版")) << refused.err.toStdString();
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 日志"), "3");
}

APRICOT_INSTANTIATE_BACKENDS(InitDbUpgradeTest);

// --check: the chain on either backend, and SQLite books against their newest backup.
class InitDbCheckTest : public CBooksTest {
protected:
    ProgramRun Check() {
        return GetParam() == Backend::SQLite
                   ? RunInitDb({"--check", Books().Folder()})
                   : RunInitDb({"--check", "--connect", Books().ConnectString()});
    }
};

TEST_P(InitDbCheckTest, CountsAWholeLogAndNamesAChangedRow) {
    const QDateTime start(QDate(2024, 3, 9), QTime(8, 0));
    for (int i = 0; i < 3; ++i)
        auditlog::Append(Db(), {"张三", "销售", "销", QStringLiteral("第 %1 笔").arg(i + 1)},
                         start.addSecs(i));
    const ProgramRun whole = Check();
    EXPECT_EQ(whole.exitCode, 0) << whole.err.toStdString();
    EXPECT_TRUE(whole.out.startsWith("日志完整：3 条")) << whole.out.toStdString();

    Exec("UPDATE 日志 SET 内容 = '第 9 笔' WHERE 序号 = 2");
    const ProgramRun broken = Check();
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_TRUE(broken.out.contains("序号 2 ")) << broken.out.toStdString();
}

TEST_P(InitDbCheckTest, AHeadPrintedEarlierMustStillBeInTheLog) {
    const QDateTime start(QDate(2024, 3, 9), QTime(8, 0));
    for (int i = 0; i < 3; ++i)
        auditlog::Append(Db(), {"张三", "销售", "销", QStringLiteral("第 %1 笔").arg(i + 1)},
                         start.addSecs(i));
    const QString hash = QueryValue(Db(), "SELECT 校验 FROM 日志 WHERE 序号 = 2").left(16);
    const auto check = [this](const QString& head) {
        QStringList args{"--check", "--head", head};
        args << (GetParam() == Backend::SQLite ? QStringList{Books().Folder()}
                                               : QStringList{"--connect", Books().ConnectString()});
        return RunInitDb(args);
    };
    const ProgramRun match = check("2:" + hash.toUpper());
    EXPECT_EQ(match.exitCode, 0) << match.err.toStdString();
    EXPECT_TRUE(match.out.contains("第 2 行与打印的校验相符")) << match.out.toStdString();
    const ProgramRun differs =
        check("2:" + QString(hash).replace(0, 1, hash[0] == '0' ? "1" : "0"));
    EXPECT_EQ(differs.exitCode, 1);
    EXPECT_TRUE(differs.out.contains("第 2 行的校验是 " + hash)) << differs.out.toStdString();
    EXPECT_EQ(check("4:" + hash).exitCode, 1);
    EXPECT_EQ(check("2:" + hash.left(15)).exitCode, 2);
}

APRICOT_INSTANTIATE_BACKENDS(InitDbCheckTest);

// What the chain cannot show: a chain rewritten after a changed row, a row removed at the end.
TEST_F(InitDbFolderTest, TheNewestBackupNamesWhatARewrittenChainHides) {
    const QDateTime start(QDate(2024, 3, 9), QTime(8, 0));
    const auto rechain = [](CDatabase& books) {
        QString previous;
        for (const QStringList& row :
             QueryRows(books, "SELECT 序号, 时间, 操作员, 动作, 对象, 内容, 单号, 行校验 FROM 日志 "
                              "ORDER BY 序号")) {
            previous =
                auditlog::ChainHash(previous, row[0].toLongLong(),
                                    QDateTime::fromString(row[1].left(19), "yyyy-MM-dd HH:mm:ss"),
                                    {row[2], row[3], row[4], row[5], row[6], {}, row[7]});
            books.ExecuteSQL("UPDATE 日志 SET 校验 = " + sqltext::Quote(previous) +
                             " WHERE 序号 = " + row[0]);
        }
    };
    const struct {
        const char* tamper;
        const char* named;
    } cases[] = {{"UPDATE 日志 SET 内容 = '第 9 笔' WHERE 序号 = 2", "序号 2 "},
                 {"DELETE FROM 日志 WHERE 序号 >= 4", "序号 4 "}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tamper);
        QTemporaryDir dir;
        ASSERT_EQ(RunInitDb({dir.path()}).exitCode, 0);
        CDatabase books;
        ASSERT_TRUE(books.OpenEx(QString::fromUtf8(Bytes(dir.path() + "/connect.txt"))));
        for (int i = 0; i < 4; ++i)
            auditlog::Append(books, {"张三", "销售", "销", QStringLiteral("第 %1 笔").arg(i + 1)},
                             start.addSecs(i));
        ASSERT_TRUE(QDir(dir.path()).mkdir("backups"));
        books.ExecuteSQL("VACUUM INTO " +
                         sqltext::Quote(dir.path() + "/backups/apricot-20240309-080010.db"));
        // A row after the backup is no difference.
        auditlog::Append(books, {"张三", "登录", "操作员", "张三"}, start.addSecs(20));
        books.ExecuteSQL(c.tamper);
        rechain(books);

        const ProgramRun run = RunInitDb({"--check", dir.path()});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.out.contains(c.named)) << run.out.toStdString();
        EXPECT_TRUE(run.out.contains("apricot-20240309-080010.db")) << run.out.toStdString();
    }
}

} // namespace

// Start-up in its order on both backends: the connection, the login, then the frame with
// today's sales; and the early ends.
#include "CApricotApp.h"
#include "CApricotView.h"
#include "CDBConnection.h"
#include "CLoginDlg.h"
#include "CMainFrame.h"
#include "CPharmacistDutyDlg.h"
#include "CTestBooks.h"
#include "books_lock.h"
#include "books_version.h"
#include "command_ids.h"
#include "pharmacists.h"
#include "q_grid.h"
#include "query_rows.h"
#include "recording_launcher.h"
#include "recording_prompts.h"
#include "sqlite_journal.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

int VisibleWindows() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += w->isVisible();
    return n;
}

class StartupTest : public CBooksTest {
protected:
    void SetUp() override {
        CBooksTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(m_cwd.isValid());
        m_oldCwd = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_cwd.path()));
    }
    void TearDown() override {
        if (!m_oldCwd.isEmpty())
            QDir::setCurrent(m_oldCwd);
    }
    void WriteConnectFile() {
        QFile file(m_cwd.filePath(QStringLiteral("connect.txt")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Books().ConnectString().toUtf8());
    }
    // Sessions on the test database, seen from the test's own connection.
    int PgSessions() {
        return QueryValue(Db(), QStringLiteral("SELECT COUNT(*) FROM pg_stat_activity WHERE "
                                               "datname = current_database()"))
            .toInt();
    }

    QTemporaryDir m_cwd;
    QString m_oldCwd;
    CRecordingPrompts m_prompts;
    CRecordingLauncher m_launcher;
};

TEST_P(StartupTest, WithoutConnectFileOnlyTheMessageIsShown) {
    CDBConnection connection;
    CApricotApp app(connection, m_launcher);
    int logins = 0;
    const int windows = VisibleWindows();
    EXPECT_FALSE(app.InitInstance([&](CDatabase*) {
        ++logins;
        return std::optional<CLoggedIn>(CLoggedIn{});
    }));
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_EQ(m_prompts.Messages()[0].text, QStringLiteral("文件connect.txt不存在"));
    EXPECT_EQ(m_prompts.Messages()[0].icon, CPrompts::Icon::Question);
    EXPECT_EQ(m_prompts.Messages()[0].buttons, CPrompts::Buttons::Ok);
    EXPECT_EQ(logins, 0);
    EXPECT_EQ(app.MainFrame(), nullptr);
    EXPECT_EQ(VisibleWindows(), windows);
    EXPECT_FALSE(connection.GetDatabase()->IsOpen());
}

TEST_P(StartupTest, BadConnectionStringShowsTheDriversText) {
    QFile file(m_cwd.filePath(QStringLiteral("connect.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Driver=NoSuchDriverHere;");
    file.close();
    CDBConnection connection;
    CApricotApp app(connection, m_launcher);
    EXPECT_FALSE(
        app.InitInstance([](CDatabase*) { return std::optional<CLoggedIn>(CLoggedIn{}); }));
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_FALSE(m_prompts.Messages()[0].text.isEmpty());
    EXPECT_EQ(m_prompts.Messages()[0].icon, CPrompts::Icon::Question);
}

TEST_P(StartupTest, CancelledLoginEndsSilentlyAndTheConnectionCloses) {
    WriteConnectFile();
    const int sessionsBefore = GetParam() == Backend::PostgreSQL ? PgSessions() : 0;
    auto connection = std::make_unique<CDBConnection>();
    int sessionsDuringLogin = 0;
    {
        CApricotApp app(*connection, m_launcher);
        const bool started = app.InitInstance([&](CDatabase* db) {
            EXPECT_TRUE(db->IsOpen());
            if (GetParam() == Backend::PostgreSQL)
                sessionsDuringLogin = PgSessions();
            // The real dialog, cancelled as a user would.
            CLoginDlg dialog(db);
            dialog.show();
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("2")), Qt::LeftButton);
            return dialog.LoggedIn();
        });
        EXPECT_FALSE(started);
        EXPECT_EQ(app.MainFrame(), nullptr);
        EXPECT_EQ(app.ExitInstance(0), 0);
    }
    EXPECT_TRUE(m_prompts.Messages().empty());
    // Open until the very end, then closed with the connection object.
    EXPECT_TRUE(connection->GetDatabase()->IsOpen());
    connection.reset();
    if (GetParam() == Backend::PostgreSQL) {
        EXPECT_EQ(sessionsDuringLogin, sessionsBefore + 1);
        QElapsedTimer clock;
        clock.start();
        while (PgSessions() != sessionsBefore && clock.elapsed() < 5000)
            QTest::qWait(50);
        EXPECT_EQ(PgSessions(), sessionsBefore);
    }
}

TEST_P(StartupTest, LoginOpensTheMaximisedFrameWithTodaysSales) {
    Exec(QStringLiteral(
             "INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, 数量, "
             "销售类型, 实收金额, 坏帐) VALUES ('%1 08:30:00', '阿莫西林', '华北制药', '0.25g*24', "
             "'2030-01-01', 12.5, 1, '整盒销售', 12.5, 0)")
             .arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))));
    WriteConnectFile();
    CDBConnection connection;
    CApricotApp app(connection, m_launcher);
    const bool started = app.InitInstance([](CDatabase* db) {
        CLoginDlg dialog(db);
        dialog.show();
        dialog.findChild<QComboBox*>(QStringLiteral("1050"))->setEditText(QStringLiteral("管理员"));
        dialog.findChild<QLineEdit*>(QStringLiteral("1053"))->setText(QStringLiteral("737"));
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("1")), Qt::LeftButton);
        return dialog.LoggedIn();
    });
    ASSERT_TRUE(started);
    CMainFrame* frame = app.MainFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->statusBar()->findChild<QLabel*>(QStringLiteral("operator"))->text(),
              QStringLiteral("操作员：管理员（店长）"));
    EXPECT_TRUE(frame->CommandAction(cmd::SalesMaint)->isEnabled());
    EXPECT_TRUE(frame->windowState() & Qt::WindowMaximized);
    q_grid* grid = frame->View()->Grid();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->GetItemCount(), 1);
    EXPECT_EQ(grid->GetItemText(0, 1), QStringLiteral("阿莫西林"));

    // The backup of the day runs beside the open window and says in the status bar how it went.
    if (GetParam() == Backend::SQLite) {
        QElapsedTimer clock;
        clock.start();
        const auto said = [&] { return frame->statusBar()->currentMessage(); };
        while (!said().contains(QStringLiteral("自动备份完成：")) && clock.elapsed() < 30000)
            QTest::qWait(20);
        EXPECT_TRUE(said().contains(QStringLiteral("自动备份完成："))) << said().toStdString();
    }
    // The first login with the initial password offered to change it (declined here).
    ASSERT_EQ(m_prompts.Texts(), QStringList{CLoginDlg::kChangeInitialPassword});
    m_prompts.Clear();
    // 安全退出 asks nothing.
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    QTest::keyClick(frame, Qt::Key_Z, Qt::AltModifier);
    EXPECT_FALSE(frame->isVisible());
    EXPECT_TRUE(m_prompts.Messages().empty());
    app.ExitInstance(0);
    EXPECT_EQ(app.MainFrame(), nullptr);
    EXPECT_TRUE(connection.GetDatabase()->IsOpen());
    // The login and the logout each left their row; the password is kept hashed from now on,
    // a change of the operator's row with its own. (The first start of the day's backup, on
    // SQLite books, has its own row between them.)
    EXPECT_EQ(QueryRows(Db(), QStringLiteral("SELECT 操作员, 动作 FROM 日志 WHERE 动作<>'备份' "
                                             "ORDER BY 序号")),
              (std::vector<QStringList>{{QStringLiteral("管理员"), QStringLiteral("登录")},
                                        {QStringLiteral("管理员"), QStringLiteral("保存密码散列")},
                                        {QStringLiteral("管理员"), QStringLiteral("退出")}}));
    EXPECT_TRUE(QueryValue(Db(), QStringLiteral("SELECT 密码 FROM 操作员"))
                    .startsWith(QStringLiteral("$argon2id$")));
}

// A restore while the program is at its login would leave it on a file that is no longer the
// books: SQLite books are held from before they open (a restore under way keeps the program
// out), and books made before WAL are put into it.
TEST_P(StartupTest, SqliteBooksAreHeldFromBeforeTheLoginAndPutIntoWal) {
    WriteConnectFile();
    const QString books = QDir(Books().Folder()).filePath(QStringLiteral("apricot.db"));
    const bool sqlite = GetParam() == Backend::SQLite;
    int logins = 0;
    const auto login = [&](CDatabase* db) {
        ++logins;
        if (sqlite) {
            EXPECT_FALSE(CBooksLock::Take(books, CBooksLock::Mode::Exclusive));
            EXPECT_EQ(sqlitejournal::Mode(*db), QStringLiteral("wal"));
        }
        return std::optional<CLoggedIn>();
    };
    if (sqlite) {
        const auto restoring = CBooksLock::Take(books, CBooksLock::Mode::Exclusive);
        ASSERT_TRUE(restoring);
        CDBConnection connection;
        CApricotApp app(connection, m_launcher);
        EXPECT_FALSE(app.InitInstance(login));
        EXPECT_EQ(logins, 0);
        ASSERT_EQ(m_prompts.Messages().size(), 1u);
        EXPECT_TRUE(m_prompts.Messages()[0].text.contains(QStringLiteral("正在恢复")));
        EXPECT_FALSE(connection.GetDatabase()->IsOpen());
    }
    CDBConnection connection;
    CApricotApp app(connection, m_launcher);
    EXPECT_FALSE(app.InitInstance(login));
    EXPECT_EQ(logins, 1);
}

// 切换操作员: the login again; cancelled it keeps the operator, admitted it logs the one before
// out and the rights follow the new role. The pharmacist on duty stays, and leaves at the end.
TEST_P(StartupTest, SwitchingOperatorLogsTheOneBeforeOutAndKeepsThePharmacist) {
    WriteConnectFile();
    CDBConnection connection;
    CApricotApp app(connection, m_launcher);
    std::vector<std::optional<CLoggedIn>> logins = {
        CLoggedIn{QStringLiteral("张三"), ERole::Manager, {}}, std::nullopt,
        CLoggedIn{QStringLiteral("李四"), ERole::Clerk, {}}};
    std::size_t next = 0;
    ASSERT_TRUE(app.InitInstance([&](CDatabase*) { return logins.at(next++); }));
    CMainFrame* frame = app.MainFrame();
    const auto pane = [frame](const char* name) {
        return frame->statusBar()->findChild<QLabel*>(QString::fromUtf8(name))->text();
    };
    EXPECT_EQ(pane("pharmacist"), QStringLiteral("药师不在岗"));
    // 药师在岗 with the pharmacist's own password, who need not be the one logged in.
    Exec(QStringLiteral("INSERT INTO 操作员 (用户名, 密码) VALUES ('王五', 'pw')"));
    ASSERT_EQ(pharmacists::Set(&Db(), QStringLiteral("王五"), true, QStringLiteral("张三"),
                               QDateTime::currentDateTime()),
              QString());
    QTimer::singleShot(0, [] {
        auto* duty = qobject_cast<CPharmacistDutyDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(duty, nullptr);
        duty->findChild<QLineEdit*>(QStringLiteral("1122"))->setText(QStringLiteral("pw"));
        duty->OnOk();
        if (duty->isVisible())
            duty->reject();
    });
    frame->OnCommand(cmd::PharmacistOnDuty);
    EXPECT_EQ(pane("pharmacist"), QStringLiteral("在岗药师：王五"));
    for (const char* expected : {"操作员：张三（店长）", "操作员：李四（营业员）"}) {
        frame->OnCommand(cmd::SwitchOperator);
        EXPECT_EQ(pane("operator"), QString::fromUtf8(expected));
    }
    EXPECT_EQ(frame->View()->OperatorName(), QStringLiteral("李四"));
    EXPECT_FALSE(frame->CommandAction(cmd::Settings)->isEnabled());
    EXPECT_EQ(pane("pharmacist"), QStringLiteral("在岗药师：王五"));
    app.ExitInstance(0);
    EXPECT_EQ(QueryRows(Db(), QStringLiteral("SELECT 操作员, 动作, 对象 FROM 日志 WHERE 动作 IN "
                                             "('退出', '药师离岗') ORDER BY 序号")),
              (std::vector<QStringList>{{"张三", "退出", "操作员"},
                                        {"李四", "药师离岗", "王五"},
                                        {"李四", "退出", "操作员"}}));
    EXPECT_TRUE(m_prompts.Messages().empty());
}

APRICOT_INSTANTIATE_BACKENDS(StartupTest);

// First-version books: upgraded before anyone logs in, or the program does not run on them.
class StartupUpgradeTest : public StartupTest {
protected:
    CTestBooks::Tables InitialTables() const override { return CTestBooks::Tables::Version1; }
    QStringList Backups() {
        return QDir(Books().Folder() + QStringLiteral("/backups"))
            .entryList({QStringLiteral("apricot-*.db")}, QDir::Files);
    }
};

TEST_P(StartupUpgradeTest, OlderBooksAreUpgradedAfterABackupBeforeTheLogin) {
    WriteConnectFile();
    CDBConnection connection;
    CApricotApp app(connection, m_launcher);
    int logins = 0;
    EXPECT_FALSE(app.InitInstance([&](CDatabase* db) {
        ++logins;
        EXPECT_EQ(QueryValue(*db, QStringLiteral("SELECT 版本 FROM 账套版本")),
                  QString::number(booksversion::kNewest));
        return std::optional<CLoggedIn>();
    }));
    EXPECT_EQ(logins, 1);
    EXPECT_TRUE(m_prompts.Messages().empty());
    EXPECT_EQ(QueryRows(Db(), QStringLiteral("SELECT 用户名, 角色 FROM 操作员")),
              (std::vector<QStringList>{{QStringLiteral("管理员"), QStringLiteral("店长")}}));
    const std::vector<QStringList> log =
        QueryRows(Db(), QStringLiteral("SELECT 操作员, 动作, 对象, 内容 FROM 日志 ORDER BY 序号"));
    // The upgrade, then the 期初 and the catalogue it brings.
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[2].mid(0, 3), QStringList({QStringLiteral("系统"), QStringLiteral("药品目录"),
                                             QStringLiteral("药品")}));
    EXPECT_EQ(log[1].mid(0, 3),
              QStringList({QStringLiteral("系统"), QStringLiteral("期初"), QStringLiteral("存")}));
    EXPECT_EQ(log[0].mid(0, 3), QStringList({QStringLiteral("系统"), QStringLiteral("升级"),
                                             QStringLiteral("账套")}));
    if (GetParam() == Backend::SQLite) {
        ASSERT_EQ(Backups().size(), 1);
        EXPECT_TRUE(log[0][3].contains(Backups()[0])) << log[0][3].toStdString();
    }
}

TEST_P(StartupUpgradeTest, BooksThatCannotBeUpgradedEndTheProgramUnchanged) {
    WriteConnectFile();
    const bool sqlite = GetParam() == Backend::SQLite;
    // SQLite: no backup, no upgrade. A server: books newer than the program.
    if (sqlite) {
        QFile blocker(Books().Folder() + QStringLiteral("/backups"));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    } else {
        Exec(QStringLiteral("CREATE TABLE 账套版本 (版本 INTEGER NOT NULL)"));
        Exec(QStringLiteral("INSERT INTO 账套版本 (版本) VALUES (%1)")
                 .arg(booksversion::kNewest + 1));
    }
    CDBConnection connection;
    CApricotApp app(connection, m_launcher);
    int logins = 0;
    EXPECT_FALSE(app.InitInstance([&](CDatabase*) {
        ++logins;
        return std::optional<CLoggedIn>();
    }));
    EXPECT_EQ(logins, 0);
    EXPECT_EQ(app.MainFrame(), nullptr);
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    const QString text = m_prompts.Messages()[0].text;
    EXPECT_TRUE(text.contains(sqlite ? QStringLiteral("apricot-initdb --upgrade")
                                     : QStringLiteral("第 %1 版").arg(booksversion::kNewest + 1)))
        << text.toStdString();
    EXPECT_TRUE(Fails(QStringLiteral("SELECT 角色 FROM 操作员")));
}

APRICOT_INSTANTIATE_BACKENDS(StartupUpgradeTest);

} // namespace

#include "CApricotApp.h"

#include "CAboutDlg.h"
#include "CApricotView.h"
#include "CDBConnection.h"
#include "CMainFrame.h"
#include "artwork.h"
#include "background_backup.h"
#include "books_lock.h"
#include "connect_file.h"
#include "feedback.h"
#include "login_log.h"
#include "prompts.h"
#include "sqlite_journal.h"
#include "upgrade_books.h"
#include "window_manager.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QStatusBar>
#include <QStyleFactory>
#include <QTranslator>

CApricotApp::CApricotApp(CDBConnection& connection, CShellLauncher& launcher)
    : m_connection(connection), m_launcher(launcher) {}

CApricotApp::~CApricotApp() {
    m_pBackup.reset();
    // The connection outlives the frame the hook speaks to.
    m_connection.GetDatabase()->SetReconnectHook({});
}

bool CApricotApp::HoldBooks() {
    const std::optional<QByteArray> connect = ReadConnectFile(QStringLiteral("connect.txt"));
    // Without connect.txt the connection says what is wrong; a server's books need no lock.
    const QString books = connect ? SqliteBooksPath(QString::fromUtf8(*connect)) : QString();
    if (books.isEmpty())
        return true;
    bool held = false;
    m_pBooksLock =
        CBooksLock::Take(QFileInfo(books).absoluteFilePath(), CBooksLock::Mode::Shared, &held);
    if (m_pBooksLock || !held)
        return true; // a folder where no lock file can be made keeps working as before
    Prompts().Message(nullptr,
                      QStringLiteral("账套 %1 正在恢复，请等恢复完成后再启动程序").arg(books),
                      CPrompts::Icon::Warning, CPrompts::Buttons::Ok);
    return false;
}

std::optional<QString> CApricotApp::UpgradeBooksAtStart() {
    CDatabase& db = *m_connection.GetDatabase();
    const CUpgradeReport report =
        UpgradeBooks(db, QDateTime::currentDateTime(), QStringLiteral("系统"));
    if (report.ok)
        return report.upgraded ? report.message : QString();
    QString message =
        QStringLiteral("账套没有升级，程序不能在这套账上运行。\n%1").arg(report.message);
    if (!report.newer) {
        if (db.GetDialect() != CDatabase::Dialect::SQLite)
            message += QStringLiteral("\n服务器上的账套请先用数据库服务器的工具备份。");
        message +=
            QStringLiteral("\n请退出所有使用这套账的程序，然后运行：\napricot-initdb --upgrade %1")
                .arg(QDir::currentPath());
    }
    Prompts().Message(nullptr, message, CPrompts::Icon::Warning, CPrompts::Buttons::Ok);
    return std::nullopt;
}

bool CApricotApp::InitInstance(const LoginRunner& login) {
    // Says to a restore that this program works on the books, from before they are opened: a
    // restore during the login would leave this program on a file that is no longer the books.
    if (!HoldBooks())
        return false;
    QString message;
    if (!m_connection.Connect(message)) {
        Prompts().Message(nullptr, message, CPrompts::Icon::Question, CPrompts::Buttons::Ok);
        return false;
    }
    // Books made before WAL get it now; books another program holds get it at a later start.
    const QString walProblem = sqlitejournal::UseWal(*m_connection.GetDatabase());
    // Older books are brought up to date before anyone logs in; never run half-upgraded.
    const std::optional<QString> upgraded = UpgradeBooksAtStart();
    if (!upgraded)
        return false;
    const std::optional<CLoggedIn> who = login(m_connection.GetDatabase());
    if (!who)
        return false;
    m_login = login;

    auto* view = new CApricotView(m_connection.GetDatabase(), m_launcher);
    m_pMainFrame = std::make_unique<CMainFrame>(view);
    QObject::connect(m_pMainFrame.get(), &CMainFrame::aboutRequested, m_pMainFrame.get(),
                     [this] { OnAppAbout(); });
    QObject::connect(m_pMainFrame.get(), &CMainFrame::switchOperatorRequested, m_pMainFrame.get(),
                     [this] { OnSwitchOperator(); });
    m_pMainFrame->ShowOperator(who->name, who->role);
    // A server restarted under the program: the status bar says the connection is new.
    m_connection.GetDatabase()->SetReconnectHook([frame = m_pMainFrame.get()] {
        frame->statusBar()->showMessage(QStringLiteral("已重新连接数据库"));
    });
    view->OnInitialUpdate();
    // Without a window manager nothing maximises the frame: give it the screen by hand. Where
    // one runs, the frame keeps its normal size for when the user restores it.
    if (const QScreen* screen = m_pMainFrame->screen(); screen && !WindowManagerRunning())
        m_pMainFrame->setGeometry(screen->availableGeometry());
    m_pMainFrame->showMaximized();
    m_pMainFrame->activateWindow();
    // Nothing modal at start-up: what needs attention waits in the status bar. The first
    // backup of the day runs beside the counter and says there how it went.
    view->RefreshAlerts();
    QStringList status;
    if (!who->note.isEmpty())
        status << QStringLiteral("密码未能改为散列保存（%1）").arg(who->note);
    if (!upgraded->isEmpty())
        status << *upgraded;
    if (!walProblem.isEmpty())
        status << QStringLiteral("账套未能改用 WAL 日志方式（%1），下次启动时再试").arg(walProblem);
    m_pBackup = StartAutomaticBackup(
        *m_connection.GetDatabase(), QDateTime::currentDateTime(), who->name, m_pMainFrame.get(),
        [frame = m_pMainFrame.get(), status](const std::optional<CBackupOutcome>& backup) {
            if (backup)
                frame->statusBar()->showMessage(
                    (status + QStringList{QStringLiteral("自动") + backup->message})
                        .join(QStringLiteral("；")));
        });
    if (m_pBackup)
        status << QStringLiteral("正在自动备份，可以继续工作");
    if (!status.isEmpty())
        m_pMainFrame->statusBar()->showMessage(status.join(QStringLiteral("；")));
    return true;
}

int CApricotApp::ExitInstance(int code) {
    // A backup still running is stopped, not waited for; it leaves no half copy.
    m_pBackup.reset();
    m_connection.GetDatabase()->SetReconnectHook({});
    if (m_pMainFrame) {
        // A pharmacist still on duty leaves with the program, logged as when they leave.
        CApricotView* view = m_pMainFrame->View();
        view->OnDuty().GoOff(m_connection.GetDatabase(), view->OperatorName(),
                             QDateTime::currentDateTime());
        loginlog::Logout(m_connection.GetDatabase(), view->OperatorName());
    }
    m_pMainFrame.reset();
    return code;
}

const QString CApricotApp::kCloseEntriesFirst =
    QStringLiteral("请先关闭打开的登记窗口，再切换操作员");

void CApricotApp::OnSwitchOperator() {
    if (!m_pMainFrame || !m_login)
        return;
    // The entries are modal, so the menu is out of reach while one is open; should one ever
    // be, it must not go on under another operator's name.
    if (QApplication::activeModalWidget()) {
        Prompts().Tell(m_pMainFrame.get(), kCloseEntriesFirst, CPrompts::Icon::Warning);
        return;
    }
    CDatabase* db = m_connection.GetDatabase();
    const std::optional<CLoggedIn> who = m_login(db);
    if (!who)
        return;
    CApricotView* view = m_pMainFrame->View();
    if (const QString failure = loginlog::Logout(db, view->OperatorName()); !failure.isEmpty())
        m_pMainFrame->statusBar()->showMessage(
            QStringLiteral("%1 的退出没有写入操作日志：%2").arg(view->OperatorName(), failure));
    m_pMainFrame->ShowOperator(who->name, who->role);
    if (!who->note.isEmpty())
        m_pMainFrame->statusBar()->showMessage(
            QStringLiteral("密码未能改为散列保存（%1）").arg(who->note));
}

void CApricotApp::OnAppAbout() {
    CAboutDlg dialog(FeedbackAddress(), m_launcher, m_pMainFrame.get());
    dialog.exec();
}

void SetUpApplication() {
    QCoreApplication::setOrganizationName(QStringLiteral("apricot"));
    QCoreApplication::setApplicationName(QStringLiteral("apricot"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setWindowIcon(ProgramIcon());
    // 宋体 where it is installed, else the CJK font the install step puts in.
    QFont font(QStringLiteral("SimSun"), 9);
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Droid Sans Fallback")});
    QApplication::setFont(font);
    // Qt's own buttons and dialogs (是/否, the file dialog) in Chinese, like the rest.
    auto* qtTexts = new QTranslator(QCoreApplication::instance());
    if (qtTexts->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                      QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTexts);
}

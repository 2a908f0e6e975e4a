#pragma once
// Start-up and shutdown: connection, login, main frame; About.
#include "CLoginDlg.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

class CBackgroundBackup;
class CBooksLock;
class CDatabase;
class CDBConnection;
class CMainFrame;
class CShellLauncher;

class CApricotApp {
public:
    // Runs the login on the open connection; who was admitted, or nullopt.
    using LoginRunner = std::function<std::optional<CLoggedIn>(CDatabase*)>;

    // Both are borrowed: the connection outlives the application object.
    CApricotApp(CDBConnection& connection, CShellLauncher& launcher);
    ~CApricotApp();
    CApricotApp(const CApricotApp&) = delete;
    CApricotApp& operator=(const CApricotApp&) = delete;

    // Connect, log in, show the main frame maximised with today's sales. False ends the
    // program: the connection failed (the message was shown) or the login was not confirmed.
    bool InitInstance(const LoginRunner& login);
    // The frame goes first; the connection closes after the application object, at exit.
    int ExitInstance(int code);

    CMainFrame* MainFrame() const { return m_pMainFrame.get(); }
    // 关于...: the About box, modal.
    void OnAppAbout();
    // 切换操作员...: the login again; on success the operator logged in is logged out and the
    // frame and the rights follow the new one. Cancel keeps the current operator; the
    // pharmacist on duty stays on duty.
    void OnSwitchOperator();
    static const QString kCloseEntriesFirst;

private:
    // Takes the lock of SQLite books that connect.txt names; false (and said) while a restore
    // holds them.
    bool HoldBooks();
    // Brings older books to the newest version (SQLite: after a backup) before the login. The
    // status line to show (empty when there was nothing to do), or nullopt when the books
    // cannot be used (said).
    std::optional<QString> UpgradeBooksAtStart();

    CDBConnection& m_connection;
    CShellLauncher& m_launcher;
    LoginRunner m_login; // the start's login, run again by 切换操作员
    std::unique_ptr<CMainFrame> m_pMainFrame;
    // The backup of the day while it runs beside the program; stopped before the frame goes.
    std::unique_ptr<CBackgroundBackup> m_pBackup;
    // Held from before the books open until the program ends, on SQLite books.
    std::unique_ptr<CBooksLock> m_pBooksLock;
};

// The QApplication's names, style and font, before any window exists.
void SetUpApplication();

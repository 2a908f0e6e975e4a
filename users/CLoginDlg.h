#pragma once
// 登陆对话框: names an operator and checks the password before the main window opens.
#include "login_check.h"

#include <QDialog>

#include <optional>

class CDatabase;
class QComboBox;

// Who the login admitted, for the rest of the session.
struct CLoggedIn {
    QString name;
    ERole role = ERole::Clerk;
    // Why a password still kept in plain text could not be replaced by its hash; usually empty.
    QString note;
};
class QLabel;
class QLineEdit;
class QPushButton;

class CLoginDlg : public QDialog {
    Q_OBJECT
public:
    // Reads the operators once, through `db` (borrowed).
    explicit CLoginDlg(CDatabase* db, QWidget* parent = nullptr);

    const CLoginCheck& Check() const { return m_check; }
    // Once admitted: who, and why a password still kept in plain text could not be replaced by
    // its hash (empty when it was, or needed not be).
    const QString& AdmittedName() const { return m_strUser; }
    ERole AdmittedRole() const { return m_check.RoleOf(m_strUser); }
    const QString& RehashFailure() const { return m_strRehashFailure; }
    // Who was admitted; nullopt while nobody is (cancelled, or not yet).
    std::optional<CLoggedIn> LoggedIn() const;
    // Asked after the first login of 管理员 with the password new books are made with.
    static const QString kChangeInitialPassword;
    static bool IsInitialPassword(const QString& name, const QString& password);
    // How long "登陆成功！" stays before the dialog closes.
    static constexpr int kSuccessPauseMs = 500;

private:
    void BuildControls();
    void LoadOperators(CDatabase* db);
    void OnLogin();
    // Controls to fields (true) or fields to controls (false).
    void UpdateData(bool save);
    void PauseWithStatusVisible();

    CDatabase* m_pDatabase;
    CLoginCheck m_check;
    QString m_strRehashFailure;
    QString m_strUser;
    QString m_strPassword;

    QComboBox* m_pUserBox = nullptr;
    QLineEdit* m_pPasswordBox = nullptr;
    QLabel* m_pInitialHint = nullptr;
    QLabel* m_pStatus = nullptr;
    QPushButton* m_pLogin = nullptr;
    QPushButton* m_pCancel = nullptr;
};

// Runs the login modally without an owner; who was admitted, or nullopt.
std::optional<CLoggedIn> RunLoginDialog(CDatabase* db);

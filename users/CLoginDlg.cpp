#include "CLoginDlg.h"

#include "CChangePasswordDlg.h"
#include "login_log.h"
#include "operator_passwords.h"
#include "prompts.h"

#include "artwork.h"
#include "banner_frame.h"
#include "reported_statement.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

CLoginDlg::CLoginDlg(CDatabase* db, QWidget* parent) : QDialog(parent), m_pDatabase(db) {
    setObjectName(QStringLiteral("206"));
    setWindowTitle(QStringLiteral("登陆对话框"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(ProgramIcon());
    BuildControls();

    m_pStatus->setText(CLoginCheck::OpeningStatus());
    LoadOperators(db);
}

void CLoginDlg::BuildControls() {
    m_pUserBox = new QComboBox(this);
    m_pUserBox->setObjectName(QStringLiteral("1050"));
    m_pUserBox->setEditable(true);
    // A typed name is compared as typed: no completion, and Enter adds nothing to the list.
    m_pUserBox->setCompleter(nullptr);
    m_pUserBox->setInsertPolicy(QComboBox::NoInsert);
    m_pUserBox->setMinimumWidth(180);

    m_pPasswordBox = new QLineEdit(this);
    m_pPasswordBox->setObjectName(QStringLiteral("1053"));
    m_pPasswordBox->setEchoMode(QLineEdit::Password);

    auto* fields = new QGridLayout;
    fields->setColumnStretch(1, 1);
    fields->setHorizontalSpacing(8);
    fields->addWidget(new QLabel(QStringLiteral("用户："), this), 0, 0);
    fields->addWidget(m_pUserBox, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("初始用户:管理员"), this), 0, 2);
    fields->addWidget(new QLabel(QStringLiteral("密码："), this), 1, 0);
    fields->addWidget(m_pPasswordBox, 1, 1);
    m_pInitialHint = new QLabel(QStringLiteral("初始密码:") + CLoginCheck::kInitialPassword, this);
    m_pInitialHint->setObjectName(QStringLiteral("initialPasswordHint"));
    fields->addWidget(m_pInitialHint, 1, 2);

    m_pStatus = new QLabel(this);
    m_pStatus->setObjectName(QStringLiteral("1060"));
    m_pLogin = new QPushButton(QStringLiteral("登陆"), this);
    m_pLogin->setObjectName(QStringLiteral("1"));
    m_pLogin->setDefault(true);
    m_pCancel = new QPushButton(QStringLiteral("取消"), this);
    m_pCancel->setObjectName(QStringLiteral("2"));
    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(8);
    bottom->addWidget(m_pStatus, 1);
    bottom->addWidget(m_pLogin);
    bottom->addWidget(m_pCancel);

    BuildBannerFrame(this,
                     {420,
                      QStringLiteral("只有经过授权的用户，才能被系统接纳，在下面选择一个用户，"
                                     "然后键入密码，按【登陆】按钮进行登陆。"),
                      6, false},
                     fields, bottom);

    connect(m_pLogin, &QPushButton::clicked, this, &CLoginDlg::OnLogin);
    connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CLoginDlg::LoadOperators(CDatabase* db) {
    // Read once; when the table cannot be read the box stays empty and nobody is admitted.
    const std::optional<CResultTable> rows = RunStatementReported(
        db, QStringLiteral("操作员"), QStringLiteral("SELECT * FROM 操作员"), this);
    if (!rows)
        return;
    m_check = CLoginCheck::FromResult(*rows);
    m_pUserBox->addItems(m_check.SortedNames());
    // Once 管理员's password is changed, the hint would only help a stranger; its place stays.
    if (!m_check.InitialPasswordInUse()) {
        m_pInitialHint->setMinimumSize(m_pInitialHint->sizeHint());
        m_pInitialHint->clear();
    }
    // Most counters have one operator: offer the first name, ready for the password.
    if (m_pUserBox->count() > 0) {
        m_pUserBox->setCurrentIndex(0);
        m_pPasswordBox->setFocus();
    }
}

void CLoginDlg::UpdateData(bool save) {
    if (save) {
        m_strUser = m_pUserBox->currentText();
        m_strPassword = m_pPasswordBox->text();
    } else {
        m_pUserBox->setEditText(m_strUser);
        m_pPasswordBox->setText(m_strPassword);
    }
}

void CLoginDlg::OnLogin() {
    UpdateData(true);
    const CLoginCheck::Outcome outcome = m_check.Check(m_strUser, m_strPassword);
    // Every attempt leaves its row; one that cannot be written does not stop the login.
    loginlog::Attempt(m_pDatabase, m_strUser, outcome);
    const CLoginCheck::Step step = CLoginCheck::StepFor(outcome);
    if (step.clearPassword) {
        m_strPassword.clear();
        UpdateData(false);
    }
    m_pStatus->setText(step.status);
    switch (step.focus) {
    case CLoginCheck::Focus::UserBox:
        m_pUserBox->setFocus();
        break;
    case CLoginCheck::Focus::PasswordBox:
        m_pPasswordBox->setFocus();
        break;
    case CLoginCheck::Focus::None:
        break;
    }
    if (step.admit) {
        // A password still kept in plain text (older books) is kept as its hash from now on.
        const bool plain = m_check.StoredInPlain(m_strUser);
        if (plain)
            m_strRehashFailure =
                operatorpasswords::Store(m_pDatabase, m_strUser, m_strPassword).message;
        PauseWithStatusVisible();
        if (plain && IsInitialPassword(m_strUser, m_strPassword) &&
            Prompts().Message(this, kChangeInitialPassword, CPrompts::Icon::Question,
                              CPrompts::Buttons::YesNo) == CPrompts::Answer::Yes) {
            CChangePasswordDlg change(m_pDatabase, m_strUser, this, m_strPassword);
            change.exec();
        }
        accept();
    }
}

const QString CLoginDlg::kChangeInitialPassword =
    QStringLiteral("您正在使用初始密码，任何人都能在登陆对话框上看到它。现在设置一个新密码吗？");

bool CLoginDlg::IsInitialPassword(const QString& name, const QString& password) {
    return name == CLoginCheck::kInitialUser && password == CLoginCheck::kInitialPassword;
}

void CLoginDlg::PauseWithStatusVisible() {
    m_pStatus->repaint();
    // Paint and window-system events go on; the user's clicks and keys wait.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kSuccessPauseMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(10);
    }
}

std::optional<CLoggedIn> CLoginDlg::LoggedIn() const {
    if (result() != QDialog::Accepted)
        return std::nullopt;
    return CLoggedIn{m_strUser, AdmittedRole(), m_strRehashFailure};
}

std::optional<CLoggedIn> RunLoginDialog(CDatabase* db) {
    CLoginDlg dialog(db);
    dialog.exec();
    return dialog.LoggedIn();
}

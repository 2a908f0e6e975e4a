// The login dialog on both backends: the operator list as read from 操作员, and what each
// attempt does to the status line, the fields and the focus.
#include "CLoginDlg.h"
#include "CTestBooks.h"
#include "operator_passwords.h"
#include "query_rows.h"
#include "recording_prompts.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class LoginDlgTest : public CBooksTest {
protected:
    void Open() {
        m_dialog = std::make_unique<CLoginDlg>(&Db());
        m_dialog->show();
        m_dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
    }
    QComboBox* UserBox() const { return m_dialog->findChild<QComboBox*>(QStringLiteral("1050")); }
    QLineEdit* PasswordBox() const {
        return m_dialog->findChild<QLineEdit*>(QStringLiteral("1053"));
    }
    QString Status() const { return m_dialog->findChild<QLabel*>(QStringLiteral("1060"))->text(); }
    QStringList Names() const {
        QStringList names;
        for (int i = 0; i < UserBox()->count(); ++i)
            names << UserBox()->itemText(i);
        return names;
    }
    void Attempt(const QString& name, const QString& password) {
        UserBox()->setEditText(name);
        PasswordBox()->setText(password);
        QTest::mouseClick(m_dialog->findChild<QPushButton*>(QStringLiteral("1")), Qt::LeftButton);
    }
    bool FocusInUserBox() const {
        QWidget* focus = m_dialog->focusWidget();
        return focus == UserBox() || UserBox()->isAncestorOf(focus);
    }
    bool Admitted() const {
        return !m_dialog->isVisible() && m_dialog->result() == QDialog::Accepted;
    }

    CRecordingPrompts m_prompts;
    std::unique_ptr<CLoginDlg> m_dialog;
};

TEST_P(LoginDlgTest, NewBooksOfferTheFirstOperator) {
    Open();
    EXPECT_EQ(m_dialog->windowTitle(), QStringLiteral("登陆对话框"));
    EXPECT_EQ(Status(), QStringLiteral("输入用户名和密码"));
    EXPECT_EQ(Names(), QStringList{QStringLiteral("管理员")});
    EXPECT_TRUE(UserBox()->isEditable());
    EXPECT_EQ(PasswordBox()->echoMode(), QLineEdit::Password);
    auto* login = m_dialog->findChild<QPushButton*>(QStringLiteral("1"));
    EXPECT_EQ(login->text(), QStringLiteral("登陆"));
    EXPECT_TRUE(login->isDefault());
    EXPECT_EQ(m_dialog->findChild<QPushButton*>(QStringLiteral("2"))->text(),
              QStringLiteral("取消"));
    QStringList labels;
    for (QLabel* label : m_dialog->findChildren<QLabel*>())
        labels << label->text();
    for (const char* text : {"用户：", "密码：", "初始用户:管理员", "初始密码:737"})
        EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_P(LoginDlgTest, NoPasswordIsRefusedAndTheHintLeavesWithTheInitialPassword) {
    Exec(QStringLiteral("INSERT INTO 操作员 (用户名, 密码) VALUES ('新人', '')"));
    const auto hint = [this] {
        return m_dialog->findChild<QLabel*>(QStringLiteral("initialPasswordHint"));
    };
    Open();
    EXPECT_EQ(hint()->text(), QStringLiteral("初始密码:737"));
    const QSize place = hint()->size();
    for (const QString& typed : {QString(), QStringLiteral("737")}) {
        Attempt(QStringLiteral("新人"), typed);
        EXPECT_EQ(Status(), CLoginCheck::kNoPasswordStatus);
        EXPECT_TRUE(m_dialog->isVisible());
    }
    EXPECT_EQ(QueryRows(Db(), QStringLiteral("SELECT 操作员, 动作, 内容 FROM 日志 ORDER BY 序号")),
              (std::vector<QStringList>(2, {"", "登录失败", "用户名“新人”没有设置密码"})));
    // Stored as its hash, as 修改密码 stores it: the hint goes, its place stays.
    Attempt(QStringLiteral("管理员"), QStringLiteral("737"));
    ASSERT_TRUE(Admitted());
    for (const char* password : {"737", "n3w"}) {
        EXPECT_TRUE(
            QueryValue(Db(), QStringLiteral("SELECT 密码 FROM 操作员 WHERE 用户名='管理员'"))
                .startsWith(QStringLiteral("$argon2id$")));
        Open();
        EXPECT_EQ(hint()->text().isEmpty(), QString::fromUtf8(password) != "737") << password;
        EXPECT_EQ(hint()->size(), place);
        m_dialog->reject();
        ASSERT_TRUE(operatorpasswords::Store(&Db(), QStringLiteral("管理员"), QStringLiteral("n3w"))
                        .stored);
    }
}

TEST_P(LoginDlgTest, TypingThePasswordAndEnterAdmitsAfterAPause) {
    Open();
    QTest::keyClicks(PasswordBox(), QStringLiteral("737"));
    QElapsedTimer clock;
    clock.start();
    QTest::keyClick(PasswordBox(), Qt::Key_Return);
    EXPECT_GE(clock.elapsed(), CLoginDlg::kSuccessPauseMs);
    EXPECT_EQ(Status(), QStringLiteral("登陆成功！"));
    EXPECT_TRUE(Admitted());
}

TEST_P(LoginDlgTest, WrongPasswordKeepsTheNameAndClearsThePassword) {
    Open();
    Attempt(QStringLiteral("管理员"), QStringLiteral("738"));
    EXPECT_EQ(Status(), QStringLiteral("密码错误！"));
    EXPECT_EQ(UserBox()->currentText(), QStringLiteral("管理员"));
    EXPECT_TRUE(PasswordBox()->text().isEmpty());
    EXPECT_EQ(m_dialog->focusWidget(), PasswordBox());
    EXPECT_TRUE(m_dialog->isVisible());
    // Any number of attempts; the right one still gets in.
    Attempt(QStringLiteral("管理员"), QStringLiteral("737"));
    EXPECT_TRUE(Admitted());
}

TEST_P(LoginDlgTest, UnknownNameClearsThePasswordAndGoesBackToTheName) {
    Open();
    Attempt(QStringLiteral("管理员 "), QStringLiteral("737")); // typed with a trailing blank
    EXPECT_EQ(Status(), QStringLiteral("用户不存在！"));
    EXPECT_TRUE(PasswordBox()->text().isEmpty());
    EXPECT_TRUE(FocusInUserBox());
    EXPECT_TRUE(m_dialog->isVisible());
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_P(LoginDlgTest, StoredTrailingBlanksAreNotPartOfTheNameOrPassword) {
    Exec(QStringLiteral("INSERT INTO 操作员 (用户名, 密码) VALUES ('张三  ', 'ab  ')"));
    Open();
    EXPECT_TRUE(Names().contains(QStringLiteral("张三")));
    Attempt(QStringLiteral("张三"), QStringLiteral("ab"));
    EXPECT_TRUE(Admitted());
}

TEST_P(LoginDlgTest, EmptyNameMatchesAnOperatorWithEmptyName) {
    Exec(QStringLiteral("INSERT INTO 操作员 (用户名, 密码) VALUES ('', 'x')"));
    Open();
    Attempt(QString(), QStringLiteral("y"));
    EXPECT_EQ(Status(), QStringLiteral("密码错误！"));
    Attempt(QString(), QStringLiteral("x"));
    EXPECT_TRUE(Admitted());
}

TEST_P(LoginDlgTest, NamesAndPasswordsAreCaseSensitive) {
    Exec(QStringLiteral("INSERT INTO 操作员 (用户名, 密码) VALUES ('Clerk', 'Abc')"));
    Open();
    Attempt(QStringLiteral("clerk"), QStringLiteral("Abc"));
    EXPECT_EQ(Status(), QStringLiteral("用户不存在！"));
    Attempt(QStringLiteral("Clerk"), QStringLiteral("abc"));
    EXPECT_EQ(Status(), QStringLiteral("密码错误！"));
    Attempt(QStringLiteral("Clerk"), QStringLiteral("Abc"));
    EXPECT_TRUE(Admitted());
}

TEST_P(LoginDlgTest, UserBoxListsEveryOperatorSorted) {
    Exec(QStringLiteral("INSERT INTO 操作员 (用户名, 密码) VALUES ('张三', '1')"));
    Exec(QStringLiteral("INSERT INTO 操作员 (用户名, 密码) VALUES ('阿明', '2')"));
    Exec(QStringLiteral("INSERT INTO 操作员 (用户名, 密码) VALUES ('李四', '3')"));
    Open();
    EXPECT_EQ(Names(), (QStringList{"阿明", "管理员", "李四", "张三"}));
    // Picking a name from the list is the same as typing it.
    UserBox()->setCurrentIndex(2);
    PasswordBox()->setText(QStringLiteral("3"));
    QTest::mouseClick(m_dialog->findChild<QPushButton*>(QStringLiteral("1")), Qt::LeftButton);
    EXPECT_TRUE(Admitted());
}

TEST_P(LoginDlgTest, OperatorsAreReadOnceWhenTheDialogOpens) {
    Open();
    Exec(QStringLiteral("INSERT INTO 操作员 (用户名, 密码) VALUES ('新人', '1')"));
    Exec(QStringLiteral("UPDATE 操作员 SET 密码='999' WHERE 密码='737'"));
    Attempt(QStringLiteral("新人"), QStringLiteral("1"));
    EXPECT_EQ(Status(), QStringLiteral("用户不存在！"));
    Attempt(QStringLiteral("管理员"), QStringLiteral("737"));
    EXPECT_TRUE(Admitted());
}

TEST_P(LoginDlgTest, UnreadableOperatorTableAdmitsNobody) {
    Exec(QStringLiteral("DROP TABLE 操作员"));
    Open();
    EXPECT_TRUE(Names().isEmpty());
    EXPECT_TRUE(UserBox()->currentText().isEmpty());
    // The failed load is reported as the grid reports it; the dialog itself stays usable.
    EXPECT_EQ(m_prompts.Messages().size(), 1u);
    Attempt(QStringLiteral("管理员"), QStringLiteral("737"));
    EXPECT_EQ(Status(), QStringLiteral("用户不存在！"));
    Attempt(QString(), QString());
    EXPECT_EQ(Status(), QStringLiteral("用户不存在！"));
    QTest::mouseClick(m_dialog->findChild<QPushButton*>(QStringLiteral("2")), Qt::LeftButton);
    EXPECT_EQ(m_dialog->result(), QDialog::Rejected);
}

TEST_P(LoginDlgTest, CancelEscapeAndCloseReject) {
    Open();
    QTest::mouseClick(m_dialog->findChild<QPushButton*>(QStringLiteral("2")), Qt::LeftButton);
    EXPECT_FALSE(m_dialog->isVisible());
    EXPECT_EQ(m_dialog->result(), QDialog::Rejected);

    Open();
    QTest::keyClick(m_dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(m_dialog->isVisible());
    EXPECT_EQ(m_dialog->result(), QDialog::Rejected);

    Open();
    m_dialog->close();
    EXPECT_EQ(m_dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(m_prompts.Messages().empty());
}

APRICOT_INSTANTIATE_BACKENDS(LoginDlgTest);

} // namespace

// Passwords in the books on both backends: a plain one replaced by its hash at the login that
// uses it, and 修改密码 that checks the old one and stores only a hash.
#include "CDBException.h"
#include "CLoginDlg.h"
#include "CTestBooks.h"
#include "operator_passwords.h"
#include "password_hash.h"
#include "query_rows.h"
#include "recording_prompts.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class OperatorPasswordsTest : public CBooksTest {
protected:
    QString Stored(const char* name) {
        return QueryValue(Db(), QStringLiteral("SELECT 密码 FROM 操作员 WHERE 用户名='%1'")
                                    .arg(QString::fromUtf8(name)));
    }
    // Logs in through the dialog; true when admitted.
    bool LogIn(const QString& name, const QString& password) {
        CLoginDlg dialog(&Db());
        dialog.show();
        dialog.findChild<QComboBox*>(QStringLiteral("1050"))->setEditText(name);
        dialog.findChild<QLineEdit*>(QStringLiteral("1053"))->setText(password);
        dialog.findChild<QPushButton*>(QStringLiteral("1"))->click();
        EXPECT_TRUE(dialog.RehashFailure().isEmpty()) << dialog.RehashFailure().toStdString();
        return dialog.result() == QDialog::Accepted;
    }
    CRecordingPrompts m_prompts;
};

TEST_P(OperatorPasswordsTest, APlainPasswordIsHashedAtTheLoginThatUsesIt) {
    Exec(QStringLiteral("INSERT INTO 操作员 (用户名, 密码) VALUES ('张三', 'pw')"));
    EXPECT_FALSE(LogIn(QStringLiteral("张三"), QStringLiteral("px")));
    EXPECT_EQ(Stored("张三"), "pw");
    EXPECT_TRUE(LogIn(QStringLiteral("张三"), QStringLiteral("pw")));
    EXPECT_TRUE(passwordhash::IsHash(Stored("张三"))) << Stored("张三").toStdString();
    // The same password still admits, now against its hash; the hash itself does not.
    EXPECT_TRUE(LogIn(QStringLiteral("张三"), QStringLiteral("pw")));
    EXPECT_FALSE(LogIn(QStringLiteral("张三"), Stored("张三")));
}

TEST_P(OperatorPasswordsTest, ChangeChecksTheOldOneAndStoresOnlyAHash) {
    Exec(QStringLiteral("INSERT INTO 操作员 (用户名, 密码) VALUES ('张三', 'pw')"));
    using namespace operatorpasswords;
    struct Case {
        const char *old, *typed, *repeated;
        QString said;
    };
    const Case refused[] = {{"px", "新密码", "新密码", kWrongOldPassword},
                            {"pw", "", "", kEmptyPassword},
                            {"pw", "新密码", "新密吗", kNotRepeated}};
    for (const Case& c : refused) {
        const CPasswordOutcome outcome =
            Change(&Db(), QStringLiteral("张三"), QString::fromUtf8(c.old),
                   QString::fromUtf8(c.typed), QString::fromUtf8(c.repeated));
        EXPECT_FALSE(outcome.stored);
        EXPECT_EQ(outcome.message, c.said);
        EXPECT_EQ(Stored("张三"), "pw");
    }
    const CPasswordOutcome changed = Change(&Db(), QStringLiteral("张三"), QStringLiteral("pw"),
                                            QStringLiteral("新密码"), QStringLiteral("新密码"));
    EXPECT_TRUE(changed.stored);
    EXPECT_EQ(changed.message, QString());
    EXPECT_FALSE(Stored("张三").contains(QStringLiteral("新密码")));
    EXPECT_TRUE(LogIn(QStringLiteral("张三"), QStringLiteral("新密码")));
    EXPECT_FALSE(LogIn(QStringLiteral("张三"), QStringLiteral("pw")));
}

TEST_P(OperatorPasswordsTest, EveryAttemptIsLoggedWithTheNameTypedNeverThePassword) {
    Exec(QStringLiteral("INSERT INTO 操作员 (用户名, 密码) VALUES ('张三', 'pw')"));
    EXPECT_FALSE(LogIn(QStringLiteral("张三"), QStringLiteral("猜的密码")));
    EXPECT_FALSE(LogIn(QStringLiteral("李四"), QStringLiteral("猜的密码")));
    EXPECT_TRUE(LogIn(QStringLiteral("张三"), QStringLiteral("pw")));
    EXPECT_EQ(QueryRows(Db(), QStringLiteral("SELECT 操作员, 动作, 内容 FROM 日志 ORDER BY 序号")),
              (std::vector<QStringList>{{"", "登录失败", "用户名“张三”密码错误"},
                                        {"", "登录失败", "用户名“李四”不存在"},
                                        {"张三", "登录", "张三 登录"},
                                        // The row of 操作员 changes: logged, as every change.
                                        {"张三", "保存密码散列", "张三 的密码由明文改存为散列"}}));
    EXPECT_EQ(QueryValue(Db(), QStringLiteral("SELECT COUNT(*) FROM 日志 WHERE 内容 LIKE '%猜%'")),
              "0");
}

// The commit reaches the books but its reply is lost (on PostgreSQL the connection is really
// ended): the change is found by its log row's number and told as recorded, in Chinese first.
TEST_P(OperatorPasswordsTest, AChangeWhoseReplyIsLostIsFoundRecorded) {
    Exec(QStringLiteral("INSERT INTO 操作员 (用户名, 密码) VALUES ('张三', 'pw')"));
    std::unique_ptr<CDatabase> killer;
    if (Books().GetBackend() == Backend::PostgreSQL)
        killer = Books().OpenAnotherConnection();
    bool cut = false;
    Db().SetStatementHook([&](const QString& sql) {
        if (cut || !sql.startsWith(QStringLiteral("COMMIT")))
            return;
        cut = true;
        if (killer)
            killer->ExecuteSQL(
                QStringLiteral("SELECT pg_terminate_backend(pid, 5000) FROM pg_stat_activity "
                               "WHERE datname=current_database() AND pid<>pg_backend_pid()"));
        throw CDBException(QStringLiteral("[test] 回复前连接中断\n"), QStringLiteral("08S01"));
    });
    const operatorpasswords::CPasswordOutcome outcome =
        operatorpasswords::Change(&Db(), QStringLiteral("张三"), QStringLiteral("pw"),
                                  QStringLiteral("新密码"), QStringLiteral("新密码"));
    Db().SetStatementHook({});
    ASSERT_TRUE(cut);
    EXPECT_TRUE(outcome.stored);
    EXPECT_EQ(outcome.message,
              QStringLiteral("已记录（连接曾中断，已核对）（[test] 回复前连接中断）\n"
                             "密码已修改，新密码从现在起有效。"));
    EXPECT_TRUE(LogIn(QStringLiteral("张三"), QStringLiteral("新密码")));
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 日志 WHERE 动作='修改密码' AND 单号<>''"),
              "1");
}

APRICOT_INSTANTIATE_BACKENDS(OperatorPasswordsTest);

} // namespace

// The pharmacists on both backends: the flag with its log row, and going on duty with the
// pharmacist's own password.
#include "CPharmacistDutyDlg.h"
#include "CTestBooks.h"
#include "pharmacist_duty.h"
#include "pharmacists.h"
#include "query_rows.h"
#include "recording_prompts.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class PharmacistsTest : public CBooksTest {
protected:
    void SetUp() override {
        CBooksTest::SetUp();
        if (!m_books)
            return;
        Exec(QStringLiteral("INSERT INTO 操作员 (用户名, 密码) VALUES ('张三', 'pw'), "
                            "('李四', 'pw2'), ('王五', 'pw3')"));
    }
    std::vector<QStringList> LogRows(const char* like) {
        return QueryRows(Db(), QStringLiteral("SELECT 操作员, 动作, 对象 FROM 日志 WHERE 动作 "
                                              "LIKE '%1' ORDER BY 序号")
                                   .arg(QString::fromUtf8(like)));
    }
    QString Set(const char* name, bool pharmacist) {
        return pharmacists::Set(&Db(), QString::fromUtf8(name), pharmacist,
                                QStringLiteral("管理员"), QDateTime::currentDateTime());
    }
    CRecordingPrompts m_prompts;
};

TEST_P(PharmacistsTest, SetIsLoggedOnceAndClearingRemovesTheRow) {
    EXPECT_EQ(Set("张三", true), QString());
    EXPECT_EQ(Set("张三", true), QString()); // already so: nothing more written
    EXPECT_FALSE(Set("无名", true).isEmpty());
    EXPECT_EQ(pharmacists::List(&Db()), QStringList{QStringLiteral("张三")});
    EXPECT_EQ(Set("张三", false), QString());
    EXPECT_EQ(Set("张三", false), QString());
    EXPECT_EQ(pharmacists::List(&Db()), QStringList());
    EXPECT_EQ(LogRows("%执业药师"), (std::vector<QStringList>{{"管理员", "设为执业药师", "张三"},
                                                              {"管理员", "取消执业药师", "张三"}}));
    // Each names the row it wrote, so the books can be held against the log.
    EXPECT_EQ(QueryValue(Db(), QStringLiteral("SELECT COUNT(*) FROM 日志 WHERE 行校验 LIKE "
                                              "'%执业药师%'")),
              QStringLiteral("2"));
}

// A wrong password is said and the dialog stays; a second pharmacist replaces the first, the
// one before logged off first; someone not flagged never comes on duty.
TEST_P(PharmacistsTest, OnlyAPharmacistsOwnPasswordPutsThemOnDuty) {
    ASSERT_EQ(Set("张三", true), QString());
    ASSERT_EQ(Set("李四", true), QString());
    const auto names = pharmacists::List(&Db());
    ASSERT_TRUE(names);
    CPharmacistDutyDlg dialog(&Db(), *names, QString(), QStringLiteral("王五"));
    dialog.show();
    dialog.findChild<QComboBox*>(QStringLiteral("1121"))->setCurrentText(QStringLiteral("张三"));
    auto* password = dialog.findChild<QLineEdit*>(QStringLiteral("1122"));
    for (const char* typed : {"pw2", ""}) {
        password->setText(QString::fromUtf8(typed));
        dialog.OnOk();
        EXPECT_TRUE(dialog.isVisible());
    }
    EXPECT_EQ(m_prompts.Texts(), QStringList(2, pharmacistduty::kWrongPassword));
    EXPECT_TRUE(LogRows("药师%").empty());
    password->setText(QStringLiteral("pw"));
    dialog.OnOk();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.OnDuty(), QStringLiteral("张三"));

    const QDateTime now = QDateTime::currentDateTime();
    using pharmacistduty::GoOnDuty;
    EXPECT_FALSE(GoOnDuty(&Db(), QStringLiteral("王五"), QStringLiteral("pw3"),
                          QStringLiteral("张三"), QStringLiteral("王五"), now)
                     .isEmpty());
    EXPECT_EQ(GoOnDuty(&Db(), QStringLiteral("李四"), QStringLiteral("pw2"), QStringLiteral("张三"),
                       QStringLiteral("王五"), now),
              QString());
    EXPECT_EQ(LogRows("药师%"), (std::vector<QStringList>{{"王五", "药师在岗", "张三"},
                                                          {"王五", "药师离岗", "张三"},
                                                          {"王五", "药师在岗", "李四"}}));
}

TEST_P(PharmacistsTest, WithoutPharmacistsTheDutyDialogSaysWhyAndDoesNotOpen) {
    // Should it open after all, it is closed rather than waited for.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    closer.start(50);
    EXPECT_EQ(CPharmacistDutyDlg::Run(&Db(), QString(), QStringLiteral("张三"), nullptr),
              std::nullopt);
    EXPECT_EQ(m_prompts.Texts(),
              QStringList{
                  QStringLiteral("还没有执业药师：请店长在【系统设置】中勾选操作员的“执业药师”")});
}

APRICOT_INSTANTIATE_BACKENDS(PharmacistsTest);

} // namespace

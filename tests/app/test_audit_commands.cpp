// 操作日志 and 校验日志 for a 店长 on both backends: the period's rows in the main grid, newest
// first, and the check's verdict through the prompts.
#include "CApricotView.h"
#include "CTestBooks.h"
#include "audit_log.h"
#include "command_ids.h"
#include "q_grid.h"
#include "recording_launcher.h"
#include "recording_prompts.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class AuditCommandsTest : public CBooksTest {};

TEST_P(AuditCommandsTest, TheLogOfTodayShowsNewestFirstAndChecksWhole) {
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime today(now.date(), QTime(0, 0, 1));
    auditlog::Append(Db(), {"管理员", "登录", "操作员", "昨天"}, today.addDays(-1));
    auditlog::Append(Db(), {"张三", "登录", "操作员", "早上"}, today);
    auditlog::Append(Db(), {"张三", "销售", "销", "阿莫西林 1 盒"}, today.addSecs(60));

    CRecordingPrompts prompts;
    CRecordingLauncher launcher;
    CApricotView view(&Db(), launcher);
    view.resize(900, 500);
    view.OnInitialUpdate();
    // The period dialog opens with today; its default button takes it.
    QString title;
    QTimer::singleShot(0, [&title] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            title = modal->windowTitle();
            QTest::keyClick(modal->focusWidget() ? modal->focusWidget() : modal, Qt::Key_Return);
        }
    });
    QTimer::singleShot(5000, [] {
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            modal->done(-1);
    });
    ASSERT_TRUE(view.OnCommand(cmd::AuditLog));
    EXPECT_EQ(title, "报表－汇总条件");

    q_grid* grid = view.Grid();
    EXPECT_EQ(grid->Titles().mid(0, 6),
              (QStringList{"序号", "时间", "操作员", "动作", "对象", "内容"}));
    ASSERT_EQ(grid->GetItemCount(), 2);
    EXPECT_EQ(grid->GetItemText(0, 0), "3");
    EXPECT_EQ(grid->GetItemText(0, 5), "阿莫西林 1 盒");
    EXPECT_EQ(grid->GetItemText(1, 0), "2");
    EXPECT_EQ(view.GridTitleText(), "操作日志 " + now.date().toString("yyyy-MM-dd"));

    ASSERT_TRUE(view.OnCommand(cmd::CheckLog));
    ASSERT_EQ(prompts.Texts().size(), 1);
    EXPECT_TRUE(prompts.Texts()[0].startsWith("日志完整：3 条"))
        << prompts.Texts()[0].toStdString();
    // On a server nothing is compared, and the check says so.
    EXPECT_EQ(prompts.Texts()[0].contains("没有与任何备份比对"), GetParam() == Backend::PostgreSQL);
}

APRICOT_INSTANTIATE_BACKENDS(AuditCommandsTest);

} // namespace

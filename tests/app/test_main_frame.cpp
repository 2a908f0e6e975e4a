// The main frame offscreen: caption, menu tree, accelerators, toolbar, status bar, bar switches
// and their saved layout; the routing of commands; the About box.
#include "CAboutDlg.h"
#include "CApricotView.h"
#include "CMainFrame.h"
#include "command_ids.h"
#include "feedback.h"
#include "recording_launcher.h"
#include "recording_prompts.h"
#include "shell_launcher.h"
#include "status_clock.h"

#include "qt_printers.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// Records the commands the frame hands to the view instead of running them.
class CRecordingView final : public CApricotView {
public:
    using CApricotView::CApricotView;
    bool OnCommand(int id) override {
        commands.push_back(id);
        return IsViewCommand(id);
    }
    std::vector<int> commands;
};

void ClearSettings() {
    QSettings settings(QStringLiteral("apricot"), QStringLiteral("apricot"));
    settings.clear();
    settings.sync();
}

QString Blanks(int n) {
    return QString(n, QLatin1Char(' '));
}

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearSettings();
        OpenFrame();
    }
    void TearDown() override {
        m_frame.reset();
        ClearSettings();
    }
    void OpenFrame() {
        m_view = new CRecordingView(nullptr, m_launcher);
        m_frame = std::make_unique<CMainFrame>(m_view);
        QObject::connect(m_frame.get(), &CMainFrame::aboutRequested, [this] { ++m_aboutRequests; });
        m_frame->resize(1000, 700);
        m_frame->show();
        m_frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_frame.get()));
    }

    // The menu bar as indented lines: popups, items (caption as shown) and "----" separators.
    QStringList MenuLines() const {
        QStringList lines;
        for (QAction* top : m_frame->MenuBar()->actions())
            AddLines(top, 0, lines);
        return lines;
    }
    static void AddLines(QAction* action, int depth, QStringList& lines) {
        const QString indent = Blanks(2 * depth);
        if (action->isSeparator()) {
            lines << indent + QStringLiteral("----");
            return;
        }
        lines << indent + action->text();
        if (QMenu* menu = action->menu())
            for (QAction* child : menu->actions())
                AddLines(child, depth + 1, lines);
    }

    QMenu* TopMenu(int index) const { return m_frame->MenuBar()->actions().at(index)->menu(); }
    QMenu* SubMenu(QMenu* menu, const QString& title) const {
        for (QAction* action : menu->actions())
            if (action->menu() && action->text() == title)
                return action->menu();
        return nullptr;
    }

    CRecordingPrompts m_prompts;
    CRecordingLauncher m_launcher;
    CRecordingView* m_view = nullptr; // owned by the frame
    std::unique_ptr<CMainFrame> m_frame;
    int m_aboutRequests = 0;
};

TEST_F(MainFrameTest, CaptionIsFixed) {
    EXPECT_EQ(m_frame->windowTitle(), QStringLiteral("青杏药店进销存管理系统 v1.0"));
    for (int id : {cmd::TodaySales, cmd::StockList, cmd::YearPurchases, cmd::Refresh})
        m_frame->OnCommand(id);
    EXPECT_EQ(m_frame->windowTitle(), QStringLiteral("青杏药店进销存管理系统 v1.0"));
}

TEST_F(MainFrameTest, MenuTreeHasEveryCaptionWithItsShortcutText) {
    const QStringList expected = {
        "(&1)系统",
        "  设置..." + Blanks(18) + "CTRL+S",
        "  修改密码..." + Blanks(14) + "CTRL+ALT+M",
        "  切换操作员...",
        "  药师在岗...",
        "  药师离岗",
        "  操作日志..." + Blanks(14) + "CTRL+ALT+K",
        "  校验日志",
        "  备份数据..." + Blanks(14) + "CTRL+B",
        "  界面",
        "    工具栏",
        "      ", // the placeholder, replaced by the toolbar list when the popup opens
        "    状态栏",
        "  操作",
        "    更新显示",
        "    打印保存" + Blanks(10) + "ALT+S",
        "    打印..." + Blanks(11) + "CTRL+P",
        "    导出 PDF..." + Blanks(7) + "CTRL+SHIFT+P",
        "    导出 CSV..." + Blanks(7) + "CTRL+SHIFT+S",
        "    导出 CSV（GB18030）...",
        "  ----",
        "  安全退出" + Blanks(14) + "ALT+Z",
        "(&2)采购管理",
        "  药品入库登记" + Blanks(10) + "CTRL+1",
        "  ----",
        "  查询采购记录" + Blanks(10) + "CTRL+ALT+R",
        "  维护采购记录" + Blanks(10) + "CTRL+ALT+T",
        "(&3)库存管理",
        "  查询库存" + Blanks(10) + "CTRL+ALT+Y",
        "  维护库存" + Blanks(10) + "CTRL+ALT+U",
        "  维护药品目录",
        "  药品预警" + Blanks(10) + "CTRL+ALT+W",
        "  ----",
        "  报损/退货..." + Blanks(7) + "CTRL+ALT+L",
        "  库存盘点...",
        "  ----",
        "  导入期初库存...",
        "  导出期初模板...",
        "(&4)销售管理",
        "  添加销售记录" + Blanks(10) + "CTRL+2",
        "  ----",
        "  查询销售记录" + Blanks(10) + "CTRL+ALT+O",
        "  维护销售记录" + Blanks(10) + "CTRL+ALT+P",
        "  ----",
        "  补打小票...",
        "  销售冲正...         CTRL+ALT+X",
        "  追溯码查询..." + Blanks(7) + "CTRL+ALT+Q",
        "(&5)报表统计",
        "  销售报表",
        "    日销售报表",
        "    月销售报表",
        "    年度销售报表",
        "  库存统计",
        "    药品过期检查",
        "    缺货检查",
        "    平均成本分析",
        "    库存总成本",
        "    库存核对",
        "  采购报表",
        "    月采购报表",
        "    年采购报表",
        "  损耗报表",
        "  交班报表",
        "  追溯码销售明细",
        "  处方药销售登记",
        "  含麻黄碱类复方制剂销售登记",
        "  销售趋势图..." + Blanks(9) + "CTRL+ALT+J",
        "  ----",
        "  本日销售明细" + Blanks(10) + "CTRL+ALT+F",
        "  库存明细" + Blanks(18) + "CTRL+ALT+G",
        "  本年度采购明细" + Blanks(6) + "CTRL+ALT+H",
        "(&6)帮助",
        "  帮助" + Blanks(16) + "F1",
        "  计算器" + Blanks(12) + "F3",
        "  ----",
        "  信息反馈",
        "  关于...",
    };
    EXPECT_EQ(MenuLines(), expected);
}

TEST_F(MainFrameTest, MenuItemsShowNoShortcutOfTheirOwn) {
    // The caption already carries the shortcut text; a second one would be shown beside it.
    std::function<void(QMenu*)> check = [&](QMenu* menu) {
        for (QAction* action : menu->actions()) {
            EXPECT_TRUE(action->shortcut().isEmpty()) << action->text().toStdString();
            EXPECT_FALSE(action->text().contains(QLatin1Char('\t')));
            if (action->menu())
                check(action->menu());
        }
    };
    for (QAction* top : m_frame->MenuBar()->actions())
        check(top->menu());
}

TEST_F(MainFrameTest, MenuItemsCarryTheirCommandIds) {
    struct Item {
        int menu;
        int position;
        int id;
    };
    // A few items from each popup, by position.
    const Item items[] = {{0, 0, cmd::Settings},
                          {0, 1, cmd::ChangePassword},
                          {0, 2, cmd::SwitchOperator},
                          {0, 3, cmd::PharmacistOnDuty},
                          {0, 4, cmd::PharmacistOffDuty},
                          {0, 5, cmd::AuditLog},
                          {0, 6, cmd::CheckLog},
                          {0, 7, cmd::BackUp},
                          {0, 11, cmd::AppExit},
                          {1, 0, cmd::PurchaseEntry},
                          {1, 2, cmd::PurchaseQuery},
                          {1, 3, cmd::PurchaseMaint},
                          {2, 0, cmd::StockQuery},
                          {2, 1, cmd::StockMaint},
                          {2, 2, cmd::DrugCatalogue},
                          {2, 5, cmd::WriteOff},
                          {2, 6, cmd::StockTake},
                          {2, 8, cmd::ImportOpeningStock},
                          {2, 9, cmd::ExportImportTemplate},
                          {3, 0, cmd::SalesEntry},
                          {3, 2, cmd::SalesQuery},
                          {3, 3, cmd::SalesMaint},
                          {3, 5, cmd::ReprintReceipt},
                          {3, 7, cmd::TraceQuery},
                          {4, 3, cmd::LossReport},
                          {4, 4, cmd::ShiftReport},
                          {4, 5, cmd::TraceSalesReport},
                          {4, 6, cmd::PrescriptionRegister},
                          {4, 7, cmd::EphedrineRegister},
                          {4, 10, cmd::TodaySales},
                          {4, 11, cmd::StockList},
                          {4, 12, cmd::YearPurchases},
                          {5, 0, cmd::Help},
                          {5, 1, cmd::Calculator},
                          {5, 3, cmd::Feedback},
                          {5, 4, cmd::About}};
    for (const Item& item : items)
        EXPECT_EQ(TopMenu(item.menu)->actions().at(item.position)->objectName(),
                  QString::number(item.id));
}

TEST_F(MainFrameTest, AltDigitOpensItsPopup) {
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(m_frame.get(), Qt::Key(Qt::Key_1 + i), Qt::AltModifier);
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(popup, nullptr) << "Alt+" << i + 1;
        EXPECT_EQ(popup, TopMenu(i));
        // Escape closes the popup, a second one leaves the menu bar.
        QTest::keyClick(popup, Qt::Key_Escape);
        QTest::keyClick(m_frame.get(), Qt::Key_Escape);
    }
}

struct KeyCase {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int command;
};

const KeyCase kAccelerators[] = {
    {Qt::Key_1, Qt::ControlModifier, cmd::PurchaseEntry},
    {Qt::Key_2, Qt::ControlModifier, cmd::SalesEntry},
    {Qt::Key_F, Qt::ControlModifier | Qt::AltModifier, cmd::TodaySales},
    {Qt::Key_G, Qt::ControlModifier | Qt::AltModifier, cmd::StockList},
    {Qt::Key_H, Qt::ControlModifier | Qt::AltModifier, cmd::YearPurchases},
    {Qt::Key_O, Qt::ControlModifier | Qt::AltModifier, cmd::SalesQuery},
    {Qt::Key_P, Qt::ControlModifier | Qt::AltModifier, cmd::SalesMaint},
    {Qt::Key_R, Qt::ControlModifier | Qt::AltModifier, cmd::PurchaseQuery},
    {Qt::Key_T, Qt::ControlModifier | Qt::AltModifier, cmd::PurchaseMaint},
    {Qt::Key_U, Qt::ControlModifier | Qt::AltModifier, cmd::StockMaint},
    {Qt::Key_Y, Qt::ControlModifier | Qt::AltModifier, cmd::StockQuery},
    {Qt::Key_K, Qt::ControlModifier | Qt::AltModifier, cmd::AuditLog},
    {Qt::Key_Q, Qt::ControlModifier | Qt::AltModifier, cmd::TraceQuery},
    {Qt::Key_F1, Qt::NoModifier, cmd::Help},
    {Qt::Key_F3, Qt::NoModifier, cmd::Calculator},
    {Qt::Key_S, Qt::ControlModifier, cmd::Settings},
    {Qt::Key_S, Qt::AltModifier, cmd::PrintSave},
};

TEST_F(MainFrameTest, AcceleratorsReachTheirCommands) {
    for (const KeyCase& c : kAccelerators) {
        m_view->commands.clear();
        QTest::keyClick(m_frame.get(), c.key, c.modifiers);
        EXPECT_EQ(m_view->commands, std::vector<int>{c.command}) << "command " << c.command;
    }
}

TEST_F(MainFrameTest, AcceleratorsWorkWhileTheMenuBarHasTheFocus) {
    m_frame->MenuBar()->setFocus();
    ASSERT_TRUE(m_frame->MenuBar()->hasFocus());
    for (const KeyCase& c : kAccelerators) {
        m_view->commands.clear();
        QTest::keyClick(m_frame->MenuBar(), c.key, c.modifiers);
        EXPECT_EQ(m_view->commands, std::vector<int>{c.command}) << "command " << c.command;
    }
}

TEST_F(MainFrameTest, KeypadDigitsAreNoAccelerators) {
    QTest::keyClick(m_frame.get(), Qt::Key_1, Qt::ControlModifier | Qt::KeypadModifier);
    QTest::keyClick(m_frame.get(), Qt::Key_2, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_TRUE(m_view->commands.empty());
}

TEST_F(MainFrameTest, AltZClosesWithoutAsking) {
    QTest::keyClick(m_frame.get(), Qt::Key_Z, Qt::AltModifier);
    EXPECT_FALSE(m_frame->isVisible());
    EXPECT_TRUE(m_prompts.Messages().empty());
    EXPECT_TRUE(m_view->commands.empty());
}

TEST_F(MainFrameTest, CloseBoxClosesWithoutAsking) {
    EXPECT_TRUE(m_frame->close());
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_F(MainFrameTest, AboutGoesToTheApplicationAndTheRestToTheView) {
    m_frame->CommandAction(cmd::About)->trigger();
    EXPECT_EQ(m_aboutRequests, 1);
    int switchRequests = 0;
    QObject::connect(m_frame.get(), &CMainFrame::switchOperatorRequested,
                     [&switchRequests] { ++switchRequests; });
    m_frame->CommandAction(cmd::SwitchOperator)->trigger();
    EXPECT_EQ(switchRequests, 1);
    EXPECT_TRUE(m_view->commands.empty());

    // Every other menu command reaches the view, which has a handler for it.
    std::vector<int> expected;
    std::function<void(QMenu*)> trigger = [&](QMenu* menu) {
        for (QAction* action : menu->actions()) {
            if (action->menu()) {
                trigger(action->menu());
                continue;
            }
            const int id = action->objectName().toInt();
            if (action->isSeparator() || id == cmd::About || id == cmd::AppExit ||
                id == cmd::SwitchOperator || id == cmd::ViewStatusBar ||
                id == cmd::ToolbarListPlaceholder)
                continue;
            EXPECT_TRUE(CApricotView::IsViewCommand(id)) << id;
            expected.push_back(id);
            action->trigger();
        }
    };
    for (QAction* top : m_frame->MenuBar()->actions())
        trigger(top->menu());
    EXPECT_EQ(m_view->commands, expected);
    EXPECT_EQ(expected.size(), 52u);
}

TEST_F(MainFrameTest, ToolbarHasElevenButtonsInOrder) {
    QToolBar* bar = m_frame->ToolBar();
    EXPECT_EQ(bar->objectName(), QStringLiteral("59392"));
    EXPECT_EQ(bar->windowTitle(), QStringLiteral("默认工具栏"));
    EXPECT_EQ(bar->iconSize(), QSize(16, 16));
    QStringList order;
    for (QAction* action : bar->actions())
        order << (action->isSeparator() ? QStringLiteral("|") : action->objectName());
    EXPECT_EQ(order, (QStringList{"32836", "32831", "|", "32848", "32849", "32850", "|", "32864",
                                  "32862", "|", "32827", "|", "32845", "32856", "|", "57664"}));
    for (QAction* action : bar->actions()) {
        if (!action->isSeparator()) {
            EXPECT_FALSE(action->icon().isNull()) << action->objectName().toStdString();
        }
    }
}

TEST_F(MainFrameTest, ToolbarButtonsCarryTipsAndPrompts) {
    struct Tip {
        int id;
        const char* prompt;
        const char* tip;
    };
    const Tip tips[] = {
        {cmd::SalesEntry, "添加销售记录", "销售登记"},
        {cmd::PurchaseEntry, "药品入库登记", "药品入库"},
        {cmd::TodaySales, "本日销售明细", "本日销售明细"},
        {cmd::StockList, "库存明细", "库存明细"},
        {cmd::YearPurchases, "年度采购明细", "年度采购明细"},
        {cmd::PrintSave, "保存记录到文本", "保存"},
        {cmd::Refresh, "更新", "更新"},
        {cmd::Settings, "设置", "设置"},
        {cmd::Calculator, "计算器", "计算器"},
        {cmd::Feedback, "将你在使用过程中的问题反馈给设计者", "信息反馈"},
    };
    for (const Tip& t : tips) {
        auto* button = qobject_cast<QToolButton*>(
            m_frame->ToolBar()->widgetForAction(m_frame->CommandAction(t.id)));
        ASSERT_NE(button, nullptr) << t.id;
        EXPECT_EQ(button->toolTip(), QString::fromUtf8(t.tip));
        EXPECT_EQ(button->statusTip(), QString::fromUtf8(t.prompt));
    }
    QAction* about = m_frame->CommandAction(cmd::About);
    EXPECT_EQ(about->toolTip(), QStringLiteral("关于"));
    EXPECT_FALSE(about->statusTip().isEmpty());
    EXPECT_EQ(m_frame->CommandAction(cmd::AppExit)->statusTip(),
              QStringLiteral("Quit the application; prompts to save documents"));
    EXPECT_EQ(m_frame->CommandAction(cmd::ViewToolbar)->statusTip(),
              QStringLiteral("Show or hide the toolbar"));
    EXPECT_EQ(m_frame->CommandAction(cmd::ViewStatusBar)->statusTip(),
              QStringLiteral("Show or hide the status bar"));
    // Commands without a prompt leave it empty.
    EXPECT_TRUE(m_frame->CommandAction(cmd::Help)->statusTip().isEmpty());
    EXPECT_TRUE(m_frame->CommandAction(cmd::DaySalesReport)->statusTip().isEmpty());
}

TEST_F(MainFrameTest, PromptShowsInTheMessagePaneThenReadyReturns) {
    QStatusBar* bar = m_frame->statusBar();
    auto* ready = bar->findChild<QLabel*>(QStringLiteral("0"));
    ASSERT_NE(ready, nullptr);
    EXPECT_EQ(ready->text(), QStringLiteral("Ready"));
    EXPECT_TRUE(ready->isVisible());

    QWidget* button = m_frame->ToolBar()->widgetForAction(m_frame->CommandAction(cmd::Feedback));
    QStatusTipEvent enter(button->statusTip());
    QApplication::sendEvent(button, &enter);
    EXPECT_EQ(bar->currentMessage(), QStringLiteral("将你在使用过程中的问题反馈给设计者"));
    EXPECT_FALSE(ready->isVisible());

    QStatusTipEvent leave{QString()};
    QApplication::sendEvent(button, &leave);
    EXPECT_TRUE(bar->currentMessage().isEmpty());
    EXPECT_TRUE(ready->isVisible());
}

TEST_F(MainFrameTest, AnItemWithoutAPromptLeavesTheMessagePaneEmpty) {
    auto* ready = m_frame->statusBar()->findChild<QLabel*>(QStringLiteral("0"));
    QAction* help = m_frame->CommandAction(cmd::Help);
    QAction* about = m_frame->CommandAction(cmd::About);
    QMenu* menu = nullptr;
    for (QMenu* candidate : m_frame->findChildren<QMenu*>())
        if (candidate->actions().contains(help))
            menu = candidate;
    ASSERT_NE(menu, nullptr);
    menu->popup(QPoint(0, 0));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    menu->setActiveAction(help);
    EXPECT_TRUE(ready->text().isEmpty());
    if (menu->actions().contains(about)) {
        menu->setActiveAction(about);
        EXPECT_EQ(m_frame->statusBar()->currentMessage(), about->statusTip());
    }
    menu->hide();
    EXPECT_EQ(ready->text(), QStringLiteral("Ready"));
}

TEST_F(MainFrameTest, AlertPaneShowsWhatNeedsAttentionAndOpensTheList) {
    QPushButton* pane = m_frame->AlertPane();
    EXPECT_FALSE(pane->isVisible());
    emit m_view->alertsChanged(QStringLiteral("预警：过期 1 批 · 近效期 0 批 · 缺货 2 种"));
    EXPECT_TRUE(pane->isVisible());
    EXPECT_EQ(pane->text(), QStringLiteral("预警：过期 1 批 · 近效期 0 批 · 缺货 2 种"));
    QTest::mouseClick(pane, Qt::LeftButton);
    EXPECT_EQ(m_view->commands, std::vector<int>{cmd::StockAlerts});
    emit m_view->alertsChanged(QString());
    EXPECT_FALSE(pane->isVisible());
}

TEST_F(MainFrameTest, StatusBarHasItsPanesInOrder) {
    QStatusBar* bar = m_frame->statusBar();
    EXPECT_EQ(bar->objectName(), QStringLiteral("59393"));
    QStringList panes;
    for (const char* name : {"0", "61446", "59137", "59138", "59139"}) {
        auto* pane = bar->findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(pane, nullptr) << name;
        panes << QString::fromLatin1(name);
    }
    // Left to right on screen.
    std::vector<int> x;
    for (const QString& name : panes)
        x.push_back(bar->findChild<QLabel*>(name)->mapTo(bar, QPoint(0, 0)).x());
    EXPECT_TRUE(std::is_sorted(x.begin(), x.end()));
    // Offscreen there is no X keyboard: the lock panes stay empty.
    for (const char* name : {"59137", "59138", "59139"})
        EXPECT_TRUE(bar->findChild<QLabel*>(QString::fromLatin1(name))->text().isEmpty());
}

TEST_F(MainFrameTest, ClockShowsThePlaceholderThenTheTime) {
    QLabel* clock = m_frame->ClockPane();
    EXPECT_EQ(clock->text(), QStringLiteral("0000年00月00日00点00分"));
    EXPECT_GE(clock->width(), clock->fontMetrics().horizontalAdvance(ClockPlaceholder()));
    const QDateTime before = QDateTime::currentDateTime();
    // The first tick is due after a second; a busy machine may deliver it later.
    EXPECT_TRUE(QTest::qWaitFor([&] { return clock->text() != ClockPlaceholder(); }, 5000));
    const QDateTime after = QDateTime::currentDateTime();
    EXPECT_TRUE(clock->text() == ClockText(before) || clock->text() == ClockText(after))
        << clock->text().toStdString();
}

TEST_F(MainFrameTest, ContextMenuHasTheOneToolbarItem) {
    // Right clicks on the toolbar and on the menu bar.
    for (QWidget* bar :
         {static_cast<QWidget*>(m_frame->ToolBar()), static_cast<QWidget*>(m_frame->MenuBar())}) {
        const QPoint at(bar->width() - 3, bar->height() / 2);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, bar->mapToGlobal(at));
        QApplication::sendEvent(bar, &event);
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(popup, nullptr) << bar->objectName().toStdString();
        QStringList shown;
        for (QAction* action : popup->actions())
            shown << action->text();
        EXPECT_EQ(shown, QStringList{"默认工具栏"});
        popup->close();
        QTest::qWait(10);
    }

    std::unique_ptr<QMenu> menu(m_frame->createPopupMenu());
    ASSERT_EQ(menu->actions().size(), 1);
    QAction* toggle = menu->actions().front();
    EXPECT_TRUE(toggle->isChecked());
    toggle->trigger();
    EXPECT_FALSE(m_frame->ToolBar()->isVisible());
    EXPECT_FALSE(toggle->isChecked());
    toggle->trigger();
    EXPECT_TRUE(m_frame->ToolBar()->isVisible());
}

TEST_F(MainFrameTest, ToolbarSubmenuListsTheDefaultToolbar) {
    QMenu* toolbars =
        SubMenu(SubMenu(TopMenu(0), QStringLiteral("界面")), QStringLiteral("工具栏"));
    ASSERT_NE(toolbars, nullptr);
    for (int round = 0; round < 2; ++round) {
        toolbars->popup(m_frame->mapToGlobal(QPoint(50, 50)));
        QTest::qWait(10);
        ASSERT_EQ(toolbars->actions().size(), 1);
        EXPECT_EQ(toolbars->actions().front()->text(), QStringLiteral("默认工具栏"));
        EXPECT_EQ(toolbars->actions().front(), m_frame->ToolBar()->toggleViewAction());
        toolbars->close();
    }
}

TEST_F(MainFrameTest, StatusBarSwitchTogglesWithACheckMark) {
    QAction* toggle = m_frame->CommandAction(cmd::ViewStatusBar);
    EXPECT_EQ(toggle->text(), QStringLiteral("状态栏"));
    ASSERT_TRUE(toggle->isCheckable());
    EXPECT_TRUE(toggle->isChecked());
    toggle->trigger();
    EXPECT_FALSE(m_frame->statusBar()->isVisible());
    EXPECT_FALSE(toggle->isChecked());
    toggle->trigger();
    EXPECT_TRUE(m_frame->statusBar()->isVisible());
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_TRUE(m_view->commands.empty());
}

TEST_F(MainFrameTest, BarsDockOnAllFourSides) {
    for (QToolBar* bar : {m_frame->ToolBar(), m_frame->MenuBarHost()}) {
        EXPECT_EQ(bar->allowedAreas(), Qt::AllToolBarAreas);
        EXPECT_TRUE(bar->isMovable());
        EXPECT_EQ(m_frame->toolBarArea(bar), Qt::TopToolBarArea);
    }
    EXPECT_TRUE(m_frame->MenuBarHost()->isAncestorOf(m_frame->MenuBar()));
    // The menu bar's row comes first.
    EXPECT_LT(m_frame->MenuBarHost()->y(), m_frame->ToolBar()->y());
}

TEST_F(MainFrameTest, MenuBarDockedUprightBecomesAColumnOfButtons) {
    QToolBar* host = m_frame->MenuBarHost();
    m_frame->addToolBar(Qt::LeftToolBarArea, host);
    // The bar is rebuilt once the dock has settled, which takes longer on a busy machine.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !m_frame->MenuBar()->isVisible() && host->width() < m_frame->width() / 4; },
        5000));
    EXPECT_EQ(host->orientation(), Qt::Vertical);
    EXPECT_FALSE(m_frame->MenuBar()->isVisible());
    QStringList buttons;
    for (QAction* action : host->actions())
        if (action->isVisible() && host->widgetForAction(action))
            buttons << host->widgetForAction(action)->property("text").toString();
    EXPECT_EQ(buttons, (QStringList{"(1)系统", "(2)采购管理", "(3)库存管理", "(4)销售管理",
                                    "(5)报表统计", "(6)帮助"}));
    EXPECT_LT(host->width(), m_frame->width() / 4);

    QTest::keyClick(m_frame.get(), Qt::Key_3, Qt::AltModifier);
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup, TopMenu(2));
    EXPECT_TRUE(popup->isEnabled());
    EXPECT_TRUE(popup->actions().front()->isEnabled());
    popup->close();

    // Back on top, the menu bar and its own mnemonics return.
    m_frame->addToolBar(Qt::TopToolBarArea, host);
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_frame->MenuBar()->isVisible(); }, 5000));
    // The offscreen platform leaves the closed popup active.
    QApplication::setActiveWindow(m_frame.get());
    QTest::keyClick(m_frame.get(), Qt::Key_1, Qt::AltModifier);
    popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup, TopMenu(0));
    QTest::keyClick(popup, Qt::Key_Escape);
}

TEST_F(MainFrameTest, BarLayoutIsRestoredAtTheNextStart) {
    m_frame->addToolBar(Qt::LeftToolBarArea, m_frame->ToolBar());
    m_frame->addToolBar(Qt::BottomToolBarArea, m_frame->MenuBarHost());
    m_frame->CommandAction(cmd::ViewStatusBar)->trigger();
    m_frame->close();
    m_frame.reset();

    OpenFrame();
    EXPECT_EQ(m_frame->toolBarArea(m_frame->ToolBar()), Qt::LeftToolBarArea);
    EXPECT_EQ(m_frame->toolBarArea(m_frame->MenuBarHost()), Qt::BottomToolBarArea);
    EXPECT_FALSE(m_frame->statusBar()->isVisible());
    EXPECT_FALSE(m_frame->CommandAction(cmd::ViewStatusBar)->isChecked());

    QSettings settings(QStringLiteral("apricot"), QStringLiteral("apricot"));
    EXPECT_TRUE(settings.childGroups().contains(QStringLiteral("Settings")));
}

TEST(ApricotView, AboutAndExitAreNotTheViewsCommands) {
    CRecordingLauncher launcher;
    CApricotView view(nullptr, launcher);
    EXPECT_FALSE(view.OnCommand(cmd::About));
    EXPECT_FALSE(view.OnCommand(cmd::AppExit));
    EXPECT_FALSE(view.OnCommand(cmd::ViewStatusBar));
    EXPECT_FALSE(view.OnCommand(cmd::ViewToolbar));
}

// A 营业员 finds the 店长's commands greyed out, and running one anyway (an accelerator, a
// caller) opens nothing and says why.
TEST(ApricotView, AClerkIsRefusedEveryManagersCommand) {
    CRecordingPrompts prompts;
    CRecordingLauncher launcher;
    auto* view = new CApricotView(nullptr, launcher);
    CMainFrame frame(view);
    frame.ShowOperator(QStringLiteral("张三"), ERole::Clerk);
    EXPECT_EQ(frame.statusBar()->findChild<QLabel*>(QStringLiteral("operator"))->text(),
              "操作员：张三（营业员）");
    // Should a command run after all, its dialog is closed rather than waited for.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    closer.start(50);
    for (const int id : {cmd::Settings, cmd::PurchaseMaint, cmd::StockMaint, cmd::SalesMaint,
                         cmd::AuditLog, cmd::CheckLog, cmd::WriteOff, cmd::StockTake,
                         cmd::ImportOpeningStock, cmd::ExportImportTemplate}) {
        SCOPED_TRACE(id);
        QAction* action = frame.CommandAction(id);
        ASSERT_TRUE(action);
        EXPECT_FALSE(action->isEnabled());
        EXPECT_EQ(action->statusTip(), "需要店长权限");
        prompts.Clear();
        frame.OnCommand(id);
        EXPECT_EQ(prompts.Texts(), QStringList{QStringLiteral("需要店长权限")});
    }
    // The counter's own work stays open to them.
    for (const int id :
         {cmd::SalesEntry, cmd::PurchaseEntry, cmd::StockAlerts, cmd::BackUp, cmd::LossReport,
          cmd::ShiftReport, cmd::ReprintReceipt, cmd::SaleReversal, cmd::DrugCatalogue,
          cmd::TraceQuery, cmd::TraceSalesReport, cmd::SwitchOperator, cmd::PharmacistOnDuty,
          cmd::PharmacistOffDuty, cmd::PrescriptionRegister, cmd::EphedrineRegister})
        EXPECT_TRUE(frame.CommandAction(id)->isEnabled()) << id;
}

TEST(ApricotView, HelpCalculatorAndFeedbackStartTheirDocuments) {
    CRecordingPrompts prompts;
    CRecordingLauncher launcher;
    CApricotView view(nullptr, launcher);
    const QString dir = QCoreApplication::applicationDirPath();
    view.OnCommand(cmd::Help);
    view.OnCommand(cmd::Calculator);
    view.OnCommand(cmd::Feedback);
    ASSERT_EQ(launcher.urls.size(), 2u);
    EXPECT_EQ(launcher.urls[0], QUrl::fromLocalFile(dir + QStringLiteral("/help/apricot.html")));
    EXPECT_EQ(launcher.urls[1], FeedbackMailUrl(FeedbackAddress()));
    EXPECT_EQ(launcher.programs, QStringList{dir + QStringLiteral("/tools/calc")});
    EXPECT_TRUE(prompts.Messages().empty());
}

TEST(ApricotView, MissingHelpAndCalculatorStaySilent) {
    CRecordingPrompts prompts;
    CDesktopLauncher launcher; // the real one: nothing of the kind lies beside the test program
    ASSERT_FALSE(QFile::exists(CalculatorPath()));
    CApricotView view(nullptr, launcher);
    view.OnCommand(cmd::Calculator);
    EXPECT_TRUE(prompts.Messages().empty());
}

TEST(HelpFile, LiesBesideTheProgramWithItsSections) {
    QFile file(QStringLiteral(APRICOT_BUILT_HELP));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << APRICOT_BUILT_HELP;
    const QString html = QString::fromUtf8(file.readAll());
    for (const char* anchor : {"登录", "主窗口与菜单", "药品入库登记", "前台销售登记", "查询",
                               "报表", "维护记录", "系统设置", "计算器", "信息反馈"})
        EXPECT_TRUE(html.contains(QStringLiteral("id=\"%1\"").arg(QString::fromUtf8(anchor))))
            << anchor;
}

class FeedbackSettingTest : public ::testing::Test {
protected:
    void SetUp() override { ClearSettings(); }
    void TearDown() override { ClearSettings(); }
};

TEST_F(FeedbackSettingTest, AddressComesFromTheSettingsWithADefault) {
    EXPECT_EQ(FeedbackAddress(), DefaultFeedbackAddress());
    {
        QSettings settings(QStringLiteral("apricot"), QStringLiteral("apricot"));
        settings.setValue(QStringLiteral("Feedback/Address"),
                          QStringLiteral("store@pharmacy.example"));
    }
    EXPECT_EQ(FeedbackAddress(), QStringLiteral("store@pharmacy.example"));
}

TEST_F(FeedbackSettingTest, InstallationWideAddressAppliesUnlessTheUserSetsOne) {
    const QString folder = qEnvironmentVariable("XDG_CONFIG_DIRS") + QStringLiteral("/apricot");
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile file(folder + QStringLiteral("/apricot.conf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Feedback]\nAddress=it@pharmacy.example\n");
    file.close();
    EXPECT_EQ(FeedbackAddress(), QStringLiteral("it@pharmacy.example"));
    {
        QSettings settings(QStringLiteral("apricot"), QStringLiteral("apricot"));
        settings.setValue(QStringLiteral("Feedback/Address"),
                          QStringLiteral("me@pharmacy.example"));
    }
    EXPECT_EQ(FeedbackAddress(), QStringLiteral("me@pharmacy.example"));
    file.remove();
}

TEST_F(FeedbackSettingTest, AboutBoxShowsTheLinkAndOpensANewMail) {
    CRecordingLauncher launcher;
    CAboutDlg dialog(QStringLiteral("store@pharmacy.example"), launcher);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("关于"));
    QStringList texts;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("青杏药店进销存管理系统1.0版本")));
    EXPECT_FALSE(dialog.findChild<QLabel*>(QStringLiteral("186"))->pixmap().isNull());
    EXPECT_FALSE(dialog.findChild<QLabel*>(QStringLiteral("128"))->pixmap().isNull());

    dialog.show();
    auto* link = dialog.findChild<QPushButton*>(QStringLiteral("1042"));
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->text(), QStringLiteral("mailto:store@pharmacy.example"));
    QTest::mouseClick(link, Qt::LeftButton);
    ASSERT_EQ(launcher.urls.size(), 1u);
    EXPECT_EQ(launcher.urls[0].toString(), QStringLiteral("mailto:store@pharmacy.example"));
    EXPECT_TRUE(dialog.isVisible());

    auto* close = dialog.findChild<QPushButton*>(QStringLiteral("1"));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), QStringLiteral("关闭"));
    EXPECT_TRUE(close->isDefault());
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

} // namespace

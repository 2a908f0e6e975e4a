#pragma once
// The program's only top-level window: fixed caption, dockable menu bar and toolbar, the status
// bar with its clock and lock panes, and the view as its client.
#include "operator_role.h"

#include <QMainWindow>
#include <QTimer>
#include <map>
#include <vector>

class CApricotView;
class QLabel;
class QPushButton;
class QMenu;
class QMenuBar;
class QToolBar;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // Takes ownership of `view`.
    explicit CMainFrame(CApricotView* view, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Routes a command: About and 切换操作员 to the application, 安全退出 to closing, the rest
    // to the view.
    void OnCommand(int id);
    // Who is logged in: the status bar names them, and a 营业员 finds the 店长's commands
    // greyed out, their prompt "需要店长权限".
    void ShowOperator(const QString& name, ERole role);

    CApricotView* View() const { return m_pView; }
    QMenuBar* MenuBar() const { return m_pMenuBar; }
    QToolBar* ToolBar() const { return m_pToolBar; }
    QToolBar* MenuBarHost() const { return m_pMenuHost; }
    // The action of a menu or toolbar command (objectName its id); nullptr if there is none.
    QAction* CommandAction(int id) const;
    QLabel* ClockPane() const { return m_pClock; }
    // The alert pane: hidden while nothing is in alert; a click runs 药品预警.
    QPushButton* AlertPane() const { return m_pAlerts; }
    // "在岗药师：张三" or "药师不在岗", beside the operator's pane.
    QLabel* PharmacistPane() const { return m_pPharmacist; }

    // The toolbars' context menu: the one item 默认工具栏.
    QMenu* createPopupMenu() override;

signals:
    // 关于... is the application's command.
    void aboutRequested();
    // 切换操作员... is the application's command: it runs the login.
    void switchOperatorRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    QMenu* CreatePopup(const struct CMenuItem& popup, QWidget* parent);
    void CreateMenuBar();
    void CreateToolBar();
    void CreateStatusBar();
    void CreateAccelerators();
    // Docked on the left or right, the popups become a column of buttons.
    void UpdateMenuBarShape();
    // Before a popup opens: 界面 → 工具栏 lists the toolbars.
    void OnShowPopupMenu(QMenu* menu);
    void OnClockTick();
    void UpdateLockPanes();
    void SaveBarState();
    void RestoreBarState();

    CApricotView* m_pView;
    QToolBar* m_pMenuHost = nullptr;
    QMenuBar* m_pMenuBar = nullptr;
    QAction* m_pMenuBarItem = nullptr;       // the menu bar inside its toolbar
    std::vector<QAction*> m_columnButtons;   // the popups as buttons, when docked upright
    std::vector<QAction*> m_columnMnemonics; // Alt+1 to Alt+6 for those buttons
    QToolBar* m_pToolBar = nullptr;
    QLabel* m_pReady = nullptr;
    QLabel* m_pClock = nullptr;
    QLabel* m_pCaps = nullptr;
    QLabel* m_pNum = nullptr;
    QLabel* m_pScroll = nullptr;
    QPushButton* m_pAlerts = nullptr;
    QLabel* m_pOperator = nullptr;   // "操作员：张三（营业员）"
    QLabel* m_pPharmacist = nullptr; // "在岗药师：张三"
    std::map<int, QAction*> m_actions;
    QTimer m_clockTimer;
};

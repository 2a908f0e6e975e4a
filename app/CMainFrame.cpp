#include "CMainFrame.h"

#include "CApricotView.h"
#include "artwork.h"
#include "command_ids.h"
#include "command_rights.h"
#include "frame_resources.h"
#include "keyboard_locks.h"
#include "status_clock.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

namespace {

const QString kReady = QStringLiteral("Ready");

QString IdName(int id) {
    return QString::number(id);
}

QLabel* NewPane(const QString& name, const QString& sizedTo, QWidget* parent) {
    auto* pane = new QLabel(parent);
    pane->setObjectName(name);
    pane->setAlignment(Qt::AlignCenter);
    pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    const int margin = 2 * pane->frameWidth() + 8;
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(sizedTo) + margin);
    return pane;
}

} // namespace

CMainFrame::CMainFrame(CApricotView* view, QWidget* parent) : QMainWindow(parent), m_pView(view) {
    setObjectName(QStringLiteral("128"));
    // Set once: nothing in the program retitles the frame.
    setWindowTitle(QStringLiteral("青杏药店进销存管理系统 v1.0"));
    setWindowIcon(ProgramIcon());
    setDockNestingEnabled(false);

    CreateActions();
    CreateMenuBar();
    CreateToolBar();
    CreateStatusBar();
    CreateAccelerators();
    m_pView->setParent(this);
    setCentralWidget(m_pView);
    RestoreBarState();
    UpdateMenuBarShape();

    qApp->installEventFilter(this);
    connect(&m_clockTimer, &QTimer::timeout, this, &CMainFrame::OnClockTick);
    m_clockTimer.start(1000);
}

CMainFrame::~CMainFrame() {
    m_clockTimer.stop();
    qApp->removeEventFilter(this);
}

void CMainFrame::CreateActions() {
    auto visit = [this](const auto& self, const std::vector<CMenuItem>& items) -> void {
        for (const CMenuItem& item : items) {
            if (item.kind == CMenuItem::Kind::Popup) {
                self(self, item.children);
                continue;
            }
            if (item.kind != CMenuItem::Kind::Command || item.id == cmd::ToolbarListPlaceholder)
                continue;
            // The caption carries the shortcut text itself; the action has no shortcut, so
            // the menu shows none of its own.
            auto* action = new QAction(item.Caption(), this);
            action->setObjectName(IdName(item.id));
            const CPrompt prompt = PromptOf(item.id);
            action->setStatusTip(prompt.statusTip);
            if (!prompt.toolTip.isEmpty())
                action->setToolTip(prompt.toolTip);
            const QString image = ToolbarImage(item.id);
            if (!image.isEmpty())
                action->setIcon(SvgIcon(image));
            m_actions[item.id] = action;
            if (item.id == cmd::ViewStatusBar) {
                action->setCheckable(true);
                action->setChecked(true);
                continue;
            }
            const int id = item.id;
            connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        }
    };
    visit(visit, MainMenu());
}

QMenu* CMainFrame::CreatePopup(const CMenuItem& popup, QWidget* parent) {
    auto* menu = new QMenu(popup.text, parent);
    for (const CMenuItem& item : popup.children) {
        switch (item.kind) {
        case CMenuItem::Kind::Separator:
            menu->addSeparator();
            break;
        case CMenuItem::Kind::Popup:
            menu->addMenu(CreatePopup(item, menu));
            break;
        case CMenuItem::Kind::Command:
            if (item.id == cmd::ToolbarListPlaceholder) {
                QAction* placeholder = menu->addAction(QString());
                placeholder->setObjectName(IdName(item.id));
            } else {
                menu->addAction(m_actions.at(item.id));
            }
            break;
        }
    }
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { OnShowPopupMenu(menu); });
    // While an item without a prompt is highlighted the message pane is empty, not "Ready".
    connect(menu, &QMenu::hovered, this, [this](QAction* action) {
        m_pReady->setText(action->statusTip().isEmpty() ? QString() : kReady);
    });
    connect(menu, &QMenu::aboutToHide, this, [this] { m_pReady->setText(kReady); });
    return menu;
}

void CMainFrame::CreateMenuBar() {
    // The menu bar lives in a toolbar of its own, so that it docks like one.
    m_pMenuHost = new QToolBar(QStringLiteral("菜单栏"), this);
    m_pMenuHost->setObjectName(IdName(cmd::MenuBarId));
    m_pMenuHost->setAllowedAreas(Qt::AllToolBarAreas);
    m_pMenuHost->setMovable(true);
    m_pMenuHost->setFloatable(true);
    m_pMenuBar = new QMenuBar(m_pMenuHost);
    m_pMenuBar->setObjectName(QStringLiteral("menubar"));
    m_pMenuBar->setNativeMenuBar(false);
    m_pMenuBar->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    // The popups belong to the frame: the menu bar is disabled while it is out of view, and
    // would take its children with it.
    std::vector<QMenu*> popups;
    for (const CMenuItem& popup : MainMenu())
        popups.push_back(CreatePopup(popup, this));
    for (QMenu* popup : popups)
        m_pMenuBar->addMenu(popup);
    // QMainWindow offers its bar menu only for menu bars of its own; this one sits in a toolbar.
    m_pMenuBar->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_pMenuBar, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu* menu = createPopupMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(m_pMenuBar->mapToGlobal(at));
    });
    m_pMenuBarItem = m_pMenuHost->addWidget(m_pMenuBar);

    // A menu bar only lies flat; upright it is a column of buttons that open the same popups.
    for (std::size_t i = 0; i < popups.size(); ++i) {
        QMenu* popup = popups[i];
        // The button only shows the popup; the popup stays the menu bar's.
        auto* button = new QToolButton(m_pMenuHost);
        button->setText(QString(popup->title()).remove(QLatin1Char('&')));
        button->setMenu(popup);
        button->setPopupMode(QToolButton::InstantPopup);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
        QAction* item = m_pMenuHost->addWidget(button);
        item->setVisible(false);
        m_columnButtons.push_back(item);

        auto* mnemonic = new QAction(this);
        mnemonic->setShortcut(QKeySequence(Qt::ALT | (Qt::Key_1 + int(i))));
        mnemonic->setShortcutContext(Qt::WindowShortcut);
        mnemonic->setEnabled(false);
        connect(mnemonic, &QAction::triggered, this,
                [popup, button] { popup->popup(button->mapToGlobal(QPoint(button->width(), 0))); });
        addAction(mnemonic);
        m_columnMnemonics.push_back(mnemonic);
    }
    // Reshaped once the bar has settled: changing its contents while it is dragged breaks the drag.
    auto reshape = [this] {
        QMetaObject::invokeMethod(this, &CMainFrame::UpdateMenuBarShape, Qt::QueuedConnection);
    };
    connect(m_pMenuHost, &QToolBar::orientationChanged, this, reshape);
    connect(m_pMenuHost, &QToolBar::topLevelChanged, this, reshape);
    addToolBar(Qt::TopToolBarArea, m_pMenuHost);
    addToolBarBreak(Qt::TopToolBarArea);
}

void CMainFrame::UpdateMenuBarShape() {
    const bool upright = !m_pMenuHost->isFloating() && m_pMenuHost->orientation() == Qt::Vertical;
    if (m_pMenuBarItem->isVisible() == !upright)
        return;
    m_pMenuBarItem->setVisible(!upright);
    for (QAction* item : m_columnButtons)
        item->setVisible(upright);
    // Flat, the menu bar's own mnemonics serve.
    for (QAction* mnemonic : m_columnMnemonics)
        mnemonic->setEnabled(upright);
}

void CMainFrame::CreateToolBar() {
    m_pToolBar = new QToolBar(ToolbarTitle(), this);
    m_pToolBar->setObjectName(IdName(cmd::ToolBarId));
    m_pToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_pToolBar->setMovable(true);
    m_pToolBar->setFloatable(true);
    m_pToolBar->setIconSize(QSize(16, 16));
    m_pToolBar->setContentsMargins(1, 1, 1, 1);
    for (int id : ToolbarSlots()) {
        if (id == 0)
            m_pToolBar->addSeparator();
        else
            m_pToolBar->addAction(m_actions.at(id));
    }
    QAction* toggle = m_pToolBar->toggleViewAction();
    toggle->setObjectName(IdName(cmd::ViewToolbar));
    const CPrompt prompt = PromptOf(cmd::ViewToolbar);
    toggle->setStatusTip(prompt.statusTip);
    toggle->setToolTip(prompt.toolTip);
    addToolBar(Qt::TopToolBarArea, m_pToolBar);
}

void CMainFrame::CreateStatusBar() {
    auto* bar = new QStatusBar(this);
    bar->setObjectName(IdName(cmd::StatusBarId));
    setStatusBar(bar);
    // The message pane: prompts cover it while shown, "Ready" otherwise.
    m_pReady = new QLabel(kReady, bar);
    m_pReady->setObjectName(QStringLiteral("0"));
    bar->addWidget(m_pReady, 1);
    m_pAlerts = new QPushButton(bar);
    m_pAlerts->setObjectName(QStringLiteral("alerts"));
    m_pAlerts->setFlat(true);
    m_pAlerts->setFocusPolicy(Qt::NoFocus);
    m_pAlerts->setStyleSheet(QStringLiteral("color: #c00000; padding: 0 6px;"));
    m_pAlerts->setToolTip(QStringLiteral("单击查看药品预警"));
    m_pAlerts->hide();
    bar->addPermanentWidget(m_pAlerts);
    m_pOperator = new QLabel(bar);
    m_pOperator->setObjectName(QStringLiteral("operator"));
    m_pOperator->hide();
    bar->addPermanentWidget(m_pOperator);
    m_pPharmacist = new QLabel(m_pView->OnDuty().PaneText(), bar);
    m_pPharmacist->setObjectName(QStringLiteral("pharmacist"));
    bar->addPermanentWidget(m_pPharmacist);
    connect(m_pView, &CApricotView::onDutyChanged, m_pPharmacist, &QLabel::setText);
    connect(m_pAlerts, &QPushButton::clicked, this, [this] { OnCommand(cmd::StockAlerts); });
    connect(m_pView, &CApricotView::alertsChanged, this, [this](const QString& text) {
        m_pAlerts->setText(text);
        m_pAlerts->setVisible(!text.isEmpty());
    });
    m_pClock = NewPane(IdName(cmd::ClockPane), ClockPlaceholder(), bar);
    m_pClock->setText(ClockPlaceholder());
    m_pCaps = NewPane(IdName(cmd::CapsPane), QStringLiteral("CAP"), bar);
    m_pNum = NewPane(IdName(cmd::NumPane), QStringLiteral("NUM"), bar);
    m_pScroll = NewPane(IdName(cmd::ScrollPane), QStringLiteral("SCRL"), bar);
    for (QLabel* pane : {m_pClock, m_pCaps, m_pNum, m_pScroll})
        bar->addPermanentWidget(pane);
    UpdateLockPanes();

    QAction* toggle = m_actions.at(cmd::ViewStatusBar);
    connect(toggle, &QAction::toggled, bar, &QWidget::setVisible);
}

void CMainFrame::CreateAccelerators() {
    // Window-wide, so they work wherever the focus is in the frame, the menu bar included.
    for (const CAccelerator& accel : Accelerators()) {
        auto* action = new QAction(this);
        action->setObjectName(QStringLiteral("accel ") + accel.keys.toString());
        action->setShortcut(accel.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        const int id = accel.command;
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        addAction(action);
    }
}

QAction* CMainFrame::CommandAction(int id) const {
    if (id == cmd::ViewToolbar)
        return m_pToolBar->toggleViewAction();
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::ShowOperator(const QString& name, ERole role) {
    m_pView->SetOperator(name, role);
    m_pOperator->setText(commandrights::OperatorPane(name, role));
    m_pOperator->show();
    for (const auto& [id, action] : m_actions) {
        if (!commandrights::NeedsManager(id))
            continue;
        const bool allowed = commandrights::MayRun(role, id);
        const CPrompt prompt = PromptOf(id);
        action->setEnabled(allowed);
        action->setStatusTip(allowed ? prompt.statusTip : commandrights::kNeedsManager);
        // An empty tool tip falls back to the action's text, as before.
        action->setToolTip(allowed ? prompt.toolTip : commandrights::kNeedsManager);
    }
}

void CMainFrame::OnCommand(int id) {
    switch (id) {
    case cmd::About:
        emit aboutRequested();
        return;
    case cmd::SwitchOperator:
        emit switchOperatorRequested();
        return;
    case cmd::AppExit:
        close();
        return;
    case cmd::ViewToolbar:
        m_pToolBar->toggleViewAction()->trigger();
        return;
    case cmd::ViewStatusBar:
        m_actions.at(cmd::ViewStatusBar)->toggle();
        return;
    default:
        m_pView->OnCommand(id);
    }
}

QMenu* CMainFrame::createPopupMenu() {
    auto* menu = new QMenu(QStringLiteral("DUMMY"), this);
    menu->addAction(m_pToolBar->toggleViewAction());
    return menu;
}

void CMainFrame::OnShowPopupMenu(QMenu* menu) {
    const auto actions = menu->actions();
    const bool hasPlaceholder = std::any_of(actions.begin(), actions.end(), [](QAction* a) {
        return a->objectName() == IdName(cmd::ToolbarListPlaceholder);
    });
    if (!hasPlaceholder)
        return;
    menu->clear();
    menu->addAction(m_pToolBar->toggleViewAction());
}

void CMainFrame::OnClockTick() {
    m_pClock->setText(ClockText(QDateTime::currentDateTime()));
    m_pClock->repaint();
    UpdateLockPanes();
}

void CMainFrame::UpdateLockPanes() {
    const std::optional<CKeyboardLocks> locks = QueryKeyboardLocks();
    m_pCaps->setText(locks && locks->caps ? QStringLiteral("CAP") : QString());
    m_pNum->setText(locks && locks->num ? QStringLiteral("NUM") : QString());
    m_pScroll->setText(locks && locks->scroll ? QStringLiteral("SCRL") : QString());
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    // Qt retries a keypad key as its main-keyboard twin; the accelerators take only the latter.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if ((key->modifiers() & Qt::KeypadModifier) && widget && widget->window() == this) {
            const QKeySequence twin(key->key() | (key->modifiers() & ~Qt::KeypadModifier));
            const auto& table = Accelerators();
            if (std::any_of(table.begin(), table.end(),
                            [&twin](const CAccelerator& a) { return a.keys == twin; })) {
                event->accept();
                return true;
            }
        }
    }
    // A lock key shows at once; changes made elsewhere show at the next clock tick.
    if (event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock)
            UpdateLockPanes();
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // Nothing is ever unsaved: closing never asks.
    SaveBarState();
    event->accept();
}

void CMainFrame::SaveBarState() {
    QSettings settings;
    settings.beginGroup(QStringLiteral("Settings"));
    settings.setValue(QStringLiteral("BarState"), saveState());
    settings.setValue(QStringLiteral("StatusBar"), m_actions.at(cmd::ViewStatusBar)->isChecked());
    settings.endGroup();
}

void CMainFrame::RestoreBarState() {
    QSettings settings;
    settings.beginGroup(QStringLiteral("Settings"));
    const QByteArray state = settings.value(QStringLiteral("BarState")).toByteArray();
    if (!state.isEmpty())
        restoreState(state);
    const bool statusVisible = settings.value(QStringLiteral("StatusBar"), true).toBool();
    m_actions.at(cmd::ViewStatusBar)->setChecked(statusVisible);
    statusBar()->setVisible(statusVisible);
    settings.endGroup();
}

#pragma once
// The main frame's menu tree, accelerators, toolbar slots and prompts, as plain data.
#include "sql_params.h"
#include <QKeySequence>
#include <QString>
#include <vector>

struct CMenuItem {
    enum class Kind { Command, Popup, Separator };
    Kind kind = Kind::Command;
    int id = 0;                      // commands only
    QString text;                    // without the shortcut text
    int spaces = 0;                  // blanks between the text and the shortcut text
    QString shortcut;                // e.g. "CTRL+S"; empty when the item shows none
    std::vector<CMenuItem> children; // popups only

    // What the menu shows: the text, the blanks, the shortcut text.
    QString Caption() const;
};

// The top-level popups of the menu bar, in order.
const std::vector<CMenuItem>& MainMenu();

struct CAccelerator {
    QKeySequence keys;
    int command = 0;
};
const std::vector<CAccelerator>& Accelerators();

// Toolbar slots from left to right; 0 marks a separator.
const std::vector<int>& ToolbarSlots();
// The resource path of a toolbar command's image; empty for commands not on the toolbar.
QString ToolbarImage(int command);

struct CPrompt {
    QString statusTip;
    QString toolTip;
};
// The prompt of a command; both texts empty when it has none.
CPrompt PromptOf(int command);
// A command's menu text without its dots ("日销售报表"); empty for an id the menus lack.
QString CommandText(int command);
// The title of what filled the grid: `caption` and the period of the first date range in
// `sql` ("日销售报表 2026-12-08", "月销售报表 2026-12-01 至 2026-12-08"), written in it or bound to
// its marks (`values`); `caption` alone when the statement has none.
QString GridTitle(const QString& caption, const QString& sql, const sqlparams::Values& values = {});

// The one item of the toolbars' context menu and of 界面 → 工具栏.
QString ToolbarTitle();

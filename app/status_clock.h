#pragma once
// The text of the status bar's clock pane.
#include <QDateTime>
#include <QString>

// "%04d年%02d月%02d日%02d点%02d分" of the given local time.
QString ClockText(const QDateTime& now);
// What the pane shows, and is sized to, until the first tick.
QString ClockPlaceholder();

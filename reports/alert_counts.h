#pragma once
// How many rows of 药品预警 each kind of alert has today: what the status bar's alert pane
// shows without the list being opened.
#include "alert_settings.h"

#include <QDate>
#include <QString>
#include <optional>

class CDatabase;

struct CAlertCounts {
    int expired = 0;    // cards, 已过期
    int nearExpiry = 0; // cards, 近效期
    int shortDrugs = 0; // drugs, 库存不足
};

// The counts on `db` for `today`; nullopt when they cannot be read (no connection, a failed
// statement): the pane then shows nothing rather than a wrong all-clear.
std::optional<CAlertCounts> CountAlerts(CDatabase* db, const QDate& today,
                                        const CAlertSettings& settings);
// "预警：过期 n 批 · 近效期 n 批 · 缺货 n 种", or an empty text when nothing is in alert.
QString AlertPaneText(const CAlertCounts& counts);

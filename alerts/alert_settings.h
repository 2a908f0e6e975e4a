#pragma once
// What the pharmacy sets for its alerts, kept per computer in the program's settings file
// (group "Alerts"): a card is near expiry when it expires within `nearExpiryDays` from today,
// and a drug is short when its stock on hand in cards that have not expired is below
// `shortageBoxes`. `expiredLocked`: the sales entry refuses a card that has expired instead of
// asking. The sales entry, the alert list and the settings dialog share it.
#include <QDate>
#include <QString>
#include <optional>

struct CAlertSettings {
    int nearExpiryDays = 180;
    double shortageBoxes = 5;
    bool expiredLocked = true;

    // The values saved, or the defaults where none (or no valid one) is: the lock is off only
    // when saved as off.
    static CAlertSettings Load();
    void Save() const;

    // The two fields as typed: whole days and boxes, neither negative nor empty. nullopt, with
    // the first field that fails and why in `failure`, when either is not valid. The lock is
    // left at its default.
    static std::optional<CAlertSettings> Parse(const QString& days, const QString& boxes,
                                               QString* failure);
    // The values as the fields show them.
    QString DaysText() const;
    QString BoxesText() const;
    // The lock as the log names it: "是" or "否".
    QString LockedText() const;

    enum class Card { None, Expired, NearExpiry };
    // What a stock card is in alert for on `today`: only with stock on hand, and only when its
    // 有效截止日期 is a "yyyy-MM-dd" date.
    Card CardAlert(const QString& expiry, const QString& onHand, const QDate& today) const;
};

#pragma once
// Who is on duty as pharmacist at this counter, for this run of the program. They are on duty
// in the shop, not logged in: a switch of operator keeps them.
#include <QDateTime>
#include <QString>

class CDatabase;

class CPharmacistOnDuty {
public:
    const QString& Name() const { return m_strName; }
    bool IsOnDuty() const { return !m_strName.isEmpty(); }
    // After 药师在岗 logged them.
    void Set(const QString& name) { m_strName = name; }
    // 药师离岗, and at the end of the program: logs it under `operatorName` and clears it. They
    // have left whatever the log says: empty when logged, otherwise why not.
    QString GoOff(CDatabase* db, const QString& operatorName, const QDateTime& now);

    // The status bar's pane: "在岗药师：张三" or "药师不在岗".
    QString PaneText() const;
    static const QString kNobodyOnDuty;

private:
    QString m_strName;
};

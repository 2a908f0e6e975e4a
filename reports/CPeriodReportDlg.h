#pragma once
// 报表－汇总条件: the start and end date of a monthly or yearly report, with a hint that says
// what the dates are by default. The command sets both before showing the dialog.
#include "CDateRangeDlg.h"

class QLabel;

class CPeriodReportDlg : public CDateRangeDlg {
    Q_OBJECT
public:
    explicit CPeriodReportDlg(QWidget* parent = nullptr);

    void SetDates(const QDateTime& start, const QDateTime& end);
    void SetHint(const QString& hint);
    const QString& Hint() const { return m_strHint; }

private:
    CPeriodReportDlg(QWidget* parent, QLabel* hint);

    QString m_strHint;
    QLabel* m_pHint; // static 1063, owned by the dialog
};

#pragma once
// 日销售报表－汇总条件: the one day of the daily sales report, today when it opens.
#include "CConditionDlg.h"

#include <QDateTime>
#include <QString>

class CDayReportDlg : public CConditionDlg {
    Q_OBJECT
public:
    explicit CDayReportDlg(const QDateTime& now, QWidget* parent = nullptr);

    const QDateTime& ReportDate() const { return m_date; }
    // The text the picker displayed when 查看 was pressed.
    const QString& ReportDateText() const { return m_strDate; }

private:
    void UpdateData(bool save);
    void OnOK() override;

    QDateTime m_date;
    QString m_strDate;
    QDateEdit* m_pDate = nullptr;
};

#pragma once
// 销售查询: the days of sales to look up, by default yesterday and today.
#include "CDateRangeDlg.h"

class CSalesQueryDlg : public CDateRangeDlg {
    Q_OBJECT
public:
    explicit CSalesQueryDlg(const QDateTime& now, QWidget* parent = nullptr);
};

#pragma once
// 采购查询: the purchase dates to look up, by default the 356 days up to now.
#include "CDateRangeDlg.h"

class CPurchaseQueryDlg : public CDateRangeDlg {
    Q_OBJECT
public:
    explicit CPurchaseQueryDlg(const QDateTime& now, QWidget* parent = nullptr);
};

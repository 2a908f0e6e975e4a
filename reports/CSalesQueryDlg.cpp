#include "CSalesQueryDlg.h"

#include "report_defaults.h"

CSalesQueryDlg::CSalesQueryDlg(const QDateTime& now, QWidget* parent)
    : CDateRangeDlg(
          {QStringLiteral("190"), QStringLiteral("销售查询"),
           QStringLiteral("请在下面输入要检索的销售记录的信息，然后按【搜索】按钮进行搜索:"),
           QStringLiteral("开始时间："), QStringLiteral("结束时间："), QStringLiteral("搜索")},
          parent) {
    const reportdefaults::DateRange range = reportdefaults::SalesQuery(now);
    SetRange(range.start, range.end);
}

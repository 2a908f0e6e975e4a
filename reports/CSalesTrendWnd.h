#pragma once
// 销售趋势图: the period's turnover, cost and net profit over time, with the totals in the
// title, and the ten drugs with the highest net profit; 保存图片... and 关闭.
#include "sales_trend.h"

#include <QDialog>

class QChartView;

class CSalesTrendWnd : public QDialog {
    Q_OBJECT
public:
    // Ids of the buttons, which are also their objectName.
    enum : int { IdSaveImage = 1, IdClose = 2 };

    CSalesTrendWnd(const CSalesTrend& trend, const QDate& from, const QDate& to,
                   QWidget* parent = nullptr);

    QChartView* TrendView() const { return m_pTrend; }
    QChartView* DrugsView() const { return m_pDrugs; }
    // 保存图片...: both charts as one PNG file; false when cancelled or not written (shown).
    bool SaveImage();

private:
    QChartView* m_pTrend = nullptr;
    QChartView* m_pDrugs = nullptr;
};

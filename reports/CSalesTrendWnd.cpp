#include "CSalesTrendWnd.h"

#include "artwork.h"
#include "axis_steps.h"
#include "money.h"
#include "report_file.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValueAxis>

namespace {

QString Money(double value) {
    return money::Amount(value);
}

// Round steps over the values, zero always in sight.
void ScaleAxis(QValueAxis* axis, double low, double high) {
    const CAxisSteps steps = axissteps::Nice(std::min(low, 0.0), std::max(high, 0.0));
    axis->setRange(steps.low, steps.high);
    axis->setTickCount(steps.tickCount);
    axis->setLabelFormat(QStringLiteral("%.") + QString::number(steps.decimals) +
                         QStringLiteral("f"));
}

QChartView* NewView(QChart* chart, QWidget* parent) {
    auto* view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

QChart* TrendChart(const CSalesTrend& trend, const QDate& from, const QDate& to) {
    auto* chart = new QChart;
    const QString period =
        from.toString(Qt::ISODate) + QStringLiteral(" 至 ") + to.toString(Qt::ISODate);
    if (!trend.HasSales()) {
        chart->setTitle(period + QStringLiteral("：这段时间没有销售记录"));
        return chart;
    }
    chart->setTitle(QStringLiteral("%1%2：营业额 %3 元 · 成本 %4 元 · 净利润 %5 元")
                        .arg(period, trend.byMonth ? QStringLiteral("（按月）") : QString(),
                             Money(trend.turnover), Money(trend.cost),
                             Money(trend.turnover - trend.cost)));
    auto* turnover = new QLineSeries;
    turnover->setName(QStringLiteral("营业额"));
    auto* cost = new QLineSeries;
    cost->setName(QStringLiteral("成本"));
    auto* profit = new QLineSeries;
    profit->setName(QStringLiteral("净利润"));
    double low = 0, high = 0;
    for (const CTrendPoint& point : trend.points) {
        const qreal x = point.start.startOfDay().toMSecsSinceEpoch();
        turnover->append(x, point.turnover);
        cost->append(x, point.cost);
        profit->append(x, point.NetProfit());
        low = std::min({low, point.turnover, point.cost, point.NetProfit()});
        high = std::max({high, point.turnover, point.cost, point.NetProfit()});
    }
    auto* axisX = new QDateTimeAxis;
    axisX->setFormat(trend.byMonth ? QStringLiteral("yyyy-MM") : QStringLiteral("MM-dd"));
    // A tick on every day (month) while they fit, otherwise a dozen.
    const int points = static_cast<int>(trend.points.size());
    axisX->setTickCount(points >= 2 && points <= 16 ? points : std::min(points, 12) + 1);
    auto* axisY = new QValueAxis;
    axisY->setTitleText(QStringLiteral("元"));
    ScaleAxis(axisY, low, high);
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    for (QLineSeries* series : {turnover, cost, profit}) {
        chart->addSeries(series);
        series->attachAxis(axisX);
        series->attachAxis(axisY);
    }
    return chart;
}

QChart* DrugsChart(const CSalesTrend& trend) {
    auto* chart = new QChart;
    if (trend.topDrugs.empty()) {
        chart->setTitle(QStringLiteral("净利润最高的药品：这段时间没有销售记录"));
        return chart;
    }
    chart->setTitle(QStringLiteral("净利润最高的 %1 种药品").arg(trend.topDrugs.size()));
    auto* set = new QBarSet(QStringLiteral("净利润（元）"));
    QStringList names;
    double low = 0, high = 0;
    // The bars run from the bottom up: the most profitable drug on top.
    for (auto it = trend.topDrugs.rbegin(); it != trend.topDrugs.rend(); ++it) {
        const double profit = double(money::Cents(it->netProfit)) / 100.0;
        *set << profit;
        low = std::min(low, profit);
        high = std::max(high, profit);
        // The name alone, unless another listed drug shares it.
        const bool shared =
            std::count_if(trend.topDrugs.begin(), trend.topDrugs.end(),
                          [&](const CDrugProfit& d) { return d.name == it->name; }) > 1;
        names << (shared ? it->name + QStringLiteral("（") + it->origin + QStringLiteral("）")
                         : it->name);
    }
    auto* series = new QHorizontalBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    chart->addSeries(series);
    auto* axisY = new QBarCategoryAxis;
    axisY->append(names);
    // Ten names must all find room beside their bars.
    QFont small = axisY->labelsFont();
    small.setPointSizeF(8);
    axisY->setLabelsFont(small);
    auto* axisX = new QValueAxis;
    ScaleAxis(axisX, low, high);
    chart->addAxis(axisY, Qt::AlignLeft);
    chart->addAxis(axisX, Qt::AlignBottom);
    series->attachAxis(axisY);
    series->attachAxis(axisX);
    chart->legend()->setVisible(false);
    return chart;
}

} // namespace

CSalesTrendWnd::CSalesTrendWnd(const CSalesTrend& trend, const QDate& from, const QDate& to,
                               QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("销售趋势图"));
    setWindowIcon(ProgramIcon());
    m_pTrend = NewView(TrendChart(trend, from, to), this);
    m_pDrugs = NewView(DrugsChart(trend), this);
    auto* save = new QPushButton(QStringLiteral("保存图片..."), this);
    save->setObjectName(QString::number(IdSaveImage));
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QString::number(IdClose));
    close->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTrend, 1);
    layout->addWidget(m_pDrugs, 1);
    layout->addLayout(buttons);
    connect(save, &QPushButton::clicked, this, &CSalesTrendWnd::SaveImage);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    resize(980, 860);
}

bool CSalesTrendWnd::SaveImage() {
    const QString path =
        reportfile::AskPath(this, QStringLiteral("PNG 图片 (*.png)"), QStringLiteral("png"));
    if (path.isEmpty())
        return false;
    const QPixmap trend = m_pTrend->grab();
    const QPixmap drugs = m_pDrugs->grab();
    QPixmap image(std::max(trend.width(), drugs.width()), trend.height() + drugs.height());
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.drawPixmap(0, 0, trend);
        painter.drawPixmap(0, trend.height(), drugs);
    }
    return reportfile::Write(this, path, [&](QIODevice& file) { return image.save(&file, "PNG"); });
}

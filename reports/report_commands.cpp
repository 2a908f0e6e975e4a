#include "report_commands.h"

#include "CDatabase.h"

#include "CDayReportDlg.h"
#include "CPeriodReportDlg.h"
#include "CPurchaseQueryDlg.h"
#include "CSalesQueryDlg.h"
#include "CSalesTrendWnd.h"
#include "CShiftReportWnd.h"
#include "CStockQueryDlg.h"
#include "alert_settings.h"
#include "loss_summary.h"
#include "prompts.h"
#include "q_grid.h"
#include "register_reports.h"
#include "report_defaults.h"
#include "report_statements.h"
#include "sales_report.h"
#include "stock_reconciliation.h"
#include "trace_sales_report.h"

#include <QDate>
#include <optional>

namespace reports {

namespace {

const QString kPurchases = QStringLiteral("进");
const QString kStock = QStringLiteral("存");
const QString kSales = QStringLiteral("销");
const QString kLosses = QStringLiteral("损");

bool Accepted(QDialog& dialog, const CommandContext& context) {
    return context.runDialog(dialog) == QDialog::Accepted;
}

// What the period dialog was left with.
struct CChosenPeriod {
    QString startText, endText; // as the pickers show them
    QDate start, end;
};

// The period dialog opened on `range` with `hint`; nullopt unless it was accepted.
std::optional<CChosenPeriod> AskPeriod(QWidget* owner, const reportdefaults::DateRange& range,
                                       const QString& hint, const CommandContext& context) {
    CPeriodReportDlg dialog(owner);
    dialog.SetDates(range.start, range.end);
    dialog.SetHint(hint);
    if (!Accepted(dialog, context))
        return std::nullopt;
    return CChosenPeriod{dialog.StartText(), dialog.EndText(), dialog.StartDate().date(),
                         dialog.EndDate().date()};
}

void PeriodSalesReport(q_grid& grid, CDatabase* db, QWidget* owner, SalesPeriod period,
                       const reportdefaults::DateRange& range, const QString& hint,
                       const CommandContext& context) {
    if (const std::optional<CChosenPeriod> chosen = AskPeriod(owner, range, hint, context))
        ShowSalesReport(grid, db, period, chosen->startText, chosen->endText, owner);
}

void PurchaseReport(q_grid& grid, QWidget* owner, const reportdefaults::DateRange& range,
                    const QString& hint, const CommandContext& context) {
    if (const std::optional<CChosenPeriod> chosen = AskPeriod(owner, range, hint, context))
        grid.SetQuery(kPurchases, reportsql::PurchaseReport(chosen->startText, chosen->endText));
}

// Appends whole rows at the end of `grid`; a row that cannot be inserted is skipped.
void AppendRows(q_grid& grid, const std::vector<QStringList>& rows) {
    for (const QStringList& cells : rows) {
        const int at = grid.InsertItem(grid.GetItemCount(), cells.value(0));
        for (int c = 1; at != -1 && c < cells.size(); ++c)
            if (!cells[c].isEmpty())
                grid.SetItemText(at, c, cells[c]);
    }
}

} // namespace

int ExecModal(QDialog& dialog) {
    return dialog.exec();
}

void PurchaseQuery(q_grid& grid, QWidget* owner, const CommandContext& context) {
    CPurchaseQueryDlg dialog(context.now, owner);
    if (!Accepted(dialog, context))
        return;
    grid.SetQuery(kPurchases, reportsql::PurchaseQuery(dialog.StartText(), dialog.EndText()));
}

void SalesQuery(q_grid& grid, QWidget* owner, const CommandContext& context) {
    CSalesQueryDlg dialog(context.now, owner);
    if (!Accepted(dialog, context))
        return;
    grid.SetQuery(kSales, reportsql::SalesQuery(dialog.StartText(), dialog.EndText()));
}

void StockQuery(q_grid& grid, QWidget* owner, const CommandContext& context) {
    CStockQueryDlg dialog(owner);
    if (!Accepted(dialog, context))
        return;
    grid.SetQuery(kStock, reportsql::StockQuery(dialog.Patterns(),
                                                reportsql::OnPostgreSQL(grid.GetDatabase())));
}

void DaySalesReport(q_grid& grid, CDatabase* db, QWidget* owner, const CommandContext& context) {
    CDayReportDlg dialog(context.now, owner);
    if (!Accepted(dialog, context))
        return;
    // One day: its text stands for both ends of the range.
    const QString day = dialog.ReportDateText();
    // The day's report is what gets printed and filed: it carries the log's head.
    if (ShowSalesReport(grid, db, SalesPeriod::Day, day, day, owner))
        AppendLogHead(grid, db, owner);
}

void MonthSalesReport(q_grid& grid, CDatabase* db, QWidget* owner, const CommandContext& context) {
    PeriodSalesReport(grid, db, owner, SalesPeriod::Month, reportdefaults::MonthToDate(context.now),
                      reportdefaults::MonthHint(), context);
}

void YearSalesReport(q_grid& grid, CDatabase* db, QWidget* owner, const CommandContext& context) {
    PeriodSalesReport(grid, db, owner, SalesPeriod::Year, reportdefaults::YearToDate(context.now),
                      reportdefaults::YearSalesHint(), context);
}

void SalesTrend(CDatabase* db, QWidget* owner, const CommandContext& context) {
    const std::optional<CChosenPeriod> chosen = AskPeriod(
        owner, reportdefaults::MonthToDate(context.now), reportdefaults::MonthHint(), context);
    if (!chosen)
        return;
    const QDate from = chosen->start;
    const QDate to = chosen->end;
    QString failure;
    const std::optional<CSalesTrend> trend = salestrend::Load(db, from, to, &failure);
    if (!trend) {
        Prompts().TellFailure(owner, failure);
        return;
    }
    CSalesTrendWnd window(*trend, from, to, owner);
    context.runDialog(window);
}

void ExpiryCheck(q_grid& grid) {
    grid.SetQuery(kStock, reportsql::ExpiryCheck());
}

void StockAlerts(q_grid& grid, const CommandContext& context) {
    const CAlertSettings alerts = CAlertSettings::Load();
    grid.SetQuery(kStock, reportsql::StockAlerts(context.now.date(), alerts.nearExpiryDays,
                                                 alerts.shortageBoxes,
                                                 reportsql::OnPostgreSQL(grid.GetDatabase())));
}

void ShortageCheck(q_grid& grid) {
    grid.SetQuery(kStock, reportsql::ShortageCheck(reportsql::OnPostgreSQL(grid.GetDatabase())));
}

void AverageCost(q_grid& grid) {
    grid.SetQuery(kStock, reportsql::AverageCost(reportsql::OnPostgreSQL(grid.GetDatabase())));
}

void TotalStockCost(q_grid& grid) {
    grid.SetQuery(kStock, reportsql::TotalStockCost());
}

void MonthPurchaseReport(q_grid& grid, QWidget* owner, const CommandContext& context) {
    PurchaseReport(grid, owner, reportdefaults::MonthToDate(context.now),
                   reportdefaults::MonthHint(), context);
}

void YearPurchaseReport(q_grid& grid, QWidget* owner, const CommandContext& context) {
    PurchaseReport(grid, owner, reportdefaults::YearToDate(context.now),
                   reportdefaults::YearPurchaseHint(), context);
}

void LossReport(q_grid& grid, QWidget* owner, const CommandContext& context) {
    const std::optional<CChosenPeriod> chosen = AskPeriod(
        owner, reportdefaults::MonthToDate(context.now), reportdefaults::MonthHint(), context);
    if (!chosen ||
        !grid.SetQuery(kLosses, reportsql::LossReport(chosen->startText, chosen->endText)))
        return;
    // From the rows read, not a second statement: the figures cannot miss a row shown or count
    // one that is not. A load that failed on the way kept no row, and so gets no summary.
    const int cost = grid.Titles().indexOf(QStringLiteral("成本金额"));
    for (int row = 0; cost >= 0 && row < grid.GetItemCount(); ++row)
        grid.SetItemText(row, cost, LossCostText(grid.GetItemText(row, cost)));
    AppendRows(grid, LossSummaryRows(grid.Result()));
}

QString TraceSalesReport(q_grid& grid, QWidget* owner, const CommandContext& context) {
    const std::optional<CChosenPeriod> chosen = AskPeriod(
        owner, reportdefaults::MonthToDate(context.now), reportdefaults::MonthHint(), context);
    if (!chosen ||
        !grid.SetQuery(QStringLiteral("追溯码去向"), tracesales::Rows(chosen->start, chosen->end)))
        return {};
    QString failure;
    const std::optional<tracesales::CCounts> counts =
        tracesales::Count(grid.GetDatabase(), chosen->start, chosen->end, &failure);
    if (!counts) {
        Prompts().TellFailure(owner, QStringLiteral("无法统计未扫码的盒数：") + failure);
        return {};
    }
    return tracesales::StatusText(grid.GetItemCount(), *counts);
}

void PrescriptionRegister(q_grid& grid, QWidget* owner, bool /*wholeIds*/,
                          const CommandContext& context) {
    if (const std::optional<CChosenPeriod> chosen = AskPeriod(
            owner, reportdefaults::MonthToDate(context.now), reportdefaults::MonthHint(), context))
        grid.SetQuery(QStringLiteral("处方销售"),
                      registerreports::Prescriptions(chosen->start, chosen->end,
                                                     reportsql::OnPostgreSQL(grid.GetDatabase())));
}

void EphedrineRegister(q_grid& grid, QWidget* owner, bool wholeIds, const CommandContext& context) {
    if (const std::optional<CChosenPeriod> chosen = AskPeriod(
            owner, reportdefaults::MonthToDate(context.now), reportdefaults::MonthHint(), context))
        grid.SetQuery(QStringLiteral("麻黄碱登记"),
                      registerreports::Ephedrine(chosen->start, chosen->end, wholeIds,
                                                 reportsql::OnPostgreSQL(grid.GetDatabase())));
}

void ShiftReport(CDatabase* db, QWidget* owner, const QString& operatorName, bool isManager,
                 const CommandContext& context) {
    CShiftReportWnd window(db, operatorName, isManager, context.now, owner);
    context.runDialog(window);
}

void StockReconciliation(q_grid& grid, QWidget* owner) {
    CDatabase* db = grid.GetDatabase();
    if (!db || !db->IsOpen())
        return;
    QString failure;
    const std::optional<auditlog::CLedgerCheck> check = auditlog::CheckLedger(*db, &failure);
    if (!check) {
        Prompts().TellFailure(owner, QStringLiteral("无法核对库存：") + failure);
        return;
    }
    if (const QString nothing = stockreconciliation::NothingToReconcile(*check);
        !nothing.isEmpty()) {
        Prompts().Tell(owner, nothing, CPrompts::Icon::Information);
        return;
    }
    if (!grid.SetQuery(QStringLiteral("存"), stockreconciliation::Columns()))
        return;
    AppendRows(grid, stockreconciliation::Rows(*check));
}

} // namespace reports

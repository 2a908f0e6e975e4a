#pragma once
// The query, report and statistics commands of the main view. Each shows its result in the
// view's grid or a window of its own; none writes to the books but 交班, which only adds log
// rows. Cancelling a condition dialog changes nothing.
#include <QDateTime>
#include <functional>

class CDatabase;
class QDialog;
class QWidget;
class q_grid;

namespace reports {

// Runs `dialog` modally; its result.
int ExecModal(QDialog& dialog);

// When a command runs (its default dates are taken from it) and how it shows its dialog: modal
// by default; tests fill the dialog in and press its buttons instead.
struct CommandContext {
    QDateTime now = QDateTime::currentDateTime();
    std::function<int(QDialog&)> runDialog = ExecModal;
};

// Record queries. Dialogs are owned by the command and parented to `owner`.
void PurchaseQuery(q_grid& grid, QWidget* owner, const CommandContext& context = {});
void SalesQuery(q_grid& grid, QWidget* owner, const CommandContext& context = {});
void StockQuery(q_grid& grid, QWidget* owner, const CommandContext& context = {});

// Sales reports: the summary statement runs on `db`, its failures reported to `owner`.
void DaySalesReport(q_grid& grid, CDatabase* db, QWidget* owner,
                    const CommandContext& context = {});
void MonthSalesReport(q_grid& grid, CDatabase* db, QWidget* owner,
                      const CommandContext& context = {});
void YearSalesReport(q_grid& grid, CDatabase* db, QWidget* owner,
                     const CommandContext& context = {});
// 销售趋势图...: the period dialog (this month), then the chart window, modal.
void SalesTrend(CDatabase* db, QWidget* owner, const CommandContext& context = {});

// Stock statistics: no dialog.
void ExpiryCheck(q_grid& grid);
void ShortageCheck(q_grid& grid);
void AverageCost(q_grid& grid);
void TotalStockCost(q_grid& grid);

// 药品预警: what needs attention today, by the thresholds set in 系统设置.
void StockAlerts(q_grid& grid, const CommandContext& context = {});

// Purchase reports.
void MonthPurchaseReport(q_grid& grid, QWidget* owner, const CommandContext& context = {});
void YearPurchaseReport(q_grid& grid, QWidget* owner, const CommandContext& context = {});

// 损耗报表: the period dialog (this month), then the 损 rows of the period in the grid and
// below them one summary row per 原因 and "合计", reckoned from the rows shown, each
// row's 成本金额 to the cent. The dialog is owned by the command and parented to `owner`.
void LossReport(q_grid& grid, QWidget* owner, const CommandContext& context = {});

// 追溯码销售明细: the period dialog (this month), then one row per code sold in the period in
// the grid. Returns the status line (the codes and the whole boxes sold without one); empty
// when cancelled or nothing could be read (then the failure was shown to `owner`).
QString TraceSalesReport(q_grid& grid, QWidget* owner, const CommandContext& context = {});

// 处方药销售登记 and 含麻黄碱类复方制剂销售登记: the period dialog (this month), then one row per
// sale line of the period in the grid, oldest first; a reversed sale is marked 冲正 "是".
// `wholeIds`: the 店长 reads the buyer's ID number whole, anyone else masked (the prescription
// register has none). A failure is shown by the grid.
void PrescriptionRegister(q_grid& grid, QWidget* owner, bool wholeIds,
                          const CommandContext& context = {});
void EphedrineRegister(q_grid& grid, QWidget* owner, bool wholeIds,
                       const CommandContext& context = {});

// 交班报表: its window, modal, on today (context.now). `operatorName`: who is logged in, under
// whose name 交班 is logged; a 店长 (`isManager`) sees and hands over any operator or all, a
// 营业员 only themselves.
void ShiftReport(CDatabase* db, QWidget* owner, const QString& operatorName, bool isManager,
                 const CommandContext& context = {});

// 库存核对 (店长): every card's stock beside what its movements since the 期初 come to, the
// cards that differ first; a message instead when the books cannot be reconciled.
void StockReconciliation(q_grid& grid, QWidget* owner);

} // namespace reports

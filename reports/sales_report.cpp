#include "sales_report.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "log_head.h"
#include "prompts.h"
#include "q_grid.h"
#include "report_statements.h"
#include "reported_statement.h"

namespace {

const QString kSales = QStringLiteral("销");

} // namespace

bool ShowSalesReport(q_grid& grid, CDatabase* db, SalesPeriod period, const QString& from,
                     const QString& to, QWidget* owner) {
    if (!grid.SetQuery(kSales, reportsql::SalesDetail(from, to)))
        return false;
    // An empty range gets no summary block.
    if (grid.GetItemCount() == 0)
        return false;
    const std::optional<CResultTable> figures = RunStatementReported(
        db, kSales, reportsql::SalesSummary(from, to, reportsql::OnPostgreSQL(db)), owner);
    if (!figures)
        return false;
    AppendSummary(grid, SummaryRows(period, *figures));
    return true;
}

void AppendSummary(q_grid& grid, const SummaryBlock& block) {
    for (const SummaryRow& row : block) {
        const int at = grid.InsertItem(grid.GetItemCount(), row.label);
        if (at != -1 && row.hasValue)
            grid.SetItemText(at, 1, row.value);
    }
}

bool AppendLogHead(q_grid& grid, CDatabase* db, QWidget* owner) {
    QString failure = CDBException::ConnectionClosed().ErrorText();
    const std::optional<auditlog::CChainHead> head =
        db && db->IsOpen() ? auditlog::Head(*db, &failure) : std::nullopt;
    if (!head) {
        Prompts().TellFailure(owner, QStringLiteral("无法读取日志：") + failure.trimmed());
        return false;
    }
    return grid.InsertItem(grid.GetItemCount(), auditlog::HeadText(*head)) != -1;
}

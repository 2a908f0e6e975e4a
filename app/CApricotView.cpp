#include "CApricotView.h"

#include "CChangePasswordDlg.h"
#include "CDatabase.h"
#include "CDrugMaintDlg.h"
#include "CPeriodReportDlg.h"
#include "CPharmacistDutyDlg.h"
#include "CPurchaseEntryDlg.h"
#include "CSaleReversalDlg.h"
#include "CSalesEntryDlg.h"
#include "CSettingsDlg.h"
#include "CTraceQueryDlg.h"
#include "alert_counts.h"
#include "backup_command.h"
#include "backup_names.h"
#include "books_check.h"
#include "command_ids.h"
#include "command_rights.h"
#include "connect_file.h"
#include "detail_statements.h"
#include "feedback.h"
#include "frame_resources.h"
#include "grid_printing.h"
#include "import_commands.h"
#include "log_statements.h"
#include "loss_commands.h"
#include "maintenance_dialog.h"
#include "manager_approval.h"
#include "pack_quantity.h"
#include "prompts.h"
#include "q_grid.h"
#include "receipt_print.h"
#include "receipt_selection.h"
#include "report_commands.h"
#include "settings_groups.h"
#include "shell_launcher.h"

#include <QDate>
#include <QItemSelectionModel>
#include <QMainWindow>
#include <QResizeEvent>
#include <QStatusBar>
#include <map>

namespace {

using Handler = void (CApricotView::*)();

const std::map<int, Handler>& DispatchTable() {
    static const std::map<int, Handler> table = {
        {cmd::Settings, &CApricotView::OnSettings},
        {cmd::ChangePassword, &CApricotView::OnChangePassword},
        {cmd::PharmacistOnDuty, &CApricotView::OnPharmacistOnDuty},
        {cmd::PharmacistOffDuty, &CApricotView::OnPharmacistOffDuty},
        {cmd::AuditLog, &CApricotView::OnAuditLog},
        {cmd::CheckLog, &CApricotView::OnCheckLog},
        {cmd::BackUp, &CApricotView::OnBackUp},
        {cmd::ExportCsv, &CApricotView::OnExportCsv},
        {cmd::ExportCsvGb18030, &CApricotView::OnExportCsvGb18030},
        {cmd::TraceQuery, &CApricotView::OnTraceQuery},
        {cmd::TraceSalesReport, &CApricotView::OnTraceSalesReport},
        {cmd::PrescriptionRegister, &CApricotView::OnPrescriptionRegister},
        {cmd::EphedrineRegister, &CApricotView::OnEphedrineRegister},
        {cmd::Print, &CApricotView::OnPrint},
        {cmd::SalesTrend, &CApricotView::OnSalesTrend},
        {cmd::LossReport, &CApricotView::OnLossReport},
        {cmd::ShiftReport, &CApricotView::OnShiftReport},
        {cmd::ReprintReceipt, &CApricotView::OnReprintReceipt},
        {cmd::SaleReversal, &CApricotView::OnSaleReversal},
        {cmd::ExportPdf, &CApricotView::OnExportPdf},
        {cmd::Refresh, &CApricotView::OnRefresh},
        {cmd::PrintSave, &CApricotView::OnPrintSave},
        {cmd::PurchaseEntry, &CApricotView::OnPurchaseEntry},
        {cmd::PurchaseQuery, &CApricotView::OnPurchaseQuery},
        {cmd::PurchaseMaint, &CApricotView::OnPurchaseMaint},
        {cmd::StockQuery, &CApricotView::OnStockQuery},
        {cmd::StockMaint, &CApricotView::OnStockMaint},
        {cmd::DrugCatalogue, &CApricotView::OnDrugCatalogue},
        {cmd::StockAlerts, &CApricotView::OnStockAlerts},
        {cmd::WriteOff, &CApricotView::OnWriteOff},
        {cmd::StockTake, &CApricotView::OnStockTake},
        {cmd::ImportOpeningStock, &CApricotView::OnImportOpeningStock},
        {cmd::ExportImportTemplate, &CApricotView::OnExportImportTemplate},
        {cmd::SalesEntry, &CApricotView::OnSalesEntry},
        {cmd::SalesQuery, &CApricotView::OnSalesQuery},
        {cmd::SalesMaint, &CApricotView::OnSalesMaint},
        {cmd::DaySalesReport, &CApricotView::OnDaySalesReport},
        {cmd::MonthSalesReport, &CApricotView::OnMonthSalesReport},
        {cmd::YearSalesReport, &CApricotView::OnYearSalesReport},
        {cmd::ExpiryCheck, &CApricotView::OnExpiryCheck},
        {cmd::ShortageCheck, &CApricotView::OnShortageCheck},
        {cmd::AverageCost, &CApricotView::OnAverageCost},
        {cmd::TotalStockCost, &CApricotView::OnTotalStockCost},
        {cmd::StockReconciliation, &CApricotView::OnStockReconciliation},
        {cmd::MonthPurchaseReport, &CApricotView::OnMonthPurchaseReport},
        {cmd::YearPurchaseReport, &CApricotView::OnYearPurchaseReport},
        {cmd::TodaySales, &CApricotView::OnTodaySales},
        {cmd::StockList, &CApricotView::OnStockList},
        {cmd::YearPurchases, &CApricotView::OnYearPurchases},
        {cmd::Help, &CApricotView::OnHelp},
        {cmd::Calculator, &CApricotView::OnCalculator},
        {cmd::Feedback, &CApricotView::OnFeedback},
    };
    return table;
}

} // namespace

CApricotView::CApricotView(CDatabase* db, CShellLauncher& launcher, QWidget* parent)
    : QWidget(parent), m_pDatabase(db), m_launcher(launcher) {}

CApricotView::~CApricotView() = default;

void CApricotView::OnInitialUpdate() {
    if (m_pGrid)
        return;
    m_pGrid = new q_grid(this);
    m_pGrid->Create(m_pDatabase, QStringLiteral("销"), QStringLiteral("select * from 销 WHERE 1<0"),
                    this, rect(), true, false);
    m_pGrid->SetPermissions(true, false, false, false);
    // Several sales may be picked for one reprinted receipt.
    m_pGrid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(m_pGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { ShowPackQuantity(current.row()); });
    OnTodaySales();
    m_strGridTitle = GridTitle(CommandText(cmd::TodaySales), m_pGrid->Sql());
    m_nGridCommand = cmd::TodaySales;
}

bool CApricotView::IsViewCommand(int id) {
    return DispatchTable().count(id) != 0;
}

void CApricotView::SetOperator(const QString& name, ERole role) {
    m_strOperator = name;
    m_role = role;
}

bool CApricotView::OnCommand(int id) {
    const auto it = DispatchTable().find(id);
    if (it == DispatchTable().end())
        return false;
    // Not only the menu: an accelerator or a caller reaches here too.
    if (!commandrights::MayRun(m_role, id)) {
        Prompts().Tell(this, commandrights::kNeedsManager, CPrompts::Icon::Warning);
        return true;
    }
    const QString before = m_pGrid ? m_pGrid->Sql() : QString();
    const sqlparams::Values valuesBefore = m_pGrid ? m_pGrid->Values() : sqlparams::Values();
    (this->*(it->second))();
    // What filled the grid names the printed pages.
    if (m_pGrid && (m_pGrid->Sql() != before || m_pGrid->Values() != valuesBefore)) {
        m_strGridTitle = GridTitle(CommandText(id), m_pGrid->Sql(), m_pGrid->Values());
        m_nGridCommand = id;
    }
    return true;
}

QString CApricotView::GridTitleText() const {
    return m_strGridTitle.isEmpty() ? window()->windowTitle() : m_strGridTitle;
}

void CApricotView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_pGrid) {
        m_pGrid->setGeometry(0, 0, event->size().width(), event->size().height());
        m_pGrid->update();
    }
}

void CApricotView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    OnInitialUpdate();
}

void CApricotView::ShowQuery(const QString& table, const QString& sql) {
    if (m_pGrid)
        m_pGrid->SetQuery(table, sql);
}

void CApricotView::OnTodaySales() {
    ShowQuery(QStringLiteral("销"), TodaySalesStatement(QDate::currentDate()));
}

void CApricotView::OnStockList() {
    ShowQuery(QStringLiteral("存"), StockListStatement());
}

void CApricotView::OnYearPurchases() {
    ShowQuery(QStringLiteral("进"), YearPurchasesStatement(QDate::currentDate()));
}

void CApricotView::OnRefresh() {
    if (m_pGrid)
        m_pGrid->Reload();
    RefreshAlerts();
}

void CApricotView::RefreshAlerts() {
    const std::optional<CAlertCounts> counts =
        CountAlerts(m_pDatabase, QDate::currentDate(), CAlertSettings::Load());
    emit alertsChanged(counts ? AlertPaneText(*counts) : QString());
}

void CApricotView::OnBackUp() {
    BackUpBooks(window(), m_pDatabase, QDateTime::currentDateTime(), m_strOperator);
}

void CApricotView::OnPrintSave() {
    if (m_pGrid)
        m_pGrid->ExportHtml();
}

void CApricotView::OnExportCsv() {
    if (m_pGrid)
        m_pGrid->ExportCsv();
}

void CApricotView::OnExportCsvGb18030() {
    if (m_pGrid)
        m_pGrid->ExportCsv(csvexport::Encoding::Gb18030);
}

void CApricotView::OnTraceQuery() {
    CTraceQueryDlg dialog(m_pDatabase, window());
    dialog.exec();
}

void CApricotView::OnTraceSalesReport() {
    if (!m_pGrid)
        return;
    if (const QString status = reports::TraceSalesReport(*m_pGrid, window()); !status.isEmpty())
        ShowStatus(status);
}

// The two registers: whole ID numbers for the 店长 only.
void CApricotView::OnPrescriptionRegister() {
    if (m_pGrid)
        reports::PrescriptionRegister(*m_pGrid, window(), m_role == ERole::Manager);
}

void CApricotView::OnEphedrineRegister() {
    if (m_pGrid)
        reports::EphedrineRegister(*m_pGrid, window(), m_role == ERole::Manager);
}

void CApricotView::OnSalesTrend() {
    reports::SalesTrend(m_pDatabase, window());
}

void CApricotView::OnPrint() {
    if (m_pGrid)
        gridprinting::PrintPreview(window(), m_pGrid->Titles(), m_pGrid->Result(), GridTitleText(),
                                   QDate::currentDate().toString(Qt::ISODate));
}

void CApricotView::OnExportPdf() {
    if (m_pGrid)
        gridprinting::ExportPdf(window(), m_pGrid->Titles(), m_pGrid->Result(), GridTitleText(),
                                QDate::currentDate().toString(Qt::ISODate));
}

void CApricotView::OnHelp() {
    m_launcher.OpenUrl(HelpFileUrl());
}

void CApricotView::OnCalculator() {
    m_launcher.StartProgram(CalculatorPath());
}

void CApricotView::OnFeedback() {
    m_launcher.OpenUrl(FeedbackMailUrl(FeedbackAddress()));
}

// The settings and maintenance dialogs: built for this one run, owned by the main window, and
// gone when they close. The view is not refreshed afterwards; the alert pane is.
void CApricotView::OnSettings() {
    CSettingsDlg dialog(m_pDatabase, window(), CAutoRunEntry(), m_strOperator);
    AddSettingsGroups(dialog, m_pDatabase, m_strOperator);
    dialog.exec();
    RefreshAlerts();
}

void CApricotView::OnChangePassword() {
    CChangePasswordDlg dialog(m_pDatabase, m_strOperator, window());
    dialog.exec();
}

// 药师在岗: a second pharmacist replaces the one on duty, both logged.
void CApricotView::OnPharmacistOnDuty() {
    const std::optional<QString> onDuty =
        CPharmacistDutyDlg::Run(m_pDatabase, m_onDuty.Name(), m_strOperator, window());
    if (!onDuty)
        return;
    m_onDuty.Set(*onDuty);
    emit onDutyChanged(m_onDuty.PaneText());
}

void CApricotView::OnPharmacistOffDuty() {
    if (!m_onDuty.IsOnDuty()) {
        Prompts().Tell(window(), CPharmacistOnDuty::kNobodyOnDuty, CPrompts::Icon::Information);
        return;
    }
    const QString failure =
        m_onDuty.GoOff(m_pDatabase, m_strOperator, QDateTime::currentDateTime());
    emit onDutyChanged(m_onDuty.PaneText());
    if (!failure.isEmpty())
        Prompts().Tell(window(), QStringLiteral("药师已离岗，但没有写入操作日志：") + failure,
                       CPrompts::Icon::Warning);
}

// 操作日志: the period's log rows in the main grid, today by default.
void CApricotView::OnAuditLog() {
    if (!m_pGrid)
        return;
    CPeriodReportDlg dialog(window());
    const QDateTime now = QDateTime::currentDateTime();
    dialog.SetDates(QDateTime(now.date(), QTime(0, 0)), now);
    dialog.SetHint(QStringLiteral("默认为今天"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    ShowQuery(QStringLiteral("日志"),
              auditlog::PeriodStatement(dialog.StartDate().date(), dialog.EndDate().date()));
}

// 校验日志: the chain, and SQLite books against their newest backup.
void CApricotView::OnCheckLog() {
    if (!m_pDatabase)
        return;
    const QString books = SqliteBooksPath(m_pDatabase->ConnectString());
    const QString backup = books.isEmpty() ? QString()
                                           : auditlog::NewestFile(backupnames::DefaultFolder(books),
                                                                  backupnames::IsOwnBackup);
    const CBooksCheck check = auditlog::CheckBooks(*m_pDatabase, backup);
    switch (check.verdict) {
    case CBooksCheck::Verdict::Whole:
        Prompts().Tell(window(), check.message, CPrompts::Icon::Information);
        break;
    case CBooksCheck::Verdict::Broken:
        Prompts().Tell(window(), check.message, CPrompts::Icon::Warning);
        break;
    case CBooksCheck::Verdict::Failed:
        Prompts().TellFailure(window(), check.message);
        break;
    }
}

void CApricotView::OnPurchaseMaint() {
    CPurchaseMaintDlg dialog(m_pDatabase, window(), m_strOperator);
    dialog.exec();
    RefreshAlerts();
}

void CApricotView::OnStockMaint() {
    CStockMaintDlg dialog(m_pDatabase, window(), m_strOperator);
    dialog.exec();
    RefreshAlerts();
}

// A 营业员 may look the catalogue up; only the 店长 changes it.
void CApricotView::OnDrugCatalogue() {
    CDrugMaintDlg dialog(m_pDatabase, window(), m_strOperator, m_role == ERole::Manager);
    dialog.exec();
}

void CApricotView::OnSalesMaint() {
    CSalesMaintDlg dialog(m_pDatabase, window(), m_strOperator);
    dialog.exec();
    RefreshAlerts();
}

// The two entries: built for this one run, owned by the main window, gone when they close.
void CApricotView::OnPurchaseEntry() {
    CPurchaseEntryDlg dialog(m_pDatabase, window(), m_strOperator);
    dialog.exec();
    RefreshAlerts();
}

void CApricotView::OnSalesEntry() {
    CSalesEntryDlg dialog(m_pDatabase, window(), m_strOperator, m_role == ERole::Manager);
    dialog.SetPharmacistOnDuty([this] { return m_onDuty.Name(); });
    dialog.exec();
    RefreshAlerts();
}

// The queries, reports and statistics: each shows its result in the view's grid; their condition
// dialogs are owned by the main window and gone when they close.
void CApricotView::OnPurchaseQuery() {
    if (m_pGrid)
        reports::PurchaseQuery(*m_pGrid, window());
}

void CApricotView::OnStockQuery() {
    if (m_pGrid)
        reports::StockQuery(*m_pGrid, window());
}

void CApricotView::OnSalesQuery() {
    if (m_pGrid)
        reports::SalesQuery(*m_pGrid, window());
}

void CApricotView::OnDaySalesReport() {
    if (m_pGrid)
        reports::DaySalesReport(*m_pGrid, m_pDatabase, window());
}

void CApricotView::OnMonthSalesReport() {
    if (m_pGrid)
        reports::MonthSalesReport(*m_pGrid, m_pDatabase, window());
}

void CApricotView::OnYearSalesReport() {
    if (m_pGrid)
        reports::YearSalesReport(*m_pGrid, m_pDatabase, window());
}

void CApricotView::OnLossReport() {
    if (m_pGrid)
        reports::LossReport(*m_pGrid, window());
}

void CApricotView::OnShiftReport() {
    reports::ShiftReport(m_pDatabase, window(), m_strOperator, m_role == ERole::Manager);
}

// 补打小票: the receipt of the sales selected in the main grid, marked as a reprint.
void CApricotView::OnReprintReceipt() {
    QString why = kChooseSalesToReprint;
    const QStringList numbers = m_pGrid ? SelectedSaleNumbers(*m_pGrid, &why) : QStringList();
    if (numbers.isEmpty() || !m_pDatabase) {
        Prompts().Tell(window(), why, CPrompts::Icon::Information);
        return;
    }
    const CReceiptOutcome printed = PrintReceipt(*m_pDatabase, numbers, m_strOperator, true);
    if (!printed.ok) {
        Prompts().Tell(window(), printed.message, CPrompts::Icon::Warning);
        return;
    }
    ShowStatus(printed.message);
}

// 销售冲正: the sale selected in the main grid is found at once. A 营业员 needs a 店长's name
// and password in the dialog, whichever way the command was reached.
void CApricotView::OnSaleReversal() {
    const QStringList selected = m_pGrid ? SelectedSaleNumbers(*m_pGrid, nullptr) : QStringList();
    CDatabase* const db = m_pDatabase;
    CSaleReversal reversal(db, m_strOperator,
                           !commandrights::NeedsManagerApproval(m_role, cmd::SaleReversal),
                           [db](const QString& name, const QString& password) {
                               return managerapproval::Approves(db, name, password);
                           });
    CSaleReversalDlg dialog(reversal, window(), selected.isEmpty() ? QString() : selected.front());
    dialog.exec();
    if (dialog.Recorded().isEmpty())
        return;
    if (m_pGrid && m_pGrid->Table() == QStringLiteral("销"))
        m_pGrid->Reload();
    RefreshAlerts();
    ShowStatus(QStringLiteral("已冲正一笔销售"));
}

void CApricotView::OnExpiryCheck() {
    if (m_pGrid)
        reports::ExpiryCheck(*m_pGrid);
}

void CApricotView::OnStockAlerts() {
    if (m_pGrid)
        reports::StockAlerts(*m_pGrid);
}

// 报损/退货: from the alert list, the selected card is filled in. What was written off leaves the
// list and the alert pane at once.
void CApricotView::OnWriteOff() {
    std::optional<losssql::Card> picked;
    if (m_pGrid && m_nGridCommand == cmd::StockAlerts)
        picked = losses::SelectedCard(*m_pGrid);
    const QString recorded = losses::WriteOff(m_pDatabase, window(), m_strOperator, picked);
    if (recorded.isEmpty())
        return;
    if (m_pGrid && m_nGridCommand == cmd::StockAlerts)
        m_pGrid->Reload();
    RefreshAlerts();
    ShowStatus(recorded);
}

void CApricotView::OnStockTake() {
    const QString recorded = losses::StockTake(m_pDatabase, window(), m_strOperator);
    if (recorded.isEmpty())
        return;
    RefreshAlerts();
    ShowStatus(recorded);
}

// Moving in: the stock the import brought shows in 库存明细 and the alerts.
void CApricotView::OnImportOpeningStock() {
    if (!stockimport::ImportOpeningStock(m_pDatabase, window(), m_strOperator))
        return;
    RefreshAlerts();
    ShowStatus(QStringLiteral("期初库存已导入：可在“库存明细”中查看"));
}

void CApricotView::OnExportImportTemplate() {
    stockimport::ExportTemplate(window());
}

// The grid keeps boxes, a number that sorts and exports; the status line reads them as a person
// counts them, for the cards (库存明细, 药品预警, 查询库存) and the 损 rows (损耗报表).
void CApricotView::ShowPackQuantity(int row) {
    if (!m_pGrid || row < 0 ||
        (m_pGrid->Table() != QStringLiteral("存") && m_pGrid->Table() != QStringLiteral("损")))
        return;
    const std::vector<CResultColumn>& columns = m_pGrid->Result().Columns();
    const auto column = [&columns](const QString& name) {
        for (size_t c = 0; c < columns.size(); ++c)
            if (columns[c].m_strName == name)
                return int(c);
        return -1;
    };
    const int name = column(QStringLiteral("名称"));
    const int origin = column(QStringLiteral("产地"));
    const int packModel = column(QStringLiteral("规格型号"));
    int quantity = column(QStringLiteral("现有存货量"));
    if (quantity < 0)
        quantity = column(QStringLiteral("数量"));
    if (name < 0 || origin < 0 || packModel < 0 || quantity < 0 || row >= m_pGrid->GetItemCount())
        return;
    bool isNumber = false;
    const double boxes = m_pGrid->GetItemText(row, quantity).toDouble(&isNumber);
    // A summary row below a report names no card.
    if (!isNumber || m_pGrid->GetItemText(row, name).isEmpty())
        return;
    QString failure;
    const std::optional<CPackUnit> pack = packquantity::OfCard(
        m_pDatabase, m_pGrid->GetItemText(row, name), m_pGrid->GetItemText(row, origin),
        m_pGrid->GetItemText(row, packModel), &failure);
    QString text = QStringLiteral("%1 %2 %3：%4 %5")
                       .arg(m_pGrid->GetItemText(row, name), m_pGrid->GetItemText(row, origin),
                            m_pGrid->GetItemText(row, packModel),
                            columns[size_t(quantity)].m_strName, packquantity::Text(boxes, pack));
    if (!failure.isEmpty())
        text += QStringLiteral("（药品目录读不出，只按盒显示：%1）").arg(failure.trimmed());
    ShowStatus(text);
}

void CApricotView::ShowStatus(const QString& text) {
    if (auto* frame = qobject_cast<QMainWindow*>(window()); frame && frame->statusBar())
        frame->statusBar()->showMessage(text);
}

void CApricotView::OnShortageCheck() {
    if (m_pGrid)
        reports::ShortageCheck(*m_pGrid);
}

void CApricotView::OnAverageCost() {
    if (m_pGrid)
        reports::AverageCost(*m_pGrid);
}

void CApricotView::OnTotalStockCost() {
    if (m_pGrid)
        reports::TotalStockCost(*m_pGrid);
}

void CApricotView::OnStockReconciliation() {
    if (m_pGrid)
        reports::StockReconciliation(*m_pGrid, window());
}

void CApricotView::OnMonthPurchaseReport() {
    if (m_pGrid)
        reports::MonthPurchaseReport(*m_pGrid, window());
}

void CApricotView::OnYearPurchaseReport() {
    if (m_pGrid)
        reports::YearPurchaseReport(*m_pGrid, window());
}

#pragma once
// The one view of the main frame: a read-only, sortable record grid showing the last query,
// and the handler of every business command.
#include "operator_role.h"
#include "pharmacist_on_duty.h"

#include <QWidget>

class CDatabase;
class CShellLauncher;
class q_grid;

class CApricotView : public QWidget {
    Q_OBJECT
public:
    // `db` and `launcher` are borrowed and outlive the view.
    CApricotView(CDatabase* db, CShellLauncher& launcher, QWidget* parent = nullptr);
    ~CApricotView() override;

    // Creates the grid with the columns of 销 and loads today's sales. Runs once.
    void OnInitialUpdate();
    // Runs the handler of `id`; false when the command is not the view's. A command the
    // operator's role does not allow says "需要店长权限" and runs nothing.
    virtual bool OnCommand(int id);
    // Who is logged in, for the commands' checks.
    void SetOperator(const QString& name, ERole role);
    const QString& OperatorName() const { return m_strOperator; }
    ERole OperatorRole() const { return m_role; }
    static bool IsViewCommand(int id);
    // The pharmacist on duty at this counter for this run; the frame shows them.
    CPharmacistOnDuty& OnDuty() { return m_onDuty; }

    // Counts what 药品预警 would list today and tells alertsChanged; called when the main window
    // appears, on 更新显示 and when an entry, maintenance or settings dialog closes.
    void RefreshAlerts();

    q_grid* Grid() const { return m_pGrid; }
    // What filled the grid ("日销售报表 2026-12-08"), or the window caption when unknown.
    QString GridTitleText() const;
    CDatabase* Database() const { return m_pDatabase; }

    // One handler per command.
    void OnSettings();
    void OnChangePassword();
    void OnPharmacistOnDuty();
    void OnPharmacistOffDuty();
    void OnAuditLog();
    void OnCheckLog();
    void OnBackUp();
    void OnRefresh();
    void OnPrintSave();
    void OnExportCsv();
    void OnExportCsvGb18030();
    void OnPrint();
    void OnExportPdf();
    void OnPurchaseEntry();
    void OnPurchaseQuery();
    void OnPurchaseMaint();
    void OnStockQuery();
    void OnStockMaint();
    void OnDrugCatalogue();
    void OnSalesEntry();
    void OnSalesQuery();
    void OnSalesMaint();
    void OnDaySalesReport();
    void OnMonthSalesReport();
    void OnYearSalesReport();
    void OnExpiryCheck();
    void OnShortageCheck();
    void OnStockAlerts();
    void OnWriteOff();
    void OnStockTake();
    void OnImportOpeningStock();
    void OnExportImportTemplate();
    void OnAverageCost();
    void OnTotalStockCost();
    void OnStockReconciliation();
    void OnMonthPurchaseReport();
    void OnYearPurchaseReport();
    void OnSalesTrend();
    void OnLossReport();
    void OnShiftReport();
    void OnReprintReceipt();
    void OnSaleReversal();
    void OnTraceQuery();
    void OnTraceSalesReport();
    void OnPrescriptionRegister();
    void OnEphedrineRegister();
    void OnTodaySales();
    void OnStockList();
    void OnYearPurchases();
    void OnHelp();
    void OnCalculator();
    void OnFeedback();

signals:
    // The alert pane's text; empty when nothing is in alert or the counts cannot be read.
    void alertsChanged(const QString& text);
    // The pharmacist pane's text, after 药师在岗 or 药师离岗.
    void onDutyChanged(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Hands a statement to the grid; failures are the grid's to report.
    void ShowQuery(const QString& table, const QString& sql);
    // What a command did, in the main window's message pane.
    void ShowStatus(const QString& text);
    // The current row's card and its stock (or 数量) in boxes and pieces, in the status line.
    void ShowPackQuantity(int row);

    CDatabase* m_pDatabase;
    CShellLauncher& m_launcher;
    QString m_strOperator;
    CPharmacistOnDuty m_onDuty;
    // Until a login says otherwise; the program always sets it after the login.
    ERole m_role = ERole::Manager;
    q_grid* m_pGrid = nullptr; // child of this widget, created at the first update
    QString m_strGridTitle;    // what filled the grid, for the printed pages
    int m_nGridCommand = 0;    // the command that filled the grid
};

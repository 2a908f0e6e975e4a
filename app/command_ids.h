#pragma once
// Every command of the menu, the toolbar and the accelerator table, by its numeric id.
// The ids are also the objectName of their actions.

namespace cmd {

enum : int {
    // 系统
    Settings = 32827,          // 设置...
    BackUp = 32901,            // 备份数据...
    ChangePassword = 32907,    // 修改密码...
    SwitchOperator = 32923,    // 切换操作员...
    PharmacistOnDuty = 32921,  // 药师在岗...
    PharmacistOffDuty = 32922, // 药师离岗
    AuditLog = 32908,          // 操作日志...
    CheckLog = 32909,          // 校验日志
    ToolbarListPlaceholder = 32771,
    Refresh = 32862,          // 更新显示
    PrintSave = 32864,        // 打印保存
    Print = 32904,            // 打印...
    ExportPdf = 32905,        // 导出 PDF...
    ExportCsv = 32903,        // 导出 CSV...
    ExportCsvGb18030 = 32920, // 导出 CSV（GB18030）...
    AppExit = 57665,          // 安全退出
    // 采购管理
    PurchaseEntry = 32831, // 药品入库登记
    PurchaseQuery = 32833, // 查询采购记录
    PurchaseMaint = 32832, // 维护采购记录
    // 库存管理
    StockQuery = 32834,           // 查询库存
    StockMaint = 32835,           // 维护库存
    DrugCatalogue = 32917,        // 维护药品目录
    StockAlerts = 32900,          // 药品预警
    WriteOff = 32910,             // 报损/退货...
    StockTake = 32911,            // 库存盘点...
    ImportOpeningStock = 32926,   // 导入期初库存...
    ExportImportTemplate = 32927, // 导出期初模板...
    // 销售管理
    SalesEntry = 32836,     // 添加销售记录
    SalesQuery = 32837,     // 查询销售记录
    SalesMaint = 32838,     // 维护销售记录
    ReprintReceipt = 32913, // 补打小票...
    SaleReversal = 32915,   // 销售冲正...
    TraceQuery = 32918,     // 追溯码查询...
    // 报表统计
    DaySalesReport = 32847,       // 日销售报表
    MonthSalesReport = 32875,     // 月销售报表
    YearSalesReport = 32876,      // 年度销售报表
    ExpiryCheck = 32872,          // 药品过期检查
    ShortageCheck = 32878,        // 缺货检查
    AverageCost = 32880,          // 平均成本分析
    TotalStockCost = 32879,       // 库存总成本
    StockReconciliation = 32916,  // 库存核对
    MonthPurchaseReport = 32881,  // 月采购报表
    YearPurchaseReport = 32873,   // 年采购报表
    SalesTrend = 32906,           // 销售趋势图...
    LossReport = 32912,           // 损耗报表
    ShiftReport = 32914,          // 交班报表
    TraceSalesReport = 32919,     // 追溯码销售明细
    PrescriptionRegister = 32924, // 处方药销售登记
    EphedrineRegister = 32925,    // 含麻黄碱类复方制剂销售登记
    TodaySales = 32848,           // 本日销售明细
    StockList = 32849,            // 库存明细
    YearPurchases = 32850,        // 本年度采购明细
    // 帮助
    Help = 32869,       // 帮助
    Calculator = 32845, // 计算器
    Feedback = 32856,   // 信息反馈
    About = 57664,      // 关于...
    // The bars
    ViewToolbar = 59392,   // 默认工具栏
    ViewStatusBar = 59393, // 状态栏
};

// Ids of the bars themselves (their objectName).
enum : int {
    MenuBarId = 59398,
    ToolBarId = 59392,
    StatusBarId = 59393,
};

// Ids of the status bar panes after the message pane.
enum : int {
    ClockPane = 61446,
    CapsPane = 59137,
    NumPane = 59138,
    ScrollPane = 59139,
};

} // namespace cmd

#include "frame_resources.h"

#include <QRegularExpression>
#include <functional>

#include "command_ids.h"

#include <map>

QString CMenuItem::Caption() const {
    if (shortcut.isEmpty())
        return text;
    return text + QString(spaces, QLatin1Char(' ')) + shortcut;
}

namespace {

using Kind = CMenuItem::Kind;

CMenuItem Item(int id, const char* text, int spaces = 0, const char* shortcut = "") {
    return {Kind::Command, id, QString::fromUtf8(text), spaces, QString::fromUtf8(shortcut), {}};
}

CMenuItem Popup(const char* text, std::vector<CMenuItem> children) {
    return {Kind::Popup, 0, QString::fromUtf8(text), 0, {}, std::move(children)};
}

CMenuItem Separator() {
    return {Kind::Separator, 0, {}, 0, {}, {}};
}

std::vector<CMenuItem> BuildMainMenu() {
    return {
        Popup("(&1)系统",
              {Item(cmd::Settings, "设置...", 18, "CTRL+S"),
               Item(cmd::ChangePassword, "修改密码...", 14, "CTRL+ALT+M"),
               Item(cmd::SwitchOperator, "切换操作员..."),
               Item(cmd::PharmacistOnDuty, "药师在岗..."), Item(cmd::PharmacistOffDuty, "药师离岗"),
               Item(cmd::AuditLog, "操作日志...", 14, "CTRL+ALT+K"),
               Item(cmd::CheckLog, "校验日志"), Item(cmd::BackUp, "备份数据...", 14, "CTRL+B"),
               Popup("界面", {Popup("工具栏", {Item(cmd::ToolbarListPlaceholder, "")}),
                              Item(cmd::ViewStatusBar, "状态栏")}),
               Popup("操作",
                     {Item(cmd::Refresh, "更新显示"), Item(cmd::PrintSave, "打印保存", 10, "ALT+S"),
                      Item(cmd::Print, "打印...", 11, "CTRL+P"),
                      Item(cmd::ExportPdf, "导出 PDF...", 7, "CTRL+SHIFT+P"),
                      Item(cmd::ExportCsv, "导出 CSV...", 7, "CTRL+SHIFT+S"),
                      Item(cmd::ExportCsvGb18030, "导出 CSV（GB18030）...")}),
               Separator(), Item(cmd::AppExit, "安全退出", 14, "ALT+Z")}),
        Popup("(&2)采购管理", {Item(cmd::PurchaseEntry, "药品入库登记", 10, "CTRL+1"), Separator(),
                               Item(cmd::PurchaseQuery, "查询采购记录", 10, "CTRL+ALT+R"),
                               Item(cmd::PurchaseMaint, "维护采购记录", 10, "CTRL+ALT+T")}),
        Popup("(&3)库存管理", {Item(cmd::StockQuery, "查询库存", 10, "CTRL+ALT+Y"),
                               Item(cmd::StockMaint, "维护库存", 10, "CTRL+ALT+U"),
                               Item(cmd::DrugCatalogue, "维护药品目录"),
                               Item(cmd::StockAlerts, "药品预警", 10, "CTRL+ALT+W"), Separator(),
                               Item(cmd::WriteOff, "报损/退货...", 7, "CTRL+ALT+L"),
                               Item(cmd::StockTake, "库存盘点..."), Separator(),
                               Item(cmd::ImportOpeningStock, "导入期初库存..."),
                               Item(cmd::ExportImportTemplate, "导出期初模板...")}),
        Popup("(&4)销售管理", {Item(cmd::SalesEntry, "添加销售记录", 10, "CTRL+2"), Separator(),
                               Item(cmd::SalesQuery, "查询销售记录", 10, "CTRL+ALT+O"),
                               Item(cmd::SalesMaint, "维护销售记录", 10, "CTRL+ALT+P"), Separator(),
                               Item(cmd::ReprintReceipt, "补打小票..."),
                               Item(cmd::SaleReversal, "销售冲正...", 9, "CTRL+ALT+X"),
                               Item(cmd::TraceQuery, "追溯码查询...", 7, "CTRL+ALT+Q")}),
        Popup(
            "(&5)报表统计",
            {Popup("销售报表", {Item(cmd::DaySalesReport, "日销售报表"),
                                Item(cmd::MonthSalesReport, "月销售报表"),
                                Item(cmd::YearSalesReport, "年度销售报表")}),
             Popup("库存统计",
                   {Item(cmd::ExpiryCheck, "药品过期检查"), Item(cmd::ShortageCheck, "缺货检查"),
                    Item(cmd::AverageCost, "平均成本分析"), Item(cmd::TotalStockCost, "库存总成本"),
                    Item(cmd::StockReconciliation, "库存核对")}),
             Popup("采购报表", {Item(cmd::MonthPurchaseReport, "月采购报表"),
                                Item(cmd::YearPurchaseReport, "年采购报表")}),
             Item(cmd::LossReport, "损耗报表"), Item(cmd::ShiftReport, "交班报表"),
             Item(cmd::TraceSalesReport, "追溯码销售明细"),
             Item(cmd::PrescriptionRegister, "处方药销售登记"),
             Item(cmd::EphedrineRegister, "含麻黄碱类复方制剂销售登记"),
             Item(cmd::SalesTrend, "销售趋势图...", 9, "CTRL+ALT+J"), Separator(),
             Item(cmd::TodaySales, "本日销售明细", 10, "CTRL+ALT+F"),
             Item(cmd::StockList, "库存明细", 18, "CTRL+ALT+G"),
             Item(cmd::YearPurchases, "本年度采购明细", 6, "CTRL+ALT+H")}),
        Popup("(&6)帮助",
              {Item(cmd::Help, "帮助", 16, "F1"), Item(cmd::Calculator, "计算器", 12, "F3"),
               Separator(), Item(cmd::Feedback, "信息反馈"), Item(cmd::About, "关于...")}),
    };
}

} // namespace

const std::vector<CMenuItem>& MainMenu() {
    static const std::vector<CMenuItem> menu = BuildMainMenu();
    return menu;
}

const std::vector<CAccelerator>& Accelerators() {
    // Qt::Key_1 is the main keyboard's digit: the keypad's carries Qt::KeypadModifier.
    static const std::vector<CAccelerator> table = {
        {QKeySequence(Qt::CTRL | Qt::Key_1), cmd::PurchaseEntry},
        {QKeySequence(Qt::CTRL | Qt::Key_2), cmd::SalesEntry},
        {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_F), cmd::TodaySales},
        {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_G), cmd::StockList},
        {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_H), cmd::YearPurchases},
        {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_J), cmd::SalesTrend},
        {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_O), cmd::SalesQuery},
        {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_P), cmd::SalesMaint},
        {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_R), cmd::PurchaseQuery},
        {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_T), cmd::PurchaseMaint},
        {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_U), cmd::StockMaint},
        {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_W), cmd::StockAlerts},
        {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_X), cmd::SaleReversal},
        {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Q), cmd::TraceQuery},
        {QKeySequence(Qt::Key_F1), cmd::Help},
        {QKeySequence(Qt::Key_F3), cmd::Calculator},
        {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Y), cmd::StockQuery},
        {QKeySequence(Qt::ALT | Qt::Key_Z), cmd::AppExit},
        {QKeySequence(Qt::CTRL | Qt::Key_S), cmd::Settings},
        {QKeySequence(Qt::CTRL | Qt::Key_B), cmd::BackUp},
        {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_M), cmd::ChangePassword},
        {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_K), cmd::AuditLog},
        {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_L), cmd::WriteOff},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), cmd::ExportCsv},
        {QKeySequence(Qt::CTRL | Qt::Key_P), cmd::Print},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), cmd::ExportPdf},
        {QKeySequence(Qt::ALT | Qt::Key_S), cmd::PrintSave},
    };
    return table;
}

const std::vector<int>& ToolbarSlots() {
    static const std::vector<int> order = {
        cmd::SalesEntry,
        cmd::PurchaseEntry,
        0,
        cmd::TodaySales,
        cmd::StockList,
        cmd::YearPurchases,
        0,
        cmd::PrintSave,
        cmd::Refresh,
        0,
        cmd::Settings,
        0,
        cmd::Calculator,
        cmd::Feedback,
        0,
        cmd::About,
    };
    return order;
}

QString ToolbarImage(int command) {
    static const std::map<int, const char*> images = {
        {cmd::SalesEntry, ":/res/tb_sale.svg"},
        {cmd::PurchaseEntry, ":/res/tb_purchase.svg"},
        {cmd::TodaySales, ":/res/tb_today_sales.svg"},
        {cmd::StockList, ":/res/tb_stock.svg"},
        {cmd::YearPurchases, ":/res/tb_year_purchases.svg"},
        {cmd::PrintSave, ":/res/tb_print.svg"},
        {cmd::Refresh, ":/res/tb_refresh.svg"},
        {cmd::Settings, ":/res/tb_settings.svg"},
        {cmd::Calculator, ":/res/tb_calc.svg"},
        {cmd::Feedback, ":/res/tb_feedback.svg"},
        {cmd::About, ":/res/tb_about.svg"},
    };
    const auto it = images.find(command);
    return it == images.end() ? QString() : QString::fromLatin1(it->second);
}

CPrompt PromptOf(int command) {
    static const std::map<int, std::pair<const char*, const char*>> prompts = {
        {cmd::Settings, {"设置", "设置"}},
        {cmd::BackUp, {"把账套备份到一个文件", "备份数据"}},
        {cmd::ChangePassword, {"修改自己的登录密码", "修改密码"}},
        {cmd::SwitchOperator, {"换一位操作员登录，不退出程序", "切换操作员"}},
        {cmd::PharmacistOnDuty,
         {"执业药师输入自己的密码上岗，处方药销售由在岗药师审方", "药师在岗"}},
        {cmd::PharmacistOffDuty, {"在岗的执业药师离开柜台", "药师离岗"}},
        {cmd::PrescriptionRegister,
         {"某一时期的处方药销售：处方、患者、审方药师和调配人", "处方药销售登记"}},
        {cmd::EphedrineRegister,
         {"某一时期含麻黄碱类复方制剂的每笔销售及购买人", "含麻黄碱类复方制剂销售登记"}},
        {cmd::AuditLog, {"某一时期里谁做了什么：登录、进货、销售、修改记录和设置", "操作日志"}},
        {cmd::CheckLog, {"检查日志是否被改动过，并与最新的备份比对", "校验日志"}},
        {cmd::StockReconciliation,
         {"每张库存卡的现有存货量与期初和进、销、损算出的数量比对", "库存核对"}},
        {cmd::PurchaseEntry, {"药品入库登记", "药品入库"}},
        {cmd::SalesEntry, {"添加销售记录", "销售登记"}},
        {cmd::Calculator, {"计算器", "计算器"}},
        {cmd::TodaySales, {"本日销售明细", "本日销售明细"}},
        {cmd::StockList, {"库存明细", "库存明细"}},
        {cmd::YearPurchases, {"年度采购明细", "年度采购明细"}},
        {cmd::Feedback, {"将你在使用过程中的问题反馈给设计者", "信息反馈"}},
        {cmd::Refresh, {"更新", "更新"}},
        {cmd::PrintSave, {"保存记录到文本", "保存"}},
        {cmd::SalesTrend, {"营业额、成本和净利润随时间的走势，净利润最高的药品", "销售趋势图"}},
        {cmd::WriteOff, {"把过期、破损或退回供应商的药品记为损耗，移出库存", "报损/退货"}},
        {cmd::StockTake, {"清点库存，把实盘与账面的差异记入账上", "库存盘点"}},
        {cmd::ImportOpeningStock,
         {"从旧程序或表格导入药品目录和期初库存（CSV 或 XLSX）", "导入期初库存"}},
        {cmd::ExportImportTemplate, {"写出只有表头的期初库存模板，供填写后导入", "导出期初模板"}},
        {cmd::LossReport, {"某一时期的报损、退货和盘点差异及其成本", "损耗报表"}},
        {cmd::ReprintReceipt, {"为主窗口中选中的销售记录再打印一张小票，标明补打", "补打小票"}},
        {cmd::SaleReversal,
         {"把一笔录错的销售冲正：记一笔负数销售，数量退回库存；营业员须店长授权", "销售冲正"}},
        {cmd::ShiftReport, {"某一天每位营业员的销售笔数、营业额和首末笔时间，交班", "交班报表"}},
        {cmd::Print, {"打印记录表，可先预览", "打印"}},
        {cmd::ExportPdf, {"把记录表保存为 PDF 文件", "导出 PDF"}},
        {cmd::ExportCsv, {"把记录表保存为 CSV 文件，供电子表格使用", "导出 CSV"}},
        {cmd::ExportCsvGb18030,
         {"把记录表保存为 GB18030 编码的 CSV 文件，供只认国标编码的上传工具使用",
          "导出 CSV（GB18030）"}},
        {cmd::TraceQuery, {"输入或扫描一个追溯码，查看这一盒从入库到售出的经过", "追溯码查询"}},
        {cmd::TraceSalesReport,
         {"某一时期售出的每个追溯码及其药品、批号、营业员，和未扫码的整盒销售盒数",
          "追溯码销售明细"}},
        {cmd::About, {"显示程序的版本号和开发者信息", "关于"}},
        {cmd::AppExit, {"Quit the application; prompts to save documents", "Exit"}},
        {cmd::ViewToolbar, {"Show or hide the toolbar", "Toggle ToolBar"}},
        {cmd::ViewStatusBar, {"Show or hide the status bar", "Toggle StatusBar"}},
    };
    const auto it = prompts.find(command);
    if (it == prompts.end())
        return {};
    return {QString::fromUtf8(it->second.first), QString::fromUtf8(it->second.second)};
}

QString ToolbarTitle() {
    return QStringLiteral("默认工具栏");
}

QString CommandText(int command) {
    std::function<QString(const std::vector<CMenuItem>&)> find =
        [&](const std::vector<CMenuItem>& items) -> QString {
        for (const CMenuItem& item : items) {
            if (item.kind == CMenuItem::Kind::Command && item.id == command) {
                QString text = item.text;
                while (text.endsWith(QLatin1Char('.')))
                    text.chop(1);
                return text;
            }
            if (const QString inner = find(item.children); !inner.isEmpty())
                return inner;
        }
        return {};
    };
    return find(MainMenu());
}

QString GridTitle(const QString& caption, const QString& sql, const sqlparams::Values& values) {
    static const QRegularExpression range(QStringLiteral(
        "BETWEEN '([0-9]{4}-[0-9]{2}-[0-9]{2})[^']*' AND '([0-9]{4}-[0-9]{2}-[0-9]{2})"));
    static const QRegularExpression boundRange(QStringLiteral(
        "BETWEEN (CAST\\(\\? AS TIMESTAMP\\)|\\?) AND (CAST\\(\\? AS TIMESTAMP\\)|\\?)"));
    static const QRegularExpression day(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}"));
    QString from, to;
    if (const QRegularExpressionMatch match = range.match(sql); match.hasMatch()) {
        from = match.captured(1);
        to = match.captured(2);
    } else if (const QRegularExpressionMatch bound = boundRange.match(sql); bound.hasMatch()) {
        // The range's marks are the ones after every mark before it.
        const auto first = std::size_t(sql.left(bound.capturedStart()).count(QLatin1Char('?')));
        const auto text = [&](std::size_t i) {
            const QString* value = i < values.size() ? std::get_if<QString>(&values[i]) : nullptr;
            return value ? day.match(*value).captured() : QString();
        };
        from = text(first);
        to = text(first + 1);
    }
    if (from.isEmpty() || to.isEmpty())
        return caption;
    return caption + QLatin1Char(' ') + (from == to ? from : from + QStringLiteral(" 至 ") + to);
}

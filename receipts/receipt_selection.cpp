#include "receipt_selection.h"

#include "q_grid.h"
#include "sort_keys.h"

const QString kChooseSalesToReprint =
    QStringLiteral("请先在主窗口中列出销售记录（本日销售明细、查询销售记录或销售报表），"
                   "选中要补打小票的一行或几行（按住 Ctrl 或 Shift 可以多选），再补打。");
const QString kSalesWithoutNumbers =
    QStringLiteral("主窗口中的表没有“单号”一列，认不出是哪几笔销售，没有补打小票。请用本日销售"
                   "明细、查询销售记录或销售报表列出销售，选中后再补打。");
const QString kSelectedSalesUnnumbered =
    QStringLiteral("选中的销售没有单号（不是本程序录入的），无法补打小票。");

QStringList SelectedSaleNumbers(const q_grid& grid, QString* why) {
    const auto said = [why](const QString& text) {
        if (why)
            *why = text;
        return QStringList();
    };
    if (grid.Table() != QStringLiteral("销"))
        return said(kChooseSalesToReprint);
    const QStringList titles = grid.Titles();
    int column = -1;
    for (int c = 0; c < titles.size(); ++c) {
        if (sortkeys::ColumnName(titles[c]) == QStringLiteral("单号"))
            column = c;
    }
    if (column < 0)
        return said(kSalesWithoutNumbers);
    const std::vector<int> rows = grid.GetSelectedRows();
    if (rows.empty())
        return said(kChooseSalesToReprint);
    QStringList numbers;
    for (const int row : rows) {
        const QString number = grid.GetItemText(row, column).trimmed();
        if (!number.isEmpty())
            numbers << number;
    }
    return numbers.isEmpty() ? said(kSelectedSalesUnnumbered) : numbers;
}

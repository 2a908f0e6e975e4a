#include "receipt_selection.h"

#include "q_grid.h"
#include "sort_keys.h"

#include <QDateTime>

const QString kChooseSalesToReprint =
    QStringLiteral("请先在主窗口中列出销售记录（本日销售明细、查询销售记录或销售报表），"
                   "选中要补打小票的一行或几行（按住 Ctrl 或 Shift 可以多选），再补打。");

QStringList SelectedSaleStamps(const q_grid& grid) {
    if (grid.Table() != QStringLiteral("销"))
        return {};
    const QStringList titles = grid.Titles();
    int column = -1;
    for (int c = 0; c < titles.size(); ++c) {
        if (sortkeys::ColumnName(titles[c]) == QStringLiteral("日期时间"))
            column = c;
    }
    if (column < 0)
        return {};
    QStringList stamps;
    for (const int row : grid.GetSelectedRows()) {
        const QString stamp = grid.GetItemText(row, column).left(19);
        if (QDateTime::fromString(stamp, QStringLiteral("yyyy-MM-dd HH:mm:ss")).isValid())
            stamps << stamp;
    }
    return stamps;
}

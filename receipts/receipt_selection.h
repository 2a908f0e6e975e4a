#pragma once
// Which sales a reprint is for: the rows selected in a grid that shows sales.
#include <QString>
#include <QStringList>

class q_grid;

// What the user is told when no sale is selected.
extern const QString kChooseSalesToReprint;

// The 日期时间 of the selected rows, in row order, when the grid shows 销 (本日销售明细, a
// sales query, a sales report); rows without a time stamp (a report's summary) are left out.
QStringList SelectedSaleStamps(const q_grid& grid);

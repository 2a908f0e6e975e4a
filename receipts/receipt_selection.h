#pragma once
// Which sales a reprint is for: the rows selected in a grid that shows sales.
#include <QString>
#include <QStringList>

class q_grid;

// What the user is told when no sale is selected.
extern const QString kChooseSalesToReprint;
// ... when the grid shows sales without their numbers (a summary, an older query).
extern const QString kSalesWithoutNumbers;
// ... when the selected sales carry no number (written by another program).
extern const QString kSelectedSalesUnnumbered;

// The 单号 of the selected rows, in row order, when the grid shows 销 (本日销售明细, a sales
// query, a sales report) with its 单号 column; rows without one are left out. When none is found,
// `why` says what the user should do.
QStringList SelectedSaleNumbers(const q_grid& grid, QString* why);

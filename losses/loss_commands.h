#pragma once
// The main view's two commands of stock that leaves other than by sale. Each returns what it
// last recorded, empty when it changed nothing, so that the view can show the stock as it now
// stands and say what was done.
#include "loss_statements.h"

#include <QString>
#include <optional>

class CDatabase;
class QWidget;
class q_grid;

namespace losses {

// 报损/退货...: the dialog, with `picked` filled in when given (its whole stock; 过期 for a card
// that has expired).
QString WriteOff(CDatabase* db, QWidget* owner, const QString& operatorName,
                 const std::optional<losssql::Card>& picked = std::nullopt);
// 库存盘点...: the sheet, when it can be read.
QString StockTake(CDatabase* db, QWidget* owner, const QString& operatorName);

// The stock card of the row selected in `grid`, when its columns name one (名称, 产地,
// 规格型号 and a 有效截止日期 that is not empty, as the alert list has them).
std::optional<losssql::Card> SelectedCard(const q_grid& grid);

} // namespace losses

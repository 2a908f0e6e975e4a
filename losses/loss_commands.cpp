#include "loss_commands.h"

#include "CStockTakeDlg.h"
#include "CWriteOffDlg.h"
#include "prompts.h"
#include "q_grid.h"
#include "sort_keys.h"

#include <QDate>

namespace losses {

QString WriteOff(CDatabase* db, QWidget* owner, const QString& operatorName,
                 const std::optional<losssql::Card>& picked) {
    std::optional<CWriteOff::Form> preset;
    if (picked) {
        QString failure;
        preset = CWriteOff(db, operatorName).ForCard(*picked, QDate::currentDate(), &failure);
        // A card gone since the list was read opens an empty form; a failed read says why.
        Prompts().TellFailure(owner, failure);
    }
    CWriteOffDlg dialog(db, owner, operatorName, preset);
    dialog.exec();
    return dialog.LastRecorded();
}

QString StockTake(CDatabase* db, QWidget* owner, const QString& operatorName) {
    CStockTakeDlg dialog(db, owner, operatorName);
    if (!dialog.Loaded())
        return {};
    dialog.exec();
    return dialog.Recorded();
}

std::optional<losssql::Card> SelectedCard(const q_grid& grid) {
    const int row = grid.GetSelectedRow();
    if (row < 0)
        return std::nullopt;
    const QStringList titles = grid.Titles();
    const auto cell = [&](const QString& name) -> std::optional<QString> {
        for (int c = 0; c < titles.size(); ++c) {
            if (sortkeys::ColumnName(titles[c]) == name)
                return grid.GetItemText(row, c);
        }
        return std::nullopt;
    };
    const std::optional<QString> name = cell(QStringLiteral("名称"));
    const std::optional<QString> origin = cell(QStringLiteral("产地"));
    const std::optional<QString> packModel = cell(QStringLiteral("规格型号"));
    const std::optional<QString> expiry = cell(QStringLiteral("有效截止日期"));
    if (!name || !origin || !packModel || !expiry || expiry->isEmpty())
        return std::nullopt;
    return losssql::Card{*name, *origin, *packModel, *expiry};
}

} // namespace losses

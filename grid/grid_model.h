#pragma once
// The table model behind q_grid: reads the cells straight out of a CResultTable (no item per
// cell). Every change of the rows goes through here so that the view hears of it.
#include "result_table.h"
#include <QAbstractTableModel>
#include <functional>

class CGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    CGridModel(CResultTable& table, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Runs `change`, which may replace everything, as one model reset.
    void Reset(const std::function<void()>& change);
    int InsertRow(int row);
    void RemoveRow(int row);
    void SetCell(int row, int column, const QString& text);
    void SetTitle(int column, const QString& title);
    // Puts the rows in `order` (order[i] is the current index of the new row i); selections
    // follow their rows.
    void Reorder(const std::vector<int>& order);

private:
    CResultTable& m_table;
};

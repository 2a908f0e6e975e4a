#pragma once
// The table model behind q_grid: reads the cells straight out of a CResultTable (no item per
// cell). Every change of the rows goes through here so that the view hears of it.
#include "alert_settings.h"
#include "result_table.h"
#include <QAbstractTableModel>
#include <QColor>
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

    // Expired cards with stock are drawn in this colour, near-expiry ones in the other.
    static QColor ExpiredColor() { return QColor(192, 0, 0); }
    static QColor NearExpiryColor() { return QColor(184, 112, 0); }

    // Runs `change`, which may replace everything, as one model reset.
    void Reset(const std::function<void()>& change);
    // Tells the view of the rows a load appended to the table since.
    void ShowNewRows();
    int InsertRow(int row);
    void RemoveRow(int row);
    void SetCell(int row, int column, const QString& text);
    void SetTitle(int column, const QString& title);
    // Puts the rows in `order` (order[i] is the current index of the new row i); selections
    // follow their rows.
    void Reorder(const std::vector<int>& order);

private:
    // Where a result shows stock cards (有效截止日期 and 现有存货量), the alert colour of a row.
    QVariant RowColor(int row) const;
    // Reads the thresholds and today's date again, and finds the two columns.
    void RefreshAlerts();

    CResultTable& m_table;
    CAlertSettings m_alerts;
    QDate m_today;
    int m_expiryColumn = -1;
    int m_onHandColumn = -1;
    int m_nShownRows = 0; // the rows the view knows of; a load may have appended more
};

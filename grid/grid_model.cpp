#include "grid_model.h"

#include "sort_keys.h"

CGridModel::CGridModel(CResultTable& table, QObject* parent)
    : QAbstractTableModel(parent), m_table(table) {
    RefreshAlerts();
}

void CGridModel::RefreshAlerts() {
    m_alerts = CAlertSettings::Load();
    m_today = QDate::currentDate();
    m_expiryColumn = m_onHandColumn = -1;
    for (int column = 0; column < m_table.ColumnCount(); ++column) {
        const QString name = sortkeys::ColumnName(m_table.Columns()[std::size_t(column)].m_strName);
        if (name == QStringLiteral("有效截止日期"))
            m_expiryColumn = column;
        else if (name == QStringLiteral("现有存货量"))
            m_onHandColumn = column;
    }
}

QVariant CGridModel::RowColor(int row) const {
    if (m_expiryColumn < 0 || m_onHandColumn < 0)
        return {};
    switch (m_alerts.CardAlert(m_table.CellText(row, m_expiryColumn),
                               m_table.CellText(row, m_onHandColumn), m_today)) {
    case CAlertSettings::Card::Expired:
        return ExpiredColor();
    case CAlertSettings::Card::NearExpiry:
        return NearExpiryColor();
    case CAlertSettings::Card::None:
        break;
    }
    return {};
}

int CGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_nShownRows;
}

int CGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_table.ColumnCount();
}

QVariant CGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return m_table.CellText(index.row(), index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    if (role == Qt::ForegroundRole)
        return RowColor(index.row());
    return {};
}

QVariant CGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_table.ColumnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_table.Columns()[section].m_strName;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    return {};
}

Qt::ItemFlags CGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void CGridModel::Reset(const std::function<void()>& change) {
    beginResetModel();
    change();
    RefreshAlerts();
    m_nShownRows = m_table.RowCount();
    endResetModel();
}

void CGridModel::ShowNewRows() {
    const int rows = m_table.RowCount();
    if (rows <= m_nShownRows)
        return;
    beginInsertRows({}, m_nShownRows, rows - 1);
    m_nShownRows = rows;
    endInsertRows();
}

int CGridModel::InsertRow(int row) {
    if (row < 0 || row > m_table.RowCount())
        row = m_table.RowCount();
    beginInsertRows({}, row, row);
    m_table.InsertRow(row);
    m_nShownRows = m_table.RowCount();
    endInsertRows();
    return row;
}

void CGridModel::RemoveRow(int row) {
    if (row < 0 || row >= m_table.RowCount())
        return;
    beginRemoveRows({}, row, row);
    m_table.RemoveRow(row);
    m_nShownRows = m_table.RowCount();
    endRemoveRows();
}

void CGridModel::SetCell(int row, int column, const QString& text) {
    if (row < 0 || row >= m_table.RowCount() || column < 0 || column >= m_table.ColumnCount())
        return;
    m_table.SetCell(row, column, text);
    const QModelIndex at = index(row, column);
    emit dataChanged(at, at, {Qt::DisplayRole});
}

void CGridModel::SetTitle(int column, const QString& title) {
    if (column < 0 || column >= m_table.ColumnCount())
        return;
    m_table.Columns()[column].m_strName = title;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void CGridModel::Reorder(const std::vector<int>& order) {
    if (order.size() != std::size_t(m_table.RowCount()))
        return;
    std::vector<int> newIndexOf(order.size(), -1);
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (order[i] < 0 || std::size_t(order[i]) >= order.size() ||
            newIndexOf[std::size_t(order[i])] != -1)
            return;
        newIndexOf[std::size_t(order[i])] = int(i);
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before)
        after << index(newIndexOf[std::size_t(old.row())], old.column());
    m_table.Reorder(order);
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

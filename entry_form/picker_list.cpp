#include "picker_list.h"

#include "result_table.h"
#include "sort_keys.h"

QByteArray CPickerList::Key(const QString& text) {
    // Simple case folding keeps one character for one, so beginnings stay beginnings.
    QString folded = text;
    for (QChar& c : folded)
        c = c.toCaseFolded();
    return sortkeys::TextKey(folded);
}

bool CPickerList::HasItemBeginningWith(const QString& text) const {
    const QByteArray key = Key(text);
    const auto at = m_items.lower_bound(key);
    return at != m_items.end() && at->first.startsWith(key);
}

bool CPickerList::Add(const QString& text) {
    if (text.isEmpty())
        return false;
    const QByteArray key = Key(text);
    const auto at = m_items.lower_bound(key);
    if (at != m_items.end() && at->first.startsWith(key))
        return false;
    m_items.emplace_hint(at, key, text);
    return true;
}

QStringList CPickerList::Items() const {
    QStringList items;
    items.reserve(static_cast<qsizetype>(m_items.size()));
    for (const auto& [key, text] : m_items)
        items << text;
    return items;
}

QStringList CPickerList::FromColumn(const CResultTable& rows, int column) {
    CPickerList list;
    if (column >= 0 && column < rows.ColumnCount()) {
        for (int row = 0; row < rows.RowCount(); ++row)
            list.Add(rows.CellText(row, column));
    }
    return list.Items();
}

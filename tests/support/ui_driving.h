#pragma once
// Dialogs and grids driven as a user drives them, and read back as the user sees them: buttons
// by their id, clicks on rows, texts typed into the open row.
#include "q_edit.h"
#include "q_grid.h"

#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <gtest/gtest.h>

namespace uitest {

// The sort state all grids share back to none, as when the program starts.
inline void ResetGridSort() {
    q_grid::s_nSortColumn = -1;
    q_grid::s_bSortFlag = true;
}

inline QPushButton* Button(QWidget& dialog, int id) {
    return dialog.findChild<QPushButton*>(QString::number(id));
}

inline void Press(QWidget& dialog, int id) {
    QPushButton* button = Button(dialog, id);
    ASSERT_NE(button, nullptr) << "no button " << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

inline void ClickRow(q_grid& grid, int row) {
    const QRect cell = grid.visualRect(grid.model()->index(row, 0));
    ASSERT_FALSE(cell.isEmpty()) << "row " << row << " is out of view";
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
}

// Types into the editor of `column` of the open row.
inline void Type(q_grid& grid, int column, const QString& text) {
    ASSERT_NE(grid.Editor(column), nullptr);
    grid.Editor(column)->GetEdit()->setText(text);
}

inline QStringList GridRow(const q_grid& grid, int row) {
    QStringList out;
    for (int c = 0; c < grid.GetColumnCount(); ++c)
        out << grid.GetItemText(row, c);
    return out;
}

inline QStringList GridColumn(const q_grid& grid, int column) {
    QStringList out;
    for (int r = 0; r < grid.GetItemCount(); ++r)
        out << grid.GetItemText(r, column);
    return out;
}

inline QStringList Titles(const q_grid& grid) {
    QStringList out;
    for (int c = 0; c < grid.GetColumnCount(); ++c)
        out << grid.ColumnTitle(c);
    return out;
}

} // namespace uitest

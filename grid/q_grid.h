#pragma once
// The record grid: shows one SELECT, sorts, edits a whole row in place, writes back, exports.
#include "result_table.h"
#include <QString>
#include <QTableView>
#include <memory>
#include <vector>

class CDatabase;
class q_edit;
class CGridModel;
class QColor;
class QRect;

class q_grid : public QTableView {
    Q_OBJECT
public:
    explicit q_grid(QWidget* parent = nullptr);
    ~q_grid() override;

    bool Create(CDatabase* db, const QString& table, const QString& sql, QWidget* parent,
                const QRect& rect, bool visible, bool clientEdge);
    bool SetQuery(const QString& table, const QString& sql);
    bool Reload();
    void SetPermissions(bool sort, bool add, bool remove, bool edit);

    void BeginEdit(int row);
    void HideEditors();
    void CommitEdit();
    void AddRow();
    void DeleteRow(int row, bool commitFirst);
    bool ExecuteStatement(const QString& sql);
    bool ExportHtml();
    // 导出 CSV...: what the grid shows, for spreadsheets.
    bool ExportCsv();
    // The column titles as the header shows them (sort arrow included).
    QStringList Titles() const;

    // Read-back, as callers use it.
    int GetItemCount() const;
    int GetColumnCount() const;
    QString GetItemText(int row, int column) const;
    // Direct list operations used by the reports: insert a row with its first text (index or -1).
    int InsertItem(int row, const QString& text);
    bool SetItemText(int row, int column, const QString& text);
    QString ColumnTitle(int column) const;
    int GetSelectedRow() const; // -1 when none
    void SetColors(const QColor& background, const QColor& text);

    int EditRow() const { return m_nEditRow; }
    bool IsNewRow() const { return m_bNewRow; }
    const QString& Table() const { return m_strTable; }
    CDatabase* GetDatabase() const { return m_pDatabase; }
    const QString& Sql() const { return m_strSql; }
    q_edit* Editor(int column) const;
    // The cells as loaded and written back, in display order.
    const CResultTable& Result() const { return m_table; }

    bool m_bAllowSort = true;
    bool m_bAllowEdit = false;
    bool m_bAllowAdd = false;
    bool m_bAllowDelete = false;

    // The last sort, shared by every grid of the process: a click on the column another grid
    // sorted last counts as a repeated click.
    static inline int s_nSortColumn = -1;
    static inline bool s_bSortFlag = true;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Load();
    void OnRowClick();
    void OnHeaderClick(int column);
    bool IsOnDivider(int x) const;
    bool IsConnected() const;
    // Puts the editors over the cells of the open row; those whose cell is out of view hide.
    void PlaceEditors();
    void CloseEditWithoutWriting();

    int m_nEditRow = -1;
    CDatabase* m_pDatabase = nullptr;
    QString m_strTable;
    QString m_strSql;
    bool m_bNewRow = false;
    std::vector<std::unique_ptr<q_edit>> m_pEditors;

    CResultTable m_table;
    CGridModel* m_pModel; // child of this widget
    bool m_bPressedInView = false;
};

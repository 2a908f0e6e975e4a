#pragma once
// The record grid: shows one SELECT, sorts, edits a whole row in place, writes back, exports.
#include "csv_export.h"
#include "result_table.h"
#include "sql_params.h"
#include "write_back.h"
#include <QString>
#include <QTableView>
#include <functional>
#include <memory>
#include <vector>

class CDatabase;
class QTimer;
namespace resultloader {
class CLoad;
}
class q_edit;
class CGridModel;
class QColor;
class QRect;

class q_grid : public QTableView {
    Q_OBJECT
public:
    explicit q_grid(QWidget* parent = nullptr);
    ~q_grid() override;

    // Create, SetQuery and Reload run the statement and show its first rows; a large result's
    // other rows follow in the background, and anything that needs every row (a sort, an
    // export, a read-back, an edit, any other statement on the books) reads the rest first.
    // They return whether the statement ran; a failure further on is shown when met. A
    // statement's bound values are kept with it, and Reload binds them again.
    bool Create(CDatabase* db, const QString& table, const QString& sql, QWidget* parent,
                const QRect& rect, bool visible, bool clientEdge);
    bool Create(CDatabase* db, const QString& table, const CStatement& statement, QWidget* parent,
                const QRect& rect, bool visible, bool clientEdge);
    bool SetQuery(const QString& table, const QString& sql);
    bool SetQuery(const QString& table, const CStatement& statement);
    bool Reload();
    void SetPermissions(bool sort, bool add, bool remove, bool edit);
    // Who is logged in: each row written back is logged under this name.
    void SetOperatorName(const QString& name);
    // Columns (by name) the statement computes: shown, their editors read-only, never written.
    void SetShownOnlyColumns(const QStringList& names);
    // Looked at before a row is written; may correct `newValues`. A refusal's text is shown and
    // nothing is written.
    using RowCheck =
        std::function<QString(const QStringList& oldValues, QStringList& newValues, bool isNew)>;
    void SetRowCheck(RowCheck check);
    // Asked inside the transaction of a change or deletion; a text undoes it (CWriteContext).
    using WriteGuard = std::function<QString(const QStringList& oldValues)>;
    void SetWriteGuard(WriteGuard guard);
    // How a changed row's log row is worded where the book has its own words (CWriteContext).
    void SetChangeWording(writeback::ChangeWording wording);

    void BeginEdit(int row);
    void HideEditors();
    void CommitEdit();
    void AddRow();
    void DeleteRow(int row, bool commitFirst);
    bool ExecuteStatement(const QString& sql);
    bool ExportHtml();
    // 导出 CSV...: what the grid shows, for spreadsheets (UTF-8, or GB18030 for upload tools).
    bool ExportCsv(csvexport::Encoding encoding = csvexport::Encoding::Utf8);
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
    // Every selected row, in row order (a grid may let several be selected).
    std::vector<int> GetSelectedRows() const;
    void SetColors(const QColor& background, const QColor& text);

    int EditRow() const { return m_nEditRow; }
    bool IsNewRow() const { return m_bNewRow; }
    const QString& Table() const { return m_strTable; }
    CDatabase* GetDatabase() const { return m_pDatabase; }
    const QString& Sql() const { return m_strSql; }
    const sqlparams::Values& Values() const { return m_values; }
    q_edit* Editor(int column) const;
    // The cells as loaded and written back, in display order.
    const CResultTable& Result() const;

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
    // Reads the next part of a load in the background; ReadRest reads all that is left, false
    // when that failed (shown, and no row kept).
    void ReadMore();
    bool ReadRest() const;
    // Ends the load: shows its failure, if any, and returns whether it succeeded.
    bool FinishLoad();
    void OnRowClick();
    void OnHeaderClick(int column);
    bool IsOnDivider(int x) const;
    bool IsConnected() const;
    // Puts the editors over the cells of the open row; those whose cell is out of view hide.
    void PlaceEditors();
    void CloseEditWithoutWriting();
    void ApplyShownOnly();

    int m_nEditRow = -1;
    CDatabase* m_pDatabase = nullptr;
    QString m_strTable;
    QString m_strSql;
    sqlparams::Values m_values;
    bool m_bNewRow = false;
    std::vector<std::unique_ptr<q_edit>> m_pEditors;
    QString m_strOperator;
    QStringList m_shownOnly;
    WriteGuard m_writeGuard;
    writeback::ChangeWording m_changeWording;
    RowCheck m_rowCheck;

    CResultTable m_table;
    CGridModel* m_pModel;                                 // child of this widget
    std::unique_ptr<resultloader::CLoad> m_pLoad;         // while rows are left to read
    std::shared_ptr<std::function<void()>> m_pFinishLoad; // the books call it before anything
    QTimer* m_pLoadTimer;                                 // child of this widget
    bool m_bPressedInView = false;
};

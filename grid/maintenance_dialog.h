#pragma once
// The record maintenance dialogs: one table of the books in an editable grid, corrected row by
// row. The three dialogs differ only in their resource, title, table and statement.
#include "CGridDialog.h"

#include <QString>

class CDatabase;
class q_grid;

// Which book a maintenance dialog shows.
struct CMaintBook {
    int resource;      // the dialog's objectName
    QString title;     // the caption
    QString table;     // where the grid writes back
    QString statement; // what it loads
};

class CRecordMaintDlg : public CGridDialog {
    Q_OBJECT
public:
    // Ids of the controls, which are also their objectName.
    enum : int {
        IdPlaceholder = 1044,
        IdReload = 3,
        IdSave = 5,
        IdAdd = 7,
        IdDelete = 4,
        IdExport = 8,
        IdClose = 2,
    };

    // `db` is the shared connection, borrowed; each change is logged under `operatorName`.
    CRecordMaintDlg(const CMaintBook& book, CDatabase* db, QWidget* owner,
                    const QString& operatorName = {});

    q_grid* Grid() const { return m_pGrid; }
    const CMaintBook& Book() const { return m_book; }

    // The button actions.
    void OnReload();
    void OnSave();
    void OnAdd();
    void OnDelete();
    void OnExport();

private:
    void BuildControls();
    void CreateGrid(CDatabase* db, const QString& operatorName);

    CMaintBook m_book;
    q_grid* m_pGrid = nullptr; // child of this dialog
};

// 维护采购记录: the purchase records (进).
class CPurchaseMaintDlg : public CRecordMaintDlg {
    Q_OBJECT
public:
    explicit CPurchaseMaintDlg(CDatabase* db, QWidget* owner = nullptr,
                               const QString& operatorName = {});
    static CMaintBook Book();
};

// 维护库存记录: the stock cards (存).
class CStockMaintDlg : public CRecordMaintDlg {
    Q_OBJECT
public:
    explicit CStockMaintDlg(CDatabase* db, QWidget* owner = nullptr,
                            const QString& operatorName = {});
    static CMaintBook Book();
};

// 维护销售记录: the sales records (销).
class CSalesMaintDlg : public CRecordMaintDlg {
    Q_OBJECT
public:
    explicit CSalesMaintDlg(CDatabase* db, QWidget* owner = nullptr,
                            const QString& operatorName = {});
    static CMaintBook Book();
};

#pragma once
// 库存盘点: the sheet of the stock cards, the counted boxes typed beside the book stock, 打印 to
// count on paper, 追溯码… (Ctrl+T) to scan the codes of a 盘亏 row's missing boxes, and 确认 to
// record every difference.
#include "stock_take.h"

#include <QDialog>
#include <vector>

class CDatabase;
class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

class CStockTakeDlg : public QDialog {
    Q_OBJECT
public:
    CStockTakeDlg(CDatabase* db, QWidget* parent, QString operatorName);

    // What 确认 recorded; empty while the books are unchanged.
    const QString& Recorded() const { return m_strRecorded; }
    // Whether the sheet could be read at all; the command does not open it otherwise.
    bool Loaded() const { return m_bLoaded; }

    enum Column : int { Book = 4, Counted = 5, Difference = 6, Note = 7 };

private:
    void Load();
    void ShowRows();
    void ShowRow(int row);
    void OnCellChanged(int row, int column);
    void OnPrint();
    // The codes of the selected row's missing boxes, kept with the row until 确认.
    void OnCodes();
    void OnConfirm();

    CDatabase* m_pDatabase;
    CStockTake m_stockTake;
    std::vector<CStockTake::Row> m_rows;
    bool m_bShowing = false;
    QString m_strRecorded;
    bool m_bLoaded = false;

    QTableWidget* m_pSheet = nullptr;
    QCheckBox* m_pWithEmpty = nullptr;
    QLabel* m_pSummary = nullptr;
    QPushButton* m_pPrint = nullptr;
    QPushButton* m_pCodes = nullptr;
    QPushButton* m_pConfirm = nullptr;
    QPushButton* m_pClose = nullptr;
};

#pragma once
// 交班报表: the day and the operator (a 营业员 only themselves), what each sold, the log's head
// read with it, and 查看, 打印..., 导出 CSV..., 交班 and 关闭. What it shows and records comes
// from CShiftReport.
#include "shift_report.h"

#include <QDialog>

class CDatePicker;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

class CShiftReportWnd : public QDialog {
    Q_OBJECT
public:
    // `now`: the picker starts on its day.
    CShiftReportWnd(CDatabase* db, const QString& operatorName, bool isManager,
                    const QDateTime& now, QWidget* parent = nullptr);

    // The figures shown; empty rows until a load succeeded.
    const CShiftFigures& Figures() const { return m_figures; }

    // 查看: the operator list of the day and the figures again; false when they could not be read
    // (shown).
    bool Reload();
    void Print();
    bool ExportCsv();
    // 交班: the figures read once more and shown; a second 交班 of the same operator and day
    // asked first; the cash each operator counted (点钞) asked; then recorded, and the log's
    // head read again so that what is printed afterwards takes in the 交班 rows; false when
    // nothing was recorded.
    bool HandOver();

private:
    QString Choice() const;
    QString PrintTitle() const;
    // The chooser's names for the picked day, keeping the one chosen where it is still offered.
    bool FillChoices();
    bool LoadFigures();
    void ShowFigures();
    // The cash counted for each operator handed over, in cents by name; nullopt when cancelled.
    std::optional<std::map<QString, long long>> AskCounted();

    CShiftReport m_report;
    CShiftFigures m_figures;
    bool m_bFilling = false;

    CDatePicker* m_pDate = nullptr;
    QComboBox* m_pOperator = nullptr;
    QTableWidget* m_pTable = nullptr;
    QLabel* m_pHead = nullptr;
    QPushButton* m_pView = nullptr;
    QPushButton* m_pPrint = nullptr;
    QPushButton* m_pExport = nullptr;
    QPushButton* m_pHandOver = nullptr;
    QPushButton* m_pClose = nullptr;
};

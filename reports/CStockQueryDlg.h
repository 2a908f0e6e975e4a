#pragma once
// 采购库存: the four parts of the stock-card key to look for, each matched anywhere in its
// column; all empty when it opens.
#include "CConditionDlg.h"
#include "report_statements.h"

class QLineEdit;

class CStockQueryDlg : public CConditionDlg {
    Q_OBJECT
public:
    explicit CStockQueryDlg(QWidget* parent = nullptr);

    // The four texts as typed when 搜索 was pressed.
    const reportsql::StockPatterns& Patterns() const { return m_patterns; }

private:
    void UpdateData(bool save);
    void OnOK() override;
    QLineEdit* MakeEdit(const QString& id);

    reportsql::StockPatterns m_patterns;
    QLineEdit* m_pName = nullptr;
    QLineEdit* m_pOrigin = nullptr;
    QLineEdit* m_pPackModel = nullptr;
    QLineEdit* m_pExpiry = nullptr;
};

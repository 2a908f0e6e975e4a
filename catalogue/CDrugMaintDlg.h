#pragma once
// 维护药品目录: the catalogue (药品) in the maintenance grid. A 店长 adds, changes and deletes
// drugs, each change with its log row (a change of prices only as 调价), and keeps a drug's
// further codes under 条码…; anyone else may only look.
#include "maintenance_dialog.h"

class CDrugMaintDlg : public CRecordMaintDlg {
    Q_OBJECT
public:
    // `mayChange`: the operator is a 店长.
    CDrugMaintDlg(CDatabase* db, QWidget* owner = nullptr, const QString& operatorName = {},
                  bool mayChange = true);
    static CMaintBook Book();

    enum : int { IdCodes = 9 };
    // 条码…: the selected drug's further codes.
    void OnCodes();

private:
    void ReadOnly();
    void GuardCards(CDatabase* db);

    CDatabase* m_pDatabase;
    QString m_strOperator;
    bool m_bMayChange;
};

#pragma once
// 维护药品目录: the catalogue (药品) in the maintenance grid. A 店长 adds, changes and deletes
// drugs, each change with its log row; anyone else may only look.
#include "maintenance_dialog.h"

class CDrugMaintDlg : public CRecordMaintDlg {
    Q_OBJECT
public:
    // `mayChange`: the operator is a 店长.
    CDrugMaintDlg(CDatabase* db, QWidget* owner = nullptr, const QString& operatorName = {},
                  bool mayChange = true);
    static CMaintBook Book();

private:
    void ReadOnly();
    void GuardCards(CDatabase* db);
};

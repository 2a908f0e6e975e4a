#pragma once
// The group "追溯码" of 系统设置: whether a whole-box sale needs a scanned code per box. The rule
// is the books', shared by every counter on them, so it is read from and saved to the books,
// with its log row in the same transaction.
#include "settings_group.h"

class CDatabase;
class QCheckBox;

class CTraceSettingsGroup : public CSettingsGroup {
    Q_OBJECT
public:
    // Ids of the controls, which are also their objectName.
    enum : int { IdCodesRequired = 1067, IdApplyTrace = 1068 };
    static constexpr int kHeight = 32;

    // `db` is borrowed; the change is logged under `operatorName`.
    CTraceSettingsGroup(CDatabase* db, QString operatorName, QWidget* parent = nullptr);

    // Saves the box when it differs from the books; a failure is told and nothing is saved.
    void OnApply() override;

private:
    CDatabase* m_pDatabase;
    QString m_strOperator;
    QCheckBox* m_pCodesRequired = nullptr;
};

#pragma once
// The group "追溯码" of 系统设置: whether a whole-box sale needs a scanned code per box.
#include "books_rule_group.h"

class CDatabase;

class CTraceSettingsGroup : public CBooksRuleGroup {
    Q_OBJECT
public:
    // Ids of the controls, which are also their objectName.
    enum : int { IdCodesRequired = 1067, IdApplyTrace = 1068 };

    // `db` is borrowed; the change is logged under `operatorName`.
    CTraceSettingsGroup(CDatabase* db, const QString& operatorName, QWidget* parent = nullptr);
};

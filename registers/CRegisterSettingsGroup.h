#pragma once
// The group "含麻黄碱类复方制剂" of 系统设置: whether the same ID number buying again within days
// is refused or only warned of.
#include "books_rule_group.h"

class CDatabase;

class CRegisterSettingsGroup : public CBooksRuleGroup {
    Q_OBJECT
public:
    // Ids of the controls, which are also their objectName.
    enum : int { IdRepeatRefused = 1421, IdApplyRegisters = 1422 };

    // `db` is borrowed; the change is logged under `operatorName`.
    CRegisterSettingsGroup(CDatabase* db, const QString& operatorName, QWidget* parent = nullptr);
};

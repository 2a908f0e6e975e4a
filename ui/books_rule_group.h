#pragma once
// A group of 系统设置 holding one yes-or-no rule of the books, shared by every counter on them:
// read from the books when it opens, saved by its 应用 (the rule writes its own log row). A rule
// that cannot be read is not shown as "no": the box is disabled and 应用 refuses.
#include "settings_group.h"

#include <functional>

class QCheckBox;

class CBooksRuleGroup : public CSettingsGroup {
    Q_OBJECT
public:
    static constexpr int kHeight = 32;

    struct CRule {
        QString title; // the group's title
        QString box;   // the check box's text
        QString name;  // the rule as messages name it: "追溯码设置"
        int boxId = 0; // the box's and 应用's ids, also their objectName
        int applyId = 0;
        // Both throw CDBException.
        std::function<bool()> read;
        std::function<void(bool)> write;
    };

    explicit CBooksRuleGroup(CRule rule, QWidget* parent = nullptr);

    // Saves the box when it differs from the books; a failure is told and nothing is saved.
    void OnApply() override;

private:
    CRule m_rule;
    QCheckBox* m_pBox = nullptr;
};

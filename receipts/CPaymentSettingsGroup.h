#pragma once
// The group "支付方式" of 系统设置: the methods 结账 offers at this counter, in their order,
// typed as one line, saved by its own 应用.
#include "settings_group.h"

class QLineEdit;

class CPaymentSettingsGroup : public CSettingsGroup {
    Q_OBJECT
public:
    // Ids of the controls, which are also their objectName.
    enum : int { IdMethods = 1057, IdApplyMethods = 1058 };
    // Its height in dialog units: one line.
    static constexpr int kHeight = 32;

    explicit CPaymentSettingsGroup(Logger log, QWidget* parent = nullptr);

    // Saves the list, or says why it is not valid and saves nothing.
    void OnApply() override;

private:
    QLineEdit* m_pMethods = nullptr;
};

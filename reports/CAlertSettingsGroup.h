#pragma once
// The group "药品预警" of 系统设置: the near-expiry window, the shortage floor and the lock on
// expired stock, saved together by its own 应用.
#include "settings_group.h"

class QCheckBox;
class QLineEdit;

class CAlertSettingsGroup : public CSettingsGroup {
    Q_OBJECT
public:
    // Ids of the controls, which are also their objectName.
    enum : int {
        IdNearExpiryDays = 1044,
        IdShortageBoxes = 1045,
        IdApplyAlerts = 1046,
        IdExpiredLocked = 1050,
    };
    // Its height in dialog units: the thresholds beside 应用, the lock under them.
    static constexpr int kHeight = 46;

    explicit CAlertSettingsGroup(Logger log, QWidget* parent = nullptr);

    // Saves both thresholds and the lock, or says which threshold is not valid and saves
    // nothing.
    void OnApply() override;

private:
    QLineEdit* m_pNearExpiryDays = nullptr;
    QLineEdit* m_pShortageBoxes = nullptr;
    QCheckBox* m_pExpiredLocked = nullptr;
};

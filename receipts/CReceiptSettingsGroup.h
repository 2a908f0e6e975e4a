#pragma once
// The group "小票" of 系统设置: the shop's name, the paper, the printer, whether each sale prints
// at once, and the footer, saved together by its own 应用.
#include "settings_group.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

class CReceiptSettingsGroup : public CSettingsGroup {
    Q_OBJECT
public:
    // Ids of the controls, which are also their objectName.
    enum : int {
        IdShopName = 1051,
        IdPaper = 1052,
        IdPrinter = 1053,
        IdPrintEachSale = 1054,
        IdFooter = 1055,
        IdApplyReceipt = 1056,
    };
    // Its height in dialog units: three lines.
    static constexpr int kHeight = 62;

    explicit CReceiptSettingsGroup(Logger log, QWidget* parent = nullptr);

    // Saves the settings, or says why the shop's name is missing and saves nothing.
    void OnApply() override;

private:
    QLineEdit* m_pShopName = nullptr;
    QComboBox* m_pPaper = nullptr;
    QComboBox* m_pPrinter = nullptr;
    QCheckBox* m_pPrintEachSale = nullptr;
    QLineEdit* m_pFooter = nullptr;
};

#pragma once
// The group "支付方式" of 系统设置: the methods 结账 offers at this counter, in their order,
// typed as one line, saved by its own 应用.
#include <QGroupBox>
#include <functional>

class QLineEdit;
class QPushButton;

class CPaymentSettingsGroup : public QGroupBox {
    Q_OBJECT
public:
    // Ids of the controls, which are also their objectName.
    enum : int { IdMethods = 1057, IdApplyMethods = 1058 };

    // Writes a settings change's log row: 动作, 对象, 内容.
    using Logger = std::function<void(const QString&, const QString&, const QString&)>;

    explicit CPaymentSettingsGroup(Logger log, QWidget* parent = nullptr);

    // Saves the list, or says why it is not valid and saves nothing.
    void OnApply();

private:
    Logger m_log;
    QLineEdit* m_pMethods = nullptr;
    QPushButton* m_pApply = nullptr;
};

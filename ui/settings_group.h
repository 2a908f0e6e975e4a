#pragma once
// A group of 系统设置 that a subsystem brings: its title and height, its fields placed in the
// dialog units of its font, its own 应用 and the log row of what that 应用 saved.
#include "dialog_units.h"

#include <QGroupBox>
#include <functional>

class QLineEdit;
class QPushButton;

class CSettingsGroup : public QGroupBox {
    Q_OBJECT
public:
    // Writes a settings change's log row: 动作, 对象, 内容.
    using Logger = std::function<void(const QString&, const QString&, const QString&)>;

    // Its height in dialog units: 系统设置 stacks the groups by it.
    int Height() const { return m_nHeight; }

    // Saves what the group holds, or says why it cannot and saves nothing.
    virtual void OnApply() = 0;

protected:
    CSettingsGroup(const QString& title, int height, Logger log, QWidget* parent);

    const CDialogUnits& Units() const { return m_units; }
    // The log row of a saved change; nothing when no logger was given.
    void Log(const QString& action, const QString& object, const QString& content) const;

    // A label level with the text of a field whose top is at `y`.
    void AddLabel(const QString& text, int x, int y, int width);
    // `widget`, named `id`, one field high.
    void Place(QWidget* widget, int id, int x, int y, int width);
    // A label and, right after it, a line edit named `id`.
    QLineEdit* AddField(const QString& label, int id, int x, int y, int labelWidth, int width);
    // 应用, named `id`, at the group's top right; it calls OnApply and is never the default
    // button, so Enter in a field does not save.
    QPushButton* AddApply(int id);

private:
    CDialogUnits m_units;
    int m_nHeight;
    Logger m_log;
};

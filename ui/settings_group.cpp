#include "settings_group.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CSettingsGroup::CSettingsGroup(const QString& title, int height, Logger log, QWidget* parent)
    : QGroupBox(title, parent), m_units(font()), m_nHeight(height), m_log(std::move(log)) {}

void CSettingsGroup::Log(const QString& action, const QString& object,
                         const QString& content) const {
    if (m_log)
        m_log(action, object, content);
}

void CSettingsGroup::AddLabel(const QString& text, int x, int y, int width) {
    auto* label = new QLabel(text, this);
    label->setGeometry(m_units.Rect(x, y + 2, width, 10));
}

void CSettingsGroup::Place(QWidget* widget, int id, int x, int y, int width) {
    widget->setObjectName(QString::number(id));
    widget->setGeometry(m_units.Rect(x, y, width, 12));
}

QLineEdit* CSettingsGroup::AddField(const QString& label, int id, int x, int y, int labelWidth,
                                    int width) {
    AddLabel(label, x, y, labelWidth);
    auto* edit = new QLineEdit(this);
    Place(edit, id, x + labelWidth, y, width);
    return edit;
}

QPushButton* CSettingsGroup::AddApply(int id) {
    auto* apply = new QPushButton(QStringLiteral("应用"), this);
    apply->setObjectName(QString::number(id));
    apply->setGeometry(m_units.Rect(249, 10, 50, 14));
    apply->setAutoDefault(false);
    connect(apply, &QPushButton::clicked, this, [this] { OnApply(); });
    return apply;
}

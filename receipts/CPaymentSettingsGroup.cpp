#include "CPaymentSettingsGroup.h"

#include "payment_settings.h"
#include "prompts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CPaymentSettingsGroup::CPaymentSettingsGroup(Logger log, QWidget* parent)
    : CSettingsGroup(QStringLiteral("支付方式"), kHeight, std::move(log), parent) {
    m_pMethods = new QLineEdit(CPaymentSettings::Load().Text(), this);
    m_pMethods->setObjectName(QString::number(IdMethods));
    m_pMethods->setToolTip(QStringLiteral("结账时按这个顺序列出，用“、”隔开"));
    QPushButton* apply = AddApply(IdApplyMethods);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 2, 6, 4);
    row->addWidget(new QLabel(QStringLiteral("依次为："), this));
    row->addWidget(m_pMethods, 1);
    row->addWidget(apply);
}

void CPaymentSettingsGroup::OnApply() {
    QString failure;
    const std::optional<QStringList> methods =
        CPaymentSettings::Parse(m_pMethods->text(), &failure);
    if (!methods) {
        Prompts().Tell(this, failure + QStringLiteral("支付方式没有保存。"),
                       CPrompts::Icon::Warning);
        return;
    }
    const CPaymentSettings before = CPaymentSettings::Load();
    CPaymentSettings settings;
    settings.methods = *methods;
    settings.Save();
    m_pMethods->setText(settings.Text());
    if (settings.methods != before.methods)
        Log(QStringLiteral("支付方式设置"), QStringLiteral("支付方式"),
            QStringLiteral("%1 → %2").arg(before.Text(), settings.Text()));
}

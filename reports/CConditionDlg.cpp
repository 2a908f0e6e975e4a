#include "CConditionDlg.h"

#include "CDatePicker.h"
#include "artwork.h"
#include "banner_frame.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>

CConditionDlg::CConditionDlg(const QString& id, const QString& caption, QWidget* parent)
    : QDialog(parent) {
    setObjectName(id);
    setWindowTitle(caption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(ProgramIcon());
}

QDateEdit* CConditionDlg::MakeDatePicker(const QString& id) {
    return new CDatePicker(this, id);
}

void CConditionDlg::BuildFrame(const QString& prompt, QGridLayout* fields, const QString& okText,
                               QWidget* bottomLeft) {
    m_pOk = new QPushButton(okText, this);
    m_pOk->setObjectName(QStringLiteral("1"));
    m_pOk->setDefault(true);
    m_pOk->setAutoDefault(true);
    m_pClose = new QPushButton(QStringLiteral("关闭"), this);
    m_pClose->setObjectName(QStringLiteral("2"));
    // Enter on the focused 关闭 closes; elsewhere it presses the default button.
    m_pClose->setAutoDefault(true);
    auto* buttons = new QHBoxLayout;
    if (bottomLeft)
        buttons->addWidget(bottomLeft);
    buttons->addStretch(1);
    buttons->addWidget(m_pOk);
    buttons->addWidget(m_pClose);

    fields->setColumnStretch(1, 1);
    BuildBannerFrame(this, {400, prompt, 8, true}, fields, buttons);

    connect(m_pOk, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(m_pClose, &QPushButton::clicked, this, &QDialog::reject);
}

#include "CConditionDlg.h"

#include "CDatePicker.h"
#include "artwork.h"

#include <QDateEdit>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kBannerWidth = 400;

} // namespace

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
    auto* banner = new QLabel(this);
    banner->setObjectName(QStringLiteral("186"));
    banner->setPixmap(BannerPixmap(kBannerWidth, devicePixelRatioF()));
    banner->setFixedWidth(kBannerWidth);

    auto* promptLabel = new QLabel(prompt, this);
    promptLabel->setWordWrap(true);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

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
    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 8, 12, 10);
    body->addWidget(promptLabel);
    body->addSpacing(8);
    body->addLayout(fields);
    body->addSpacing(8);
    body->addWidget(rule);
    body->addSpacing(4);
    body->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(banner);
    layout->addLayout(body);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_pOk, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(m_pClose, &QPushButton::clicked, this, &QDialog::reject);
}

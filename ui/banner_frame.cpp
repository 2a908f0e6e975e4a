#include "banner_frame.h"

#include "artwork.h"

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

void BuildBannerFrame(QDialog* dialog, const CBannerFrame& frame, QLayout* fields,
                      QLayout* bottom) {
    auto* banner = new QLabel(dialog);
    banner->setObjectName(QStringLiteral("186"));
    banner->setPixmap(BannerPixmap(frame.bannerWidth, dialog->devicePixelRatioF()));
    banner->setFixedWidth(frame.bannerWidth);

    auto* prompt = new QLabel(frame.prompt, dialog);
    prompt->setWordWrap(true);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 8, 12, 10);
    body->addWidget(prompt);
    body->addSpacing(frame.spacing);
    body->addLayout(fields);
    body->addSpacing(frame.spacing);
    if (frame.rule) {
        auto* rule = new QFrame(dialog);
        rule->setFrameShape(QFrame::HLine);
        rule->setFrameShadow(QFrame::Sunken);
        body->addWidget(rule);
        body->addSpacing(4);
    }
    body->addLayout(bottom);

    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(banner);
    layout->addLayout(body);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

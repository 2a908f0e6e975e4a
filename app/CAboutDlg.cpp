#include "CAboutDlg.h"

#include "artwork.h"
#include "dialog_units.h"
#include "feedback.h"
#include "shell_launcher.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(const QString& feedbackAddress, CShellLauncher& launcher, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("100"));
    setWindowTitle(QStringLiteral("关于"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    const CDialogUnits du(font());
    setFixedSize(du.X(178), du.Y(169));

    auto* banner = new QLabel(this);
    banner->setObjectName(QStringLiteral("186"));
    banner->setGeometry(du.Rect(0, 0, 179, 36));
    banner->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // At the height of its place, as a bitmap would be: what does not fit on the right is cut.
    banner->setPixmap(BannerPixmapOfHeight(banner->height(), devicePixelRatioF()));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("128"));
    icon->setPixmap(ProgramIcon().pixmap(32, 32));
    icon->setGeometry(du.X(18), du.Y(49), 32, 32);

    auto* title = new QLabel(QStringLiteral("青杏药店进销存管理系统1.0版本"), this);
    title->move(du.X(52), du.Y(49));
    title->adjustSize();

    const QUrl link = FeedbackLinkUrl(feedbackAddress);
    m_pLink = new QPushButton(link.toString(), this);
    m_pLink->setObjectName(QStringLiteral("1042"));
    m_pLink->setGeometry(du.Rect(52, 103, 119, 14));
    m_pLink->setFlat(true);
    m_pLink->setCursor(Qt::PointingHandCursor);
    m_pLink->setToolTip(link.toString());
    m_pLink->setAutoDefault(false);
    m_pLink->setStyleSheet(
        QStringLiteral("QPushButton { color: #0645ad; text-decoration: underline; border: none;"
                       " text-align: left; }"));
    connect(m_pLink, &QPushButton::clicked, this, [&launcher, link] { launcher.OpenUrl(link); });

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(du.X(7), du.Y(140), du.X(164), 2);

    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("1"));
    close->setGeometry(du.Rect(121, 145, 50, 14));
    close->setDefault(true);
    close->setFocus();
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

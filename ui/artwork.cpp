#include "artwork.h"

#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QSvgRenderer>

QPixmap RenderSvg(const QString& path, const QSize& size, qreal devicePixelRatio) {
    QSvgRenderer renderer(path);
    if (!renderer.isValid() || size.isEmpty())
        return {};
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        renderer.render(&painter);
    }
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QIcon SvgIcon(const QString& path) {
    QIcon icon;
    for (int side : {16, 24, 32, 48, 256})
        icon.addPixmap(RenderSvg(path, QSize(side, side)));
    return icon;
}

QIcon ProgramIcon() {
    return SvgIcon(QStringLiteral(":/res/apricot.svg"));
}

QPixmap BannerPixmap(int width, qreal devicePixelRatio) {
    const QString path = QStringLiteral(":/res/banner.svg");
    QSvgRenderer renderer(path);
    const QSize natural = renderer.defaultSize();
    if (!renderer.isValid() || natural.isEmpty() || width <= 0)
        return {};
    const int height = qMax(1, width * natural.height() / natural.width());
    return RenderSvg(path, QSize(width, height), devicePixelRatio);
}

QPixmap BannerPixmapOfHeight(int height, qreal devicePixelRatio) {
    const QSize natural = QSvgRenderer(QStringLiteral(":/res/banner.svg")).defaultSize();
    if (natural.isEmpty() || height <= 0)
        return {};
    return BannerPixmap(height * natural.width() / natural.height(), devicePixelRatio);
}

QLabel* AddBannerLabel(QWidget* dialog, const QRect& rect) {
    auto* banner = new QLabel(dialog);
    banner->setObjectName(QStringLiteral("186"));
    banner->setGeometry(rect);
    banner->setAlignment(Qt::AlignCenter);
    banner->setPixmap(BannerPixmap(banner->width(), dialog->devicePixelRatioF()));
    banner->setAutoFillBackground(true);
    QPalette palette = banner->palette();
    palette.setColor(QPalette::Window, QColor(0xe3, 0xf3, 0xda));
    banner->setPalette(palette);
    return banner;
}

#pragma once
// The program's pictures from res/, drawn at the size asked for.
#include <QIcon>
#include <QPixmap>
#include <QRect>
#include <QSize>
#include <QString>

// The SVG at `path`, scaled to fill `size` exactly; a null pixmap when it cannot be read.
QPixmap RenderSvg(const QString& path, const QSize& size, qreal devicePixelRatio = 1.0);
// An icon drawn from the SVG at the usual small and large sizes.
QIcon SvgIcon(const QString& path);
// The program icon.
QIcon ProgramIcon();
// The banner of the dialogs, `width` pixels wide at the banner's own proportions.
QPixmap BannerPixmap(int width, qreal devicePixelRatio = 1.0);
// The banner `height` pixels high at its own proportions.
QPixmap BannerPixmapOfHeight(int height, qreal devicePixelRatio = 1.0);

class QLabel;
class QWidget;

// The banner across the top of a dialog: a label (objectName "186") over `rect`, the picture
// centred on the banner's own colour so a wider dialog shows no seam.
QLabel* AddBannerLabel(QWidget* dialog, const QRect& rect);

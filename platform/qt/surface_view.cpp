#include "platform/qt/surface_view.h"

#include <QPaintEvent>
#include <QPainter>

namespace genart {

SurfaceView::SurfaceView(const ImageSurface& surface, QWidget* parent)
    : QWidget(parent), surface_(surface)
{
    setFixedSize(surface.width(), surface.height());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void SurfaceView::setSharpImage(const QImage& image)
{
    sharp_ = image;
    update();
}

void SurfaceView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    const QImage& image = sharp_.isNull() ? surface_.image() : sharp_;
    if (image.width() == width()) {
        painter.drawImage(area, image, area);
        return;
    }
    const qreal ratio = static_cast<qreal>(image.width()) / width();
    painter.drawImage(QRectF(area), image,
                      QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio));
}

} // namespace genart

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
    if (sharp_.isNull()) {
        painter.drawImage(area, surface_.image(), area);
        return;
    }
    const qreal ratio = sharp_.devicePixelRatio();
    painter.drawImage(QRectF(area), sharp_,
                      QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio));
}

} // namespace genart

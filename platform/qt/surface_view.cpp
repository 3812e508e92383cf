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

void SurfaceView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), surface_.image(), event->rect());
}

} // namespace genart

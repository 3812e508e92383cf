#pragma once

#include "platform/qt/image_surface.h"

#include <QImage>
#include <QWidget>

namespace genart {

// Shows an image surface on the screen, one surface pixel to one screen pixel, with no frame.
class SurfaceView final : public QWidget {
    Q_OBJECT
public:
    SurfaceView(const ImageSurface& surface, QWidget* parent = nullptr);

    // On a screen with more than one device pixel to a pixel: the same picture drawn that many
    // times as finely, its devicePixelRatio set, shown in place of the surface so that it is
    // sharp there. The widget keeps the surface's size. A null image shows the surface again.
    void setSharpImage(const QImage& image);
    const QImage& sharpImage() const { return sharp_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ImageSurface& surface_;
    QImage sharp_;
};

} // namespace genart

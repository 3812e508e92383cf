#pragma once

#include "platform/qt/image_surface.h"

#include <QImage>
#include <QWidget>

namespace genart {

// Shows an image surface on the screen with no frame, at the size the surface had when the view
// was made. A surface made larger since (the same picture drawn as finely as a high-density
// screen shows it) fills the same place, one surface pixel to one device pixel.
class SurfaceView final : public QWidget {
    Q_OBJECT
public:
    SurfaceView(const ImageSurface& surface, QWidget* parent = nullptr);

    // Shown in place of the surface (a frame of the colour cycle, a widened strip), in the same
    // way. A null image shows the surface again.
    void setSharpImage(const QImage& image);
    const QImage& sharpImage() const { return sharp_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ImageSurface& surface_;
    QImage sharp_;
};

} // namespace genart

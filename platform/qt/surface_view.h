#pragma once

#include "platform/qt/image_surface.h"

#include <QWidget>

namespace genart {

// Shows an image surface on the screen, one surface pixel to one screen pixel, with no frame.
class SurfaceView final : public QWidget {
    Q_OBJECT
public:
    SurfaceView(const ImageSurface& surface, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ImageSurface& surface_;
};

} // namespace genart

#pragma once

#include <QImage>
#include <QSize>

namespace genart {

// Where a slideshow's frames go: a window of genart's own filling a screen, or a window it was
// given to draw in.
class SlideCanvas {
public:
    virtual ~SlideCanvas() = default;
    // The frames' size, in device pixels.
    virtual QSize pixelSize() const = 0;
    // How often the display shows a new frame.
    virtual int refreshMilliseconds() const = 0;
    virtual void present(const QImage& frame) = 0;
};

} // namespace genart

#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <QObject>

#include "desktop/x11_image.h"
#include "slideshow/slide_canvas.h"

class QSocketNotifier;

namespace genart {

// A window genart was given to draw in (a screensaver's, or the root window): its frames go to
// a pixmap of the window's size and from there onto the window, which the pixmap also repaints
// where the window is uncovered between frames. The window stays its owner's: genart only draws.
class X11WindowCanvas final : public QObject, public SlideCanvas {
    Q_OBJECT
public:
    // The window `id`, or the screen's root window with none; or why it cannot be drawn in
    // (no display, no such window, pixels genart does not write).
    static std::unique_ptr<X11WindowCanvas> open(std::optional<std::uint32_t> id, std::string& problem);
    ~X11WindowCanvas() override;

    QSize pixelSize() const override { return size_; }
    int refreshMilliseconds() const override { return 16; }
    void present(const QImage& frame) override;

signals:
    // The window is gone (its owner destroyed it), or the display.
    void closed();

private:
    X11WindowCanvas() = default;
    void readEvents();

    X11Connection x_;
    std::uint32_t window_ = 0;
    std::uint32_t pixmap_ = 0;
    QSize size_;
    QSocketNotifier* events_ = nullptr;
};

} // namespace genart

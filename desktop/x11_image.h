#pragma once

#include <cstdint>
#include <string>

#include <QImage>

#include <xcb/xcb.h>

namespace genart {

// A connection to the X display that puts pictures into windows and pixmaps: 32-bit pixels on
// a 24- or 32-bit true-colour screen, which is what X servers on PCs have.
class X11Connection {
public:
    X11Connection(); // to DISPLAY's display and screen
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    // Why there is no connection or its screen takes other pixels; "" when it can be used.
    const std::string& problem() const { return problem_; }
    xcb_connection_t* connection() const { return connection_; }
    const xcb_screen_t* screen() const { return screen_; }
    // A graphics context for drawables of the screen's depth.
    xcb_gcontext_t gc() const { return gc_; }

    // Puts an RGB32 image with its top left corner at (x, y) of a drawable of the screen's depth,
    // in as many requests as the server's limit on a request asks.
    void putImage(xcb_drawable_t drawable, const QImage& image, int x = 0, int y = 0);
    // Waits until the server has done what was asked: "" or the first error it reported.
    std::string finish();

private:
    std::string pixelProblem() const;

    xcb_connection_t* connection_ = nullptr;
    const xcb_screen_t* screen_ = nullptr;
    xcb_gcontext_t gc_ = XCB_NONE;
    std::string problem_;
};

} // namespace genart

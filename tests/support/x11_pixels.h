#pragma once

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include <QImage>

#include <xcb/xcb.h>

namespace genart::testing {

// What a test reads back from an X server: properties, and the pixels of windows and pixmaps.
class X11Reader {
public:
    X11Reader() : connection_(xcb_connect(nullptr, nullptr)) {}
    ~X11Reader() { xcb_disconnect(connection_); }
    X11Reader(const X11Reader&) = delete;
    X11Reader& operator=(const X11Reader&) = delete;

    bool connected() const { return xcb_connection_has_error(connection_) == 0; }
    xcb_connection_t* connection() const { return connection_; }
    xcb_window_t root() const { return xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root; }

    // The pixmap a root window property names; 0 for none.
    xcb_pixmap_t rootPixmap(const char* property) const
    {
        auto* atom = xcb_intern_atom_reply(
            connection_, xcb_intern_atom(connection_, 1, static_cast<uint16_t>(std::strlen(property)), property),
            nullptr);
        if (!atom)
            return 0;
        auto* reply = xcb_get_property_reply(
            connection_, xcb_get_property(connection_, 0, root(), atom->atom, XCB_ATOM_PIXMAP, 0, 1), nullptr);
        std::free(atom);
        xcb_pixmap_t pixmap = 0;
        if (reply && xcb_get_property_value_length(reply) == 4)
            pixmap = *static_cast<xcb_pixmap_t*>(xcb_get_property_value(reply));
        std::free(reply);
        return pixmap;
    }

    bool exists(xcb_drawable_t drawable) const
    {
        auto* geometry = xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, drawable), nullptr);
        std::free(geometry);
        return geometry != nullptr;
    }

    // The drawable's pixels as RGB32; a null image when it cannot be read.
    QImage pixels(xcb_drawable_t drawable, int width, int height) const
    {
        auto* reply = xcb_get_image_reply(
            connection_,
            xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, drawable, 0, 0, static_cast<uint16_t>(width),
                          static_cast<uint16_t>(height), ~0u),
            nullptr);
        if (!reply)
            return {};
        QImage image(xcb_get_image_data(reply), width, height, width * 4, QImage::Format_RGB32);
        QImage copy = image.copy();
        std::free(reply);
        return copy;
    }

    // A window of its own, shown, as a screensaver's would be.
    xcb_window_t makeWindow(int width, int height) const
    {
        const xcb_window_t window = xcb_generate_id(connection_);
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0,
                          static_cast<uint16_t>(width), static_cast<uint16_t>(height), 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        xcb_map_window(connection_, window);
        xcb_flush(connection_);
        return window;
    }

private:
    xcb_connection_t* connection_;
};

// Pixels compared without the byte X leaves undefined.
inline bool samePixels(const QImage& a, const QImage& b)
{
    return a.size() == b.size()
        && a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

} // namespace genart::testing

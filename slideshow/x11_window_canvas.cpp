#include "slideshow/x11_window_canvas.h"

#include <cstdlib>
#include <cstdio>

#include <QSocketNotifier>

namespace genart {
namespace {

std::string hexId(std::uint32_t id)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", id);
    return text;
}

} // namespace

std::unique_ptr<X11WindowCanvas> X11WindowCanvas::open(std::optional<std::uint32_t> id, std::string& problem)
{
    std::unique_ptr<X11WindowCanvas> canvas(new X11WindowCanvas);
    problem = canvas->x_.problem();
    if (!problem.empty())
        return nullptr;
    xcb_connection_t* connection = canvas->x_.connection();
    const xcb_screen_t& screen = *canvas->x_.screen();
    canvas->window_ = id ? *id : screen.root;
    std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, canvas->window_), nullptr), &std::free);
    if (!geometry) {
        problem = "there is no window " + hexId(canvas->window_);
        return nullptr;
    }
    if (geometry->depth != screen.root_depth) {
        problem = "window " + hexId(canvas->window_) + " has pixels of depth " + std::to_string(geometry->depth)
            + ", which genart does not write";
        return nullptr;
    }
    canvas->size_ = QSize(geometry->width, geometry->height);
    canvas->pixmap_ = xcb_generate_id(connection);
    xcb_create_pixmap(connection, screen.root_depth, canvas->pixmap_, screen.root, geometry->width, geometry->height);
    const std::uint32_t events = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, canvas->window_, XCB_CW_EVENT_MASK, &events);
    problem = canvas->x_.finish();
    if (!problem.empty())
        return nullptr;
    canvas->events_ = new QSocketNotifier(xcb_get_file_descriptor(connection), QSocketNotifier::Read, canvas.get());
    connect(canvas->events_, &QSocketNotifier::activated, canvas.get(), &X11WindowCanvas::readEvents);
    return canvas;
}

X11WindowCanvas::~X11WindowCanvas()
{
    if (pixmap_ != 0)
        xcb_free_pixmap(x_.connection(), pixmap_);
    xcb_flush(x_.connection());
}

void X11WindowCanvas::present(const QImage& frame)
{
    xcb_connection_t* connection = x_.connection();
    x_.putImage(pixmap_, frame);
    xcb_copy_area(connection, pixmap_, window_, x_.gc(), 0, 0, 0, 0, static_cast<std::uint16_t>(size_.width()),
                  static_cast<std::uint16_t>(size_.height()));
    xcb_flush(connection);
}

void X11WindowCanvas::readEvents()
{
    xcb_connection_t* connection = x_.connection();
    bool gone = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
        const std::uint8_t type = event->response_type & 0x7f;
        if (type == XCB_EXPOSE) {
            const auto* expose = reinterpret_cast<const xcb_expose_event_t*>(event);
            xcb_copy_area(connection, pixmap_, window_, x_.gc(), static_cast<std::int16_t>(expose->x),
                          static_cast<std::int16_t>(expose->y), static_cast<std::int16_t>(expose->x),
                          static_cast<std::int16_t>(expose->y), expose->width, expose->height);
        }
        gone |= type == XCB_DESTROY_NOTIFY;
        std::free(event);
    }
    xcb_flush(connection);
    if (gone || xcb_connection_has_error(connection)) {
        events_->setEnabled(false);
        emit closed();
    }
}

} // namespace genart

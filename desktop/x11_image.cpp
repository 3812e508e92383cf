#include "desktop/x11_image.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace genart {
namespace {

// The visual of the root window, as its depth lists it.
const xcb_visualtype_t* rootVisual(const xcb_screen_t& screen)
{
    for (auto depth = xcb_screen_allowed_depths_iterator(&screen); depth.rem; xcb_depth_next(&depth))
        for (auto visual = xcb_depth_visuals_iterator(depth.data); visual.rem; xcb_visualtype_next(&visual))
            if (visual.data->visual_id == screen.root_visual)
                return visual.data;
    return nullptr;
}

std::uint8_t bitsPerPixel(xcb_connection_t* connection, std::uint8_t depth)
{
    const xcb_setup_t* setup = xcb_get_setup(connection);
    for (auto format = xcb_setup_pixmap_formats_iterator(setup); format.rem; xcb_format_next(&format))
        if (format.data->depth == depth)
            return format.data->bits_per_pixel;
    return 0;
}

} // namespace

X11Connection::X11Connection()
{
    int number = 0;
    connection_ = xcb_connect(nullptr, &number);
    if (xcb_connection_has_error(connection_)) {
        const char* display = std::getenv("DISPLAY");
        problem_ = display && *display ? std::string("cannot reach display ") + display : "DISPLAY is not set";
        return;
    }
    auto roots = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int n = 0; n < number && roots.rem; ++n)
        xcb_screen_next(&roots);
    screen_ = roots.data;
    problem_ = pixelProblem();
    if (!problem_.empty())
        return;
    gc_ = xcb_generate_id(connection_);
    xcb_create_gc(connection_, gc_, screen_->root, 0, nullptr);
}

X11Connection::~X11Connection()
{
    if (gc_ != XCB_NONE)
        xcb_free_gc(connection_, gc_);
    xcb_disconnect(connection_);
}

std::string X11Connection::pixelProblem() const
{
    const xcb_visualtype_t* visual = rootVisual(*screen_);
    const bool trueColour = visual && visual->_class == XCB_VISUAL_CLASS_TRUE_COLOR && visual->red_mask == 0xff0000
        && visual->green_mask == 0xff00 && visual->blue_mask == 0xff;
    const bool lsbFirst = xcb_get_setup(connection_)->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    const std::uint8_t depth = screen_->root_depth;
    if (!trueColour || !lsbFirst || (depth != 24 && depth != 32) || bitsPerPixel(connection_, depth) != 32
        || QSysInfo::ByteOrder != QSysInfo::LittleEndian)
        return "a screen of depth " + std::to_string(depth) + " whose pixels genart does not write";
    return {};
}

void X11Connection::putImage(xcb_drawable_t drawable, const QImage& image, int x, int y)
{
    const QImage pixels = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    const std::size_t stride = static_cast<std::size_t>(pixels.bytesPerLine());
    // The request's header and a little room, then whole rows.
    const std::size_t room = std::size_t{xcb_get_maximum_request_length(connection_)} * 4 - 64;
    const int rowsEach = std::max(1, static_cast<int>(room / stride));
    for (int row = 0; row < pixels.height(); row += rowsEach) {
        const int rows = std::min(rowsEach, pixels.height() - row);
        xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, drawable, gc_, static_cast<std::uint16_t>(pixels.width()),
                      static_cast<std::uint16_t>(rows), static_cast<std::int16_t>(x),
                      static_cast<std::int16_t>(y + row), 0, screen_->root_depth,
                      static_cast<std::uint32_t>(stride * static_cast<std::size_t>(rows)), pixels.constScanLine(row));
    }
}

std::string X11Connection::finish()
{
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    std::string problem;
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        if (event->response_type == 0 && problem.empty())
            problem = "the X server refused a request (error "
                + std::to_string(reinterpret_cast<xcb_generic_error_t*>(event)->error_code) + ")";
        std::free(event);
    }
    if (problem.empty() && xcb_connection_has_error(connection_))
        problem = "the connection to the X server broke";
    return problem;
}

} // namespace genart

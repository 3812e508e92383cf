#include "desktop/x11_root_wallpaper.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include <QImage>
#include <QPainter>

#include <xcb/xcb.h>

#include "desktop/x11_image.h"

namespace genart {
namespace {

// The picture filling each screen's area of the root window, cut where it overflows.
QImage rootImage(const QImage& picture, int width, int height, const std::vector<ScreenArea>& screens)
{
    const bool oneScreen = screens.size() <= 1 && picture.size() == QSize(width, height);
    if (oneScreen && (screens.empty() || (screens.front().x == 0 && screens.front().y == 0)))
        return picture; // drawn at the screen's size already
    QImage root(width, height, QImage::Format_RGB32);
    root.fill(Qt::black);
    QPainter painter(&root);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const std::vector<ScreenArea> areas =
        screens.empty() ? std::vector<ScreenArea>{{"", 0, 0, width, height}} : screens;
    for (const ScreenArea& area : areas) {
        const QSize covering = picture.size().scaled(area.width, area.height, Qt::KeepAspectRatioByExpanding);
        const double factor = static_cast<double>(covering.width()) / picture.width();
        const QRectF source((covering.width() - area.width) / 2.0 / factor,
                            (covering.height() - area.height) / 2.0 / factor, area.width / factor,
                            area.height / factor);
        painter.drawImage(QRectF(area.x, area.y, area.width, area.height), picture, source);
    }
    return root;
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// The pixmap a root property names, or none.
xcb_pixmap_t pixmapIn(xcb_connection_t* connection, xcb_window_t root, xcb_atom_t property)
{
    const xcb_get_property_cookie_t cookie = xcb_get_property(connection, 0, root, property, XCB_ATOM_PIXMAP, 0, 1);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(connection, cookie, nullptr), &std::free);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 4)
        return XCB_NONE;
    return *static_cast<const xcb_pixmap_t*>(xcb_get_property_value(reply.get()));
}

// Names the new pixmap as the desktop's; frees the one a setter left before, as Esetroot does:
// its client stayed only to keep it.
void nameRootPixmap(xcb_connection_t* connection, xcb_window_t root, xcb_pixmap_t pixmap)
{
    const xcb_atom_t xroot = atom(connection, "_XROOTPMAP_ID");
    const xcb_atom_t esetroot = atom(connection, "ESETROOT_PMAP_ID");
    const xcb_pixmap_t old = pixmapIn(connection, root, xroot);
    if (old != XCB_NONE && old == pixmapIn(connection, root, esetroot))
        xcb_kill_client(connection, old);
    for (const xcb_atom_t property : {xroot, esetroot})
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, root, property, XCB_ATOM_PIXMAP, 32, 1, &pixmap);
}

} // namespace

SetResult X11RootWallpaper::set(const std::string& file, WallpaperPlace place)
{
    if (place == WallpaperPlace::LockScreen)
        return withoutLockScreen(place);
    const QImage picture = drawn_.isNull() ? QImage(QString::fromStdString(file)) : drawn_;
    if (picture.isNull())
        return {false, "cannot read the picture"};
    X11Connection x;
    if (!x.problem().empty())
        return {false, x.problem()};
    xcb_connection_t* connection = x.connection();
    const xcb_screen_t& screen = *x.screen();

    const xcb_pixmap_t pixmap = xcb_generate_id(connection);
    xcb_create_pixmap(connection, screen.root_depth, pixmap, screen.root, screen.width_in_pixels,
                      screen.height_in_pixels);
    x.putImage(pixmap, rootImage(picture, screen.width_in_pixels, screen.height_in_pixels, screens_));
    nameRootPixmap(connection, screen.root, pixmap);
    xcb_change_window_attributes(connection, screen.root, XCB_CW_BACK_PIXMAP, &pixmap);
    xcb_clear_area(connection, 0, screen.root, 0, 0, 0, 0);
    // The pixmap stays when genart's connection closes; the next setter frees it.
    xcb_set_close_down_mode(connection, XCB_CLOSE_DOWN_RETAIN_PERMANENT);
    if (const std::string problem = x.finish(); !problem.empty())
        return {false, problem};
    return withoutLockScreen(place);
}

} // namespace genart

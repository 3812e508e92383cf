#pragma once

#include <vector>

#include <QImage>

#include "desktop/desktop_context.h"
#include "desktop/wallpaper_setter.h"

namespace genart {

// Any other X11 session: the picture becomes the root window's background pixmap, filling each
// screen, and is named in _XROOTPMAP_ID and ESETROOT_PMAP_ID, where terminals and panels that
// show the desktop through them look for it. The pixmap outlives genart (RetainPermanent); the
// one it replaces, if genart or another setter left it so, is freed.
class X11RootWallpaper final : public WallpaperSetter {
public:
    // `drawn`, when the caller still holds the file's picture, saves reading it back.
    explicit X11RootWallpaper(std::vector<ScreenArea> screens, QImage drawn = {})
        : screens_(std::move(screens)), drawn_(std::move(drawn))
    {
    }
    std::string name() const override { return "X11 root window"; }
    SetResult set(const std::string& file, WallpaperPlace place) override;

private:
    std::vector<ScreenArea> screens_;
    QImage drawn_;
};

} // namespace genart

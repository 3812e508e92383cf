#pragma once

#include <vector>

#include "desktop/desktop_context.h"
#include "desktop/wallpaper_setter.h"

namespace genart {

// Xfce's desktop keeps a picture for every monitor and workspace in xfconf, channel
// xfce4-desktop, as /backdrop/screenN/monitorNAME/workspaceN/last-image; xfdesktop follows
// changes to them. Every such property is set, over D-Bus (org.xfce.Xfconf); where there are
// none yet, the first workspace of each screen gets one.
class XfceWallpaper final : public WallpaperSetter {
public:
    explicit XfceWallpaper(std::vector<ScreenArea> screens) : screens_(std::move(screens)) {}
    std::string name() const override { return "Xfce's xfconf"; }
    SetResult set(const std::string& file, WallpaperPlace place) override;

private:
    std::vector<ScreenArea> screens_;
};

} // namespace genart

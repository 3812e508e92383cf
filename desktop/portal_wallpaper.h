#pragma once

#include "desktop/wallpaper_setter.h"

namespace genart {

// The XDG desktop portal's Wallpaper interface over D-Bus: the file is handed over as an open
// descriptor, and the portal answers on a request object once the desktop has it (or the user
// said no). The only way out of a sandbox, and a way on desktops genart knows no other for.
class PortalWallpaper final : public WallpaperSetter {
public:
    std::string name() const override { return "desktop portal"; }
    SetResult set(const std::string& file, WallpaperPlace place) override;
};

} // namespace genart

#pragma once

#include "desktop/command_runner.h"
#include "desktop/wallpaper_setter.h"

namespace genart {

// KDE Plasma: plasma-apply-wallpaperimage where it is installed, else a script for the running
// shell over D-Bus (org.kde.PlasmaShell.evaluateScript) that gives every desktop the picture.
// The lock screen's picture is written to kscreenlockerrc by kwriteconfig.
class PlasmaWallpaper final : public WallpaperSetter {
public:
    explicit PlasmaWallpaper(CommandRunner& commands) : commands_(commands) {}
    std::string name() const override { return "KDE Plasma"; }
    SetResult set(const std::string& file, WallpaperPlace place) override;

private:
    std::string setBackground(const std::string& file);
    std::string setLockScreen(const std::string& uri);

    CommandRunner& commands_;
};

// The script that gives every Plasma desktop the picture at `uri`.
std::string plasmaScript(const std::string& uri);

} // namespace genart

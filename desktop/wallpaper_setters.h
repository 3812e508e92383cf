#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QImage>

#include "desktop/command_runner.h"
#include "desktop/desktop_context.h"
#include "desktop/wallpaper_setter.h"

namespace genart {

// The ways to try, in order, on this desktop. In a sandbox the portal comes first; on a desktop
// the session names (GNOME, Unity, Budgie, Cinnamon, MATE, KDE, XFCE, LXQt, LXDE, sway), its own
// way, then the portal; elsewhere the X root window on an X11 session, then the portal.
// `drawn`, the picture of the file to be set when the caller still holds it, saves reading it back.
std::vector<std::unique_ptr<WallpaperSetter>> wallpaperSetters(const DesktopContext& context,
                                                               CommandRunner& commands = systemCommands(),
                                                               const QImage& drawn = {});

struct SetOutcome {
    std::string setBy; // the way that did it; empty when none did
    std::string note;  // what it left undone, when one did
    std::string tried; // "GNOME settings: no schema …; desktop portal: …" when none did
    bool set() const { return !setBy.empty(); }
};

// Tries each way in turn until one sets the picture.
SetOutcome setWallpaper(const std::string& file, WallpaperPlace place,
                        const std::vector<std::unique_ptr<WallpaperSetter>>& setters);

} // namespace genart

#pragma once

#include <string>
#include <vector>

namespace genart {

// A screen's place on the desktop, in device pixels.
struct ScreenArea {
    std::string name; // the output's name, as "HDMI-1"
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// What the ways of setting a wallpaper are chosen from: the desktops the session names, the
// kind of display it has, whether genart runs in a sandbox, and its screens.
struct DesktopContext {
    std::vector<std::string> desktops; // XDG_CURRENT_DESKTOP's names, in lower case
    bool sandboxed = false;            // in Flatpak or Snap, where only the portal reaches the desktop
    bool x11 = false;                  // DISPLAY names a display
    bool wayland = false;              // a Wayland session: an X root window there is not the desktop
    bool sway = false;                 // sway's socket is set
    std::vector<ScreenArea> screens;
};

// The context this process runs in, with the screens the caller found.
DesktopContext desktopFromEnvironment(std::vector<ScreenArea> screens);

} // namespace genart

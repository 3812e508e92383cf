#pragma once

#include <string>
#include <vector>

#include "desktop/desktop_context.h"
#include "desktop/wallpaper_setters.h"
#include "session/recipe.h"

namespace genart {

struct WallpaperResult {
    std::string path;    // the picture's file, when it was written
    std::string problem; // why it was not
    SetOutcome outcome;  // who set it, or what was tried
    bool set() const { return problem.empty() && outcome.set(); }
};

// Draws the recipe's picture at `width` by `height` without its caption into a new file in
// genart's wallpaper folder, and shows it where asked the way this desktop takes; once it is
// shown, the older wallpapers beyond the newest few are removed. For the command line and the
// window alike; it may run on any thread.
WallpaperResult makeWallpaper(const Recipe& recipe, int width, int height, WallpaperPlace place,
                              const std::vector<ScreenArea>& screens);

// What happened, in one line: "PATH, shown through GNOME settings", or what was tried.
std::string wallpaperReport(const WallpaperResult& result);

} // namespace genart

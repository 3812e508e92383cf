#pragma once

#include <optional>
#include <string>
#include <vector>

#include <QImage>

#include "desktop/desktop_context.h"
#include "session/recipe.h"

namespace genart {

// Wallpapers are JPEG files: a 4K picture is written in a tenth of the time PNG takes, at a
// twentieth of its size, and the file still carries the recipe that draws it exactly.
inline constexpr int kWallpaperQuality = 95;
// The newest wallpapers kept in their folder; older ones are removed once a new one is shown.
inline constexpr int kKeptWallpapers = 10;

// genart's data folder's "wallpapers" (~/.local/share/Orvanik/genart/wallpapers); "" when the
// system names no data folder.
std::string wallpaperFolder();

// The largest screen, by its pixels; none when there are no screens.
std::optional<ScreenArea> largestScreen(const std::vector<ScreenArea>& screens);

struct WallpaperFile {
    std::string path;    // where it was written
    std::string problem; // or why it was not
    QImage picture;      // as drawn
};

// Draws the recipe's picture covering `width` by `height`, without its caption, and writes it
// whole as a new file in `folder` (made if missing), named after the picture and its size; an
// existing file, such as the wallpaper on show, is never replaced.
WallpaperFile writeWallpaper(const Recipe& recipe, int width, int height, const std::string& folder);

// Removes all but the newest kKeptWallpapers wallpapers of the folder, never `shown`.
void pruneWallpapers(const std::string& folder, const std::string& shown);

} // namespace genart

#include "desktop/desktop_wallpaper.h"

#include "desktop/wallpaper_picture.h"
#include "terminal_text/printable.h"

namespace genart {

WallpaperResult makeWallpaper(const Recipe& recipe, int width, int height, WallpaperPlace place,
                              const std::vector<ScreenArea>& screens)
{
    WallpaperResult result;
    const std::string folder = wallpaperFolder();
    if (folder.empty()) {
        result.problem = "the system names no data folder to keep the picture in";
        return result;
    }
    const WallpaperFile file = writeWallpaper(recipe, width, height, folder);
    result.path = file.path;
    result.problem = file.problem;
    if (!result.problem.empty())
        return result;
    result.outcome = setWallpaper(file.path, place,
                                  wallpaperSetters(desktopFromEnvironment(screens), systemCommands(), file.picture));
    if (result.outcome.set())
        pruneWallpapers(folder, file.path);
    return result;
}

std::string wallpaperReport(const WallpaperResult& result)
{
    if (!result.problem.empty())
        return printable(result.problem);
    if (!result.outcome.set())
        return "nothing could set the wallpaper (tried " + printable(result.outcome.tried) + "); the picture is "
            + printable(result.path);
    std::string line = printable(result.path) + ", shown through " + result.outcome.setBy;
    if (!result.outcome.note.empty())
        line += "; " + printable(result.outcome.note);
    return line;
}

} // namespace genart

#include "desktop/command_wallpaper.h"

namespace genart {

std::vector<std::string> pcmanfmQtCommand(const std::string& file)
{
    return {"pcmanfm-qt", "--set-wallpaper", file, "--wallpaper-mode", "zoom"};
}

std::vector<std::string> pcmanfmCommand(const std::string& file)
{
    return {"pcmanfm", "--set-wallpaper", file, "--wallpaper-mode", "crop"};
}

std::vector<std::string> swayCommand(const std::string& file)
{
    return {"swaymsg", "output", "*", "bg", file, "fill"};
}

SetResult CommandWallpaper::set(const std::string& file, WallpaperPlace place)
{
    if (place == WallpaperPlace::LockScreen)
        return withoutLockScreen(place);
    const std::vector<std::string> command = command_(file);
    if (!commands_.has(command.front()))
        return {false, command.front() + " is not installed"};
    const CommandResult result = commands_.run(command);
    if (result.status != 0)
        return {false, commandFailure(command, result)};
    return withoutLockScreen(place);
}

} // namespace genart

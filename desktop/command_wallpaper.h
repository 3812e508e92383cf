#pragma once

#include <functional>
#include <vector>

#include "desktop/command_runner.h"
#include "desktop/wallpaper_setter.h"

namespace genart {

// A desktop whose own program sets its wallpaper: LXQt's pcmanfm-qt, LXDE's pcmanfm, sway's
// swaymsg. None of them keeps a lock screen picture.
class CommandWallpaper final : public WallpaperSetter {
public:
    using Command = std::function<std::vector<std::string>(const std::string& file)>;
    CommandWallpaper(std::string name, Command command, CommandRunner& commands)
        : name_(std::move(name)), command_(std::move(command)), commands_(commands)
    {
    }
    std::string name() const override { return name_; }
    SetResult set(const std::string& file, WallpaperPlace place) override;

private:
    std::string name_;
    Command command_;
    CommandRunner& commands_;
};

// The commands each of them takes: the picture filling every output, cut where it overflows.
std::vector<std::string> pcmanfmQtCommand(const std::string& file);
std::vector<std::string> pcmanfmCommand(const std::string& file);
std::vector<std::string> swayCommand(const std::string& file);

} // namespace genart

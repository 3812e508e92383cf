#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "command_line/command_line.h"

namespace genart {

// `genart wallpaper …`, the arguments as parseCommandLine takes them.
Command parseWallpaper(const std::vector<std::string>& arguments);
// `genart --slideshow …`
Command parseSlideshow(const std::vector<std::string>& arguments);

// An X window's id as xwininfo and xscreensaver write it: 0x1a00003, or decimal.
std::optional<std::uint32_t> parseWindowId(const std::string& text);

std::string desktopUsageForms(); // the forms of `genart wallpaper` and `genart --slideshow`
std::string wallpaperUsageText();

} // namespace genart

#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "desktop/wallpaper_setter.h"
#include "session/picture_size.h"

namespace genart {

// `genart wallpaper [--new | --favourite | --entry ID | --recipe FILE] [--size WxH]
//                   [--set-on background|lockscreen|both]`
// `genart wallpaper --daily on|off [--favourite]`
struct WallpaperOptions {
    enum class Source { New, Favourite, Entry, Recipe };
    Source source = Source::New;
    std::int64_t entry = 0;
    std::string recipe;
    std::optional<PictureSize> size; // else the largest screen's
    WallpaperPlace place = WallpaperPlace::Background;
    std::optional<bool> daily; // --daily on or off
};

inline constexpr int kDefaultSlideSeconds = 10;
inline constexpr int kLongestSlideSeconds = 86400;

// `genart --slideshow [--seconds N] [--favourites] [--cycle] [--seed N] [--root | --window-id ID]`
struct SlideshowOptions {
    int seconds = kDefaultSlideSeconds;
    bool favourites = false;
    bool cycle = false;
    std::optional<std::uint32_t> seed; // the new pictures' sequence, as the window's --seed
    bool root = false;                 // into the root window, or XSCREENSAVER_WINDOW's
    std::optional<std::uint32_t> window;
};

} // namespace genart

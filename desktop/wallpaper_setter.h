#pragma once

#include <string>

namespace genart {

// Where a picture is to be shown: the desktop's background, the lock screen's, or both.
enum class WallpaperPlace { Background, LockScreen, Both };

struct SetResult {
    bool done = false;
    // Why it was not done; when done, what of the request was left undone (a desktop whose lock
    // screen has no picture of its own).
    std::string note;
};

// One desktop's way of showing a picture file as its wallpaper.
class WallpaperSetter {
public:
    virtual ~WallpaperSetter() = default;
    // How it is named where the ways tried are listed: "GNOME settings", "X11 root window".
    virtual std::string name() const = 0;
    // Shows the picture at `file`, an absolute path to a whole picture file.
    virtual SetResult set(const std::string& file, WallpaperPlace place) = 0;
};

// The note of a setter that has no lock screen picture: a lock screen alone is not done, a
// background with it is done with the lock screen told as left.
SetResult withoutLockScreen(WallpaperPlace place);

} // namespace genart

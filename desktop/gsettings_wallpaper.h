#pragma once

#include "desktop/wallpaper_setter.h"

namespace genart {

// Where a desktop keeps its wallpaper in GSettings.
struct WallpaperKeys {
    const char* name;       // "GNOME settings"
    const char* schema;     // the background's schema
    const char* pictureKey; // the picture, as a file URI or (MATE) a path
    bool uri;
    const char* darkKey;    // the picture in the dark style, where the schema has it
    const char* optionsKey; // how it fills the screen; "none" shows no picture and becomes "zoom"
    const char* lockSchema; // the lock screen's, where it has a picture of its own
    const char* lockKey;
};

// GNOME, and Unity and Budgie, which keep GNOME's keys.
extern const WallpaperKeys kGnomeKeys;
extern const WallpaperKeys kCinnamonKeys;
extern const WallpaperKeys kMateKeys;

// Sets the keys through GIO's GSettings (dconf on a desktop session), waiting until they are
// written. Not done when the schema is not installed, or the settings would not be kept.
class GSettingsWallpaper final : public WallpaperSetter {
public:
    explicit GSettingsWallpaper(const WallpaperKeys& keys) : keys_(keys) {}
    std::string name() const override { return keys_.name; }
    SetResult set(const std::string& file, WallpaperPlace place) override;

private:
    const WallpaperKeys& keys_;
};

} // namespace genart

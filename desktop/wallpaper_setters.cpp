#include "desktop/wallpaper_setters.h"

#include "desktop/command_wallpaper.h"
#include "desktop/gsettings_wallpaper.h"
#include "desktop/plasma_wallpaper.h"
#include "desktop/portal_wallpaper.h"
#include "desktop/x11_root_wallpaper.h"
#include "desktop/xfce_wallpaper.h"

namespace genart {

SetResult withoutLockScreen(WallpaperPlace place)
{
    switch (place) {
    case WallpaperPlace::Background:
        break;
    case WallpaperPlace::LockScreen:
        return {false, "keeps no picture for the lock screen"};
    case WallpaperPlace::Both:
        return {true, "the lock screen is left as it is: this desktop keeps no picture of its own for it"};
    }
    return {true, {}};
}

namespace {

// The way of the desktop XDG_CURRENT_DESKTOP names, if genart knows it.
std::unique_ptr<WallpaperSetter> desktopSetter(const std::string& desktop, const DesktopContext& context,
                                               CommandRunner& commands)
{
    if (desktop == "gnome" || desktop == "unity" || desktop == "budgie" || desktop == "gnome-classic"
        || desktop == "gnome-flashback")
        return std::make_unique<GSettingsWallpaper>(kGnomeKeys);
    if (desktop == "x-cinnamon" || desktop == "cinnamon")
        return std::make_unique<GSettingsWallpaper>(kCinnamonKeys);
    if (desktop == "mate")
        return std::make_unique<GSettingsWallpaper>(kMateKeys);
    if (desktop == "kde")
        return std::make_unique<PlasmaWallpaper>(commands);
    if (desktop == "xfce")
        return std::make_unique<XfceWallpaper>(context.screens);
    if (desktop == "lxqt")
        return std::make_unique<CommandWallpaper>("LXQt's pcmanfm-qt", pcmanfmQtCommand, commands);
    if (desktop == "lxde")
        return std::make_unique<CommandWallpaper>("LXDE's pcmanfm", pcmanfmCommand, commands);
    if (desktop == "sway")
        return std::make_unique<CommandWallpaper>("sway's swaymsg", swayCommand, commands);
    return nullptr;
}

} // namespace

std::vector<std::unique_ptr<WallpaperSetter>> wallpaperSetters(const DesktopContext& context,
                                                               CommandRunner& commands, const QImage& drawn)
{
    std::vector<std::unique_ptr<WallpaperSetter>> setters;
    if (context.sandboxed) {
        setters.push_back(std::make_unique<PortalWallpaper>());
        if (context.x11 && !context.wayland)
            setters.push_back(std::make_unique<X11RootWallpaper>(context.screens, drawn));
        return setters;
    }
    for (const std::string& desktop : context.desktops)
        if (auto setter = desktopSetter(desktop, context, commands)) {
            setters.push_back(std::move(setter));
            break;
        }
    if (setters.empty() && context.sway)
        setters.push_back(desktopSetter("sway", context, commands));
    // An X11 session with no desktop genart knows draws on the root window; on one it knows, the
    // root window lies hidden under the desktop's own.
    if (setters.empty() && context.x11 && !context.wayland)
        setters.push_back(std::make_unique<X11RootWallpaper>(context.screens, drawn));
    setters.push_back(std::make_unique<PortalWallpaper>());
    return setters;
}

SetOutcome setWallpaper(const std::string& file, WallpaperPlace place,
                        const std::vector<std::unique_ptr<WallpaperSetter>>& setters)
{
    SetOutcome outcome;
    for (const auto& setter : setters) {
        const SetResult result = setter->set(file, place);
        if (result.done) {
            outcome.setBy = setter->name();
            outcome.note = result.note;
            return outcome;
        }
        outcome.tried += (outcome.tried.empty() ? "" : "; ") + setter->name() + ": " + result.note;
    }
    return outcome;
}

} // namespace genart

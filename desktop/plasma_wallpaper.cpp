#include "desktop/plasma_wallpaper.h"

#include "desktop/gio_support.h"

namespace genart {
namespace {

const MethodCall kEvaluateScript{"org.kde.plasmashell", "/PlasmaShell", "org.kde.PlasmaShell", "evaluateScript"};

std::string fileUri(const std::string& file)
{
    gchar* uri = g_filename_to_uri(file.c_str(), nullptr, nullptr);
    std::string text = uri ? uri : "";
    g_free(uri);
    return text;
}

} // namespace

// A file URI has its quotes, backslashes and line breaks escaped, so it sits safely in the
// script's double-quoted string.
std::string plasmaScript(const std::string& uri)
{
    return "var all = desktops();\n"
           "for (var i = 0; i < all.length; i++) {\n"
           "    var d = all[i];\n"
           "    d.wallpaperPlugin = \"org.kde.image\";\n"
           "    d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];\n"
           "    d.writeConfig(\"Image\", \""
        + uri + "\");\n}\n";
}

std::string PlasmaWallpaper::setBackground(const std::string& file)
{
    if (commands_.has("plasma-apply-wallpaperimage")) {
        const std::vector<std::string> command{"plasma-apply-wallpaperimage", file};
        const CommandResult result = commands_.run(command);
        return result.status == 0 ? std::string() : commandFailure(command, result);
    }
    std::string problem;
    const GOwned<GDBusConnection> bus = sessionBus(problem);
    if (bus)
        callMethod(bus.get(), kEvaluateScript, g_variant_new("(s)", plasmaScript(fileUri(file)).c_str()), nullptr,
                   problem);
    return problem;
}

std::string PlasmaWallpaper::setLockScreen(const std::string& uri)
{
    for (const char* program : {"kwriteconfig6", "kwriteconfig5"}) {
        if (!commands_.has(program))
            continue;
        const std::vector<std::string> command{program,   "--file",  "kscreenlockerrc", "--group", "Greeter",
                                               "--group", "Wallpaper", "--group",       "org.kde.image",
                                               "--group", "General",   "--key",         "Image", uri};
        const CommandResult result = commands_.run(command);
        return result.status == 0 ? std::string() : commandFailure(command, result);
    }
    return "no kwriteconfig for the lock screen";
}

SetResult PlasmaWallpaper::set(const std::string& file, WallpaperPlace place)
{
    if (place != WallpaperPlace::LockScreen)
        if (const std::string problem = setBackground(file); !problem.empty())
            return {false, problem};
    if (place != WallpaperPlace::Background)
        if (const std::string problem = setLockScreen(fileUri(file)); !problem.empty())
            return {false, problem};
    return {true, {}};
}

} // namespace genart

#include "desktop/xfce_wallpaper.h"

#include "desktop/gio_support.h"

namespace genart {
namespace {

const char* const kChannel = "xfce4-desktop";
const MethodCall kGetAll{"org.xfce.Xfconf", "/org/xfce/Xfconf", "org.xfce.Xfconf", "GetAllProperties"};
const MethodCall kSetProperty{"org.xfce.Xfconf", "/org/xfce/Xfconf", "org.xfce.Xfconf", "SetProperty"};
// xfdesktop's image style that fills the monitor, cutting what overflows.
constexpr gint32 kZoomed = 5;

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Every monitor's and workspace's picture property there is; empty when xfconf has none.
std::vector<std::string> pictureProperties(GDBusConnection* bus, std::string& problem)
{
    const GVariantOwned reply = callMethod(bus, kGetAll, g_variant_new("(ss)", kChannel, "/backdrop"), "(a{sv})",
                                           problem);
    std::vector<std::string> properties;
    if (!reply) {
        if (!nobodyAnswers(problem))
            problem.clear(); // xfconf answers so for a channel with no backdrop yet
        return properties;
    }
    GVariantIter* all = nullptr;
    g_variant_get(reply.get(), "(a{sv})", &all);
    const gchar* property = nullptr;
    GVariant* value = nullptr;
    while (g_variant_iter_loop(all, "{&sv}", &property, &value))
        if (endsWith(property, "/last-image"))
            properties.emplace_back(property);
    g_variant_iter_free(all);
    return properties;
}

std::string setProperty(GDBusConnection* bus, const std::string& property, GVariant* value)
{
    std::string problem;
    callMethod(bus, kSetProperty, g_variant_new("(ssv)", kChannel, property.c_str(), value), nullptr, problem);
    return problem;
}

} // namespace

SetResult XfceWallpaper::set(const std::string& file, WallpaperPlace place)
{
    if (place == WallpaperPlace::LockScreen)
        return withoutLockScreen(place);
    std::string problem;
    const GOwned<GDBusConnection> bus = sessionBus(problem);
    if (!bus)
        return {false, problem};
    std::vector<std::string> properties = pictureProperties(bus.get(), problem);
    if (!problem.empty())
        return {false, problem};
    const bool fresh = properties.empty();
    for (const ScreenArea& screen : fresh ? screens_ : std::vector<ScreenArea>{})
        properties.push_back("/backdrop/screen0/monitor" + screen.name + "/workspace0/last-image");
    if (properties.empty())
        return {false, "no monitor to give a picture"};
    for (const std::string& property : properties) {
        if (fresh)
            problem = setProperty(bus.get(), property.substr(0, property.size() - 10) + "image-style",
                                  g_variant_new_int32(kZoomed));
        if (problem.empty())
            problem = setProperty(bus.get(), property, g_variant_new_string(file.c_str()));
        if (!problem.empty())
            return {false, property + ": " + problem};
    }
    return withoutLockScreen(place);
}

} // namespace genart

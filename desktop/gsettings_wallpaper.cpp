#include "desktop/gsettings_wallpaper.h"

#include <cstring>

#define G_SETTINGS_ENABLE_BACKEND
#include <gio/gsettingsbackend.h>

#include "desktop/gio_support.h"

namespace genart {

const WallpaperKeys kGnomeKeys{"GNOME settings",     "org.gnome.desktop.background", "picture-uri",
                               true,                 "picture-uri-dark",             "picture-options",
                               "org.gnome.desktop.screensaver", "picture-uri"};
// Cinnamon's and MATE's lock screens show the desktop's own background.
const WallpaperKeys kCinnamonKeys{"Cinnamon settings", "org.cinnamon.desktop.background", "picture-uri", true,
                                  nullptr, "picture-options", nullptr, nullptr};
const WallpaperKeys kMateKeys{"MATE settings", "org.mate.background", "picture-filename", false, nullptr,
                              "picture-options", nullptr, nullptr};

namespace {

// Why settings written now would not be there for the desktop: no bus for dconf, or GLib's
// stand-in that keeps them in this process only.
std::string unkeptSettings()
{
    std::string problem;
    if (!sessionBus(problem))
        return problem;
    const GOwned<GSettingsBackend> backend(g_settings_backend_get_default());
    const char* type = G_OBJECT_TYPE_NAME(backend.get());
    if (std::strcmp(type, "GMemorySettingsBackend") == 0 || std::strcmp(type, "GNullSettingsBackend") == 0)
        return "settings are not kept here (no dconf)";
    return {};
}

GSettingsSchema* lookUp(const char* id)
{
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    return source ? g_settings_schema_source_lookup(source, id, TRUE) : nullptr;
}

// Sets the key if the schema has it; "" or why not.
std::string setKey(GSettings* settings, GSettingsSchema* schema, const char* key, const std::string& value)
{
    if (!key || !g_settings_schema_has_key(schema, key))
        return {};
    if (!g_settings_set_string(settings, key, value.c_str()))
        return std::string(key) + " cannot be changed";
    return {};
}

// The picture in `keys`' schema: the picture (and its dark twin), filling the screen.
std::string setPicture(const char* schemaId, const char* pictureKey, const char* darkKey, const char* optionsKey,
                       const std::string& value)
{
    GSettingsSchema* schema = lookUp(schemaId);
    if (!schema)
        return std::string("no schema ") + schemaId;
    GOwned<GSettings> settings(g_settings_new_full(schema, nullptr, nullptr));
    std::string problem = setKey(settings.get(), schema, pictureKey, value);
    if (problem.empty() && darkKey)
        problem = setKey(settings.get(), schema, darkKey, value);
    if (problem.empty() && optionsKey && g_settings_schema_has_key(schema, optionsKey)) {
        gchar* options = g_settings_get_string(settings.get(), optionsKey);
        if (std::strcmp(options, "none") == 0)
            problem = setKey(settings.get(), schema, optionsKey, "zoom");
        g_free(options);
    }
    g_settings_schema_unref(schema);
    return problem;
}

} // namespace

SetResult GSettingsWallpaper::set(const std::string& file, WallpaperPlace place)
{
    if (GSettingsSchema* schema = lookUp(keys_.schema))
        g_settings_schema_unref(schema);
    else
        return {false, std::string("no schema ") + keys_.schema};
    if (const std::string problem = unkeptSettings(); !problem.empty())
        return {false, problem};
    std::string value = file;
    if (keys_.uri) {
        gchar* uri = g_filename_to_uri(file.c_str(), nullptr, nullptr);
        value = uri ? uri : "";
        g_free(uri);
    }
    SetResult result{true, {}};
    if (place != WallpaperPlace::LockScreen)
        if (const std::string problem = setPicture(keys_.schema, keys_.pictureKey, keys_.darkKey, keys_.optionsKey,
                                                   value);
            !problem.empty())
            return {false, problem};
    if (place != WallpaperPlace::Background) {
        if (!keys_.lockSchema)
            result = withoutLockScreen(place);
        else if (const std::string problem = setPicture(keys_.lockSchema, keys_.lockKey, nullptr, nullptr, value);
                 !problem.empty())
            return {false, problem};
    }
    g_settings_sync(); // the writes reach dconf before genart ends
    return result;
}

} // namespace genart

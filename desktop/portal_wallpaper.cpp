#include "desktop/portal_wallpaper.h"

#include <fcntl.h>
#include <optional>
#include <unistd.h>

#include <gio/gunixfdlist.h>

#include "desktop/gio_support.h"

namespace genart {
namespace {

// A portal may ask the user first.
constexpr guint kAnswerMilliseconds = 30000;

const char* const kPortal = "org.freedesktop.portal.Desktop";

struct Answer {
    GMainLoop* loop;
    std::string request; // the request object it answers on
    std::optional<guint32> response;
};

void onResponse(GDBusConnection*, const gchar*, const gchar* path, const gchar*, const gchar*, GVariant* parameters,
                gpointer data)
{
    auto* answer = static_cast<Answer*>(data);
    if (answer->request != path || !g_variant_is_of_type(parameters, G_VARIANT_TYPE("(ua{sv})")))
        return;
    guint32 response = 0;
    g_variant_get(parameters, "(u@a{sv})", &response, nullptr);
    answer->response = response;
    g_main_loop_quit(answer->loop);
}

gboolean onTimeout(gpointer loop)
{
    g_main_loop_quit(static_cast<GMainLoop*>(loop));
    return G_SOURCE_REMOVE;
}

const char* setOn(WallpaperPlace place)
{
    switch (place) {
    case WallpaperPlace::Background:
        return "background";
    case WallpaperPlace::LockScreen:
        return "lockscreen";
    case WallpaperPlace::Both:
        break;
    }
    return "both";
}

// The request object the portal will answer on: named after this connection and the token.
std::string requestPath(GDBusConnection* bus, const std::string& token)
{
    std::string sender = g_dbus_connection_get_unique_name(bus) + 1; // without the leading ':'
    for (char& c : sender)
        if (c == '.')
            c = '_';
    return "/org/freedesktop/portal/desktop/request/" + sender + "/" + token;
}

// Calls SetWallpaperFile; the request object it answers on, or "" and why not.
std::string ask(GDBusConnection* bus, const std::string& file, WallpaperPlace place, const std::string& token,
                std::string& problem)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        problem = "cannot open the picture";
        return {};
    }
    GError* error = nullptr;
    const GOwned<GUnixFDList> fds(g_unix_fd_list_new_from_array(&fd, 1)); // now owns the descriptor
    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
    g_variant_builder_add(&options, "{sv}", "handle_token", g_variant_new_string(token.c_str()));
    g_variant_builder_add(&options, "{sv}", "show-preview", g_variant_new_boolean(FALSE));
    g_variant_builder_add(&options, "{sv}", "set-on", g_variant_new_string(setOn(place)));
    const GVariantOwned reply(g_dbus_connection_call_with_unix_fd_list_sync(
        bus, kPortal, "/org/freedesktop/portal/desktop", "org.freedesktop.portal.Wallpaper", "SetWallpaperFile",
        g_variant_new("(sha{sv})", "", 0, &options), G_VARIANT_TYPE("(o)"), G_DBUS_CALL_FLAGS_NONE,
        static_cast<gint>(kAnswerMilliseconds), fds.get(), nullptr, nullptr, &error));
    if (!reply) {
        const bool absent = g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_SERVICE_UNKNOWN)
            || g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_METHOD)
            || g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_INTERFACE);
        problem = absent ? "no Wallpaper portal" : takeMessage(error);
        g_clear_error(&error);
        return {};
    }
    const gchar* request = nullptr;
    g_variant_get(reply.get(), "(&o)", &request);
    return request;
}

std::string refusal(guint32 response)
{
    return response == 1 ? "the user did not accept it" : "the portal could not set it";
}

} // namespace

SetResult PortalWallpaper::set(const std::string& file, WallpaperPlace place)
{
    std::string problem;
    const GOwned<GDBusConnection> bus = sessionBus(problem);
    if (!bus)
        return {false, problem};
    static int requests = 0;
    const std::string token = "genart" + std::to_string(::getpid()) + "_" + std::to_string(++requests);

    // The answer may come as soon as the call returns: listen first, on a context of our own.
    GMainContext* context = g_main_context_new();
    g_main_context_push_thread_default(context);
    GMainLoop* loop = g_main_loop_new(context, FALSE);
    Answer answer{loop, requestPath(bus.get(), token), std::nullopt};
    const guint subscription = g_dbus_connection_signal_subscribe(
        bus.get(), nullptr, "org.freedesktop.portal.Request", "Response", nullptr, nullptr,
        G_DBUS_SIGNAL_FLAGS_NONE, onResponse, &answer, nullptr);
    const std::string request = ask(bus.get(), file, place, token, problem);
    if (!request.empty()) {
        answer.request = request; // a portal older than handle_token names its own
        GSource* timeout = g_timeout_source_new(kAnswerMilliseconds);
        g_source_set_callback(timeout, onTimeout, loop, nullptr);
        g_source_attach(timeout, context);
        if (!answer.response) // the answer, or the timeout, ends the loop
            g_main_loop_run(loop);
        g_source_destroy(timeout);
        g_source_unref(timeout);
    }
    g_dbus_connection_signal_unsubscribe(bus.get(), subscription);
    g_main_loop_unref(loop);
    g_main_context_pop_thread_default(context);
    g_main_context_unref(context);
    if (request.empty())
        return {false, problem};
    if (!answer.response)
        return {false, "no answer from the portal in " + std::to_string(kAnswerMilliseconds / 1000) + " s"};
    if (*answer.response != 0)
        return {false, refusal(*answer.response)};
    return {true, {}};
}

} // namespace genart

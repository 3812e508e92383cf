#include "desktop/gio_support.h"

#include <algorithm>

namespace genart {
namespace {

// How long a desktop service may take to answer a call.
constexpr int kCallMilliseconds = 10000;

const char* const kNobodyAnswers = "not running";

} // namespace

std::string oneLine(const std::string& text)
{
    std::string line;
    bool space = false;
    for (const char c : text) {
        if (c == '\n' || c == '\r' || c == '\t' || c == ' ') {
            space = !line.empty();
            continue;
        }
        if (space)
            line += ' ';
        space = false;
        line += c;
    }
    return line;
}

std::string takeMessage(GError*& error)
{
    if (!error)
        return {};
    g_dbus_error_strip_remote_error(error);
    std::string message = oneLine(error->message);
    g_clear_error(&error);
    return message;
}

GOwned<GDBusConnection> sessionBus(std::string& problem)
{
    GError* error = nullptr;
    GOwned<GDBusConnection> bus(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error));
    if (!bus)
        problem = "no session bus (" + takeMessage(error) + ")";
    else
        g_dbus_connection_set_exit_on_close(bus.get(), FALSE); // the window outlives a lost bus
    return bus;
}

bool hasOwner(GDBusConnection* bus, const char* name)
{
    std::string problem;
    const GVariantOwned reply = callMethod(bus, {"org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                 "org.freedesktop.DBus", "NameHasOwner"},
                                           g_variant_new("(s)", name), "(b)", problem);
    gboolean owned = FALSE;
    if (reply)
        g_variant_get(reply.get(), "(b)", &owned);
    return owned;
}

GVariantOwned callMethod(GDBusConnection* bus, const MethodCall& call, GVariant* arguments, const char* replyType,
                         std::string& problem)
{
    GError* error = nullptr;
    GVariantOwned reply(g_dbus_connection_call_sync(
        bus, call.service, call.path, call.interface, call.method, arguments,
        replyType ? G_VARIANT_TYPE(replyType) : nullptr, G_DBUS_CALL_FLAGS_NONE, kCallMilliseconds, nullptr, &error));
    if (!reply) {
        const bool absent = g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_SERVICE_UNKNOWN)
            || g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_NAME_HAS_NO_OWNER)
            || g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_METHOD)
            || g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_OBJECT)
            || g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_INTERFACE)
            || g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_SPAWN_EXEC_FAILED)
            || g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_SPAWN_CHILD_EXITED);
        problem = absent ? std::string(kNobodyAnswers) + " (" + call.service + ")" : takeMessage(error);
        g_clear_error(&error);
    }
    return reply;
}

bool nobodyAnswers(const std::string& problem)
{
    return problem.rfind(kNobodyAnswers, 0) == 0;
}

} // namespace genart

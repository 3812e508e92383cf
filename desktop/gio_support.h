#pragma once

#include <memory>
#include <string>

// GLib names a member `signals`, which Qt defines as a word of its own.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

namespace genart {

// GLib's reference-counted objects held as C++ owners.
struct GObjectRelease {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <class T>
using GOwned = std::unique_ptr<T, GObjectRelease>;

struct GVariantRelease {
    void operator()(GVariant* value) const { g_variant_unref(value); }
};
using GVariantOwned = std::unique_ptr<GVariant, GVariantRelease>;

// The error's message on one line, the error freed; a D-Bus error's remote name left out.
std::string takeMessage(GError*& error);
// The text with its line breaks and surrounding spaces folded, for a message of one line.
std::string oneLine(const std::string& text);

// The user's session bus, or none and why not.
GOwned<GDBusConnection> sessionBus(std::string& problem);

// Whether some process holds the name on the bus now (nothing is started for it).
bool hasOwner(GDBusConnection* bus, const char* name);

struct MethodCall {
    const char* service;
    const char* path;
    const char* interface;
    const char* method;
};

// Calls a method and waits for its reply (of `replyType`, or any with nullptr). `arguments`, a
// floating value, is consumed. The reply, or none and why not.
GVariantOwned callMethod(GDBusConnection* bus, const MethodCall& call, GVariant* arguments, const char* replyType,
                         std::string& problem);

// Whether the call failed because nothing answers to the service, the object or the method.
bool nobodyAnswers(const std::string& problem);

} // namespace genart

#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// GLib names a member `signals`, which Qt defines as a word of its own.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#include <gio/gunixfdlist.h>
#pragma pop_macro("signals")

namespace genart::testing {

// A desktop service stood in for on a test's session bus: it owns `name`, serves one object
// with the interface the XML describes, and records every call. It runs on a thread of its
// own, so code under test may call it with blocking calls from the test's thread.
class FakeBusService {
public:
    struct Call {
        std::string method;
        GVariant* arguments; // held until the service goes
    };
    // Answers a call: its reply (a floating value, or nullptr for none). Runs on the service's
    // thread, with the connection to send signals on.
    using Answer = std::function<GVariant*(GDBusConnection*, const std::string& method, GVariant* arguments,
                                           GUnixFDList* fds)>;

    FakeBusService(const char* name, const char* path, const char* xml, Answer answer)
        : name_(name), path_(path), xml_(xml), answer_(std::move(answer))
    {
        std::unique_lock hold(lock_);
        thread_ = std::thread([this] { serve(); });
        ready_.wait(hold, [this] { return owned_ || failed_; });
    }

    ~FakeBusService()
    {
        g_main_context_invoke(context_, [](gpointer loop) {
            g_main_loop_quit(static_cast<GMainLoop*>(loop));
            return G_SOURCE_REMOVE;
        }, loop_);
        thread_.join();
        for (const Call& call : calls_)
            g_variant_unref(call.arguments);
    }

    bool owned() const { return owned_; }

    std::vector<Call> calls()
    {
        const std::scoped_lock hold(lock_);
        return calls_;
    }

private:
    void serve()
    {
        context_ = g_main_context_new();
        g_main_context_push_thread_default(context_);
        loop_ = g_main_loop_new(context_, FALSE);
        GDBusConnection* bus = g_dbus_connection_new_for_address_sync(
            g_getenv("DBUS_SESSION_BUS_ADDRESS"),
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT
                                              | G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, nullptr);
        GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(xml_, nullptr);
        static const GDBusInterfaceVTable vtable{onCall, nullptr, nullptr, {}};
        const bool registered = bus && node
            && g_dbus_connection_register_object(bus, path_, node->interfaces[0], &vtable, this, nullptr, nullptr) > 0;
        const guint owner = registered
            ? g_bus_own_name_on_connection(bus, name_, G_BUS_NAME_OWNER_FLAGS_NONE, onOwned, onLost, this, nullptr)
            : 0;
        if (!registered)
            tell(false);
        g_main_loop_run(loop_);
        if (owner)
            g_bus_unown_name(owner);
        if (node)
            g_dbus_node_info_unref(node);
        if (bus) {
            g_dbus_connection_close_sync(bus, nullptr, nullptr);
            g_object_unref(bus);
        }
        g_main_loop_unref(loop_);
        g_main_context_pop_thread_default(context_);
        g_main_context_unref(context_);
    }

    void tell(bool owned)
    {
        const std::scoped_lock hold(lock_);
        (owned ? owned_ : failed_) = true;
        ready_.notify_all();
    }

    static void onOwned(GDBusConnection*, const gchar*, gpointer self)
    {
        static_cast<FakeBusService*>(self)->tell(true);
    }
    static void onLost(GDBusConnection*, const gchar*, gpointer self)
    {
        static_cast<FakeBusService*>(self)->tell(false);
    }

    static void onCall(GDBusConnection* bus, const gchar*, const gchar*, const gchar*, const gchar* method,
                       GVariant* arguments, GDBusMethodInvocation* invocation, gpointer data)
    {
        auto* self = static_cast<FakeBusService*>(data);
        {
            const std::scoped_lock hold(self->lock_);
            self->calls_.push_back({method, g_variant_ref(arguments)});
        }
        GDBusMessage* message = g_dbus_method_invocation_get_message(invocation);
        g_dbus_method_invocation_return_value(
            invocation, self->answer_(bus, method, arguments, g_dbus_message_get_unix_fd_list(message)));
    }

    const char* name_;
    const char* path_;
    const char* xml_;
    Answer answer_;
    std::mutex lock_;
    std::condition_variable ready_;
    bool owned_ = false;
    bool failed_ = false;
    std::vector<Call> calls_;
    GMainContext* context_ = nullptr;
    GMainLoop* loop_ = nullptr;
    std::thread thread_;
};

} // namespace genart::testing

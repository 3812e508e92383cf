#include "desktop/command_runner.h"

#include <sys/wait.h>

#include <glib.h>

#include "desktop/gio_support.h"

namespace genart {
namespace {

class SystemCommands final : public CommandRunner {
public:
    bool has(const std::string& program) const override
    {
        gchar* found = g_find_program_in_path(program.c_str());
        g_free(found);
        return found != nullptr;
    }

    CommandResult run(const std::vector<std::string>& command) override
    {
        std::vector<gchar*> argv;
        for (const std::string& word : command)
            argv.push_back(const_cast<gchar*>(word.c_str()));
        argv.push_back(nullptr);
        gchar* errors = nullptr;
        gint wait = 0;
        GError* error = nullptr;
        CommandResult result;
        if (!g_spawn_sync(nullptr, argv.data(), nullptr,
                          static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_STDOUT_TO_DEV_NULL), nullptr,
                          nullptr, nullptr, &errors, &wait, &error)) {
            result.errors = takeMessage(error);
            return result;
        }
        result.errors = errors ? errors : "";
        g_free(errors);
        if (WIFEXITED(wait))
            result.status = WEXITSTATUS(wait);
        return result;
    }
};

} // namespace

CommandRunner& systemCommands()
{
    static SystemCommands commands;
    return commands;
}

std::string commandFailure(const std::vector<std::string>& command, const CommandResult& result)
{
    std::string line = command.front() + ": ";
    line += result.status < 0 ? std::string("could not run") : "exit status " + std::to_string(result.status);
    const std::string said = oneLine(result.errors);
    return said.empty() ? line : line + ": " + said;
}

} // namespace genart

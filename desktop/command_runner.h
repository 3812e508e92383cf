#pragma once

#include <string>
#include <vector>

namespace genart {

struct CommandResult {
    int status = -1;    // the exit status; -1 when it could not be started or was killed
    std::string errors; // what it said on stderr
};

// Starts the desktops' own programs (plasma-apply-wallpaperimage, swaymsg, pcmanfm-qt); the tests
// put one in its place that records the commands.
class CommandRunner {
public:
    virtual ~CommandRunner() = default;
    // Whether the program is on the PATH.
    virtual bool has(const std::string& program) const = 0;
    // Runs the command, its first word looked up on the PATH, and waits for it.
    virtual CommandResult run(const std::vector<std::string>& command) = 0;
};

CommandRunner& systemCommands();

// "swaymsg: exit status 1: no such output": what a failed command said, on one line.
std::string commandFailure(const std::vector<std::string>& command, const CommandResult& result);

} // namespace genart

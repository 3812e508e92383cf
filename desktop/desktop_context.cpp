#include "desktop/desktop_context.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>
#include <unistd.h>

namespace genart {
namespace {

std::string variable(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

DesktopContext desktopFromEnvironment(std::vector<ScreenArea> screens)
{
    DesktopContext context;
    std::istringstream names(lowerCase(variable("XDG_CURRENT_DESKTOP")));
    for (std::string name; std::getline(names, name, ':');)
        if (!name.empty())
            context.desktops.push_back(name);
    context.sandboxed = ::access("/.flatpak-info", F_OK) == 0 || !variable("SNAP").empty();
    context.x11 = !variable("DISPLAY").empty();
    context.wayland = !variable("WAYLAND_DISPLAY").empty() || variable("XDG_SESSION_TYPE") == "wayland";
    context.sway = !variable("SWAYSOCK").empty();
    context.screens = std::move(screens);
    return context;
}

} // namespace genart

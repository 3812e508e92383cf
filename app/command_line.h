#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace genart {

// What each button of the window does, named for the command line.
enum class Action { Image, Palette, Both };

struct LocalMoment {
    int year, month, day, hour, minute, second;
};

// `genart [--seed N]`
struct WindowOptions {
    std::optional<std::uint32_t> seed;
};

// `genart render --seed N --out PICTURE.png [--palette-out STRIP.png] [--actions LIST]
//                [--time YYYY-MM-DDTHH:MM:SS] [--force]`
struct RenderOptions {
    std::uint32_t seed = 0;
    std::string out;
    std::optional<std::string> paletteOut;
    std::vector<Action> actions;
    std::optional<LocalMoment> time;
    bool force = false;
};

struct HelpRequest {};

// A one-line explanation of what was wrong with the command line.
struct UsageError {
    std::string message;
};

using Command = std::variant<WindowOptions, RenderOptions, HelpRequest, UsageError>;

Command parseCommandLine(const std::vector<std::string>& arguments);

std::string usageText();

} // namespace genart

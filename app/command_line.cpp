#include "app/command_line.h"

#include <charconv>
#include <chrono>

namespace genart {
namespace {

std::optional<std::uint32_t> parseSeed(const std::string& text)
{
    std::uint64_t value = 0;
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    std::from_chars(text.data(), text.data() + text.size(), value);
    if (value > 4294967295u)
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

std::optional<Action> parseAction(const std::string& name)
{
    if (name == "image")
        return Action::Image;
    if (name == "palette")
        return Action::Palette;
    if (name == "both")
        return Action::Both;
    return std::nullopt;
}

int digits(const std::string& text, std::size_t at, std::size_t count)
{
    int value = 0;
    for (std::size_t n = at; n < at + count; ++n) {
        if (text[n] < '0' || text[n] > '9')
            return -1;
        value = value * 10 + (text[n] - '0');
    }
    return value;
}

// YYYY-MM-DDTHH:MM:SS, a real calendar date and a time on the 24-hour clock.
std::optional<LocalMoment> parseMoment(const std::string& text)
{
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':'
        || text[16] != ':')
        return std::nullopt;
    const LocalMoment m{digits(text, 0, 4), digits(text, 5, 2), digits(text, 8, 2),
                        digits(text, 11, 2), digits(text, 14, 2), digits(text, 17, 2)};
    using namespace std::chrono;
    const year_month_day date{year{m.year}, month{static_cast<unsigned>(m.month)}, day{static_cast<unsigned>(m.day)}};
    if (m.year < 1 || m.month < 1 || m.day < 1 || !date.ok() || m.hour < 0 || m.hour > 23 || m.minute < 0
        || m.minute > 59 || m.second < 0 || m.second > 59)
        return std::nullopt;
    return m;
}

UsageError error(const std::string& message)
{
    return UsageError{message + " (see genart --help)"};
}

Command parseRender(const std::vector<std::string>& args)
{
    RenderOptions options;
    bool seedGiven = false;
    bool outGiven = false;
    for (std::size_t n = 1; n < args.size(); ++n) {
        const std::string& option = args[n];
        if (option == "--force") {
            options.force = true;
            continue;
        }
        const bool takesValue = option == "--seed" || option == "--out" || option == "--palette-out"
                                || option == "--actions" || option == "--time";
        if (!takesValue)
            return error("render: unknown option '" + option + "'");
        if (n + 1 >= args.size())
            return error("render: option " + option + " needs a value");
        const std::string& value = args[++n];
        if (option == "--seed") {
            const auto seed = parseSeed(value);
            if (!seed)
                return error("render: --seed takes a whole number from 0 to 4294967295, not '" + value + "'");
            options.seed = *seed;
            seedGiven = true;
        } else if (option == "--out") {
            if (value.empty())
                return error("render: --out needs a file name");
            options.out = value;
            outGiven = true;
        } else if (option == "--palette-out") {
            if (value.empty())
                return error("render: --palette-out needs a file name");
            options.paletteOut = value;
        } else if (option == "--actions") {
            options.actions.clear();
            std::size_t start = 0;
            while (true) {
                const std::size_t comma = value.find(',', start);
                const std::string name = value.substr(start, comma - start);
                const auto action = parseAction(name);
                if (!action)
                    return error("render: --actions takes a comma-separated list of image, palette and both, not '"
                                 + name + "'");
                options.actions.push_back(*action);
                if (comma == std::string::npos)
                    break;
                start = comma + 1;
            }
        } else if (option == "--time") {
            const auto moment = parseMoment(value);
            if (!moment)
                return error("render: --time takes a local time as YYYY-MM-DDTHH:MM:SS, not '" + value + "'");
            options.time = moment;
        }
    }
    if (!seedGiven)
        return error("render: --seed is required");
    if (!outGiven)
        return error("render: --out is required");
    if (options.paletteOut && *options.paletteOut == options.out)
        return error("render: --out and --palette-out name the same file");
    return options;
}

} // namespace

Command parseCommandLine(const std::vector<std::string>& args)
{
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h" || args[0] == "help"))
        return HelpRequest{};
    if (!args.empty() && args[0] == "render")
        return parseRender(args);
    WindowOptions options;
    for (std::size_t n = 0; n < args.size(); ++n) {
        if (args[n] != "--seed")
            return error("unknown option '" + args[n] + "'");
        if (n + 1 >= args.size())
            return error("option --seed needs a value");
        const auto seed = parseSeed(args[++n]);
        if (!seed)
            return error("--seed takes a whole number from 0 to 4294967295, not '" + args[n] + "'");
        options.seed = seed;
    }
    return options;
}

std::string usageText()
{
    return "usage:\n"
           "  genart [--seed N]\n"
           "      open the window; N (0 .. 4294967295) seeds the pictures instead of the clock\n"
           "  genart render --seed N --out PICTURE.png [--palette-out STRIP.png]\n"
           "                [--actions LIST] [--time YYYY-MM-DDTHH:MM:SS] [--force]\n"
           "      draw without a window: start-up, then each action of LIST in order\n"
           "      (image = new img / old palette, palette = change palette,\n"
           "       both = new img / new palette), and write the picture and the strip;\n"
           "      existing files are replaced only with --force\n";
}

} // namespace genart

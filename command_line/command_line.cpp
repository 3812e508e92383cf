#include "command_line/command_line.h"

#include <algorithm>
#include <charconv>
#include <chrono>

namespace genart {
namespace {

// Plain decimal digits only (no sign, no spaces), inside lowest .. highest.
std::optional<std::uint64_t> parseWholeNumber(const std::string& text, std::uint64_t lowest, std::uint64_t highest)
{
    std::uint64_t value = 0;
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    std::from_chars(text.data(), text.data() + text.size(), value);
    if (value < lowest || value > highest)
        return std::nullopt;
    return value;
}

std::optional<std::uint32_t> parseSeed(const std::string& text)
{
    const auto seed = parseWholeNumber(text, 0, 4294967295u);
    return seed ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*seed)) : std::nullopt;
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

// Reads one option's value into the options; an error message when the value is not accepted.
std::optional<std::string> takeValue(RenderOptions& options, const std::string& option, const std::string& value)
{
    if (option == "--seed") {
        options.seed = parseSeed(value);
        if (!options.seed)
            return "--seed takes a whole number from 0 to 4294967295, not '" + value + "'";
    } else if (option == "--out" || option == "--palette-out" || option == "--out-dir" || option == "--recipe") {
        if (value.empty())
            return option + " needs a file name";
        if (option == "--out")
            options.out = value;
        else if (option == "--palette-out")
            options.paletteOut = value;
        else if (option == "--out-dir")
            options.outDir = value;
        else
            options.recipe = value;
    } else if (option == "--actions") {
        options.actions.clear();
        std::size_t start = 0;
        while (true) {
            const std::size_t comma = value.find(',', start);
            const std::string name = value.substr(start, comma - start);
            const auto action = parseAction(name);
            if (!action)
                return "--actions takes a comma-separated list of image, palette and both, not '" + name + "'";
            options.actions.push_back(*action);
            if (comma == std::string::npos)
                break;
            start = comma + 1;
        }
    } else if (option == "--time") {
        options.time = parseMoment(value);
        if (!options.time)
            return "--time takes a local time as YYYY-MM-DDTHH:MM:SS, not '" + value + "'";
    } else if (option == "--scale") {
        const auto scale = parseWholeNumber(value, 1, kLargestScale);
        if (!scale)
            return "--scale takes a whole number from 1 to " + std::to_string(kLargestScale) + ", not '" + value + "'";
        options.scale = static_cast<int>(*scale);
    } else if (option == "--count") {
        const auto count = parseWholeNumber(value, 1, kLargestCount);
        if (!count)
            return "--count takes a whole number from 1 to " + std::to_string(kLargestCount) + ", not '" + value + "'";
        options.count = static_cast<int>(*count);
    }
    return std::nullopt;
}

// Options that only make sense together, or not at all together.
std::optional<std::string> contradiction(const RenderOptions& o, const std::vector<std::string>& given)
{
    auto has = [&](const char* option) { return std::find(given.begin(), given.end(), option) != given.end(); };
    if (o.recipe) {
        if (o.seed)
            return "--recipe and --seed cannot be combined: a recipe fixes every value";
        for (const char* option : {"--actions", "--time", "--count"})
            if (has(option))
                return std::string("--recipe cannot be combined with ") + option;
    } else if (!o.seed) {
        return "--seed (or --recipe) is required";
    }
    if (o.count) {
        for (const char* option : {"--out", "--palette-out", "--actions"})
            if (has(option))
                return std::string("--count writes into --out-dir and cannot be combined with ") + option;
        if (o.outDir.empty())
            return "--count needs --out-dir";
        return std::nullopt;
    }
    for (const char* option : {"--out-dir", "--keep-palette", "--palettes", "--quiet"})
        if (has(option))
            return std::string(option) + " needs --count";
    if (o.out.empty())
        return "--out is required";
    if (o.paletteOut && *o.paletteOut == o.out)
        return "--out and --palette-out name the same file";
    return std::nullopt;
}

Command parseRender(const std::vector<std::string>& args)
{
    static const std::vector<std::string> valued = {"--seed", "--out", "--palette-out", "--actions", "--time",
                                                    "--recipe", "--scale", "--count", "--out-dir"};
    static const std::vector<std::string> flags = {"--force", "--quiet", "--keep-palette", "--palettes"};
    RenderOptions options;
    std::vector<std::string> given;
    for (std::size_t n = 1; n < args.size(); ++n) {
        const std::string& option = args[n];
        const bool isValued = std::find(valued.begin(), valued.end(), option) != valued.end();
        const bool isFlag = std::find(flags.begin(), flags.end(), option) != flags.end();
        if (!isValued && !isFlag)
            return error("render: unknown option '" + option + "'");
        if (std::find(given.begin(), given.end(), option) != given.end())
            return error("render: option " + option + " is given twice");
        given.push_back(option);
        if (isFlag) {
            options.force |= option == "--force";
            options.quiet |= option == "--quiet";
            options.keepPalette |= option == "--keep-palette";
            options.palettes |= option == "--palettes";
            continue;
        }
        if (n + 1 >= args.size())
            return error("render: option " + option + " needs a value");
        if (const auto problem = takeValue(options, option, args[++n]))
            return error("render: " + *problem);
    }
    if (const auto problem = contradiction(options, given))
        return error("render: " + *problem);
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
           "                [--actions LIST] [--time YYYY-MM-DDTHH:MM:SS] [--scale S] [--force]\n"
           "      draw without a window: start-up, then each action of LIST in order\n"
           "      (image = new img / old palette, palette = change palette,\n"
           "       both = new img / new palette), and write the picture and the strip\n"
           "  genart render --recipe FILE --out PICTURE.png [--palette-out STRIP.png] [--scale S] [--force]\n"
           "      draw again the picture whose recipe FILE holds (a PNG written by genart, or its text)\n"
           "  genart render --seed N --count K --out-dir DIR [--keep-palette] [--palettes]\n"
           "                [--time YYYY-MM-DDTHH:MM:SS] [--scale S] [--force] [--quiet]\n"
           "      write K pictures named after their time stamps: the start-up picture, then\n"
           "      each next as new img / new palette (new img / old palette with --keep-palette);\n"
           "      --palettes writes each strip beside its picture\n"
           "  --scale S (1 .. 16) draws the same picture S times larger; existing files are\n"
           "  replaced only with --force; every PNG carries the recipe of its picture\n";
}

} // namespace genart

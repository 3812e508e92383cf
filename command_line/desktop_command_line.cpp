#include "command_line/desktop_command_line.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "command_line/option_reading.h"

namespace genart {
namespace {

// X resource ids fill 29 bits.
constexpr std::uint32_t kLargestWindowId = 0x1fffffff;

std::optional<std::int64_t> parseEntryId(const std::string& text)
{
    std::int64_t id = 0;
    const char* end = text.data() + text.size();
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos
        || std::from_chars(text.data(), end, id).ptr != end || id < 1)
        return std::nullopt;
    return id;
}

std::optional<WallpaperPlace> parsePlace(const std::string& text)
{
    if (text == "background")
        return WallpaperPlace::Background;
    if (text == "lockscreen")
        return WallpaperPlace::LockScreen;
    if (text == "both")
        return WallpaperPlace::Both;
    return std::nullopt;
}

std::vector<QCommandLineOption> optionsNamed(std::initializer_list<const char*> valued,
                                             std::initializer_list<const char*> flags)
{
    std::vector<QCommandLineOption> options{helpOption()};
    for (const char* name : valued)
        options.emplace_back(QString::fromLatin1(name), QString(), QStringLiteral("value"));
    for (const char* name : flags)
        options.emplace_back(QString::fromLatin1(name), QString());
    return options;
}

// One value of `genart wallpaper`; an error message when it is not accepted.
std::optional<std::string> takeWallpaperValue(WallpaperOptions& options, const std::string& option,
                                              const std::string& value)
{
    if (option == "--entry") {
        const auto id = parseEntryId(value);
        if (!id)
            return "--entry takes an entry's number, a whole number from 1, not '" + value + "'";
        options.source = WallpaperOptions::Source::Entry;
        options.entry = *id;
    } else if (option == "--recipe") {
        if (value.empty())
            return std::string("--recipe needs a file name");
        options.source = WallpaperOptions::Source::Recipe;
        options.recipe = value;
    } else if (option == "--size") {
        options.size = parseSize(value);
        if (!options.size)
            return "--size takes WIDTHxHEIGHT, each a whole number from 1 to " + std::to_string(kSides.highest)
                + " (as in 1920x1080), not '" + value + "'";
    } else if (option == "--set-on") {
        const auto place = parsePlace(value);
        if (!place)
            return "--set-on takes background, lockscreen or both, not '" + value + "'";
        options.place = *place;
    } else if (option == "--daily") {
        if (value != "on" && value != "off")
            return "--daily takes on or off, not '" + value + "'";
        options.daily = value == "on";
    }
    return std::nullopt;
}

std::optional<std::string> wallpaperContradiction(const WallpaperOptions& options,
                                                  const std::vector<std::string>& given)
{
    const auto has = [&](const char* option) { return std::find(given.begin(), given.end(), option) != given.end(); };
    const int sources = static_cast<int>(std::count_if(given.begin(), given.end(), [](const std::string& o) {
        return o == "--new" || o == "--favourite" || o == "--entry" || o == "--recipe";
    }));
    if (sources > 1)
        return std::string("--new, --favourite, --entry and --recipe each choose the picture: give one");
    if (!options.daily)
        return std::nullopt;
    for (const char* option : {"--new", "--entry", "--recipe", "--size", "--set-on"})
        if (has(option))
            return std::string("--daily cannot be combined with ") + option;
    if (!*options.daily && has("--favourite"))
        return std::string("--favourite goes with --daily on");
    return std::nullopt;
}

// One value of `genart --slideshow`; an error message when it is not accepted.
std::optional<std::string> takeSlideshowValue(SlideshowOptions& options, const std::string& option,
                                              const std::string& value)
{
    if (option == "--seconds") {
        const auto seconds = parseWholeNumber(value, Range{1, kLongestSlideSeconds});
        if (!seconds)
            return "--seconds takes a whole number from 1 to " + std::to_string(kLongestSlideSeconds) + ", not '"
                + value + "'";
        options.seconds = static_cast<int>(*seconds);
    } else if (option == "--seed") {
        options.seed = parseSeed(value);
        if (!options.seed)
            return "--seed takes a whole number from 0 to 4294967295, not '" + value + "'";
    } else if (option == "--window-id") {
        options.window = parseWindowId(value);
        if (!options.window)
            return "--window-id takes an X window's id (as 0x1a00003), not '" + value + "'";
    }
    return std::nullopt;
}

} // namespace

std::optional<std::uint32_t> parseWindowId(const std::string& text)
{
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    std::uint64_t id = 0;
    const char* end = digits.data() + digits.size();
    if (digits.empty() || digits.size() > 10
        || digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") != std::string::npos
        || std::from_chars(digits.data(), end, id, hex ? 16 : 10).ptr != end || id < 1 || id > kLargestWindowId)
        return std::nullopt;
    return static_cast<std::uint32_t>(id);
}

Command parseWallpaper(const std::vector<std::string>& arguments)
{
    const auto known = optionsNamed({"entry", "recipe", "size", "set-on", "daily"}, {"new", "favourite"});
    const Reading reading = read(known, arguments, 1);
    WallpaperOptions options;
    std::vector<std::string> given;
    for (const GivenOption& option : reading.options) {
        if (isHelp(*option.option))
            return HelpRequest{.render = false, .wallpaper = true};
        if (std::find(given.begin(), given.end(), option.name) != given.end())
            return error("wallpaper: option " + option.name + " is given twice");
        given.push_back(option.name);
        if (option.name == "--favourite")
            options.source = WallpaperOptions::Source::Favourite;
        if (!option.valued)
            continue;
        if (!option.value)
            return error("wallpaper: option " + option.name + " needs a value");
        if (const auto problem = takeWallpaperValue(options, option.name, *option.value))
            return error("wallpaper: " + *problem);
    }
    if (reading.stray)
        return error("wallpaper: unknown option '" + *reading.stray + "'");
    if (const auto problem = wallpaperContradiction(options, given))
        return error("wallpaper: " + *problem);
    return options;
}

Command parseSlideshow(const std::vector<std::string>& arguments)
{
    const auto known = optionsNamed({"seconds", "seed", "window-id"}, {"slideshow", "favourites", "cycle", "root"});
    const Reading reading = read(known, arguments, 0);
    SlideshowOptions options;
    std::vector<std::string> given;
    for (const GivenOption& option : reading.options) {
        if (isHelp(*option.option))
            return HelpRequest{};
        if (std::find(given.begin(), given.end(), option.name) != given.end())
            return error("--slideshow: option " + option.name + " is given twice");
        given.push_back(option.name);
        options.favourites |= option.name == "--favourites";
        options.cycle |= option.name == "--cycle";
        options.root |= option.name == "--root";
        if (!option.valued)
            continue;
        if (!option.value)
            return error("--slideshow: option " + option.name + " needs a value");
        if (const auto problem = takeSlideshowValue(options, option.name, *option.value))
            return error("--slideshow: " + *problem);
    }
    if (reading.stray)
        return error("--slideshow: unknown option '" + *reading.stray + "'");
    if (options.root && options.window)
        return error("--slideshow: --root and --window-id each name the window to draw in: give one");
    if (options.favourites && options.seed)
        return error("--slideshow: --seed chooses new pictures and cannot be combined with --favourites");
    return options;
}

std::string desktopUsageForms()
{
    return std::string("  genart wallpaper [--new | --favourite | --entry ID | --recipe FILE] [--size WxH]\n"
           "                   [--set-on background|lockscreen|both]\n"
           "      draw a picture at the size of the largest screen (or WxH), without its caption,\n"
           "      into genart's data folder and make it the desktop's wallpaper\n"
           "  genart wallpaper --daily on|off [--favourite]\n"
           "      a new wallpaper every day, by a systemd user timer, or no more\n")
        + "  genart --slideshow [--seconds N] [--favourites] [--cycle] [--seed N]\n"
           "                     [--root | --window-id ID]\n"
           "      fill every screen with pictures, a new one every N seconds (1 .. "
        + std::to_string(kLongestSlideSeconds) + ",\n      default " + std::to_string(kDefaultSlideSeconds)
        + "), cross-fading; --cycle turns their colours; any key or click ends it;\n"
          "      --root, --window-id or XSCREENSAVER_WINDOW draw into that window, as a screensaver\n";
}

std::string wallpaperUsageText()
{
    return "usage:\n" + desktopUsageForms().substr(0, desktopUsageForms().find("  genart --slideshow"));
}

} // namespace genart

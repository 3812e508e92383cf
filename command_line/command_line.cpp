#include "command_line/command_line.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <string_view>

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

#include "animation_files/gif_animation.h"
#include "animation_files/loop_budget.h"
#include "command_line/explore_command.h"
#include "command_line/library_command.h"
#include "file_formats/file_format.h"
#include "files/image_encoding.h"
#include "command_line/share_commands.h"
#include "share_codes/share_code.h"
#include "command_line/desktop_command_line.h"
#include "command_line/option_reading.h"

namespace genart {

// Plain decimal digits only (no sign, no spaces), inside the range.
std::optional<std::int64_t> parseWholeNumber(const std::string& text, const Range& range)
{
    std::int64_t value = 0;
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    std::from_chars(text.data(), text.data() + text.size(), value);
    if (!range.contains(value))
        return std::nullopt;
    return value;
}

std::optional<std::uint32_t> parseSeed(const std::string& text)
{
    const auto seed = parseWholeNumber(text, kSeeds);
    return seed ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*seed)) : std::nullopt;
}

std::string seedProblem(const std::string& value)
{
    return "--seed takes a whole number from " + std::to_string(kSeeds.lowest) + " to "
        + std::to_string(kSeeds.highest) + ", not '" + value + "'";
}

// WIDTHxHEIGHT, each side in kSides, with a small x between.
std::optional<PictureSize> parseSize(const std::string& text)
{
    const std::size_t x = text.find('x');
    if (x == std::string::npos)
        return std::nullopt;
    const auto width = parseWholeNumber(text.substr(0, x), kSides);
    const auto height = parseWholeNumber(text.substr(x + 1), kSides);
    if (!width || !height)
        return std::nullopt;
    return PictureSize::covering(static_cast<int>(*width), static_cast<int>(*height));
}

namespace {

// The options that take a whole number in a range, and where each goes.
struct NumberOption {
    const char* name;
    const Range& range;
    void (*take)(RenderOptions& options, int value);
};

const NumberOption kNumberOptions[] = {
    {"--scale", kScales, [](RenderOptions& o, int n) { o.scale = n; }},
    {"--quality", kQualities, [](RenderOptions& o, int n) { o.quality = n; }},
    {"--png-level", kPngLevels, [](RenderOptions& o, int n) { o.pngLevel = n; }},
    {"--frames", kFrames, [](RenderOptions& o, int n) { o.frames = n; }},
    {"--fps", kFps, [](RenderOptions& o, int n) { o.fps = n; }},
    {"--count", kCounts, [](RenderOptions& o, int n) { o.count = n; }},
    {"--variations", kExploreCounts, [](RenderOptions& o, int n) { o.variations = n; }},
    {"--recolourings", kExploreCounts, [](RenderOptions& o, int n) { o.recolourings = n; }},
};

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

// BYTES, or a whole number of kB or MB (as 800k, 5M, 5MB), from kSmallestBudget to 4 GB.
std::optional<std::size_t> parseBudget(const std::string& text)
{
    const std::size_t digits = text.find_first_not_of("0123456789");
    const std::string unit = digits == std::string::npos ? std::string() : text.substr(digits);
    std::uint64_t times = 1;
    if (unit == "k" || unit == "kB")
        times = 1000;
    else if (unit == "M" || unit == "MB")
        times = 1000 * 1000;
    else if (!unit.empty())
        return std::nullopt;
    const auto number = parseWholeNumber(text.substr(0, digits), Range{1, 4'000'000'000});
    if (!number)
        return std::nullopt;
    const std::uint64_t bytes = static_cast<std::uint64_t>(*number) * times;
    if (bytes < kSmallestBudget || bytes > 4'000'000'000)
        return std::nullopt;
    return static_cast<std::size_t>(bytes);
}
} // namespace

UsageError error(const std::string& message)
{
    return UsageError{message + " (see genart --help)"};
}

namespace {

// Reads one option's value into the options; an error message when the value is not accepted.
std::optional<std::string> takeValue(RenderOptions& options, const std::string& option, const std::string& value)
{
    if (option == "--seed") {
        options.seed = parseSeed(value);
        if (!options.seed)
            return seedProblem(value);
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
    } else if (option == "--code") {
        const auto read = parseShareCode(value);
        if (const auto* problem = std::get_if<RecipeError>(&read))
            return "--code: " + problem->message;
        options.code = value;
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
    } else if (option == "--size") {
        options.size = parseSize(value);
        if (!options.size)
            return "--size takes WIDTHxHEIGHT, each a whole number from " + std::to_string(kSides.lowest) + " to "
                + std::to_string(kSides.highest) + " (as in 1920x1080), not '" + value + "'";
    } else if (option == "--entry") {
        options.entry = parseEntryId(value);
        if (!options.entry)
            return "--entry takes an entry's id, a whole number from 1, not '" + value + "'";
    } else if (option == "--budget") {
        options.budget = parseBudget(value);
        if (!options.budget)
            return "--budget takes a number of bytes from " + std::to_string(kSmallestBudget)
                + " to 4000000000, or of kB or MB (as 800k or 5M), not '" + value + "'";
    } else if (option == "--strength") {
        options.strength = parseStrength(value);
        if (!options.strength)
            return "--strength takes a number from 0 (subtle) to 1 (wild), as in 0.25, not '" + value + "'";
    } else {
        for (const NumberOption& number : kNumberOptions) {
            if (option != number.name)
                continue;
            const auto n = parseWholeNumber(value, number.range);
            if (!n)
                return option + " takes a whole number from " + std::to_string(number.range.lowest) + " to "
                    + std::to_string(number.range.highest) + ", not '" + value + "'";
            number.take(options, static_cast<int>(*n));
        }
    }
    return std::nullopt;
}

// Whether the files' names end in extensions genart writes, and the format options fit them.
template <class Has>
std::optional<std::string> formatProblem(const RenderOptions& o, Has has)
{
    const auto format = formatOfPath(o.out);
    if (o.budget && !format && o.out.find('.', o.out.rfind('/') + 1) == std::string::npos)
        return std::nullopt; // --share picks the format and gives the name its extension
    if (o.animate) {
        if (!format || !isAnimationFormat(*format))
            return "--animate writes " + std::string(kAnimationExtensions) + " files, not '" + o.out + "'";
    } else if (!format || !isPictureFormat(*format)) {
        return "--out must name a " + std::string(kPictureExtensions) + " file, not '" + o.out + "'";
    }
    std::vector<FileFormat> stills; // the formats of the still pictures written
    if (!o.animate)
        stills.push_back(*format);
    if (o.paletteOut) {
        const auto stripFormat = formatOfPath(*o.paletteOut);
        if (!stripFormat || !isPictureFormat(*stripFormat))
            return "--palette-out must name a " + std::string(kPictureExtensions) + " file, not '" + *o.paletteOut
                + "'";
        stills.push_back(*stripFormat);
    }
    const auto writes = [&](FileFormat wanted) {
        return std::find(stills.begin(), stills.end(), wanted) != stills.end();
    };
    const PictureSize size = o.pictureSize();
    if (o.animate)
        if (const std::string problem = loopProblem(*format, o.loop()); !problem.empty())
            return "--out: " + problem;
    if (!o.animate)
        if (const std::string problem = sizeProblem(*format, size.width, size.height); !problem.empty())
            return "--out: " + problem + ", not " + std::to_string(size.width) + " by " + std::to_string(size.height);
    if (has("--quality") && !writes(FileFormat::Jpeg) && !writes(FileFormat::WebP))
        return std::string("--quality applies to .jpg, .jpeg and .webp pictures");
    if (has("--png-level") && !writes(FileFormat::Png))
        return std::string("--png-level applies to .png pictures");
    return std::nullopt;
}

// Options that only make sense together, or not at all together.
std::optional<std::string> contradiction(const RenderOptions& o, const std::vector<std::string>& given)
{
    auto has = [&](const char* option) { return std::find(given.begin(), given.end(), option) != given.end(); };
    if (o.recipe && o.code)
        return "--recipe and --code cannot be combined: each names the picture";
    if (o.entry) {
        // Variations and recolourings of an entry are new pictures, named from --time if given.
        const bool exploring = o.variations || o.recolourings;
        for (const char* option : {"--seed", "--recipe", "--code", "--actions", "--time", "--count", "--animate"})
            if (has(option) && !(exploring && std::string_view(option) == "--time"))
                return std::string("--entry cannot be combined with ") + option + ": the entry fixes the picture";
    } else if (o.fromRecipe()) {
        const std::string source = o.recipe ? "--recipe" : "--code";
        if (o.seed)
            return source + " and --seed cannot be combined: a recipe fixes every value";
        // Variations and recolourings of a recipe are new pictures, named from --time if given.
        const bool exploring = o.variations || o.recolourings;
        for (const char* option : {"--actions", "--time", "--count"})
            if (has(option) && !(exploring && std::string_view(option) == "--time"))
                return source + " cannot be combined with " + option;
    } else if (!o.seed) {
        return "--seed (or --recipe) is required";
    }
    if (has("--size") && has("--scale"))
        return "--size and --scale cannot be combined: each sets the picture's size";
    if (o.variations || o.recolourings || has("--strength"))
        return exploreProblem(o, given);
    if (o.animate) {
        for (const char* option : {"--count", "--palette-out"})
            if (has(option))
                return std::string("--animate cannot be combined with ") + option;
        if (o.budget && has("--quality"))
            return "--share picks the quality itself and cannot be combined with --quality";
    } else {
        for (const char* option : {"--frames", "--fps"})
            if (has(option))
                return std::string(option) + " needs --animate";
    }
    if (o.count) {
        for (const char* option : {"--out", "--palette-out", "--actions"})
            if (has(option))
                return std::string("--count writes into --out-dir and cannot be combined with ") + option;
        if (o.outDir.empty())
            return "--count needs --out-dir";
        if (has("--quality"))
            return "--quality applies to .jpg, .jpeg and .webp pictures; a batch writes .png";
        return std::nullopt;
    }
    for (const char* option : {"--out-dir", "--keep-palette", "--palettes"})
        if (has(option))
            return std::string(option) + " needs --count";
    if (o.out.empty())
        return "--out is required";
    if (o.paletteOut && *o.paletteOut == o.out)
        return "--out and --palette-out name the same file";
    return formatProblem(o, has);
}

// Arguments go through Qt byte for byte, as Latin-1, so that a file name comes back exactly as
// typed whatever its encoding; the options' names and the '=' are plain ASCII either way.
QString toQt(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string fromQt(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace

QCommandLineOption helpOption()
{
    return QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")}, QString());
}

bool isHelp(const QCommandLineOption& option)
{
    return option.names().contains(QStringLiteral("help"));
}

// Reads the arguments with QCommandLineParser, then lines what it found up with the arguments as
// typed. Its own error texts are not used: the faults are told by the callers, in genart's words
// and in the order typed. An option is `--name`, or `--name=value` for one that takes a value (or
// `-h`); an option that takes a value without '=' takes the next argument, whatever it is.
Reading read(const std::vector<QCommandLineOption>& known, const std::vector<std::string>& arguments,
             std::size_t first)
{
    QStringList typed{QStringLiteral("genart")};
    for (std::size_t n = first; n < arguments.size(); ++n)
        typed.append(toQt(arguments[n]));
    QCommandLineParser parser;
    for (const QCommandLineOption& option : known)
        parser.addOption(option);
    parser.parse(typed);

    const QStringList found = parser.optionNames(); // in order, once for each time given
    std::vector<qsizetype> timesSeen(known.size(), 0);
    Reading reading;
    qsizetype next = 0;
    for (qsizetype n = 1; n < typed.size(); ++n) {
        const QString& argument = typed[n];
        const auto option = next < found.size()
            ? std::find_if(known.begin(), known.end(),
                           [&](const QCommandLineOption& o) { return o.names().contains(found[next]); })
            : known.end();
        if (option == known.end()) {
            reading.stray = fromQt(argument);
            reading.strayAt = first + static_cast<std::size_t>(n) - 1;
            break;
        }
        const QString& name = found[next];
        const QString spelled = (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        const bool valued = !option->valueName().isEmpty();
        const bool joined = valued && argument.startsWith(spelled + QLatin1Char('='));
        if (argument != spelled && !joined) { // e.g. `--force=yes`, or `-hx`
            reading.stray = fromQt(argument);
            reading.strayAt = first + static_cast<std::size_t>(n) - 1;
            break;
        }
        ++next;
        GivenOption given{&*option, "--" + fromQt(option->names().constLast()), valued, std::nullopt};
        if (valued) {
            const QStringList values = parser.values(*option);
            const qsizetype time = timesSeen[static_cast<std::size_t>(option - known.begin())]++;
            if (time < values.size())
                given.value = fromQt(values[time]);
            if (!joined)
                ++n; // the value was the next argument
        }
        reading.options.push_back(std::move(given));
    }
    return reading;
}

namespace {

std::vector<QCommandLineOption> renderOptions()
{
    std::vector<QCommandLineOption> options{helpOption()};
    for (const char* name : {"seed", "out", "palette-out", "actions", "time", "recipe", "code", "scale", "count",
                             "out-dir", "size", "quality", "png-level", "frames", "fps", "variations",
                             "recolourings", "strength", "entry", "budget"})
        options.emplace_back(QString::fromLatin1(name), QString(), QStringLiteral("value"));
    for (const char* name : {"force", "quiet", "keep-palette", "palettes", "no-caption", "animate", "share"})
        options.emplace_back(QString::fromLatin1(name), QString());
    return options;
}

// `--share=BYTES` read as `--share --budget=BYTES`; an argument that is an option's value stays
// as it is.
std::vector<std::string> withBudgetApart(const std::vector<std::string>& args, const std::vector<QCommandLineOption>& known)
{
    std::vector<std::string> apart;
    bool isValue = false;
    for (const std::string& arg : args) {
        if (!isValue && arg.rfind("--share=", 0) == 0) {
            apart.push_back("--share");
            apart.push_back("--budget=" + arg.substr(8));
            continue;
        }
        apart.push_back(arg);
        isValue = !isValue && std::any_of(known.begin(), known.end(), [&](const QCommandLineOption& option) {
            return !option.valueName().isEmpty() && arg == "--" + fromQt(option.names().constLast());
        });
    }
    return apart;
}

Command parseRender(const std::vector<std::string>& arguments)
{
    const std::vector<QCommandLineOption> known = renderOptions();
    const std::vector<std::string> args = withBudgetApart(arguments, known);
    const Reading reading = read(known, args, 1);
    RenderOptions options;
    std::vector<std::string> given;
    for (const GivenOption& option : reading.options) {
        if (isHelp(*option.option))
            return HelpRequest{.render = true};
        if (std::find(given.begin(), given.end(), option.name) != given.end())
            return error("render: option " + option.name + " is given twice");
        given.push_back(option.name);
        if (!option.valued) {
            options.force |= option.name == "--force";
            options.quiet |= option.name == "--quiet";
            options.keepPalette |= option.name == "--keep-palette";
            options.palettes |= option.name == "--palettes";
            options.caption &= option.name != "--no-caption";
            options.animate |= option.name == "--animate";
            if (option.name == "--share" && !options.budget)
                options.budget = kShareBudget;
            continue;
        }
        if (!option.value)
            return error("render: option " + option.name + " needs a value");
        if (const auto problem = takeValue(options, option.name, *option.value))
            return error("render: " + *problem);
    }
    if (reading.stray)
        return error("render: unknown option '" + *reading.stray + "'");
    options.animate |= options.budget.has_value(); // a budget is for a loop
    if (const auto problem = contradiction(options, given))
        return error("render: " + *problem);
    return options;
}

// What may be opened by `genart FILE`: anything but an option or a command's name out of place.
bool openable(const std::string& argument)
{
    for (const char* command : {"render", "code", "thumbnail", "help"})
        if (argument == command)
            return false;
    return !argument.starts_with("-");
}

// `genart [--seed N] [--no-history] [FILE | CODE]`, the options before or after the file; a
// later --seed replaces an earlier one.
Command parseWindow(const std::vector<std::string>& args)
{
    const QCommandLineOption version(QStringLiteral("version"), QString());
    const std::vector<QCommandLineOption> known{helpOption(), version,
                                                QCommandLineOption(QStringLiteral("seed"), QString(), QStringLiteral("N")),
                                                QCommandLineOption(QStringLiteral("no-history"), QString())};
    WindowOptions options;
    Reading reading = read(known, args, 0);
    while (reading.stray && openable(*reading.stray) && !options.open) {
        options.open = reading.stray;
        Reading rest = read(known, args, reading.strayAt + 1);
        reading.options.insert(reading.options.end(), rest.options.begin(), rest.options.end());
        reading.stray = rest.stray;
    }
    if (reading.stray && openable(*reading.stray))
        return error("genart opens one picture at a time, not both '" + *options.open + "' and '" + *reading.stray
                     + "'");
    for (const GivenOption& option : reading.options) {
        if (isHelp(*option.option))
            return HelpRequest{};
        if (option.name == "--version")
            return VersionRequest{};
        if (option.name == "--no-history") {
            options.history = false;
            continue;
        }
        if (!option.value)
            return error("option --seed needs a value");
        options.seed = parseSeed(*option.value);
        if (!options.seed)
            return error(seedProblem(*option.value));
    }
    if (reading.stray)
        return error("unknown option '" + *reading.stray + "'");
    return options;
}

} // namespace

std::optional<std::string> takeRenderValue(RenderOptions& options, const std::string& option, const std::string& value)
{
    return takeValue(options, option, value);
}

Command parseCommandLine(const std::vector<std::string>& args)
{
    if (!args.empty() && args[0] == "help")
        return HelpRequest{};
    if (!args.empty() && args[0] == "render")
        return parseRender(args);
    if (!args.empty() && args[0] == "code")
        return parseCodeCommand(args);
    if (!args.empty() && args[0] == "thumbnail")
        return parseThumbnailCommand(args);
    if (!args.empty() && args[0] == "library")
        return parseLibraryCommand(args);
    if (!args.empty() && args[0] == "wallpaper")
        return parseWallpaper(args);
    if (std::find(args.begin(), args.end(), "--slideshow") != args.end())
        return parseSlideshow(args);
    return parseWindow(args);
}

namespace {

// "(1 .. 16)", "(1 .. 120, default 30)": a range as the usage text gives it.
// Appended rather than `"(" + text`, which GCC 12's optimised build misreads as overlapping copies.
std::string range(const Range& limits)
{
    std::string text(1, '(');
    text += rangeText(limits);
    text += ')';
    return text;
}

std::string range(const Range& limits, int normal)
{
    std::string text(1, '(');
    text += rangeText(limits);
    text += ", default ";
    text += std::to_string(normal);
    text += ')';
    return text;
}

std::string renderForms()
{
    return "  genart render --seed N --out PICTURE [--palette-out STRIP] [--actions LIST]\n"
           "                [--time YYYY-MM-DDTHH:MM:SS] [SIZE] [FORMAT] [--force] [--quiet]\n"
           "      draw without a window: start-up, then each action of LIST in order\n"
           "      (image = new img / old palette, palette = change palette,\n"
           "       both = new img / new palette), and write the picture and the strip\n"
           "  genart render --recipe FILE --out PICTURE [--palette-out STRIP] [SIZE] [FORMAT]\n"
           "                [--force] [--quiet]\n"
           "      draw again the picture whose recipe FILE holds (a picture written by genart,\n"
           "      or its text)\n"
           "  genart render --code CODE --out PICTURE [--palette-out STRIP] [SIZE] [FORMAT]\n"
           "                [--force] [--quiet]\n"
           "      draw again the picture of a share code (genart code prints one)\n"
           "  genart render --entry ID --out PICTURE [--palette-out STRIP] [SIZE] [FORMAT] [--force]\n"
           "      draw again an entry of the library (see genart library list), exactly as it was shown\n"
           "  genart render --seed N --count K --out-dir DIR [--keep-palette] [--palettes]\n"
           "                [--time YYYY-MM-DDTHH:MM:SS] [SIZE] [--png-level L] [--force] [--quiet]\n"
           "      write K " + range(kCounts) + " pictures named after their time stamps: the start-up\n"
           "      picture, then each next as new img / new palette (new img / old palette with\n"
           "      --keep-palette); --palettes writes each strip beside its picture; DIR is made\n"
           "      if missing\n"
           "  genart render (--seed N [--actions LIST] | --recipe FILE | --code CODE | --entry ID)\n"
           "                (--variations K [--strength S] | --recolourings K) --out-dir DIR [SIZE]\n"
           "                [--png-level L] [--time YYYY-MM-DDTHH:MM:SS] [--force] [--quiet]\n"
           "      write K " + range(kExploreCounts) + " variations of the picture (its formula and strip\n"
           "      kept, its other values moved, S from 0 subtle to 1 wild, default 0.5) or K\n"
           "      recolourings (the picture in new palettes), named as a batch's; a recipe always\n"
           "      gives the same K\n"
           "  genart render (--seed N [--actions LIST] | --recipe FILE | --code CODE) --animate\n"
           "                [--frames N] [--fps F] --out LOOP.webp|LOOP.gif|LOOP.mp4 [SIZE] [--force]\n"
           "                [--quiet]\n"
           "      a seamless loop of N frames " + range(kFrames) + " at F a second " + range(kFps, kDefaultFps) + ";\n"
           "      a GIF at most " + std::to_string(GifAnimation::kMostFps) + "): the picture's palette turns once round, its\n"
           "      colours flowing through it; without --frames, one turn in "
        + std::to_string(kTurnMilliseconds / 1000) + " s, as the window shows it\n"
           "  genart render (--seed N [--actions LIST] | --recipe FILE | --code CODE) --share[=BYTES]\n"
           "                --out LOOP [--frames N] [--fps F] [SIZE] [--force] [--quiet]\n"
           "      the same loop fitted in BYTES (default 5M; also --budget BYTES): format (unless\n"
           "      LOOP names one), size and quality chosen for it, and told in one line\n";
}

std::string notes()
{
    return "  SIZE: --scale S " + range(kScales) + " draws the same picture S times larger; --size WxH\n"
           "  (each side " + rangeText(kSides) + ") draws it to cover W by H pixels, cut from its middle;\n"
           "  --no-caption leaves the caption off\n"
           "  FORMAT: the file name's extension chooses it: .png, .jpg or .jpeg, .webp;\n"
           "  --quality Q " + range(kQualities) + " for JPEG (default " + std::to_string(kDefaultJpegQuality)
        + ") and WebP (default " + std::to_string(kDefaultWebpQuality) + ", lossless),\n"
           "  --png-level L " + range(kPngLevels, kDefaultPngLevel) + " for PNG; every picture carries the recipe\n"
           "  of its picture\n"
           "  existing files are replaced only with --force; --quiet leaves out progress and summary;\n"
           "  a value follows its option or is joined to it with '=': --seed 42 or --seed=42\n";
}

} // namespace

std::string usageText()
{
    return "usage:\n"
           "  genart [--seed N] [--no-history] [FILE | CODE]\n"
           "      open the window; N " + range(kSeeds) + " seeds the pictures instead of the clock;\n"
           "      --no-history neither shows the earlier runs' pictures nor keeps this run's;\n"
           "      FILE (a genart picture, a recipe or .genart file) or a share code opens in it\n"
        + renderForms() + libraryForms()
        + "  genart code FILE | genart code CODE | genart code --entry ID\n"
          "      print the share code of the picture FILE holds: one line, genart: and at most\n"
          "      200 letters, digits, - and _, that draws it again exactly\n"
          "  genart thumbnail --size N INPUT OUTPUT\n"
          "      write a PNG of the picture INPUT holds, N pixels on its longer side (for file\n"
          "      managers)\n"
        + desktopUsageForms()
        + "  genart --version\n"
          "      print the version\n"
          "  genart --help, genart render --help, genart wallpaper --help\n"
          "      print this help, or only the part on render or wallpaper\n"
        + notes();
}

std::string renderUsageText()
{
    return "usage:\n" + renderForms() + notes();
}

std::string versionText()
{
    return "genart " GENART_VERSION "\n";
}

} // namespace genart

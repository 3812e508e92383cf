#include "command_line/library_command.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <map>
#include <ostream>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "terminal_text/printable.h"
#include "files/recipe_file.h"
#include "library/library.h"
#include "library/library_location.h"
#include "library_files/entry_files.h"

namespace genart {
namespace {

using Verb = LibraryRequest::Verb;

const std::map<std::string, Verb> kVerbs{{"list", Verb::List},
                                         {"favourite", Verb::Favourite},
                                         {"remove", Verb::Remove},
                                         {"import", Verb::Import},
                                         {"export", Verb::Export}};

// The options each command takes: flags, and options with a value.
struct Accepted {
    std::vector<std::string> flags;
    std::vector<std::string> valued;
};

Accepted acceptedBy(Verb verb)
{
    switch (verb) {
    case Verb::List:
        return {{"--favourites", "--json"}, {}};
    case Verb::Favourite:
        return {{"--off"}, {}};
    case Verb::Export:
        return {{"--favourites", "--no-caption"}, {"--out-dir", "--scale", "--size", "--format", "--quality", "--png-level"}};
    default:
        return {};
    }
}

bool among(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

UsageError usage(const std::string& command, const std::string& message)
{
    return UsageError{"library " + command + ": " + message + " (see genart library --help)"};
}

// The picture formats export writes, by the name --format takes.
std::optional<std::string> extensionFor(const std::string& format)
{
    for (const char* known : {"png", "jpg", "jpeg", "webp"})
        if (format == known)
            return format;
    return std::nullopt;
}

// Export's SIZE and FORMAT, read as `genart render` reads them.
std::optional<std::string> takeExportValue(LibraryRequest& request, RenderOptions& render, const std::string& option,
                                           const std::string& value)
{
    if (option == "--out-dir") {
        if (value.empty())
            return std::string("--out-dir needs a folder");
        request.outDir = value;
        return std::nullopt;
    }
    if (option == "--format") {
        const auto extension = extensionFor(value);
        if (!extension)
            return "--format takes png, jpg, jpeg or webp, not '" + value + "'";
        request.extension = *extension;
        return std::nullopt;
    }
    return takeRenderValue(render, option, value);
}

// What only makes sense together once every argument is read.
std::optional<std::string> exportProblem(const LibraryRequest& request, const std::vector<std::string>& given)
{
    const auto has = [&](const char* option) { return among(given, option); };
    if (request.favourites && !request.ids.empty())
        return std::string("give the entries' ids or --favourites, not both");
    if (!request.favourites && request.ids.empty())
        return std::string("give the entries' ids or --favourites");
    if (request.outDir.empty())
        return std::string("--out-dir is required");
    if (has("--size") && has("--scale"))
        return std::string("--size and --scale cannot be combined: each sets the picture's size");
    const std::string sample = "picture." + request.extension;
    if (const std::string problem = pictureFileProblem(sample, request.size.width, request.size.height); !problem.empty())
        return "--format " + request.extension + ": " + problem;
    const bool png = request.extension == "png";
    if (has("--quality") && png)
        return std::string("--quality applies to jpg, jpeg and webp");
    if (has("--png-level") && !png)
        return std::string("--png-level applies to png");
    return std::nullopt;
}

std::optional<std::string> countProblem(const LibraryRequest& request)
{
    if ((request.verb == Verb::Favourite || request.verb == Verb::Remove) && request.ids.empty())
        return std::string("give the ids of the entries (see genart library list)");
    if (request.verb == Verb::Import && request.files.empty())
        return std::string("give the files to import");
    return std::nullopt;
}

// One positional argument: an id, or a file to import.
std::optional<std::string> takeArgument(LibraryRequest& request, const std::string& argument)
{
    if (request.verb == Verb::Import) {
        request.files.push_back(argument);
        return std::nullopt;
    }
    if (request.verb == Verb::List)
        return "unknown argument '" + argument + "'";
    const auto id = parseEntryId(argument);
    if (!id)
        return "an entry's id is a whole number from 1, not '" + argument + "'";
    request.ids.push_back(*id);
    return std::nullopt;
}

// One option as typed, `--name` or `--name=value`; the value may instead be the next argument.
std::optional<std::string> takeOption(LibraryRequest& request, RenderOptions& render, std::vector<std::string>& given,
                                      const std::vector<std::string>& args, std::size_t& n)
{
    const std::string& argument = args[n];
    const std::size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    const Accepted accepted = acceptedBy(request.verb);
    const bool valued = among(accepted.valued, name);
    if (!valued && (equals != std::string::npos || !among(accepted.flags, name)))
        return "unknown option '" + argument + "'";
    if (among(given, name))
        return "option " + name + " is given twice";
    given.push_back(name);
    request.favourites |= name == "--favourites";
    request.json |= name == "--json";
    request.off |= name == "--off";
    request.caption &= name != "--no-caption";
    if (!valued)
        return std::nullopt;
    if (equals == std::string::npos && n + 1 >= args.size())
        return "option " + name + " needs a value";
    const std::string value = equals == std::string::npos ? args[++n] : argument.substr(equals + 1);
    return takeExportValue(request, render, name, value);
}

} // namespace

std::optional<std::int64_t> parseEntryId(const std::string& text)
{
    std::int64_t id = 0;
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (error != std::errc() || end != text.data() + text.size() || id < 1)
        return std::nullopt;
    return id;
}

Command parseLibraryCommand(const std::vector<std::string>& args)
{
    if (args.size() < 2 || among({"--help", "-h", "help"}, args[1]))
        return LibraryRequest{};
    const auto verb = kVerbs.find(args[1]);
    if (verb == kVerbs.end())
        return UsageError{"library: unknown command '" + args[1]
                          + "' (list, favourite, remove, import or export; see genart library --help)"};
    LibraryRequest request;
    request.verb = verb->second;
    RenderOptions render; // export's SIZE and FORMAT
    std::vector<std::string> given;
    for (std::size_t n = 2; n < args.size(); ++n) {
        const bool option = args[n].size() > 2 && args[n].compare(0, 2, "--") == 0;
        const auto problem = option ? takeOption(request, render, given, args, n) : takeArgument(request, args[n]);
        if (problem)
            return usage(args[1], *problem);
    }
    request.size = render.pictureSize();
    request.encoding = render.encodeSettings();
    if (const auto problem = countProblem(request))
        return usage(args[1], *problem);
    if (request.verb == Verb::Export)
        if (const auto problem = exportProblem(request, given))
            return usage(args[1], *problem);
    return request;
}

std::string libraryForms()
{
    return "  genart library list [--favourites] [--json]\n"
           "      every picture kept, oldest first: id, time, name, favourite, how it was made\n"
           "      and from which entries; --json gives one array of objects with the recipes\n"
           "  genart library favourite ID... [--off]\n"
           "  genart library remove ID...\n"
           "  genart library import FILE...\n"
           "      keep pictures genart wrote (PNG, JPEG, WebP) or recipe texts as new entries\n"
           "  genart library export (--favourites | ID...) --out-dir DIR [SIZE] [--format F]\n"
           "      write entries as pictures named after them (F: png, jpg, jpeg or webp)\n";
}

std::string libraryUsageText()
{
    return "usage:\n" + libraryForms()
        + "  the library is " + (defaultLibraryPath().empty() ? std::string("in genart's data folder") : defaultLibraryPath())
        + "\n  SIZE: --scale S or --size WxH, and --no-caption, as for genart render;\n"
          "  --quality Q and --png-level L as for genart render\n";
}

} // namespace genart

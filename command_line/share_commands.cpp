#include "command_line/share_commands.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ostream>

#include <QImage>

#include "command_line/library_command.h"
#include "picture_files/picture_at_size.h"
#include "picture_files/run_picture_job.h"
#include "terminal_text/printable.h"
#include "files/recipe_file.h"
#include "library/library.h"
#include "opening/shared_recipe.h"
#include "share_codes/share_code.h"

namespace genart {
namespace {

UsageError usage(const std::string& command, const std::string& message)
{
    return UsageError{command + ": " + message + " (see genart --help)"};
}

bool isHelp(const std::string& argument)
{
    return argument == "--help" || argument == "-h";
}

std::optional<int> thumbnailSize(const std::string& text)
{
    int size = 0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), size);
    if (problem != std::errc() || end != text.data() + text.size() || text.front() == '+' || size < 1
        || size > kSides.highest)
        return std::nullopt;
    return size;
}

// The picture without its caption, `longer` pixels on its longer side: drawn at the normal
// size and scaled down smoothly, or drawn at the size asked when that is larger.
QImage thumbnail(const Recipe& recipe, int longer)
{
    const int shorter = std::max(1, static_cast<int>(std::lround(static_cast<double>(longer) * kPictureHeight
                                                                 / kPictureWidth)));
    if (longer > kPictureWidth)
        return drawPicture(recipe, PictureSize::covering(longer, shorter), false)->picture;
    const QImage normal = drawPicture(recipe, PictureSize{}, false)->picture;
    return normal.scaled(longer, shorter, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

Command parseCodeCommand(const std::vector<std::string>& arguments)
{
    if (arguments.size() >= 2 && isHelp(arguments[1]))
        return HelpRequest{};
    if (arguments.size() >= 2 && (arguments[1] == "--entry" || arguments[1].starts_with("--entry="))) {
        const bool joined = arguments[1] != "--entry";
        if (arguments.size() != (joined ? 2u : 3u))
            return usage("code", "--entry takes one entry's id");
        const std::string value = joined ? arguments[1].substr(8) : arguments[2];
        const auto id = parseEntryId(value);
        if (!id)
            return usage("code", "--entry takes an entry's id, a whole number from 1, not '" + value + "'");
        return CodeRequest{{}, id};
    }
    if (arguments.size() != 2 || arguments[1].empty())
        return usage("code", "give one picture, recipe file or share code");
    if (arguments[1].front() == '-')
        return usage("code", "unknown option '" + arguments[1] + "'");
    return CodeRequest{arguments[1], std::nullopt};
}

Command parseThumbnailCommand(const std::vector<std::string>& arguments)
{
    ThumbnailRequest request;
    std::vector<std::string> files;
    bool sized = false;
    for (std::size_t n = 1; n < arguments.size(); ++n) {
        const std::string& argument = arguments[n];
        if (isHelp(argument))
            return HelpRequest{};
        if (argument == "--size" || argument.starts_with("--size=")) {
            if (sized)
                return usage("thumbnail", "option --size is given twice");
            if (argument == "--size" && ++n == arguments.size())
                return usage("thumbnail", "option --size needs a value");
            const std::string value = argument == "--size" ? arguments[n] : argument.substr(7);
            const auto size = thumbnailSize(value);
            if (!size)
                return usage("thumbnail", "--size takes a whole number from 1 to " + std::to_string(kSides.highest)
                                              + ", not '" + value + "'");
            request.size = *size;
            sized = true;
        } else if (argument.starts_with("-") && argument.size() > 1) {
            return usage("thumbnail", "unknown option '" + argument + "'");
        } else {
            files.push_back(argument);
        }
    }
    if (!sized)
        return usage("thumbnail", "--size is required");
    if (files.size() != 2 || files[0].empty() || files[1].empty())
        return usage("thumbnail", "give the picture or recipe file to show and the PNG file to write");
    request.input = files[0];
    request.output = files[1];
    return request;
}

int runCode(const CodeRequest& request, std::ostream& out, std::ostream& errors)
{
    if (request.entry) {
        auto opened = Library::openForCommand(false);
        if (const auto* error = std::get_if<LibraryError>(&opened)) {
            errors << "genart: code: " << printable(error->message) << '\n';
            return 1;
        }
        auto entry = std::get<std::unique_ptr<Library>>(opened)->entry(*request.entry);
        if (const auto* error = std::get_if<LibraryError>(&entry)) {
            errors << "genart: code: " << printable(error->message) << '\n';
            return 2;
        }
        out << shareCode(std::get<LibraryEntry>(entry).shown.picture) << '\n';
        return out ? 0 : 1;
    }
    const auto read = recipeFromArgument(request.source);
    if (const auto* error = std::get_if<RecipeError>(&read)) {
        errors << "genart: code: " << error->message << '\n';
        return 2;
    }
    out << shareCode(std::get<Recipe>(read)) << '\n';
    return out ? 0 : 1;
}

int runThumbnail(const ThumbnailRequest& request, std::ostream& errors)
{
    const auto read = readRecipeFile(request.input);
    if (const auto* error = std::get_if<RecipeError>(&read)) {
        errors << "genart: thumbnail: " << error->message << '\n';
        return 2;
    }
    const Recipe& recipe = std::get<Recipe>(read);
    const QImage picture = thumbnail(recipe, request.size);
    PictureJob job;
    job.source = EntrySource{{recipe, recipe.palette}, picture, {}, false};
    job.size = PictureSize::covering(picture.width(), picture.height());
    job.caption = false;
    job.path = request.output;
    job.format = FileFormat::Png; // always a PNG, whatever the name the file manager gives
    job.replace = true;
    if (const std::string failure = runPictureJob(job).failure; !failure.empty()) {
        errors << "genart: thumbnail: " << failure << '\n';
        return 1;
    }
    return 0;
}

std::variant<Recipe, RecipeError> givenRecipe(const RenderOptions& options)
{
    if (options.code)
        return parseShareCode(*options.code);
    return readRecipeFile(*options.recipe);
}

} // namespace genart

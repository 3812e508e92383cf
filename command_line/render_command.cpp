#include "command_line/render_command.h"

#include <filesystem>
#include <memory>
#include <ostream>
#include <sys/stat.h>
#include <system_error>

#include "command_line/batch_render.h"
#include "files/picture_export.h"
#include "files/png_output.h"
#include "files/printable.h"
#include "files/recipe_file.h"
#include "platform/qt/image_surface.h"
#include "session/picture_session.h"

namespace genart {
namespace {

std::unique_ptr<Clock> clockFor(const RenderOptions& options)
{
    if (!options.time)
        return std::make_unique<SystemClock>();
    const LocalMoment& t = *options.time;
    return std::make_unique<FixedClock>(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

// The path with its folders resolved as far as they exist, `.` and `..` taken out.
std::filesystem::path resolved(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error)
        return std::filesystem::path(path).lexically_normal();
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(absolute, error);
    return error ? absolute.lexically_normal() : canonical;
}

// Whether two paths name one file: the same device and inode when both exist (through `./`,
// `..`, a hard or a symbolic link), else the same path once resolved.
bool sameFile(const std::string& first, const std::string& second)
{
    struct stat a {}, b {};
    if (::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0)
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    return resolved(first) == resolved(second);
}

// The picture and the strip must be two files; the parser has already compared the names.
bool outputsClash(const RenderOptions& options, std::ostream& errors)
{
    if (!options.paletteOut || !sameFile(options.out, *options.paletteOut))
        return false;
    errors << "genart: render: --out and --palette-out name the same file (" << printable(options.out) << ", "
           << printable(*options.paletteOut) << ")\n";
    return true;
}

int write(const std::vector<PngOutput>& outputs, bool force, std::ostream& errors)
{
    if (const std::string failure = writePngs(outputs, force); !failure.empty()) {
        errors << "genart: render: " << failure << '\n';
        return 1;
    }
    return 0;
}

// Start-up's palette and picture, then each action as its button would do it.
int renderSession(const RenderOptions& options, std::ostream& errors)
{
    if (outputsClash(options, errors))
        return 2;
    TwisterRandom random;
    const auto clock = clockFor(options);
    ImageSurface picture1(kPictureWidth, kPictureHeight);
    ImageSurface picture2(kStripWidth, kStripHeight);
    PictureSession session(random, *clock, picture1, picture2);

    session.startUp(*options.seed);
    for (const Action action : options.actions)
        session.perform(action);

    const Recipe& recipe = session.recipe();
    std::vector<PngOutput> outputs{{options.out, pictureAtScale(recipe, picture1.image(), options.scale)}};
    if (options.paletteOut) {
        // The strip as it stands; after a last "palette" action it is not the picture's own.
        const bool pictureColouredFromIt = session.palette() == recipe.palette;
        outputs.push_back({*options.paletteOut, pictureColouredFromIt ? withRecipe(picture2.image(), recipe)
                                                                      : picture2.image()});
    }
    return write(outputs, options.force, errors);
}

int renderRecipe(const RenderOptions& options, std::ostream& errors)
{
    if (outputsClash(options, errors))
        return 2;
    const auto read = readRecipeFile(*options.recipe);
    if (const auto* error = std::get_if<RecipeError>(&read)) {
        errors << "genart: render: " << error->message << '\n';
        return 2;
    }
    const auto exported = exportPicture(std::get<Recipe>(read), options.scale);
    std::vector<PngOutput> outputs{{options.out, exported->picture}};
    if (options.paletteOut)
        outputs.push_back({*options.paletteOut, exported->strip});
    return write(outputs, options.force, errors);
}

} // namespace

int runRender(const RenderOptions& options, std::ostream& errors)
{
    if (options.recipe)
        return renderRecipe(options, errors);
    if (options.count)
        return runBatch(options, *clockFor(options), errors);
    return renderSession(options, errors);
}

} // namespace genart

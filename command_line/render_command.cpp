#include "command_line/render_command.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <ostream>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "command_line/animation_command.h"
#include "command_line/batch_render.h"
#include "command_line/explore_command.h"
#include "command_line/share_commands.h"
#include "command_line/stop_signals.h"
#include "command_line/library_command.h"
#include "command_line/terminal_progress.h"
#include "files/image_output.h"
#include "files/picture_export.h"
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

// The bar's share for drawing; encoding and writing take the rest (an 8x poster: 0.46 s
// drawing, about 0.2 s encoding as PNG).
constexpr double kDrawnShare = 0.7;

// "wall.png (3840 × 2160, 4.2 MB)"
std::string described(const std::string& path, const QImage& image)
{
    struct stat status {};
    std::string size;
    if (::stat(path.c_str(), &status) == 0) {
        char text[32];
        const double bytes = static_cast<double>(status.st_size);
        if (bytes >= 1e6)
            std::snprintf(text, sizeof text, ", %.1f MB", bytes / 1e6);
        else
            std::snprintf(text, sizeof text, ", %.0f kB", std::max(1.0, bytes / 1e3));
        size = text;
    }
    return printable(path) + " (" + std::to_string(image.width()) + " \u00d7 " + std::to_string(image.height())
        + size + ")";
}

// Writes the files; on a terminal, progress while it lasts and a line telling what was written.
int write(const std::vector<ImageOutput>& outputs, const RenderOptions& options, TerminalProgress& progress,
          std::ostream& errors)
{
    EncodeSettings settings = options.encodeSettings();
    settings.png.progress = [&progress](int rows, int total) {
        progress.update(kDrawnShare + (1 - kDrawnShare) * rows / total, "encoding");
        return true;
    };
    progress.update(kDrawnShare, "encoding");
    if (stopRequested())
        return kStoppedBySignal;
    // Until finish() the files can still be taken back, which `files` does when it goes.
    OutputFiles files(options.force, newRunToken());
    std::string failure = stageImages(files, outputs, settings);
    if (failure.empty() && !stopRequested())
        failure = files.place();
    if (stopRequested()) {
        progress.finish();
        return kStoppedBySignal;
    }
    if (failure.empty())
        failure = files.finish();
    progress.finish();
    if (!failure.empty()) {
        errors << "genart: render: " << failure << '\n';
        return 1;
    }
    if (!options.quiet && ::isatty(STDERR_FILENO) == 1) {
        errors << "genart: wrote " << described(outputs.front().path, outputs.front().image);
        if (outputs.size() > 1)
            errors << " and " << described(outputs.back().path, outputs.back().image);
        errors << " in " << formatSeconds(progress.elapsed()) << '\n';
    }
    return 0;
}

// Told by the sweep how many of its columns are done.
DrawProgress drawingProgress(TerminalProgress& progress)
{
    return [&progress](int done, int total) { progress.update(kDrawnShare * done / total, "drawing"); };
}

// Start-up's palette and picture, then each action as its button would do it.
int renderSession(const RenderOptions& options, std::ostream& errors)
{
    if (outputsClash(options, errors))
        return 2;
    TerminalProgress progress(!options.quiet);
    TwisterRandom random;
    const auto clock = clockFor(options);
    ImageSurface picture1(kPictureWidth, kPictureHeight);
    ImageSurface picture2(kStripWidth, kStripHeight);
    PictureSession session(random, *clock, picture1, picture2);

    session.startUp(*options.seed);
    for (const Action action : options.actions)
        session.perform(action);

    const Recipe& recipe = session.recipe();
    const std::string text = recipeText(recipe);
    const PictureSize size = options.pictureSize();
    std::vector<ImageOutput> outputs{
        {options.out, pictureAtSize(recipe, picture1.image(), size, options.caption, drawingProgress(progress)), text}};
    if (options.paletteOut) {
        // The strip as it stands; after a last "palette" action it is not the picture's own.
        const bool pictureColouredFromIt = session.palette() == recipe.palette;
        outputs.push_back({*options.paletteOut, picture2.image(), pictureColouredFromIt ? text : std::string()});
    }
    return write(outputs, options, progress, errors);
}

int renderRecipe(const RenderOptions& options, std::ostream& errors)
{
    if (outputsClash(options, errors))
        return 2;
    TerminalProgress progress(!options.quiet);
    const auto read = givenRecipe(options);
    if (const auto* error = std::get_if<RecipeError>(&read)) {
        errors << "genart: render: " << error->message << '\n';
        return 2;
    }
    const Recipe& recipe = std::get<Recipe>(read);
    const std::string text = recipeText(recipe);
    auto exported =
        exportPicture(recipe, options.pictureSize(), options.caption, drawingProgress(progress), &stopFlag());
    if (!exported) {
        progress.finish();
        return kStoppedBySignal;
    }
    std::vector<ImageOutput> outputs{{options.out, std::move(exported->picture), text}};
    if (options.paletteOut)
        outputs.push_back({*options.paletteOut, std::move(exported->strip), text});
    return write(outputs, options, progress, errors);
}

} // namespace

int runRender(const RenderOptions& options, std::ostream& errors)
{
    if (options.variations || options.recolourings)
        return runExplore(options, *clockFor(options), errors);
    if (options.entry)
        return renderEntry(options, errors);
    if (options.animate)
        return runAnimation(options, *clockFor(options), errors);
    if (options.fromRecipe())
        return renderRecipe(options, errors);
    if (options.count)
        return runBatch(options, *clockFor(options), errors);
    return renderSession(options, errors);
}

} // namespace genart

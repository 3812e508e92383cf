#include "command_line/animation_command.h"

#include <cstdio>
#include <ostream>
#include <sys/stat.h>
#include <unistd.h>

#include "animation_files/animation_file.h"
#include "animation_files/loop_budget.h"
#include "animation_files/mp4_animation.h"
#include "command_line/stop_signals.h"
#include "command_line/terminal_progress.h"
#include "files/file_format.h"
#include "files/output_files.h"
#include "files/printable.h"
#include "command_line/share_commands.h"
#include "files/recipe_file.h"
#include "platform/qt/image_surface.h"
#include "session/picture_session.h"

namespace genart {
namespace {

// The picture a session draws at start-up and after the actions.
Recipe sessionRecipe(const RenderOptions& options, const Clock& clock)
{
    TwisterRandom random;
    ImageSurface picture1(kPictureWidth, kPictureHeight);
    ImageSurface picture2(kStripWidth, kStripHeight);
    PictureSession session(random, clock, picture1, picture2);
    session.startUp(*options.seed);
    for (const Action action : options.actions)
        session.perform(action);
    return session.recipe();
}

// "loop.webp (120 frames, 600 × 450, 4.0 s at 30 a second, 3.1 MB)"
std::string described(const std::string& path, const AnimationRequest& request)
{
    int width = request.size.width;
    int height = request.size.height;
    if (formatOfPath(path) == FileFormat::Mp4) {
        width = Mp4Animation::evenSide(width);
        height = Mp4Animation::evenSide(height);
    }
    char text[160];
    std::snprintf(text, sizeof text, " (%d frames, %d \u00d7 %d, %.1f s at %d a second", request.frames, width, height,
                  static_cast<double>(request.frames) / request.fps, request.fps);
    std::string line = printable(path) + text;
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) {
        const double bytes = static_cast<double>(status.st_size);
        std::snprintf(text, sizeof text, bytes >= 1e6 ? ", %.1f MB" : ", %.0f kB",
                      bytes >= 1e6 ? bytes / 1e6 : std::max(1.0, bytes / 1e3));
        line += text;
    }
    return line + ")";
}

// --share: the loop fitted in the budget, written under the name given (with the extension of
// the format chosen when the name has none), and what was chosen told in one line.
int runSharedLoop(const RenderOptions& options, const Recipe& recipe, std::ostream& errors)
{
    const std::optional<FileFormat> format = formatOfPath(options.out);
    TerminalProgress progress(!options.quiet);
    OutputFiles files(options.force, newRunToken());
    LoopFitting fitting = fitLoop(recipe, options.loop(), format, *options.budget, files, options.out,
                                  [&](int done, int frames) {
                                      progress.update(static_cast<double>(done) / frames, "frames",
                                                      std::to_string(done) + "/" + std::to_string(frames));
                                  });
    progress.finish();
    if (const auto* failure = std::get_if<std::string>(&fitting)) {
        errors << "genart: render: " << *failure << '\n';
        return 1;
    }
    const FittedLoop& fitted = std::get<FittedLoop>(fitting);
    const std::string path = fitted.path;
    if (const std::string failure = placeLoop(files).value_or("cancelled"); !failure.empty()) {
        errors << "genart: render: " << failure << '\n';
        return 1;
    }
    if (!options.quiet)
        errors << "genart: shared " << printable(path) << ": " << describeFit(fitted, *options.budget) << '\n';
    return 0;
}

} // namespace

int runAnimation(const RenderOptions& options, const Clock& clock, std::ostream& errors)
{
    Recipe recipe;
    if (options.fromRecipe()) {
        const auto read = givenRecipe(options);
        if (const auto* error = std::get_if<RecipeError>(&read)) {
            errors << "genart: render: " << error->message << '\n';
            return 2;
        }
        recipe = std::get<Recipe>(read);
    } else {
        recipe = sessionRecipe(options, clock);
    }

    if (options.budget)
        return runSharedLoop(options, recipe, errors);
    const AnimationRequest request = options.loop();
    TerminalProgress progress(!options.quiet);
    const auto written = writeAnimation(
        recipe, request, options.out, options.force,
        [&](int done, int frames) {
            progress.update(static_cast<double>(done) / frames, "frames",
                            std::to_string(done) + "/" + std::to_string(frames));
        },
        &stopFlag());
    progress.finish();
    if (!written)
        return kStoppedBySignal; // nothing was placed
    if (const std::string failure = written.value_or("cancelled"); !failure.empty()) {
        errors << "genart: render: " << failure << '\n';
        return 1;
    }
    if (!options.quiet && ::isatty(STDERR_FILENO) == 1)
        errors << "genart: wrote " << described(options.out, request) << " in " << formatSeconds(progress.elapsed())
               << '\n';
    return 0;
}

} // namespace genart

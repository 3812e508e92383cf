#include "command_line/render_command.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "animation_files/mp4_animation.h"
#include "command_line/batch_render.h"
#include "command_line/explore_command.h"
#include "command_line/library_command.h"
#include "command_line/render_job.h"
#include "command_line/stop_signals.h"
#include "command_line/terminal_progress.h"
#include "file_formats/file_format.h"
#include "picture_files/run_picture_job.h"
#include "terminal_text/printable.h"

namespace genart {
namespace {

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

// The bar's share for drawing a still picture; encoding and writing take the rest (an 8x
// poster: 0.46 s drawing, about 0.2 s encoding as PNG).
constexpr double kDrawnShare = 0.7;

// The bar, told by the job: a still's drawing and encoding, or a loop's frames.
Progress terminalProgress(TerminalProgress& progress, const PictureJob& job)
{
    if (job.loop) {
        const int frames = job.loop->frames;
        return [&progress, frames](Stage stage, double done) {
            const long framesDone = stage == Stage::Encoding ? std::lround(done * frames) : 0;
            if (stage != Stage::Writing)
                progress.update(static_cast<double>(framesDone) / frames, "frames",
                                std::to_string(framesDone) + "/" + std::to_string(frames));
        };
    }
    return [&progress](Stage stage, double done) {
        if (stage == Stage::Drawing)
            progress.update(kDrawnShare * done, "drawing");
        else if (stage == Stage::Encoding)
            progress.update(kDrawnShare + (1 - kDrawnShare) * done, "encoding");
    };
}

// ", 4.2 MB": the size of the file written at `path`, if it can be read.
std::string fileSize(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return {};
    char text[32];
    const double bytes = static_cast<double>(status.st_size);
    if (bytes >= 1e6)
        std::snprintf(text, sizeof text, ", %.1f MB", bytes / 1e6);
    else
        std::snprintf(text, sizeof text, ", %.0f kB", std::max(1.0, bytes / 1e3));
    return text;
}

std::string pixels(int width, int height)
{
    return std::to_string(width) + " \u00d7 " + std::to_string(height);
}

// "wall.png (3840 × 2160, 4.2 MB) and strip.png (601 × 33, 3 kB)", or for a loop "loop.webp
// (120 frames, 600 × 450, 4.0 s at 30 a second, 3.1 MB)".
std::string described(const PictureJob& job)
{
    if (job.loop) {
        const bool mp4 = formatOfPath(job.path) == FileFormat::Mp4;
        const int width = mp4 ? Mp4Animation::evenSide(job.size.width) : job.size.width;
        const int height = mp4 ? Mp4Animation::evenSide(job.size.height) : job.size.height;
        char timing[64];
        std::snprintf(timing, sizeof timing, ", %.1f s at %d a second",
                      static_cast<double>(job.loop->frames) / job.loop->fps, job.loop->fps);
        return printable(job.path) + " (" + std::to_string(job.loop->frames) + " frames, " + pixels(width, height)
            + timing + fileSize(job.path) + ")";
    }
    std::string line = printable(job.path) + " (" + pixels(job.size.width, job.size.height) + fileSize(job.path) + ")";
    if (job.stripPath)
        line += " and " + printable(*job.stripPath) + " (" + pixels(kStripWidth, kStripHeight)
            + fileSize(*job.stripPath) + ")";
    return line;
}

// One picture or loop; on a terminal, progress while it lasts and a line telling what was
// written.
int renderOne(const RenderOptions& options, std::ostream& errors)
{
    if (outputsClash(options, errors))
        return 2;
    TerminalProgress progress(!options.quiet);
    auto job = renderJob(options);
    if (const auto* error = std::get_if<RecipeError>(&job)) {
        errors << "genart: render: " << error->message << '\n';
        return 2;
    }
    const PictureJob& picture = std::get<PictureJob>(job);
    const JobOutcome outcome = runPictureJob(picture, terminalProgress(progress, picture), &stopToken());
    progress.finish();
    if (outcome.cancelled)
        return kStoppedBySignal; // nothing was placed, or it was taken back
    if (!outcome.failure.empty()) {
        errors << "genart: render: " << outcome.failure << '\n';
        return 1;
    }
    if (!outcome.chosen.empty() && !options.quiet)
        errors << "genart: shared " << printable(outcome.path) << ": " << outcome.chosen << '\n';
    else if (!options.quiet && ::isatty(STDERR_FILENO) == 1)
        errors << "genart: wrote " << described(picture) << " in " << formatSeconds(progress.elapsed()) << '\n';
    return 0;
}

} // namespace

int runRender(const RenderOptions& options, std::ostream& errors)
{
    if (options.variations || options.recolourings)
        return runExplore(options, *clockFor(options), errors);
    if (options.entry)
        return renderEntry(options, errors);
    if (options.count)
        return runBatch(options, *clockFor(options), errors);
    return renderOne(options, errors);
}

} // namespace genart

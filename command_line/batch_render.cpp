#include "command_line/batch_render.h"

#include <chrono>
#include <cstdio>
#include <ostream>
#include <unistd.h>

#include <QDir>

#include "files/output_files.h"
#include "files/picture_export.h"
#include "files/png_output.h"
#include "files/printable.h"
#include "files/recipe_file.h"
#include "platform/qt/image_surface.h"
#include "session/picture_session.h"

namespace genart {
namespace {

// A bar that redraws itself on one line of a terminal.
class ProgressBar {
public:
    ProgressBar(int total, bool shown) : total_(total), shown_(shown) {}
    bool shown() const { return shown_; }
    void show(int done) const
    {
        if (!shown_)
            return;
        constexpr int kWidth = 30;
        const int filled = done * kWidth / total_;
        std::fprintf(stderr, "\r[%.*s%*s] %d/%d", filled, "##############################", kWidth - filled, "",
                     done, total_);
        if (done == total_)
            std::fputc('\n', stderr);
        std::fflush(stderr);
    }

private:
    int total_;
    bool shown_;
};

} // namespace

int BatchPictures::nextNumber(const std::string& name) const
{
    if (runs_.empty() || name > runs_.back().name)
        return 1; // the usual case: a new second
    if (name == runs_.back().name)
        return runs_.back().last + 1;
    // The clock went back (a change from summer time): go on after that second's last picture.
    int last = 0;
    for (const Run& run : runs_)
        if (run.name == name && run.last > last)
            last = run.last;
    return last + 1;
}

void BatchPictures::add(const std::string& name, int number)
{
    if (!runs_.empty() && runs_.back().name == name && runs_.back().last + 1 == number)
        runs_.back().last = number;
    else
        runs_.push_back({name, number, number});
}

std::string BatchPictures::fileName(const std::string& name, int number, const char* ending)
{
    return (number == 1 ? name : name + "-" + std::to_string(number)) + ending;
}

namespace {

std::string pathIn(const QDir& folder, const std::string& file)
{
    return folder.filePath(QString::fromStdString(file)).toStdString();
}

// Calls `act` with the path of every file of the batch, the newest first, and returns the first
// failure it reports ("" if none).
template <class Act>
std::string forEachFile(const BatchPictures& pictures, const QDir& folder, bool palettes, Act act)
{
    std::string failure;
    const auto each = [&](const std::string& path) {
        if (std::string left = act(path); failure.empty())
            failure = std::move(left);
    };
    pictures.forEachNewestFirst([&](const std::string& name, int number) {
        if (palettes)
            each(pathIn(folder, BatchPictures::fileName(name, number, "-palette.png")));
        each(pathIn(folder, BatchPictures::fileName(name, number, ".png")));
    });
    return failure;
}

} // namespace

int runBatch(const RenderOptions& options, const Clock& clock, std::ostream& errors)
{
    const QDir folder(QString::fromStdString(options.outDir));
    if (!folder.exists()) {
        errors << "genart: render: " << printable(options.outDir) << ": no such folder\n";
        return 1;
    }
    TwisterRandom random;
    ImageSurface picture1(kPictureWidth, kPictureHeight);
    ImageSurface picture2(kStripWidth, kStripHeight);
    PictureSession session(random, clock, picture1, picture2);

    const auto started = std::chrono::steady_clock::now();
    const ProgressBar progress(*options.count, !options.quiet && isatty(STDERR_FILENO));
    const std::string token = newRunToken();
    BatchPictures written;
    for (int n = 0; n < *options.count; ++n) {
        // The first picture is start-up's; every later one is a button press.
        if (n == 0)
            session.startUp(*options.seed);
        else
            session.perform(options.keepPalette ? Action::Image : Action::Both);

        const Recipe& recipe = session.recipe();
        const int number = written.nextNumber(recipe.imeslike);
        std::vector<PngOutput> outputs{{pathIn(folder, BatchPictures::fileName(recipe.imeslike, number, ".png")),
                                        pictureAtScale(recipe, picture1.image(), options.scale)}};
        if (options.palettes)
            outputs.push_back({pathIn(folder, BatchPictures::fileName(recipe.imeslike, number, "-palette.png")),
                               withRecipe(picture2.image(), recipe)});
        OutputFiles files(options.force, token);
        std::string failure = stagePngs(files, outputs);
        if (failure.empty())
            failure = files.place();
        if (!failure.empty()) {
            const std::string left = forEachFile(written, folder, options.palettes,
                                                 [&](const std::string& path) { return takeBackFile(path, token); });
            if (progress.shown())
                std::fputc('\n', stderr);
            errors << "genart: render: " << failure;
            if (!left.empty())
                errors << "; " << left;
            else if (!written.empty())
                errors << (options.force ? " (removed this run's pictures and put back the files they replaced)"
                                         : " (removed this run's pictures)");
            errors << '\n';
            return 1;
        }
        // The replaced files stay as backups until the whole batch is written.
        files.release();
        written.add(recipe.imeslike, number);
        progress.show(n + 1);
    }
    if (options.force) {
        const std::string failure = forEachFile(written, folder, options.palettes,
                                                [&](const std::string& path) { return dropBackup(path, token); });
        if (!failure.empty()) {
            errors << "genart: render: " << failure << '\n';
            return 1;
        }
    }
    if (!options.quiet) {
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        char summary[64];
        std::snprintf(summary, sizeof summary, "%.1f s", seconds);
        errors << "genart: wrote " << *options.count << (*options.count == 1 ? " picture" : " pictures") << " in "
               << summary << " to " << printable(options.outDir) << '\n';
    }
    return 0;
}

} // namespace genart

#include "command_line/batch_render.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <ostream>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "files/picture_export.h"
#include "session/picture_session.h"
#include "files/png_output.h"
#include "files/recipe_file.h"
#include "platform/qt/image_surface.h"

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

// <name>.png, or <name>-2.png, <name>-3.png ... for later pictures of the same second.
std::string uniqueName(std::map<std::string, int>& seen, const std::string& name)
{
    const int times = ++seen[name];
    return times == 1 ? name : name + "-" + std::to_string(times);
}

} // namespace

int runBatch(const RenderOptions& options, const Clock& clock, std::ostream& errors)
{
    const QDir folder(QString::fromStdString(options.outDir));
    if (!folder.exists()) {
        errors << "genart: render: " << options.outDir << ": no such folder\n";
        return 1;
    }
    TwisterRandom random;
    ImageSurface picture1(kPictureWidth, kPictureHeight);
    ImageSurface picture2(kStripWidth, kStripHeight);
    PictureSession session(random, clock, picture1, picture2);

    const auto started = std::chrono::steady_clock::now();
    const ProgressBar progress(*options.count, !options.quiet && isatty(STDERR_FILENO));
    std::map<std::string, int> seen;
    std::vector<std::string> written;
    for (int n = 0; n < *options.count; ++n) {
        // The first picture is start-up's; every later one is a button press.
        if (n == 0)
            session.startUp(*options.seed);
        else
            session.perform(options.keepPalette ? Action::Image : Action::Both);

        const std::string name = uniqueName(seen, session.recipe().imeslike);
        const Recipe& recipe = session.recipe();
        std::vector<PngOutput> outputs{{folder.filePath(QString::fromStdString(name + ".png")).toStdString(),
                                        pictureAtScale(recipe, picture1.image(), options.scale)}};
        if (options.palettes)
            outputs.push_back({folder.filePath(QString::fromStdString(name + "-palette.png")).toStdString(),
                               withRecipe(picture2.image(), recipe)});
        if (const std::string failure = writePngs(outputs, options.force); !failure.empty()) {
            for (const std::string& path : written)
                QFile::remove(QString::fromStdString(path));
            if (progress.shown())
                std::fputc('\n', stderr);
            errors << "genart: render: " << failure << (written.empty() ? "" : " (removed this run's pictures)")
                   << '\n';
            return 1;
        }
        for (const PngOutput& output : outputs)
            written.push_back(output.path);
        progress.show(n + 1);
    }
    if (!options.quiet) {
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        char summary[64];
        std::snprintf(summary, sizeof summary, "%.1f s", seconds);
        errors << "genart: wrote " << *options.count << (*options.count == 1 ? " picture" : " pictures") << " in "
               << summary << " to " << options.outDir << '\n';
    }
    return 0;
}

} // namespace genart

#include "command_line/batch_render.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <ostream>

#include <QDir>

#include "files/output_files.h"
#include "command_line/terminal_progress.h"
#include "files/image_output.h"
#include "files/picture_export.h"
#include "files/printable.h"
#include "files/recipe_file.h"
#include "platform/qt/image_surface.h"
#include "session/picture_session.h"

namespace genart {
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

std::string BatchPictures::fileName(const std::string& name, int number, int digits, const char* ending)
{
    if (digits == 0)
        return name + ending;
    std::string counted = std::to_string(number);
    counted.insert(0, static_cast<std::size_t>(std::max(0, digits - static_cast<int>(counted.size()))), '0');
    return name + "-" + counted + ending;
}

int BatchPictures::digitsFor(int count)
{
    return count == 1 ? 0 : static_cast<int>(std::to_string(count).size());
}

namespace {

std::string pathIn(const QDir& folder, const std::string& file)
{
    return folder.filePath(QString::fromStdString(file)).toStdString();
}

// Calls `act` with the path of every file of the batch, the newest first, and returns the first
// failure it reports ("" if none).
template <class Act>
std::string forEachFile(const BatchPictures& pictures, const QDir& folder, int digits, bool palettes, Act act)
{
    std::string failure;
    const auto each = [&](const std::string& path) {
        if (std::string left = act(path); failure.empty())
            failure = std::move(left);
    };
    pictures.forEachNewestFirst([&](const std::string& name, int number) {
        if (palettes)
            each(pathIn(folder, BatchPictures::fileName(name, number, digits, "-palette.png")));
        each(pathIn(folder, BatchPictures::fileName(name, number, digits, ".png")));
    });
    return failure;
}

// The batch's folder and any missing folders above it, made; the ones it made, deepest first,
// go in `made` so that a failed batch can take them away again.
std::string makeFolder(const std::string& path, std::vector<std::filesystem::path>& made)
{
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::absolute(path, error);
    if (error)
        return printable(path) + ": cannot make the folder: " + error.message();
    for (std::filesystem::path at = folder; !at.empty() && !std::filesystem::exists(at, error);
         at = at.parent_path()) {
        made.push_back(at);
        if (at == at.parent_path())
            break;
    }
    std::filesystem::create_directories(folder, error);
    if (error)
        return printable(path) + ": cannot make the folder: " + error.message();
    if (!std::filesystem::is_directory(folder, error))
        return printable(path) + ": not a folder";
    return {};
}

// Folders that a failed batch made, removed if they are still empty.
void removeFolders(const std::vector<std::filesystem::path>& made)
{
    std::error_code ignored;
    for (const auto& folder : made)
        if (std::filesystem::is_empty(folder, ignored))
            std::filesystem::remove(folder, ignored);
}

} // namespace

int runBatch(const RenderOptions& options, const Clock& clock, std::ostream& errors)
{
    std::vector<std::filesystem::path> madeFolders;
    if (const std::string failure = makeFolder(options.outDir, madeFolders); !failure.empty()) {
        errors << "genart: render: " << failure << '\n';
        return 1;
    }
    const QDir folder(QString::fromStdString(options.outDir));
    TwisterRandom random;
    ImageSurface picture1(kPictureWidth, kPictureHeight);
    ImageSurface picture2(kStripWidth, kStripHeight);
    PictureSession session(random, clock, picture1, picture2);

    TerminalProgress progress(!options.quiet);
    const int digits = BatchPictures::digitsFor(*options.count);
    const PictureSize size = options.pictureSize();
    EncodeSettings settings;
    if (options.pngLevel)
        settings.png.level = *options.pngLevel;
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
        const std::string text = recipeText(recipe);
        std::vector<ImageOutput> outputs{
            {pathIn(folder, BatchPictures::fileName(recipe.imeslike, number, digits, ".png")),
             pictureAtSize(recipe, picture1.image(), size, options.caption), text}};
        if (options.palettes)
            outputs.push_back({pathIn(folder, BatchPictures::fileName(recipe.imeslike, number, digits, "-palette.png")),
                               picture2.image(), text});
        OutputFiles files(options.force, token);
        std::string failure = stageImages(files, outputs, settings);
        if (failure.empty())
            failure = files.place();
        if (!failure.empty()) {
            const std::string left = forEachFile(written, folder, digits, options.palettes,
                                                 [&](const std::string& path) { return takeBackFile(path, token); });
            if (left.empty())
                removeFolders(madeFolders);
            progress.finish();
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
        progress.update(static_cast<double>(n + 1) / *options.count, "drawing",
                        std::to_string(n + 1) + "/" + std::to_string(*options.count));
    }
    if (options.force) {
        const std::string failure = forEachFile(written, folder, digits, options.palettes,
                                                [&](const std::string& path) { return dropBackup(path, token); });
        if (!failure.empty()) {
            errors << "genart: render: " << failure << '\n';
            return 1;
        }
    }
    progress.finish();
    if (!options.quiet)
        errors << "genart: wrote " << *options.count << (*options.count == 1 ? " picture" : " pictures") << " in "
               << formatSeconds(progress.elapsed()) << " to " << printable(options.outDir) << '\n';
    return 0;
}

} // namespace genart

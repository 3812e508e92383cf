#include "command_line/batch_render.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <filesystem>
#include <system_error>
#include <ostream>

#include <QDir>

#include "command_line/handoff.h"
#include "command_line/stop_signals.h"
#include "command_line/terminal_progress.h"
#include "files/output_files.h"
#include "picture_files/still_job.h"
#include "platform/qt/image_surface.h"
#include "session/session_on.h"
#include "terminal_text/printable.h"

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

// The pipeline's failure when a signal stopped the batch.
const std::string kStopped = "stopped by a signal";

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

} // namespace

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

// One picture of the batch as a job: a PNG at the batch's size, replacing only with --force.
PictureJob batchJob(const RenderOptions& options, EntrySource source, std::string path)
{
    PictureJob job;
    job.source = std::move(source);
    job.size = options.pictureSize();
    job.caption = options.caption;
    job.path = std::move(path);
    job.replace = options.force;
    job.encoding = options.encodeSettings();
    return job;
}

// Folders that a failed batch made, removed if they are still empty.
void removeFolders(const std::vector<std::filesystem::path>& made)
{
    std::error_code ignored;
    for (const auto& folder : made)
        if (std::filesystem::is_empty(folder, ignored))
            std::filesystem::remove(folder, ignored);
}

// One picture of the batch on its way to its files: drawn, then encoded, then written.
struct BatchPicture {
    std::string name; // its time stamp
    int number = 0;
    PictureJob job;
    DrawnStill drawn;
    bool recycled = false; // the picture is the session's surface's, to go back to it
    std::vector<EncodedFile> encoded;
};

// The three stages of a batch on their own threads, so that picture n is encoded while n + 1 is
// drawn and n - 1 written: the sweep takes both cores, the encoder fills the gaps, and the
// writer's fsync waits for the disk without holding up either. The first failure stops all.
class BatchPipeline {
public:
    BatchPipeline(const RenderOptions& options, std::string token, BatchPace pace)
        : options_(options), token_(std::move(token)), pace_(pace)
    {
        // Two pictures in flight besides the one being drawn; the surface gets them back in turn.
        for (int n = 0; n < 2; ++n)
            spareImages_.put(QImage());
        encoder_ = std::thread([this] { encode(); });
        writer_ = std::thread([this] { write(); });
    }
    ~BatchPipeline()
    {
        if (encoder_.joinable())
            finish();
    }
    BatchPipeline(const BatchPipeline&) = delete;
    BatchPipeline& operator=(const BatchPipeline&) = delete;

    // A picture to encode and write; false once the pipeline has stopped on a failure.
    bool add(BatchPicture picture)
    {
        if (!toEncode_.put(std::move(picture)))
            return false;
        ++added_;
        if (pace_ == BatchPace::Overlapped)
            return true;
        std::unique_lock hold(doneLock_);
        doneChanged_.wait(hold, [this] { return stopped_ || placed_ == added_; });
        return !stopped_;
    }
    // An image for the session's picture surface to draw the next picture on, once one is free.
    std::optional<QImage> spareImage() { return spareImages_.take(); }

    // Waits for every picture given to be written or for the failure; "" or the failure.
    std::string finish()
    {
        toEncode_.close();
        encoder_.join();
        writer_.join();
        spareImages_.close();
        return failure_;
    }

    const std::string& token() const { return token_; }
    // Only once finished: what was written; how many pictures are, at any time.
    const BatchPictures& written() const { return written_; }
    int placed() const { return placed_.load(); }

    // Stops the pipeline: what is queued is dropped, and finish() returns `failure` (the first
    // given, if more come).
    void stop(std::string failure)
    {
        {
            const std::scoped_lock hold(doneLock_);
            if (failure_.empty())
                failure_ = std::move(failure);
            stopped_ = true;
        }
        doneChanged_.notify_all();
        toEncode_.close();
        toWrite_.close();
        spareImages_.close();
    }

private:
    void encode()
    {
        while (std::optional<BatchPicture> picture = toEncode_.take()) {
            picture->encoded = encodeStill(picture->job, picture->drawn).value_or(std::vector<EncodedFile>{});
            // Whoever waits for an image to draw on gets this one, no longer shared with anything.
            QImage image = std::move(picture->drawn.picture);
            const bool recycled = picture->recycled;
            picture->drawn = {};
            if (recycled)
                spareImages_.put(std::move(image));
            if (!toWrite_.put(std::move(*picture)))
                break;
        }
        toWrite_.close();
    }

    void write()
    {
        for (;;) {
            {
                std::optional<BatchPicture> picture = toWrite_.take();
                if (!picture)
                    return;
                OutputFiles files(options_.force, token_);
                std::string failure = stageEncoded(files, picture->encoded);
                if (failure.empty() && stopRequested())
                    failure = kStopped; // the picture in hand is dropped with `files`
                if (failure.empty())
                    failure = files.place();
                if (!failure.empty()) {
                    stop(std::move(failure));
                    return;
                }
                // The replaced files stay as backups until the whole batch is written.
                files.release();
                written_.add(picture->name, picture->number);
            }
            // Told once the picture and its bytes are gone.
            {
                const std::scoped_lock hold(doneLock_);
                ++placed_;
            }
            doneChanged_.notify_all();
        }
    }

    const RenderOptions& options_;
    const std::string token_;
    Handoff<BatchPicture> toEncode_{2};
    Handoff<BatchPicture> toWrite_{2};
    Handoff<QImage> spareImages_{2};
    std::string failure_; // set by the writer before it stops
    BatchPictures written_; // the writer's until finished
    const BatchPace pace_;
    int added_ = 0; // the drawing thread's
    std::mutex doneLock_;
    std::condition_variable doneChanged_;
    std::atomic<int> placed_{0};
    bool stopped_ = false;
    std::thread encoder_;
    std::thread writer_;
};

int runBatch(const RenderOptions& options, const Clock& clock, std::ostream& errors, BatchPace pace)
{
    std::vector<std::filesystem::path> madeFolders;
    if (const std::string failure = makeFolder(options.outDir, madeFolders); !failure.empty()) {
        errors << "genart: render: " << failure << '\n';
        return 1;
    }
    const QDir folder(QString::fromStdString(options.outDir));
    TwisterRandom random;
    SessionOn<ImageSurface> drawn(random, clock);
    PictureSession& session = drawn.session;

    TerminalProgress progress(!options.quiet);
    const int digits = BatchPictures::digitsFor(*options.count);
    const PictureSize size = options.pictureSize();
    // Numbers are given as the pictures are drawn; the pipeline knows which were written.
    BatchPictures named;
    const bool shown = size.isNormal() && options.caption; // the picture as the session drew it
    BatchPipeline pipeline(options, newRunToken(), pace);
    for (int n = 0; n < *options.count; ++n) {
        if (stopRequested()) {
            pipeline.stop(kStopped);
            break;
        }
        // The first picture is start-up's; every later one is a button press.
        if (n == 0)
            session.startUp(*options.seed);
        else
            session.perform(options.keepPalette ? Action::Image : Action::Both);

        const Recipe& recipe = session.recipe();
        BatchPicture picture{recipe.imeslike, named.nextNumber(recipe.imeslike), {}, {}, shown, {}};
        named.add(picture.name, picture.number);
        EntrySource source{{recipe, session.palette()}, {}, drawn.strip.image()};
        if (shown) {
            std::optional<QImage> spare = pipeline.spareImage();
            if (!spare)
                break; // the pipeline stopped
            source.picture = drawn.picture.handOver(std::move(*spare));
        }
        picture.job = batchJob(options, std::move(source),
                               pathIn(folder, BatchPictures::fileName(picture.name, picture.number, digits, ".png")));
        if (options.palettes)
            picture.job.stripPath =
                pathIn(folder, BatchPictures::fileName(picture.name, picture.number, digits, "-palette.png"));
        picture.drawn = *drawStill(picture.job);
        picture.job.source = RecipeSource{recipe}; // the drawn picture is the pipeline's alone now
        if (!pipeline.add(std::move(picture)))
            break;
        progress.update(static_cast<double>(pipeline.placed()) / *options.count, "drawing",
                        std::to_string(n + 1) + "/" + std::to_string(*options.count));
    }
    const std::string token = pipeline.token();
    if (const std::string failure = pipeline.finish(); !failure.empty()) {
        const BatchPictures& written = pipeline.written();
        const std::string left = forEachFile(written, folder, digits, options.palettes,
                                             [&](const std::string& path) { return takeBackFile(path, token); });
        if (left.empty())
            removeFolders(madeFolders);
        progress.finish();
        if (failure == kStopped && left.empty())
            return kStoppedBySignal;
        errors << "genart: render: " << failure;
        if (!left.empty())
            errors << "; " << left;
        else if (!written.empty())
            errors << (options.force ? " (removed this run's pictures and put back the files they replaced)"
                                     : " (removed this run's pictures)");
        errors << '\n';
        return 1;
    }
    const BatchPictures& written = pipeline.written();
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

// Loops beside FFmpeg's own command line, in one run: the default 10 s loop (300 frames at 30 a
// second) as MP4 at 600 x 450, beside `ffmpeg` encoding the same frames at its defaults, and as
// GIF at 480 x 360, beside ffmpeg's palettegen/paletteuse; then genart's peak memory for loops
// of 75, 300 and 1200 frames in every format. FFmpeg gets the frames as raw pixels on its
// standard input, painted as it reads them (a frame costs a fraction of a millisecond); genart's
// time is its whole process, from exec to exit. Each time is the median of `--repeat N` runs
// (default 3); `--keep DIR` leaves the files there. Prints a table; needs `ffmpeg` on the PATH.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QGuiApplication>
#include <QDir>
#include <QTemporaryDir>

#include "animation_files/animation_file.h"
#include "platform/qt/image_surface.h"
#include "session/cycling_picture.h"
#include "session/session_on.h"

extern char** environ;

namespace {

using namespace genart;

constexpr std::uint32_t kSeed = 42;
const char* const kTime = "2026-12-08T12:00:00";

struct Run {
    double seconds = 0;
    double cpuSeconds = 0; // user and system, the process and its threads
    long peakKilobytes = 0;
    long long bytes = 0;
    bool ok = false;
};

long long fileSize(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? static_cast<long long>(status.st_size) : -1;
}

// Runs `words` to its end, its standard input fed by `feed` (given the pipe's descriptor) when
// there is one, and measures it.
template <class Feed>
Run run(std::vector<std::string> words, const std::string& out, Feed feed)
{
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    int pipe[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const bool feeds = !std::is_same_v<Feed, std::nullptr_t>;
    if (feeds) {
        if (::pipe2(pipe, O_CLOEXEC) != 0)
            return {};
        posix_spawn_file_actions_adddup2(&actions, pipe[0], STDIN_FILENO);
    }
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int spawned = ::posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (feeds) {
        ::close(pipe[0]);
        if (spawned == 0)
            if constexpr (!std::is_same_v<Feed, std::nullptr_t>)
                feed(pipe[1]);
        ::close(pipe[1]);
    }
    if (spawned != 0)
        return {};
    int status = 0;
    rusage usage {};
    if (::wait4(child, &status, 0, &usage) != child)
        return {};
    Run result;
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.peakKilobytes = usage.ru_maxrss;
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    result.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    result.bytes = fileSize(out);
    result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

Recipe loopRecipe()
{
    SessionOn<ImageSurface> drawn(std::make_shared<FixedClock>(2026, 12, 8, 12, 0, 0));
    return drawn.play(kSeed).session.recipe();
}

// The loop's frames as raw BGRA, painted one at a time into the pipe.
void feedFrames(int fd, const AnimationRequest& request)
{
    ImageSurface picture(request.size.width, request.size.height);
    ImageSurface strip(kStripWidth, kStripHeight);
    CyclingPicture cycling;
    cycling.draw(loopRecipe(), picture, strip, request.size.scale);
    for (int t = 0; t < request.frames; ++t) {
        cycling.paintFrame(t, request.frames, picture, strip);
        const QImage& frame = picture.image();
        for (int y = 0; y < frame.height(); ++y) {
            const auto* bytes = reinterpret_cast<const char*>(frame.constScanLine(y));
            std::size_t left = static_cast<std::size_t>(frame.width()) * 4;
            while (left > 0) {
                const ssize_t wrote = ::write(fd, bytes, left);
                if (wrote <= 0)
                    return;
                bytes += wrote;
                left -= static_cast<std::size_t>(wrote);
            }
        }
    }
}

std::vector<std::string> genartLoop(const std::string& out, const std::string& size, int frames)
{
    std::vector<std::string> words{GENART_BINARY, "render", "--seed", std::to_string(kSeed), "--time", kTime,
                                   "--animate", "--size", size, "--out", out, "--force", "--quiet"};
    if (frames > 0) {
        words.push_back("--frames");
        words.push_back(std::to_string(frames));
    }
    return words;
}

std::vector<std::string> ffmpegLoop(const AnimationRequest& request, const std::string& out, const std::string& filter)
{
    std::vector<std::string> words{"ffmpeg", "-v", "error", "-y", "-f", "rawvideo", "-pix_fmt", "bgra", "-s",
                                   std::to_string(request.size.width) + "x" + std::to_string(request.size.height),
                                   "-r", std::to_string(request.fps), "-i", "-"};
    if (!filter.empty()) {
        words.push_back("-filter_complex");
        words.push_back(filter);
    }
    words.push_back(out);
    return words;
}

Run median(std::vector<Run> runs)
{
    std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
    Run middle = runs[runs.size() / 2];
    for (const Run& r : runs)
        middle.ok = middle.ok && r.ok;
    return middle;
}

template <class Make>
Run repeated(int times, Make make)
{
    std::vector<Run> runs;
    for (int n = 0; n < times; ++n)
        runs.push_back(make());
    return median(runs);
}

void row(const char* what, const Run& genart, const Run& ffmpeg)
{
    std::printf("| %s | %.2f s (CPU %.2f s), %.2f MB, %ld MB peak | %.2f s (CPU %.2f s), %.2f MB, %ld MB peak | %.2f "
                "(CPU %.2f) | %.2f |%s\n",
                what, genart.seconds, genart.cpuSeconds, static_cast<double>(genart.bytes) / 1e6,
                genart.peakKilobytes / 1024, ffmpeg.seconds, ffmpeg.cpuSeconds, static_cast<double>(ffmpeg.bytes) / 1e6,
                ffmpeg.peakKilobytes / 1024, genart.seconds / ffmpeg.seconds, genart.cpuSeconds / ffmpeg.cpuSeconds,
                static_cast<double>(genart.bytes) / static_cast<double>(ffmpeg.bytes),
                genart.ok && ffmpeg.ok ? "" : " (a run failed)");
}

void compare(const QDir& folder, int repeat)
{
    std::printf("| Loop (seed %u, 300 frames, 30 a second) | genart | ffmpeg | time ratio | size ratio |\n"
                "|---|---|---|---|---|\n",
                kSeed);
    AnimationRequest mp4;
    mp4.size = PictureSize::covering(600, 450);
    const std::string mp4Out = folder.filePath(QStringLiteral("genart.mp4")).toStdString();
    const std::string mp4Theirs = folder.filePath(QStringLiteral("ffmpeg.mp4")).toStdString();
    const Run ours = repeated(repeat, [&] { return run(genartLoop(mp4Out, "600x450", 0), mp4Out, nullptr); });
    const Run theirs = repeated(repeat, [&] {
        return run(ffmpegLoop(mp4, mp4Theirs, ""), mp4Theirs, [&](int fd) { feedFrames(fd, mp4); });
    });
    row("MP4, 600 × 450 (ffmpeg at its defaults)", ours, theirs);

    AnimationRequest gif;
    gif.size = PictureSize::covering(480, 360);
    const std::string gifOut = folder.filePath(QStringLiteral("genart.gif")).toStdString();
    const std::string gifTheirs = folder.filePath(QStringLiteral("ffmpeg.gif")).toStdString();
    const Run oursGif = repeated(repeat, [&] { return run(genartLoop(gifOut, "480x360", 0), gifOut, nullptr); });
    const Run theirsGif = repeated(repeat, [&] {
        return run(ffmpegLoop(gif, gifTheirs, "[0:v]split[a][b];[a]palettegen[p];[b][p]paletteuse"), gifTheirs,
                   [&](int fd) { feedFrames(fd, gif); });
    });
    row("GIF, 480 × 360 (ffmpeg's palettegen, paletteuse)", oursGif, theirsGif);
}

void memory(const QDir& folder)
{
    std::printf("\n| genart's peak memory, 600 × 450 | 75 frames | 300 frames | 1200 frames |\n|---|---|---|---|\n");
    for (const char* extension : {"mp4", "gif", "webp"}) {
        std::printf("| %s |", extension);
        for (const int frames : {75, 300, 1200}) {
            const std::string out = folder.filePath(QStringLiteral("memory.") + QLatin1String(extension)).toStdString();
            const Run r = run(genartLoop(out, "600x450", frames), out, nullptr);
            std::printf(" %ld MB (file %.1f MB)%s |", r.peakKilobytes / 1024, static_cast<double>(r.bytes) / 1e6,
                        r.ok ? "" : " failed");
            std::fflush(stdout);
        }
        std::printf("\n");
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // the caption needs fonts, not a display
    QGuiApplication application(argc, argv);
    int repeat = 3;
    bool withMemory = true;
    QString kept;
    for (int n = 1; n < argc; ++n) {
        const std::string argument = argv[n];
        if (argument == "--repeat" && n + 1 < argc)
            repeat = std::max(1, std::atoi(argv[++n]));
        else if (argument == "--no-memory")
            withMemory = false;
        else if (argument == "--keep" && n + 1 < argc)
            kept = QString::fromLocal8Bit(argv[++n]);
    }
    ::signal(SIGPIPE, SIG_IGN); // a failing ffmpeg closes its input; the run says so
    const QTemporaryDir scratch;
    const QDir folder(kept.isEmpty() ? scratch.path() : kept);
    compare(folder, repeat);
    if (withMemory)
        memory(folder);
    return 0;
}

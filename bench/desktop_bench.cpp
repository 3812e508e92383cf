// The desktop: a 4K wallpaper drawn, written and set (the X root window of a private X server of
// that size), in the process and as the whole `genart wallpaper`; and the slideshow's frames at
// 1920 × 1080: a cross-fade, one with both pictures' colours cycling, and a frame put into an X
// window.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include "desktop/desktop_wallpaper.h"
#include "picture_files/picture_at_size.h"
#include "platform/qt/image_surface.h"
#include "session/session_on.h"
#include "slideshow/slide.h"
#include "slideshow/x11_window_canvas.h"

extern char** environ;

namespace {

using namespace genart;

// An X server with a 4K screen, its variables set for this process and the programs it starts;
// stopped at the end. A home of its own keeps the wallpapers away from the user's.
class BenchDesktop {
public:
    BenchDesktop()
    {
        qputenv("XDG_DATA_HOME", home_.path().toUtf8());
        qunsetenv("XDG_CURRENT_DESKTOP");
        qunsetenv("WAYLAND_DISPLAY");
        xvfb_.start(QStringLiteral("Xvfb"),
                    {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                     QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                     QStringLiteral("3840x2160x24")});
        while (xvfb_.waitForStarted(10000) && !xvfb_.canReadLine() && xvfb_.waitForReadyRead(10000)) {
        }
        const QByteArray number = xvfb_.readLine().trimmed();
        ready_ = !number.isEmpty();
        qputenv("DISPLAY", ":" + number);
    }
    ~BenchDesktop()
    {
        xvfb_.terminate();
        xvfb_.waitForFinished();
    }
    bool ready() const { return ready_; }

private:
    QTemporaryDir home_;
    QProcess xvfb_;
    bool ready_ = false;
};

BenchDesktop& desktop()
{
    static BenchDesktop instance;
    return instance;
}

// The slowest of the frames timed: every frame must be in time, not only the mean.
struct Slowest {
    void start() { clock.start(); }
    void stop() { milliseconds = std::max(milliseconds, static_cast<double>(clock.nsecsElapsed()) / 1e6); }
    QElapsedTimer clock;
    double milliseconds = 0;
};

Recipe pictureOfSeed(std::uint32_t seed, int presses = 0)
{
    SessionOn<ImageSurface> drawn(std::make_shared<FixedClock>(2026, 12, 8, 12, 0, 0));
    return drawn.play(seed, std::vector<Action>(static_cast<std::size_t>(presses), Action::Both)).session.recipe();
}

void BM_Wallpaper4K(benchmark::State& state)
{
    if (!desktop().ready()) {
        state.SkipWithError("Xvfb did not start");
        return;
    }
    const Recipe recipe = pictureOfSeed(7);
    for (auto _ : state)
        if (!makeWallpaper(recipe, 3840, 2160, WallpaperPlace::Background, {}).set())
            state.SkipWithError("the wallpaper was not set");
}
// CPU time of every thread: on a busy machine, what the work itself costs.
BENCHMARK(BM_Wallpaper4K)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

// The drawing alone, on every core: the rest of the wallpaper's time is encoding, writing and
// setting it, on one.
void BM_WallpaperDrawing4K(benchmark::State& state)
{
    const Recipe recipe = pictureOfSeed(7);
    for (auto _ : state)
        benchmark::DoNotOptimize(drawPicture(recipe, PictureSize::covering(3840, 2160), false));
}
BENCHMARK(BM_WallpaperDrawing4K)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

// `genart wallpaper --size 3840x2160`, process start and Qt's included.
void BM_WallpaperProcess4K(benchmark::State& state)
{
    if (!desktop().ready()) {
        state.SkipWithError("Xvfb did not start");
        return;
    }
    std::vector<std::string> words{GENART_BINARY, "wallpaper", "--size", "3840x2160"};
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        pid_t child = 0;
        int status = 0;
        if (::posix_spawn(&child, GENART_BINARY, &quiet, nullptr, argv.data(), environ) != 0
            || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            state.SkipWithError("genart wallpaper failed");
    }
    posix_spawn_file_actions_destroy(&quiet);
}
BENCHMARK(BM_WallpaperProcess4K)->Unit(benchmark::kMillisecond)->UseRealTime();

// One frame of a cross-fade between two pictures at 1920 × 1080; with cycle, both pictures'
// colours turned first, as `--cycle` paints them.
void BM_CrossFadeFrame1080p(benchmark::State& state)
{
    const bool cycle = state.range(0) != 0;
    ShownSlide from(drawSlide(pictureOfSeed(7), QSize(1920, 1080), cycle));
    ShownSlide to(drawSlide(pictureOfSeed(7, 1), QSize(1920, 1080), cycle));
    long long step = 0;
    Slowest slowest;
    for (auto _ : state) {
        step = (step + 16) % 10000;
        slowest.start();
        benchmark::DoNotOptimize(crossFade(from.frame(step), to.frame(step), 0.5));
        slowest.stop();
    }
    state.counters["slowest_ms"] = slowest.milliseconds;
}
BENCHMARK(BM_CrossFadeFrame1080p)->ArgName("cycle")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// A 1920 × 1080 frame put into a screensaver's window: the time to hand it to the X server.
void BM_WindowFrame1080p(benchmark::State& state)
{
    if (!desktop().ready()) {
        state.SkipWithError("Xvfb did not start");
        return;
    }
    X11Connection x;
    const xcb_screen_t& screen = *x.screen();
    const xcb_window_t window = xcb_generate_id(x.connection());
    xcb_create_window(x.connection(), XCB_COPY_FROM_PARENT, window, screen.root, 0, 0, 1920, 1080, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen.root_visual, 0, nullptr);
    xcb_map_window(x.connection(), window);
    x.finish();
    std::string problem;
    const auto canvas = X11WindowCanvas::open(window, problem);
    const QImage frame = drawSlide(pictureOfSeed(7), QSize(1920, 1080), false).still;
    Slowest slowest;
    for (auto _ : state) {
        slowest.start();
        canvas->present(frame);
        slowest.stop();
    }
    state.counters["slowest_ms"] = slowest.milliseconds;
}
BENCHMARK(BM_WindowFrame1080p)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

#include "command_line/slideshow_command.h"

#include <iostream>
#include <memory>
#include <sys/resource.h>
#include <vector>

#include <QApplication>
#include <QScreen>

#include "command_line/desktop_command_line.h"
#include "terminal_text/printable.h"
#include "platform/qt/display_platform.h"
#include "platform/vector_state.h"
#include "slideshow/slide_show.h"
#include "slideshow/slide_window.h"
#include "slideshow/termination_signal.h"
#include "slideshow/x11_window_canvas.h"

namespace genart {
namespace {

// A screensaver gives way to everything else the computer does.
constexpr int kScreensaverNiceness = 10;

int refuse(const std::string& problem)
{
    std::cerr << "genart: --slideshow: " << printable(problem) << '\n';
    return 2;
}

// Where to draw: a window given, or the root window (`intoWindow` with no id); or why not.
struct Target {
    bool intoWindow = false;
    std::optional<std::uint32_t> window;
    std::string problem;
};

Target targetOf(const SlideshowOptions& options)
{
    if (options.window)
        return {true, options.window, {}};
    const QByteArray given = qgetenv("XSCREENSAVER_WINDOW");
    if (!given.isEmpty()) {
        const auto window = parseWindowId(given.toStdString());
        if (!window)
            return {true, std::nullopt, "XSCREENSAVER_WINDOW is not a window id: '" + given.toStdString() + "'"};
        return {true, window, {}};
    }
    return {options.root, std::nullopt, {}};
}

int intoWindow(const Target& target, SlideSource& source, const SlideshowOptions& options, char* program)
{
    qputenv("QT_QPA_PLATFORM", "offscreen"); // the frames go to X through genart's own connection
    int argc = 1;
    char* argv[] = {program, nullptr};
    QGuiApplication app(argc, argv);
    setApplicationIdentity();
    clearUpperVectorState();
    ::setpriority(PRIO_PROCESS, 0, kScreensaverNiceness);
    std::string problem;
    const auto canvas = X11WindowCanvas::open(target.window, problem);
    if (!canvas)
        return refuse(problem);
    TerminationSignal termination;
    SlideShow show(source, *canvas, {options.seconds, options.cycle});
    QObject::connect(&termination, &TerminationSignal::received, &app, &QCoreApplication::quit);
    QObject::connect(canvas.get(), &X11WindowCanvas::closed, &app, &QCoreApplication::quit);
    show.start();
    return app.exec();
}

int onScreens(SlideSource& source, const SlideshowOptions& options, char* program)
{
    if (!chooseDisplayPlatform())
        return refuse("no display to show it on (DISPLAY is not set)");
    int argc = 1;
    char* argv[] = {program, nullptr};
    QApplication app(argc, argv);
    setApplicationIdentity();
    clearUpperVectorState();
    if (!reachedDisplay())
        return refuse("no display to show it on (the display could not be reached)");
    TerminationSignal termination;
    QObject::connect(&termination, &TerminationSignal::received, &app, &QCoreApplication::quit);
    std::vector<std::unique_ptr<SlideWindow>> windows;
    std::vector<std::unique_ptr<SlideShow>> shows;
    for (QScreen* screen : QGuiApplication::screens()) {
        windows.push_back(std::make_unique<SlideWindow>(screen));
        QObject::connect(windows.back().get(), &SlideWindow::ended, &app, &QCoreApplication::quit);
        windows.back()->showFullScreen();
        shows.push_back(std::make_unique<SlideShow>(source, *windows.back(), SlideShow::Pace{options.seconds,
                                                                                                options.cycle}));
        shows.back()->start();
    }
    const int status = app.exec();
    shows.clear(); // each waits for the picture it is drawing
    return status;
}

} // namespace

int runSlideshow(const SlideshowOptions& options, char* program)
{
    const Target target = targetOf(options);
    if (!target.problem.empty())
        return refuse(target.problem);
    const auto library = openWallpaperSource();
    std::unique_ptr<SlideSource> source;
    if (options.favourites) {
        if (const std::string problem = library->unavailable(); !problem.empty())
            return refuse("--favourites: " + problem);
        std::vector<Recipe> favourites = library->favourites();
        if (favourites.empty())
            return refuse("--favourites: there are no favourites yet");
        source = std::make_unique<SlideSource>(std::move(favourites), *library);
    } else {
        source = std::make_unique<SlideSource>(options.seed ? *options.seed : seedFromTimeOfDay(), *library);
    }
    return target.intoWindow ? intoWindow(target, *source, options, program) : onScreens(*source, options, program);
}

} // namespace genart

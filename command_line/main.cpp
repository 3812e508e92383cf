#include <iostream>
#include <string>
#include <vector>

#include <QGuiApplication>

#include "app/safe_settings.h"
#include "app/window_start.h"
#include "command_line/command_line.h"
#include "command_line/desktop_command_line.h"
#include "command_line/library_command.h"
#include "command_line/output_streams.h"
#include "command_line/render_command.h"
#include "command_line/share_commands.h"
#include "command_line/slideshow_command.h"
#include "command_line/stop_signals.h"
#include "command_line/wallpaper_command.h"
#include "terminal_text/printable.h"
#include "opening/shared_recipe.h"
#include "platform/qt/display_platform.h"
#include "platform/vector_state.h"

namespace {

QtMessageHandler qtDefaultHandler = nullptr;

// Qt notes on stderr when a session has no runtime folder, which genart never needs.
void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    qtDefaultHandler(type, context, message);
}

// Runs a command that draws off-screen; no display is needed or touched.
template <typename Run>
int offScreen(char* program, Run run)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char* argv[] = {program, nullptr};
    QGuiApplication app(argc, argv);
    // Qt's start-up leaves the vector registers in the state that slows every maths call; the
    // threads started from here on begin clean.
    genart::clearUpperVectorState();
    return run();
}

// `genart render`, drawn off-screen; a stop signal is told in one line with its own status.
int render(const genart::RenderOptions& options, char* program)
{
    const int status = offScreen(program, [&options] { return genart::runRender(options, std::cerr); });
    if (status != genart::kStoppedBySignal)
        return status;
    std::cerr << "genart: render: " << genart::StopSignals::line() << '\n';
    return genart::StopSignals::exitStatus();
}

// `genart [options] FILE`: what FILE holds is read before the window opens, so a file that
// holds no picture is told like any other bad argument.
int openWindow(const genart::WindowOptions& window, char* program)
{
    std::optional<genart::Recipe> opened;
    if (window.open) {
        auto read = genart::recipeFromArgument(*window.open);
        if (const auto* error = std::get_if<genart::RecipeError>(&read)) {
            std::cerr << "genart: " << genart::printable(error->message) << '\n';
            return 2;
        }
        opened = std::get<genart::Recipe>(read);
    }
    return genart::openWindow(window.seed, window.history, program, opened);
}

// The desktop's display is needed for the size of its screens and to reach some desktops; with
// none, the wallpaper can still be drawn at a given size.
int wallpaper(const genart::WallpaperOptions& options, char* program)
{
    genart::chooseDisplayPlatform();
    int argc = 1;
    char* argv[] = {program, nullptr};
    QGuiApplication app(argc, argv);
    genart::reachedDisplay();
    genart::setApplicationIdentity();
    genart::clearUpperVectorState();
    return genart::runWallpaper(options, std::cout, std::cerr);
}

} // namespace

int main(int argc, char** argv)
{
    genart::ignoreBrokenPipes();
    genart::ignoreRelativeXdgFolders();
    qtDefaultHandler = qInstallMessageHandler(quietMessages);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const genart::Command command = genart::parseCommandLine(arguments);
    if (const auto* error = std::get_if<genart::UsageError>(&command)) {
        std::cerr << "genart: " << genart::printable(error->message) << '\n';
        return 2;
    }
    if (const auto* help = std::get_if<genart::HelpRequest>(&command)) {
        std::cout << (help->render      ? genart::renderUsageText()
                      : help->wallpaper ? genart::wallpaperUsageText()
                                        : genart::usageText());
        return genart::checkedOutputs(0, true);
    }
    if (std::holds_alternative<genart::VersionRequest>(command)) {
        std::cout << genart::versionText();
        return genart::checkedOutputs(0, true);
    }
    if (const auto* options = std::get_if<genart::RenderOptions>(&command)) {
        // From the start: a signal before the first picture is begun stops nothing less cleanly.
        const genart::StopSignals watchingStopSignals;
        return genart::checkedOutputs(render(*options, argv[0]), false);
    }
    if (const auto* code = std::get_if<genart::CodeRequest>(&command))
        return genart::checkedOutputs(genart::runCode(*code, std::cout, std::cerr), true);
    if (const auto* thumbnail = std::get_if<genart::ThumbnailRequest>(&command))
        return offScreen(argv[0], [thumbnail] { return genart::runThumbnail(*thumbnail, std::cerr); });
    if (const auto* request = std::get_if<genart::LibraryRequest>(&command))
        return genart::checkedOutputs(
            offScreen(argv[0], [&] { return genart::runLibrary(*request, std::cout, std::cerr); }), true);
    if (const auto* options = std::get_if<genart::WallpaperOptions>(&command))
        return wallpaper(*options, argv[0]);
    if (const auto* options = std::get_if<genart::SlideshowOptions>(&command))
        return genart::runSlideshow(*options, argv[0]);
    return openWindow(std::get<genart::WindowOptions>(command), argv[0]);
}

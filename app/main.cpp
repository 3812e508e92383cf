#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include <QApplication>
#include <QGuiApplication>

#include "app/command_line.h"
#include "app/form1.h"
#include "app/render_command.h"

namespace {

QtMessageHandler qtDefaultHandler = nullptr;
bool choosingPlatform = false; // while platforms are tried in turn, their failures are expected

// Qt notes on stderr when a session has no runtime folder, which a headless render never needs,
// and each platform that could not start while another is tried; everything else goes through.
void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (choosingPlatform && type != QtCriticalMsg && type != QtFatalMsg && context.category
        && QLatin1String(context.category).startsWith(QLatin1String("qt.qpa")))
        return;
    qtDefaultHandler(type, context, message);
}

bool environmentSet(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

int noDisplay(const std::string& why)
{
    std::cerr << "genart: no display to open the window on (" << why
              << "); to draw pictures without one, use: genart render --seed N --out PICTURE.png\n";
    return 2;
}

int openWindow(const genart::WindowOptions& options, char* program)
{
    // A platform chosen by the user is taken as it is. Otherwise a display that cannot be reached
    // falls back to drawing off-screen, which is then told instead of showing nothing.
    const bool platformChosen = environmentSet("QT_QPA_PLATFORM");
    if (!platformChosen) {
        if (!environmentSet("DISPLAY") && !environmentSet("WAYLAND_DISPLAY"))
            return noDisplay("DISPLAY is not set");
        qputenv("QT_QPA_PLATFORM", environmentSet("WAYLAND_DISPLAY") ? "wayland;xcb;offscreen" : "xcb;offscreen");
        choosingPlatform = true;
    }
    int argc = 1;
    char* argv[] = {program, nullptr};
    QApplication app(argc, argv);
    choosingPlatform = false;
    if (!platformChosen && QGuiApplication::platformName() == QLatin1String("offscreen"))
        return noDisplay("the display could not be reached");
    genart::TwisterRandom random;
    genart::SystemClock clock;
    genart::Form1 window(random, clock, options.seed);
    window.Form_Load();
    return app.exec();
}

int render(const genart::RenderOptions& options, char* program)
{
    // Pictures are drawn off-screen; no display is needed or touched.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char* argv[] = {program, nullptr};
    QGuiApplication app(argc, argv);
    return genart::runRender(options, std::cerr);
}

} // namespace

int main(int argc, char** argv)
{
    qtDefaultHandler = qInstallMessageHandler(quietMessages);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const genart::Command command = genart::parseCommandLine(arguments);
    if (const auto* error = std::get_if<genart::UsageError>(&command)) {
        std::cerr << "genart: " << error->message << '\n';
        return 2;
    }
    if (std::holds_alternative<genart::HelpRequest>(command)) {
        std::cout << genart::usageText();
        return 0;
    }
    if (const auto* options = std::get_if<genart::RenderOptions>(&command))
        return render(*options, argv[0]);
    return openWindow(std::get<genart::WindowOptions>(command), argv[0]);
}

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

// Qt notes on stderr when a session has no runtime folder, which a headless render never needs;
// everything else it says goes through.
void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    qtDefaultHandler(type, context, message);
}

bool environmentSet(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

bool displayAvailable()
{
    return environmentSet("QT_QPA_PLATFORM") || environmentSet("DISPLAY") || environmentSet("WAYLAND_DISPLAY");
}

int openWindow(const genart::WindowOptions& options, char* program)
{
    if (!displayAvailable()) {
        std::cerr << "genart: no display to open the window on (DISPLAY is not set); "
                     "to draw pictures without one, use: genart render --seed N --out PICTURE.png\n";
        return 2;
    }
    int argc = 1;
    char* argv[] = {program, nullptr};
    QApplication app(argc, argv);
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

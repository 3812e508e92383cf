#include <iostream>
#include <string>
#include <vector>

#include <QGuiApplication>

#include "app/window_start.h"
#include "command_line/command_line.h"
#include "command_line/render_command.h"
#include "terminal_text/printable.h"
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

int render(const genart::RenderOptions& options, char* program)
{
    // Pictures are drawn off-screen; no display is needed or touched.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char* argv[] = {program, nullptr};
    QGuiApplication app(argc, argv);
    // Qt's start-up leaves the vector registers in the state that slows every maths call; the
    // threads started from here on begin clean.
    genart::clearUpperVectorState();
    return genart::runRender(options, std::cerr);
}

} // namespace

int main(int argc, char** argv)
{
    qtDefaultHandler = qInstallMessageHandler(quietMessages);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const genart::Command command = genart::parseCommandLine(arguments);
    if (const auto* error = std::get_if<genart::UsageError>(&command)) {
        std::cerr << "genart: " << genart::printable(error->message) << '\n';
        return 2;
    }
    if (const auto* help = std::get_if<genart::HelpRequest>(&command)) {
        std::cout << (help->render ? genart::renderUsageText() : genart::usageText());
        return 0;
    }
    if (std::holds_alternative<genart::VersionRequest>(command)) {
        std::cout << genart::versionText();
        return 0;
    }
    if (const auto* options = std::get_if<genart::RenderOptions>(&command))
        return render(*options, argv[0]);
    const auto& window = std::get<genart::WindowOptions>(command);
    return genart::openWindow(window.seed, window.history, argv[0]);
}

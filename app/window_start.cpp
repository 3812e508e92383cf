#include "app/window_start.h"

#include <cstdlib>
#include <iostream>
#include <string>

#include <QApplication>
#include <QGuiApplication>

#include "app/form1.h"
#include "app/safe_settings.h"
#include "library/library_location.h"

namespace genart {
namespace {

QtMessageHandler passOn = nullptr;

// While platforms are tried in turn, the failures of those that could not start are expected.
void quietPlatformChoice(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtCriticalMsg && type != QtFatalMsg && context.category
        && QLatin1String(context.category).startsWith(QLatin1String("qt.qpa")))
        return;
    passOn(type, context, message);
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

} // namespace

int openWindow(std::optional<std::uint32_t> seed, bool history, char* program, const std::optional<Recipe>& opened)
{
    // A platform chosen by the user is taken as it is. Otherwise a display that cannot be reached
    // falls back to drawing off-screen, which is then told instead of showing nothing.
    const bool platformChosen = environmentSet("QT_QPA_PLATFORM");
    if (!platformChosen) {
        if (!environmentSet("DISPLAY") && !environmentSet("WAYLAND_DISPLAY"))
            return noDisplay("DISPLAY is not set");
        qputenv("QT_QPA_PLATFORM", environmentSet("WAYLAND_DISPLAY") ? "wayland;xcb;offscreen" : "xcb;offscreen");
        passOn = qInstallMessageHandler(quietPlatformChoice);
    }
    int argc = 1;
    char* argv[] = {program, nullptr};
    QApplication app(argc, argv);
    // Where the settings (the save dialog's folder and size) live; the library is in the same
    // organisation's data folder.
    QCoreApplication::setOrganizationName(QString::fromLatin1(kOrganizationName));
    QCoreApplication::setOrganizationDomain(QStringLiteral("orvanik.example"));
    QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationName));
    // So a Wayland shell links the window to its desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.orvanik.genart"));
    QCoreApplication::setApplicationVersion(QStringLiteral(GENART_VERSION));
    useSettingsSafely(std::cerr);
    if (!platformChosen) {
        qInstallMessageHandler(passOn);
        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            return noDisplay("the display could not be reached");
    }
    TwisterRandom random;
    SystemClock clock;
    Form1 window(random, clock, seed, history ? QString::fromStdString(defaultLibraryPath()) : QString());
    window.Form_Load();
    if (opened)
        window.showNewEntry({*opened, opened->palette}, "opened");
    return app.exec();
}

} // namespace genart

#include "app/window_start.h"

#include <iostream>
#include <string>

#include <QApplication>
#include <QGuiApplication>

#include "app/form1.h"
#include "app/safe_settings.h"
#include "library/library_location.h"
#include "platform/qt/display_platform.h"

namespace genart {
namespace {

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
    if (!chooseDisplayPlatform())
        return noDisplay("DISPLAY is not set");
    int argc = 1;
    char* argv[] = {program, nullptr};
    QApplication app(argc, argv);
    // Where the settings (the save dialog's folder and size) live; the library is in the same
    // organisation's data folder.
    setApplicationIdentity();
    // So a Wayland shell links the window to its desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.orvanik.genart"));
    QCoreApplication::setApplicationVersion(QStringLiteral(GENART_VERSION));
    useSettingsSafely(std::cerr);
    if (!reachedDisplay())
        return noDisplay("the display could not be reached");
    TwisterRandom random;
    SystemClock clock;
    Form1 window(random, clock, seed, history ? QString::fromStdString(defaultLibraryPath()) : QString());
    window.Form_Load();
    if (opened)
        window.showNewEntry({*opened, opened->palette}, "opened");
    return app.exec();
}

} // namespace genart

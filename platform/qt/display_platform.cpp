#include "platform/qt/display_platform.h"

#include "library/library_location.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace genart {
namespace {

QtMessageHandler passOn = nullptr;
bool platformChosen = false;

// While platforms are tried in turn, the failures of those that could not start are expected.
void quietPlatformChoice(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtCriticalMsg && type != QtFatalMsg && context.category
        && QLatin1String(context.category).startsWith(QLatin1String("qt.qpa")))
        return;
    passOn(type, context, message);
}

} // namespace

bool chooseDisplayPlatform()
{
    platformChosen = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (platformChosen)
        return true;
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (!wayland && qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return false;
    }
    qputenv("QT_QPA_PLATFORM", wayland ? "wayland;xcb;offscreen" : "xcb;offscreen");
    passOn = qInstallMessageHandler(quietPlatformChoice);
    return true;
}

bool reachedDisplay()
{
    if (passOn) {
        qInstallMessageHandler(passOn);
        passOn = nullptr;
    }
    return platformChosen || QGuiApplication::platformName() != QLatin1String("offscreen");
}

void setApplicationIdentity()
{
    QCoreApplication::setOrganizationName(QString::fromLatin1(kOrganizationName));
    QCoreApplication::setOrganizationDomain(QStringLiteral("orvanik.example"));
    QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationName));
}

} // namespace genart

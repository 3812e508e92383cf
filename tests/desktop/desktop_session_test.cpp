// Setting the wallpaper through the real parts of a desktop session started for each test: a
// private D-Bus session bus with dconf behind GSettings and xfconfd, read back by gsettings and
// xfconf-query; and services stood in for where the desktop cannot run here (the portal,
// Plasma's shell, systemd's user manager), checked at the calls they receive.
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QUrl>

#include <gtest/gtest.h>

#include "desktop/daily_wallpaper.h"
#include "desktop/plasma_wallpaper.h"
#include "desktop/portal_wallpaper.h"
#include "picture_files/picture_at_size.h"
#include "files/recipe_file.h"
#include "support/fake_bus_service.h"
#include "support/private_session.h"

namespace genart {
namespace {

using testing::FakeBusService;
using testing::PrivateSession;

class DesktopSessionTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.startBus()); }

    PrivateSession::Run wallpaper(const QStringList& arguments) const
    {
        return session.run(QStringLiteral(GENART_BINARY), QStringList{QStringLiteral("wallpaper")} + arguments);
    }
    QStringList wallpapers() const
    {
        QDir folder(session.path("data") + QStringLiteral("/Orvanik/genart/wallpapers"));
        QStringList files;
        for (const QString& name : folder.entryList(QDir::Files))
            files.append(folder.filePath(name));
        return files;
    }
    QString uri(const QString& path) const
    {
        return QLatin1Char('\'') + QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) + QLatin1Char('\'');
    }

    PrivateSession session;
};

TEST_F(DesktopSessionTest, GnomeGetsThePictureTheDarkStyleAndTheLockScreenKeptInDconf)
{
    ASSERT_EQ(session.run(QStringLiteral("gsettings"), {"set", "org.gnome.desktop.background", "picture-options",
                                                        "none"}).status, 0);
    session.set("XDG_CURRENT_DESKTOP", QStringLiteral("ubuntu:GNOME"));
    const auto run = wallpaper({"--size", "96x40", "--set-on", "both"});
    ASSERT_EQ(run.status, 0) << run.errors.toStdString();
    ASSERT_EQ(wallpapers().size(), 1);
    const QString file = wallpapers().front();
    EXPECT_TRUE(run.out.contains(QStringLiteral("shown through GNOME settings"))) << run.out.toStdString();
    EXPECT_EQ(session.gsettings("org.gnome.desktop.background", "picture-uri"), uri(file));
    EXPECT_EQ(session.gsettings("org.gnome.desktop.background", "picture-uri-dark"), uri(file));
    EXPECT_EQ(session.gsettings("org.gnome.desktop.screensaver", "picture-uri"), uri(file));
    EXPECT_EQ(session.gsettings("org.gnome.desktop.background", "picture-options"), QStringLiteral("'zoom'"));

    // The file is the picture at that size without its caption, and carries the recipe that draws
    // it again (JPEG keeps the pixels within a few levels).
    const QImage shown = QImage(file).convertToFormat(QImage::Format_RGB32);
    const auto recipe = readRecipeFile(file.toStdString());
    ASSERT_TRUE(std::holds_alternative<Recipe>(recipe));
    const QImage drawn = drawPicture(std::get<Recipe>(recipe), PictureSize::covering(96, 40), false)->picture;
    ASSERT_EQ(shown.size(), QSize(96, 40));
    double difference = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 96; ++x)
            difference += std::abs(qGray(shown.pixel(x, y)) - qGray(drawn.pixel(x, y)));
    EXPECT_LT(difference / (96 * 40), 10.0);
}

TEST_F(DesktopSessionTest, NothingThatWorksIsStatusOneNamingWhatWasTriedAndThePictureStays)
{
    session.set("XDG_CURRENT_DESKTOP", QStringLiteral("MATE")); // whose schema is not installed here
    const auto run = wallpaper({"--size", "32x24"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors.count(QLatin1Char('\n')), 1) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(QStringLiteral("tried MATE settings: no schema org.mate.background; "
                                                   "desktop portal: no Wallpaper portal")))
        << run.errors.toStdString();
    ASSERT_EQ(wallpapers().size(), 1);
    EXPECT_TRUE(run.errors.contains(wallpapers().front()));
}

TEST_F(DesktopSessionTest, XfceGetsThePictureOnEveryMonitorAndWorkspace)
{
    const QStringList properties{QStringLiteral("/backdrop/screen0/monitorHDMI-1/workspace0/last-image"),
                                 QStringLiteral("/backdrop/screen0/monitorHDMI-1/workspace1/last-image"),
                                 QStringLiteral("/backdrop/screen0/monitoreDP-1/workspace0/last-image")};
    for (const QString& property : properties)
        ASSERT_EQ(session.run(QStringLiteral("xfconf-query"), {"-c", "xfce4-desktop", "-p", property, "-n", "-t",
                                                               "string", "-s", "/old.png"}).status, 0);
    session.set("XDG_CURRENT_DESKTOP", QStringLiteral("XFCE"));
    const auto run = wallpaper({"--size", "32x24"});
    ASSERT_EQ(run.status, 0) << run.errors.toStdString();
    for (const QString& property : properties)
        EXPECT_EQ(session.run(QStringLiteral("xfconf-query"), {"-c", "xfce4-desktop", "-p", property}).out,
                  wallpapers().front());
}

// The portal's side of SetWallpaperFile: it reads the picture through the descriptor it is given
// and answers on the request object the caller named.
struct FakePortal {
    explicit FakePortal(guint32 response)
        : service("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                  "<node><interface name='org.freedesktop.portal.Wallpaper'><method name='SetWallpaperFile'>"
                  "<arg type='s' direction='in'/><arg type='h' direction='in'/><arg type='a{sv}' direction='in'/>"
                  "<arg type='o' direction='out'/></method></interface></node>",
                  [this, response](GDBusConnection* bus, const std::string&, GVariant* arguments, GUnixFDList* fds) {
                      return answer(bus, arguments, fds, response);
                  })
    {
    }

    GVariant* answer(GDBusConnection* bus, GVariant* arguments, GUnixFDList* fds, guint32 response)
    {
        gint32 handle = 0;
        GVariant* options = nullptr;
        g_variant_get(arguments, "(&sh@a{sv})", nullptr, &handle, &options);
        const int fd = g_unix_fd_list_get(fds, handle, nullptr);
        char buffer[4096];
        for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
            received.append(buffer, static_cast<qsizetype>(n));
        ::close(fd);
        const gchar* token = nullptr;
        g_variant_lookup(options, "handle_token", "&s", &token);
        g_variant_lookup(options, "set-on", "s", &setOn);
        g_variant_lookup(options, "show-preview", "b", &preview);
        const std::string request = "/org/freedesktop/portal/desktop/request/" + requester + "/" + token;
        g_dbus_connection_emit_signal(bus, nullptr, request.c_str(), "org.freedesktop.portal.Request", "Response",
                                      g_variant_new("(u@a{sv})", response, g_variant_new("a{sv}", nullptr)), nullptr);
        g_variant_unref(options);
        return g_variant_new("(o)", request.c_str());
    }

    std::string requester; // the caller's unique name, as the portal writes it in request paths
    QByteArray received;
    gchar* setOn = nullptr;
    gboolean preview = TRUE;
    FakeBusService service;
};

TEST_F(DesktopSessionTest, ThePortalIsHandedTheFileAndItsAnswerIsWaitedFor)
{
    const QString file = session.path("picture.jpg");
    QImage(8, 8, QImage::Format_RGB32).save(file);
    QFile picture(file);
    ASSERT_TRUE(picture.open(QIODevice::ReadOnly));
    const QByteArray bytes = picture.readAll();
    for (const guint32 response : {0u, 1u}) {
        FakePortal portal(response);
        ASSERT_TRUE(portal.service.owned());
        GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
        portal.requester = std::string(g_dbus_connection_get_unique_name(bus) + 1);
        std::replace(portal.requester.begin(), portal.requester.end(), '.', '_');
        g_object_unref(bus);
        const SetResult result = PortalWallpaper().set(file.toStdString(), WallpaperPlace::Both);
        EXPECT_EQ(result.done, response == 0) << result.note;
        EXPECT_EQ(portal.received, bytes);
        EXPECT_STREQ(portal.setOn, "both");
        EXPECT_FALSE(portal.preview);
        if (response != 0) {
            EXPECT_EQ(result.note, "the user did not accept it");
        }
        g_free(portal.setOn);
    }
}

// Records the commands a setter would start, as if none of them were installed.
struct NoPrograms final : CommandRunner {
    bool has(const std::string&) const override { return false; }
    CommandResult run(const std::vector<std::string>&) override { return {}; }
};

TEST_F(DesktopSessionTest, PlasmaWithoutItsToolIsGivenAScriptForEveryDesktop)
{
    std::string script;
    FakeBusService shell("org.kde.plasmashell", "/PlasmaShell",
                         "<node><interface name='org.kde.PlasmaShell'><method name='evaluateScript'>"
                         "<arg type='s' direction='in'/></method></interface></node>",
                         [&script](GDBusConnection*, const std::string&, GVariant* arguments, GUnixFDList*) {
                             const gchar* text = nullptr;
                             g_variant_get(arguments, "(&s)", &text);
                             script = text;
                             return static_cast<GVariant*>(nullptr);
                         });
    ASSERT_TRUE(shell.owned());
    NoPrograms programs;
    const SetResult result = PlasmaWallpaper(programs).set("/home/a \"b\"/w.jpg", WallpaperPlace::Background);
    EXPECT_TRUE(result.done) << result.note;
    EXPECT_EQ(script, plasmaScript("file:///home/a%20%22b%22/w.jpg"));
    EXPECT_NE(script.find("d.writeConfig(\"Image\", \"file:///home/a%20%22b%22/w.jpg\");"), std::string::npos);
}

const char* const kSystemdXml =
    "<node><interface name='org.freedesktop.systemd1.Manager'>"
    "<method name='Reload'/>"
    "<method name='EnableUnitFiles'><arg type='as' direction='in'/><arg type='b' direction='in'/>"
    "<arg type='b' direction='in'/><arg type='b' direction='out'/><arg type='a(sss)' direction='out'/></method>"
    "<method name='DisableUnitFiles'><arg type='as' direction='in'/><arg type='b' direction='in'/>"
    "<arg type='a(sss)' direction='out'/></method>"
    "<method name='StartUnit'><arg type='s' direction='in'/><arg type='s' direction='in'/>"
    "<arg type='o' direction='out'/></method>"
    "<method name='StopUnit'><arg type='s' direction='in'/><arg type='s' direction='in'/>"
    "<arg type='o' direction='out'/></method></interface></node>";

GVariant* systemdReply(GDBusConnection*, const std::string& method, GVariant*, GUnixFDList*)
{
    if (method == "EnableUnitFiles")
        return g_variant_new("(ba(sss))", FALSE, nullptr);
    if (method == "DisableUnitFiles")
        return g_variant_new("(a(sss))", nullptr);
    if (method == "StartUnit" || method == "StopUnit")
        return g_variant_new("(o)", "/org/freedesktop/systemd1/job/1");
    return nullptr;
}

std::string described(const FakeBusService::Call& call)
{
    gchar* arguments = g_variant_print(call.arguments, FALSE);
    std::string text = call.method + arguments;
    g_free(arguments);
    return text;
}

TEST_F(DesktopSessionTest, DailyTimerIsWrittenEnabledAndStartedThenStoppedAndRemoved)
{
    const QString units = session.path("config") + QStringLiteral("/systemd/user/");
    // With no user manager, nothing is written.
    auto run = wallpaper({"--daily", "on"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors, QStringLiteral("genart: wallpaper: --daily: there is no systemd user session to run the "
                                         "timer\n"));
    EXPECT_FALSE(QDir(units).exists());

    FakeBusService systemd("org.freedesktop.systemd1", "/org/freedesktop/systemd1", kSystemdXml, systemdReply);
    ASSERT_TRUE(systemd.owned());
    run = wallpaper({"--daily", "on"});
    ASSERT_EQ(run.status, 0) << run.errors.toStdString();
    QFile service(units + QString::fromLatin1(kDailyService));
    QFile timer(units + QString::fromLatin1(kDailyTimer));
    ASSERT_TRUE(service.open(QIODevice::ReadOnly) && timer.open(QIODevice::ReadOnly));
    const std::string program = QFileInfo(QStringLiteral(GENART_BINARY)).canonicalFilePath().toStdString();
    EXPECT_EQ(service.readAll().toStdString(), dailyServiceText(program, false));
    EXPECT_EQ(timer.readAll().toStdString(), dailyTimerText());

    run = wallpaper({"--daily", "off"});
    ASSERT_EQ(run.status, 0) << run.errors.toStdString();
    EXPECT_FALSE(service.exists() || timer.exists());
    std::vector<std::string> calls;
    for (const auto& call : systemd.calls())
        calls.push_back(described(call));
    EXPECT_EQ(calls, (std::vector<std::string>{"Reload()", "EnableUnitFiles(['genart-wallpaper.timer'], false, true)",
                                               "StartUnit('genart-wallpaper.timer', 'replace')",
                                               "StopUnit('genart-wallpaper.timer', 'replace')",
                                               "DisableUnitFiles(['genart-wallpaper.timer'], false)", "Reload()"}));
}

} // namespace
} // namespace genart

// `genart wallpaper` and `genart --slideshow` as typed: what they read, and bad input refused
// with status 2 and one line before anything is drawn, written or set.
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

#include "command_line/command_line.h"
#include "command_line/desktop_command_line.h"
#include "support/private_session.h"

namespace genart {
namespace {

using Line = std::vector<std::string>;

template <class Options>
Options parsed(const Line& line)
{
    const Command command = parseCommandLine(line);
    const auto* options = std::get_if<Options>(&command);
    const auto* error = std::get_if<UsageError>(&command);
    EXPECT_NE(options, nullptr) << (error ? error->message : "another form");
    return options ? *options : Options{};
}

TEST(DesktopCommandLine, ReadsEveryOption)
{
    auto wallpaper = parsed<WallpaperOptions>({"wallpaper"});
    EXPECT_EQ(wallpaper.source, WallpaperOptions::Source::New);
    EXPECT_FALSE(wallpaper.size || wallpaper.daily);
    EXPECT_EQ(wallpaper.place, WallpaperPlace::Background);

    wallpaper = parsed<WallpaperOptions>({"wallpaper", "--recipe=w.png", "--size", "1920x1080", "--set-on=both"});
    EXPECT_EQ(wallpaper.source, WallpaperOptions::Source::Recipe);
    EXPECT_EQ(wallpaper.recipe, "w.png");
    EXPECT_EQ(wallpaper.size, PictureSize::covering(1920, 1080));
    EXPECT_EQ(wallpaper.place, WallpaperPlace::Both);
    EXPECT_EQ(parsed<WallpaperOptions>({"wallpaper", "--entry", "9223372036854775807"}).entry, INT64_MAX);
    wallpaper = parsed<WallpaperOptions>({"wallpaper", "--daily", "on", "--favourite"});
    EXPECT_EQ(wallpaper.daily, true);
    EXPECT_EQ(wallpaper.source, WallpaperOptions::Source::Favourite);

    auto show = parsed<SlideshowOptions>({"--slideshow"});
    EXPECT_EQ(show.seconds, 10);
    EXPECT_FALSE(show.favourites || show.cycle || show.root || show.window || show.seed);
    show = parsed<SlideshowOptions>({"--cycle", "--slideshow", "--seconds=3", "--favourites", "--window-id",
                                     "0x1a00003"});
    EXPECT_EQ(show.seconds, 3);
    EXPECT_TRUE(show.cycle && show.favourites);
    EXPECT_EQ(show.window, 0x1a00003u);
    EXPECT_EQ(parseWindowId("27262979"), 27262979u);
    EXPECT_EQ(parseWindowId("0X1FFFFFFF"), 0x1fffffffu);
}

// Each refused with a message naming the option at fault.
const struct {
    Line line;
    const char* named;
} kBadLines[] = {
    {{"wallpaper", "--size", "0x100"}, "--size"},
    {{"wallpaper", "--size", "16385x100"}, "--size"},
    {{"wallpaper", "--size", "wide"}, "--size"},
    {{"wallpaper", "--set-on", "floor"}, "--set-on"},
    {{"wallpaper", "--entry", "0"}, "--entry"},
    {{"wallpaper", "--entry", "-3"}, "--entry"},
    {{"wallpaper", "--entry", "9223372036854775808"}, "--entry"},
    {{"wallpaper", "--entry", "12a"}, "--entry"},
    {{"wallpaper", "--new", "--recipe", "w.png"}, "--recipe"},
    {{"wallpaper", "--favourite", "--entry", "3"}, "--entry"},
    {{"wallpaper", "--daily", "sometimes"}, "--daily"},
    {{"wallpaper", "--daily", "on", "--size", "10x10"}, "--size"},
    {{"wallpaper", "--daily", "off", "--favourite"}, "--favourite"},
    {{"wallpaper", "--size", "10x10", "--size", "20x20"}, "--size"},
    {{"wallpaper", "--seconds", "3"}, "--seconds"},
    {{"--slideshow", "--seconds", "0"}, "--seconds"},
    {{"--slideshow", "--seconds", "86401"}, "--seconds"},
    {{"--slideshow", "--seconds", "1.5"}, "--seconds"},
    {{"--slideshow", "--window-id", "0"}, "--window-id"},
    {{"--slideshow", "--window-id", "0x20000000"}, "--window-id"},
    {{"--slideshow", "--window-id", "0xfoo"}, "--window-id"},
    {{"--slideshow", "--root", "--window-id", "0x400001"}, "--window-id"},
    {{"--slideshow", "--favourites", "--seed", "4"}, "--seed"},
    {{"--slideshow", "--size", "10x10"}, "--size"},
};

TEST(DesktopCommandLine, BadInputIsRefusedNamingTheOption)
{
    for (const auto& bad : kBadLines) {
        const Command command = parseCommandLine(bad.line);
        const auto* error = std::get_if<UsageError>(&command);
        ASSERT_NE(error, nullptr) << bad.line.back();
        EXPECT_NE(error->message.find(bad.named), std::string::npos) << error->message;
        EXPECT_EQ(error->message.find('\n'), std::string::npos);
    }
}

TEST(DesktopCommandLine, TheProgramWritesAndSetsNothingForBadInput)
{
    testing::PrivateSession session;
    ASSERT_TRUE(session.startBus());
    session.set("XDG_CURRENT_DESKTOP", QStringLiteral("GNOME"));
    const QString before = session.gsettings("org.gnome.desktop.background", "picture-uri");
    const struct {
        QStringList arguments;
        const char* said;
    } cases[] = {
        {{"wallpaper", "--size", "0x1"}, "--size takes WIDTHxHEIGHT"},
        {{"wallpaper", "--favourite", "--size", "8x8"}, "--favourite: the picture library has no favourites yet"},
        {{"wallpaper", "--entry", "5", "--size", "8x8"}, "--entry 5: there is no library at"},
        {{"wallpaper", "--recipe", "missing.png", "--size", "8x8"}, "missing.png"},
        {{"wallpaper"}, "no screen to take the size from"},
        {{"--slideshow", "--favourites"}, "--favourites: there are no favourites yet"},
        {{"--slideshow", "--window-id", "0x1a00003"}, "DISPLAY is not set"},
    };
    for (const auto& c : cases) {
        const auto run = session.run(QStringLiteral(GENART_BINARY), c.arguments);
        EXPECT_EQ(run.status, 2) << run.errors.toStdString();
        EXPECT_EQ(run.errors.count(QLatin1Char('\n')), 1) << run.errors.toStdString();
        EXPECT_TRUE(run.errors.contains(QString::fromLatin1(c.said))) << run.errors.toStdString();
    }
    EXPECT_FALSE(QDir(session.path("data") + QStringLiteral("/Orvanik")).exists());
    EXPECT_EQ(session.gsettings("org.gnome.desktop.background", "picture-uri"), before);
}

// --favourite takes the library's favourite, and the wallpaper set is kept as an entry of its own
// with the favourite's picture, so it can be found and drawn again.
TEST(DesktopCommandLine, AFavouriteBecomesTheWallpaperAndIsKeptAgain)
{
    testing::PrivateSession session;
    ASSERT_TRUE(session.startBus());
    session.set("XDG_CURRENT_DESKTOP", QStringLiteral("GNOME"));
    const QString genart = QStringLiteral(GENART_BINARY);
    const auto args = [](const char* line) { return QString::fromLatin1(line).split(QLatin1Char(' ')); };
    ASSERT_EQ(session.run(genart, args("render --seed 5 --out a.png --quiet")).status, 0);
    ASSERT_EQ(session.run(genart, args("library import a.png")).status, 0);
    ASSERT_EQ(session.run(genart, args("library favourite 1")).status, 0);

    const auto set = session.run(genart, args("wallpaper --favourite --size 64x48"));
    ASSERT_EQ(set.status, 0) << set.errors.toStdString();
    EXPECT_TRUE(session.gsettings("org.gnome.desktop.background", "picture-uri").contains(QStringLiteral("wallpapers")));
    const auto listed = session.run(genart, args("library list --json"));
    const QJsonArray entries = QJsonDocument::fromJson(listed.out.toUtf8()).array();
    ASSERT_EQ(entries.size(), 2) << listed.out.toStdString();
    EXPECT_EQ(entries[1][QStringLiteral("origin")].toString(), QStringLiteral("wallpaper"));
    EXPECT_EQ(entries[1][QStringLiteral("recipe")], entries[0][QStringLiteral("recipe")]);
}

} // namespace
} // namespace genart

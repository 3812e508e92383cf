#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "command_line/command_line.h"
#include "session/picture_session.h"
#include "platform/qt/image_surface.h"
#include "support/run_genart.h"
#include "support/image_session.h"

namespace genart {
namespace {

using testing::filesIn;
using testing::Outcome;
using testing::runGenart;

QImage load(const QString& path)
{
    return testing::loadRgb(path);
}

class RenderCommandTest : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    Outcome run(const QStringList& arguments) const { return runGenart(arguments, dir.path()); }

    QTemporaryDir dir;
};

const QStringList kRender{QStringLiteral("render"), QStringLiteral("--seed"), QStringLiteral("7"),
                          QStringLiteral("--time"), QStringLiteral("2026-01-02T03:04:05")};

TEST_F(RenderCommandTest, WritesPictureAndStripAsDrawnInProcess)
{
    ASSERT_TRUE(dir.isValid());
    const Outcome outcome = run(kRender + QStringList{"--out", "a.png", "--palette-out", "p.png"});
    ASSERT_EQ(outcome.status, 0) << outcome.errors.toStdString();
    EXPECT_EQ(outcome.errors, QString());
    const QImage picture = load(path("a.png"));
    const QImage strip = load(path("p.png"));
    EXPECT_EQ(picture.size(), QSize(600, 450));
    EXPECT_EQ(strip.size(), QSize(601, 33));

    const testing::ImageSession drawn(7, {}, std::make_shared<FixedClock>(2026, 1, 2, 3, 4, 5));
    const PictureSession& session = drawn.session;
    const ImageSurface& picture1 = drawn.picture;
    const ImageSurface& picture2 = drawn.strip;
    EXPECT_EQ(session.state().texts.imeslike, "T20260102030405");
    EXPECT_EQ(picture, picture1.image().convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(strip, picture2.image().convertToFormat(QImage::Format_RGB32));

    // A second later only the picture's name, in the caption rows, differs.
    QStringList later = kRender + QStringList{"--out", "b.png"};
    later[4] = QStringLiteral("2026-01-02T03:04:06");
    ASSERT_EQ(run(later).status, 0);
    const QImage laterPicture = load(path("b.png"));
    EXPECT_NE(laterPicture, picture);
    EXPECT_EQ(laterPicture.copy(0, 0, 600, 425), picture.copy(0, 0, 600, 425));
}

TEST_F(RenderCommandTest, ActionsActLikeTheButtons)
{
    ASSERT_EQ(run(kRender + QStringList{"--out", "0.png", "--palette-out", "0p.png"}).status, 0);
    const QImage startPicture = load(path("0.png"));
    const QImage startStrip = load(path("0p.png"));
    const struct {
        const char* actions;
        bool samePicture;
        bool sameStrip;
    } cases[] = {
        {"image", false, true},
        {"palette", true, false},
        {"both", false, false},
        {"image,palette,both", false, false},
    };
    int n = 0;
    for (const auto& c : cases) {
        const QString picture = QStringLiteral("%1.png").arg(++n);
        const QString strip = QStringLiteral("%1p.png").arg(n);
        const Outcome outcome = run(kRender + QStringList{"--actions", c.actions, "--out", picture, "--palette-out", strip});
        ASSERT_EQ(outcome.status, 0) << c.actions << ": " << outcome.errors.toStdString();
        EXPECT_EQ(load(dir.filePath(picture)) == startPicture, c.samePicture) << c.actions;
        EXPECT_EQ(load(dir.filePath(strip)) == startStrip, c.sameStrip) << c.actions;
    }
}

TEST_F(RenderCommandTest, BadCommandLinesExitTwoAndWriteNothing)
{
    const struct {
        QStringList arguments;
        const char* named;
    } cases[] = {
        {{"render", "--seed", "7", "--out", "a.png", "--colour", "red"}, "--colour"},
        {{"render", "--seed", "7", "--out", "a.png", "--actions", "image,flip"}, "--actions"},
        {{"render", "--seed", "7", "--out", "a.png", "--actions", "image,"}, "--actions"},
        {{"render", "--seed", "4294967296", "--out", "a.png"}, "--seed"},
        {{"render", "--seed", "-1", "--out", "a.png"}, "--seed"},
        {{"render", "--seed", "abc", "--out", "a.png"}, "--seed"},
        {{"render", "--out", "a.png"}, "--seed"},
        {{"render", "--seed", "7", "--palette-out", "p.png"}, "--out"},
        {{"render", "--seed", "7", "--out", "a.png", "--time", "2026-13-01T00:00:00"}, "--time"},
        {{"render", "--seed", "7", "--out", "a.png", "--time", "2026-02-30T00:00:00"}, "--time"},
        {{"render", "--seed", "7", "--out", "a.png", "--time", "2026-01-02 03:04:05"}, "--time"},
        {{"render", "--seed", "7", "--out", "a.png", "--palette-out"}, "--palette-out"},
        {{"render", "--out", "a.png", "--seed"}, "--seed"},
        {{"--seed", "x"}, "--seed"},
        {{"--frobnicate"}, "--frobnicate"},
        {{"render", "--seed", "7", "--seed", "8", "--out", "a.png"}, "--seed"},
        {{"render", "--seed", "7", "--out", "a.png", "--palette-out", "a.png"}, "--palette-out"},
        {{"render", "--seed", "7", "--out", "a.png", "--scale", "0"}, "--scale"},
        {{"render", "--seed", "7", "--out", "a.png", "--scale", "17"}, "--scale"},
        {{"render", "--seed", "7", "--out", "a.png", "--scale", "1.5"}, "--scale"},
        {{"render", "--seed", "7", "--count", "0", "--out-dir", "."}, "--count"},
        {{"render", "--seed", "7", "--count", "many", "--out-dir", "."}, "--count"},
        {{"render", "--seed", "7", "--count", "3"}, "--out-dir"},
        {{"render", "--seed", "7", "--count", "3", "--out-dir", ".", "--out", "a.png"}, "--out"},
        {{"render", "--seed", "7", "--out-dir", ".", "--out", "a.png"}, "--out-dir"},
        {{"render", "--seed", "7", "--out", "a.png", "--keep-palette"}, "--keep-palette"},
        {{"render", "--seed", "7", "--recipe", "a.png", "--out", "b.png"}, "--recipe"},
        {{"render", "--recipe", "a.png", "--out", "b.png", "--actions", "image"}, "--actions"},
        {{"render", "--recipe", "", "--out", "b.png"}, "--recipe"},
    };
    for (const auto& c : cases) {
        const std::string line = c.arguments.join(QLatin1Char(' ')).toStdString();
        const Outcome outcome = run(c.arguments);
        EXPECT_EQ(outcome.status, 2) << line;
        EXPECT_EQ(outcome.errors.count(QLatin1Char('\n')), 1) << line << " -> " << outcome.errors.toStdString();
        EXPECT_TRUE(outcome.errors.endsWith(QLatin1Char('\n'))) << line;
        EXPECT_TRUE(outcome.errors.contains(QString::fromUtf8(c.named))) << line << " -> " << outcome.errors.toStdString();
        EXPECT_EQ(filesIn(dir.path()), QStringList()) << line;
    }
}

TEST_F(RenderCommandTest, ExistingFileIsReplacedOnlyWithForce)
{
    {
        QFile existing(path("a.png"));
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.write("not a picture");
    }
    const Outcome refused = run(kRender + QStringList{"--out", "a.png", "--palette-out", "p.png"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.errors.count(QLatin1Char('\n')), 1) << refused.errors.toStdString();
    EXPECT_TRUE(refused.errors.contains(QStringLiteral("a.png"))) << refused.errors.toStdString();
    QFile kept(path("a.png"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("not a picture"));
    EXPECT_EQ(filesIn(dir.path()), QStringList{"a.png"}); // nor the strip, nor a temporary

    const Outcome forced = run(kRender + QStringList{"--out", "a.png", "--force"});
    EXPECT_EQ(forced.status, 0) << forced.errors.toStdString();
    EXPECT_EQ(load(path("a.png")).size(), QSize(600, 450));
}

TEST_F(RenderCommandTest, UnwritableOutputsWriteNothing)
{
    const struct {
        const char* out;
        const char* paletteOut;
        const char* named;
    } cases[] = {
        {"missing/a.png", "p.png", "missing/a.png"},
        {"a.png", "missing/p.png", "missing/p.png"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = run(kRender + QStringList{"--out", c.out, "--palette-out", c.paletteOut});
        EXPECT_EQ(outcome.status, 1) << c.named;
        EXPECT_TRUE(outcome.errors.contains(QString::fromUtf8(c.named))) << outcome.errors.toStdString();
        EXPECT_EQ(filesIn(dir.path()), QStringList()) << c.named;
    }
}

TEST_F(RenderCommandTest, DeviceIsNotReplaced)
{
    // A device under a picture's name: /dev/full's twin.
    const QByteArray device = path("full.png").toLocal8Bit();
    if (mknod(device.constData(), S_IFCHR | 0666, makedev(1, 7)) != 0)
        GTEST_SKIP() << "cannot make a device node here";
    for (const QStringList& extra : {QStringList{}, QStringList{"--force"}}) {
        const Outcome outcome = run(kRender + QStringList{"--out", "full.png"} + extra);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_TRUE(outcome.errors.contains(QStringLiteral("full.png"))) << outcome.errors.toStdString();
        struct stat after {};
        ASSERT_EQ(stat(device.constData(), &after), 0);
        EXPECT_TRUE(S_ISCHR(after.st_mode));
    }
}

TEST_F(RenderCommandTest, WindowWithoutDisplayPointsToRender)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromUtf8(name));
    const Outcome outcome = runGenart({"--seed", "3"}, dir.path(), environment);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_TRUE(outcome.errors.contains(QStringLiteral("genart render"))) << outcome.errors.toStdString();

    // A display that is named but cannot be reached is told the same way, in one line.
    environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":987"));
    const Outcome unreachable = runGenart({"--seed", "3"}, dir.path(), environment);
    EXPECT_EQ(unreachable.status, 2);
    EXPECT_EQ(unreachable.errors.count(QLatin1Char('\n')), 1) << unreachable.errors.toStdString();
    EXPECT_TRUE(unreachable.errors.contains(QStringLiteral("genart render"))) << unreachable.errors.toStdString();
}

TEST(CommandLine, ParsesEveryRenderOption)
{
    const Command command = parseCommandLine({"render", "--force", "--actions", "both,image,palette", "--seed",
                                              "4294967295", "--time", "2024-02-29T23:59:59", "--out", "a.png",
                                              "--palette-out", "p.png"});
    const auto* options = std::get_if<RenderOptions>(&command);
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(options->seed, 4294967295u);
    EXPECT_EQ(options->out, "a.png");
    EXPECT_EQ(options->paletteOut, "p.png");
    EXPECT_EQ(options->actions, (std::vector<Action>{Action::Both, Action::Image, Action::Palette}));
    ASSERT_TRUE(options->time);
    EXPECT_EQ(options->time->year, 2024);
    EXPECT_EQ(options->time->month, 2);
    EXPECT_EQ(options->time->day, 29);
    EXPECT_EQ(options->time->hour, 23);
    EXPECT_EQ(options->time->minute, 59);
    EXPECT_EQ(options->time->second, 59);
    EXPECT_TRUE(options->force);

    const Command plain = parseCommandLine({"render", "--out", "a.png", "--seed", "0", "--actions", "image,both"});
    const auto* defaults = std::get_if<RenderOptions>(&plain);
    ASSERT_NE(defaults, nullptr);
    EXPECT_EQ(defaults->seed, 0u);
    EXPECT_EQ(defaults->actions, (std::vector<Action>{Action::Image, Action::Both}));
    EXPECT_FALSE(defaults->paletteOut);
    EXPECT_FALSE(defaults->time);
    EXPECT_FALSE(defaults->force);
}

TEST(CommandLine, RejectsImpossibleMomentsAndClashingFiles)
{
    for (const char* time : {"2100-02-29T00:00:00", "2026-01-02T24:00:00", "2026-01-02T03:60:00",
                             "2026-1-02T03:04:05", "0000-01-01T00:00:00"}) {
        const Command command = parseCommandLine({"render", "--seed", "1", "--out", "a.png", "--time", time});
        EXPECT_TRUE(std::holds_alternative<UsageError>(command)) << time;
    }
    const Command clash = parseCommandLine({"render", "--seed", "1", "--out", "a.png", "--palette-out", "a.png"});
    EXPECT_TRUE(std::holds_alternative<UsageError>(clash));
}

TEST(CommandLine, WindowModeTakesAnOptionalSeed)
{
    const Command none = parseCommandLine({});
    ASSERT_TRUE(std::holds_alternative<WindowOptions>(none));
    EXPECT_FALSE(std::get<WindowOptions>(none).seed);
    const Command seeded = parseCommandLine({"--seed", "12"});
    ASSERT_TRUE(std::holds_alternative<WindowOptions>(seeded));
    EXPECT_EQ(std::get<WindowOptions>(seeded).seed, 12u);
    EXPECT_TRUE(std::holds_alternative<HelpRequest>(parseCommandLine({"--help"})));
}

} // namespace
} // namespace genart

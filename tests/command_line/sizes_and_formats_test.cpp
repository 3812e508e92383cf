// genart render for wallpapers and prints: --size, --no-caption, the format the file name asks
// for, batches into folders that do not exist yet, and progress on a terminal.
#include <gtest/gtest.h>

#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include "files/recipe_file.h"
#include "support/run_genart.h"

namespace genart {
namespace {

using testing::filesIn;
using testing::loadRgb;
using testing::Outcome;

const QStringList kTime{QStringLiteral("--time"), QStringLiteral("2026-12-09T12:00:00")};

class SizesAndFormats : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    Outcome run(const QStringList& arguments) const { return testing::runGenart(arguments, dir.path()); }
    // Seed 7's start-up picture with the given options, written to `name`.
    void render(const QString& name, const QStringList& options) const
    {
        const Outcome outcome = run(QStringList{"render", "--seed", "7", "--out", name} + kTime + options);
        ASSERT_EQ(outcome.status, 0) << name.toStdString() << ": " << outcome.errors.toStdString();
    }
    QByteArray bytes(const QString& name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};

TEST_F(SizesAndFormats, SizesAreCutsOfTheCoveringPicture)
{
    // Twice the normal width and height is exactly the 2x poster, file and all.
    render("size.png", {"--size", "1200x900"});
    render("scale.png", {"--scale", "2"});
    EXPECT_EQ(bytes("size.png"), bytes("scale.png"));

    // A wider frame is the middle rows of the picture as wide; a taller one its middle columns.
    render("wide.png", {"--size", "1920x1080", "--no-caption"});
    render("wide-cover.png", {"--size", "1920x1440", "--no-caption"});
    const QImage wide = loadRgb(path("wide.png"));
    ASSERT_EQ(wide.size(), QSize(1920, 1080));
    EXPECT_EQ(wide, loadRgb(path("wide-cover.png")).copy(0, 180, 1920, 1080));

    render("tall.png", {"--size", "450x600", "--no-caption"});
    render("tall-cover.png", {"--size", "800x600", "--no-caption"});
    const QImage tall = loadRgb(path("tall.png"));
    ASSERT_EQ(tall.size(), QSize(450, 600));
    EXPECT_EQ(tall, loadRgb(path("tall-cover.png")).copy(175, 0, 450, 600));
}

TEST_F(SizesAndFormats, TheCaptionGoesOnTheBottomRowsOrIsLeftOff)
{
    render("captioned.png", {"--size", "1920x1080"});
    render("bare.png", {"--size", "1920x1080", "--no-caption"});
    const QImage captioned = loadRgb(path("captioned.png"));
    const QImage bare = loadRgb(path("bare.png"));
    // At 3.2 times its size the caption takes the last 40 * 3.2 rows; above them nothing differs.
    const int captionTop = 1080 - 128;
    EXPECT_EQ(captioned.copy(0, 0, 1920, captionTop), bare.copy(0, 0, 1920, captionTop));
    int white = 0;
    for (int y = captionTop; y < 1080; ++y)
        for (int x = 0; x < 1920; ++x)
            white += captioned.pixel(x, y) == qRgb(255, 255, 255) && bare.pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_GT(white, 2000) << "the caption's letters at 3.2 times their size";
}

TEST_F(SizesAndFormats, EachExtensionWritesItsFormatAndTheRecipeComesBack)
{
    render("picture.png", {});
    const QImage png = loadRgb(path("picture.png"));
    const struct {
        const char* name;
        const char* format;
        bool exact;
    } cases[] = {{"picture.jpg", "jpeg", false}, {"picture.JPEG", "jpeg", false}, {"picture.webp", "webp", true}};
    for (const auto& c : cases) {
        const QString name = QString::fromUtf8(c.name);
        render(name, {});
        QImageReader reader(path(name));
        EXPECT_EQ(reader.format(), QByteArray(c.format)) << c.name;
        const QImage read = loadRgb(path(name));
        ASSERT_EQ(read.size(), png.size()) << c.name;
        if (c.exact) {
            EXPECT_EQ(read, png) << c.name << " is lossless";
        }
        // The recipe it carries draws the picture again, exactly.
        const Outcome again = run({"render", "--recipe", name, "--out", "again-" + name + ".png"});
        ASSERT_EQ(again.status, 0) << c.name << ": " << again.errors.toStdString();
        EXPECT_EQ(loadRgb(path("again-" + name + ".png")), png) << c.name;
    }
    // Quality trades size for fidelity.
    render("low.jpg", {"--quality", "20"});
    render("high.jpg", {"--quality", "98"});
    EXPECT_LT(bytes("low.jpg").size() * 2, bytes("high.jpg").size());
}

TEST_F(SizesAndFormats, BadSizesAndExtensionsAreRefusedAndNothingIsWritten)
{
    const QStringList refused[] = {
        {"--out", "a.png", "--size", "0x450"},      {"--out", "a.png", "--size", "20000x1080"},
        {"--out", "a.png", "--size", "1920X1080"},  {"--out", "a.png", "--size", "-1920x1080"},
        {"--out", "a.png", "--size", "1920x"},      {"--out", "a.png", "--size", "1920x1080", "--scale", "2"},
        {"--out", "a.gif"},                         {"--out", "picture"},
        {"--out", "a.mp4"},                         {"--out", "a.png", "--palette-out", "strip.bmp"},
        {"--out", "a.png", "--quality", "80"},      {"--out", "a.jpg", "--png-level", "3"},
        {"--out", "a.png", "--png-level", "10"},    {"--out", "a.jpg", "--quality", "0"},
        {"--out", "a.webp", "--size", "16384x100"},
    };
    for (const QStringList& options : refused) {
        const Outcome outcome = run(QStringList{"render", "--seed", "7"} + options);
        EXPECT_EQ(outcome.status, 2) << options.join(' ').toStdString();
        EXPECT_EQ(outcome.errors.count('\n'), 1) << outcome.errors.toStdString();
        EXPECT_EQ(filesIn(dir.path()), QStringList()) << options.join(' ').toStdString();
    }
    const Outcome gif = run({"render", "--seed", "7", "--out", "a.gif"});
    for (const char* extension : {".png", ".jpg", ".jpeg", ".webp"})
        EXPECT_TRUE(gif.errors.contains(QString::fromUtf8(extension))) << gif.errors.toStdString();
}

TEST_F(SizesAndFormats, BatchesMakeTheirFolderAndTakeSizes)
{
    const Outcome outcome = run(QStringList{"render", "--seed", "3", "--count", "2", "--out-dir", "walls/2026/dec",
                                            "--size", "960x540", "--no-caption", "--quiet"} + kTime);
    ASSERT_EQ(outcome.status, 0) << outcome.errors.toStdString();
    const QStringList written = filesIn(path("walls/2026/dec"));
    ASSERT_EQ(written, (QStringList{"T20261209120000-1.png", "T20261209120000-2.png"}));
    EXPECT_EQ(QImage(path("walls/2026/dec/" + written[0])).size(), QSize(960, 540));
    // The number is the file's; the recipe keeps the name the caption shows.
    const auto recipe = readRecipeFile(path("walls/2026/dec/" + written[1]).toStdString());
    ASSERT_TRUE(std::holds_alternative<Recipe>(recipe));
    EXPECT_EQ(std::get<Recipe>(recipe).imeslike, "T20261209120000");

    // A folder that cannot be made (a file is in the way) is told, and nothing is left.
    QFile blocker(path("taken"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const Outcome blocked = run(QStringList{"render", "--seed", "3", "--count", "2", "--out-dir", "taken/inside"} + kTime);
    EXPECT_EQ(blocked.status, 1);
    EXPECT_TRUE(blocked.errors.contains(QStringLiteral("taken/inside"))) << blocked.errors.toStdString();
    EXPECT_EQ(filesIn(dir.path()), (QStringList{"taken", "walls"}));
}

// Runs genart with its stderr on a terminal, as `script` gives it one, and returns what it showed.
QString onTerminal(const QStringList& arguments, const QString& folder)
{
    QStringList command{QString::fromUtf8(GENART_BINARY)};
    for (const QString& argument : arguments)
        command << argument;
    QProcess script;
    script.setWorkingDirectory(folder);
    script.start(QStringLiteral("script"), {"-qefc", command.join(' '), "/dev/null"});
    script.waitForFinished(-1);
    return QString::fromUtf8(script.readAllStandardOutput());
}

TEST_F(SizesAndFormats, ALongRenderShowsProgressOnATerminalAndSaysWhatItWrote)
{
    if (QProcess::execute(QStringLiteral("script"), {"-qec", "true", "/dev/null"}) != 0)
        GTEST_SKIP() << "no script(1) to give genart a terminal";
    // A 16x poster takes over a second even on a quick machine.
    const QString shown = onTerminal(QStringList{"render", "--seed", "7", "--scale", "16", "--out", "big.png"} + kTime,
                                     dir.path());
    EXPECT_TRUE(shown.contains(QStringLiteral("drawing"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("left"))) << "an estimate of the time left: " << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("genart: wrote big.png (9600 \u00d7 7200"))) << shown.toStdString();

    // --quiet, or stderr that is not a terminal, shows none of it.
    EXPECT_EQ(onTerminal(QStringList{"render", "--seed", "7", "--scale", "16", "--out", "quiet.png", "--quiet"} + kTime,
                         dir.path()),
              QString());
    const Outcome piped = run(QStringList{"render", "--seed", "7", "--scale", "16", "--out", "piped.png"} + kTime);
    EXPECT_EQ(piped.status, 0);
    EXPECT_EQ(piped.errors, QString());
}

} // namespace
} // namespace genart

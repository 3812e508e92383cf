// `genart render … --animate`, run as the program: loops that start on the still picture,
// refusals, and failed writes that leave nothing.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "files/recipe_file.h"
#include "support/decoded_gif.h"
#include "support/decoded_webp.h"
#include "support/file_contents.h"
#include "support/run_genart.h"

namespace genart {
namespace {

using testing::contents;
using testing::decodeWebp;
using testing::filesIn;
using testing::Outcome;
using testing::runGenart;

class AnimationCommand : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    Outcome run(const QStringList& arguments) const { return runGenart(arguments, dir.path()); }

    QTemporaryDir dir;
};

const QStringList kSeed{QStringLiteral("render"), QStringLiteral("--seed"), QStringLiteral("42"),
                        QStringLiteral("--time"), QStringLiteral("2026-01-02T03:04:05")};

TEST_F(AnimationCommand, TheLoopStartsOnTheStillPictureAndCarriesItsRecipe)
{
    ASSERT_EQ(run(kSeed + QStringList{"--actions", "palette,image", "--out", "still.png"}).status, 0);
    const Outcome animated =
        run(kSeed + QStringList{"--actions", "palette,image", "--animate", "--frames", "8", "--out", "loop.webp"});
    ASSERT_EQ(animated.status, 0) << animated.errors.toStdString();
    EXPECT_EQ(animated.errors, QString()); // no progress or summary off a terminal

    const testing::DecodedWebp loop = decodeWebp(contents(path("loop.webp")));
    ASSERT_EQ(loop.frames.size(), 8u);
    EXPECT_EQ(loop.loopCount, 0);
    EXPECT_EQ(loop.timestamps.back(), 267); // 8 frames at the default 30 a second
    EXPECT_EQ(loop.frames[0], testing::loadRgb(path("still.png")));
    EXPECT_NE(loop.frames[4], loop.frames[0]);

    const auto fromPng = readRecipeFile(path("still.png").toStdString());
    const auto fromWebp = readRecipeFile(path("loop.webp").toStdString());
    ASSERT_TRUE(std::holds_alternative<Recipe>(fromWebp)) << std::get<RecipeError>(fromWebp).message;
    EXPECT_TRUE(std::get<Recipe>(fromWebp) == std::get<Recipe>(fromPng));
}

TEST_F(AnimationCommand, RecipesSizesAndCaptionsAsForStillPictures)
{
    ASSERT_EQ(run(kSeed + QStringList{"--out", "still.png"}).status, 0);
    const QStringList sized{"--size", "320x200", "--no-caption"};
    ASSERT_EQ(run(QStringList{"render", "--recipe", "still.png", "--out", "small.png"} + sized).status, 0);
    const Outcome animated = run(QStringList{"render", "--recipe", "still.png", "--animate", "--frames", "3", "--fps",
                                             "12", "--out", "small.webp"}
                                 + sized);
    ASSERT_EQ(animated.status, 0) << animated.errors.toStdString();
    const testing::DecodedWebp loop = decodeWebp(contents(path("small.webp")));
    ASSERT_EQ(loop.frames.size(), 3u);
    EXPECT_EQ(loop.frames[0], testing::loadRgb(path("small.png")));
    EXPECT_EQ(loop.timestamps, (std::vector<int>{83, 167, 250}));

    const Outcome video = run(QStringList{"render", "--recipe", "still.png", "--animate", "--frames", "3", "--out",
                                          "small.mp4"}
                              + sized);
    ASSERT_EQ(video.status, 0) << video.errors.toStdString();
    EXPECT_EQ(contents(path("small.mp4")).mid(4, 4), "ftyp"); // an MP4; the encoder's tests probe it
}

TEST_F(AnimationCommand, BadValuesAreRefusedWithOneLineAndNothingWritten)
{
    const std::vector<QStringList> refused{
        {"--animate", "--frames", "0", "--out", "a.webp"},
        {"--animate", "--frames", "many", "--out", "a.webp"},
        {"--animate", "--fps", "0", "--out", "a.webp"},
        {"--animate", "--fps", "121", "--out", "a.mp4"},
        {"--animate", "--out", "a.png"},
        {"--animate", "--fps", "60", "--out", "a.gif"},       // a GIF shows 50 frames a second at most
        {"--animate", "--scale", "16", "--out", "a.mp4"},     // beyond H.264's largest frame
        {"--share", "--quality", "50", "--out", "a.mp4"},
        {"--share=5", "--out", "a"},
        {"--share=lots", "--out", "a"},
        {"--budget", "1G", "--out", "a"},
        {"--share", "--out", "a.png"},
        {"--animate", "--out", "a.webp", "--palette-out", "p.png"},
        {"--frames", "10", "--out", "a.png"},
        {"--fps", "10", "--out", "a.png"},
    };
    for (const QStringList& arguments : refused) {
        const Outcome outcome = run(kSeed + arguments);
        const std::string what = arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(outcome.status, 2) << what;
        EXPECT_EQ(outcome.errors.count(QLatin1Char('\n')), 1) << what << ": " << outcome.errors.toStdString();
        EXPECT_EQ(filesIn(dir.path()), QStringList()) << what;
    }
}

QStringList words(std::initializer_list<const char*> typed)
{
    QStringList list;
    for (const char* word : typed)
        list.append(QString::fromLatin1(word));
    return list;
}

TEST_F(AnimationCommand, WithoutFramesTheLoopTurnsOnceInTheWindowsTime)
{
    const Outcome animated = run(kSeed + words({"--animate", "--fps", "20", "--size", "40x30", "--out", "a.gif"}));
    ASSERT_EQ(animated.status, 0) << animated.errors.toStdString();
    const testing::DecodedGif gif = testing::decodeGif(path(QStringLiteral("a.gif")));
    EXPECT_EQ(gif.frames.size(), 200u);
    int hundredths = 0;
    for (const int delay : gif.delays)
        hundredths += delay;
    EXPECT_EQ(hundredths, 1000);
}

TEST_F(AnimationCommand, SharedLoopsFitTheirBudgetAndSayWhatWasChosen)
{
    struct Case {
        std::initializer_list<const char*> arguments;
        const char* written;
        qint64 budget;
    };
    const Case cases[] = {
        // A short small loop fits as a GIF; the 10 s one only as an MP4.
        {{"--share", "--frames", "20", "--size", "120x90", "--out", "small"}, "small.gif", 5'000'000},
        {{"--share=200k", "--frames", "90", "--size", "320x240", "--out", "long"}, "long.mp4", 200'000},
        // Named formats are kept, the size coming down to fit.
        {{"--budget", "300k", "--frames", "60", "--out", "named.gif"}, "named.gif", 300'000},
        {{"--share=50000", "--frames", "10", "--size", "160x120", "--out", "named.webp"}, "named.webp", 50'000},
    };
    for (const Case& c : cases) {
        const Outcome shared = run(kSeed + words(c.arguments));
        const std::string what = words(c.arguments).join(QLatin1Char(' ')).toStdString();
        const QString written = QString::fromLatin1(c.written);
        ASSERT_EQ(shared.status, 0) << what << ": " << shared.errors.toStdString();
        EXPECT_TRUE(shared.errors.startsWith(QStringLiteral("genart: shared ") + written + QStringLiteral(": ")))
            << what << ": " << shared.errors.toStdString();
        EXPECT_EQ(shared.errors.count(QLatin1Char('\n')), 1) << what;
        const QByteArray file = contents(path(written));
        EXPECT_GT(file.size(), 0) << what;
        EXPECT_LE(file.size(), c.budget) << what;
        EXPECT_TRUE(shared.errors.contains(QString::number(static_cast<double>(file.size()) / 1e6, 'f', 2) + QStringLiteral(" MB")))
            << what << ": " << shared.errors.toStdString();
    }
    const testing::DecodedGif gif = testing::decodeGif(path(QStringLiteral("named.gif")));
    ASSERT_EQ(gif.frames.size(), 60u);
    EXPECT_LT(gif.frames[0].width(), 600); // smaller, to fit
    EXPECT_NEAR(static_cast<double>(gif.frames[0].width()) / gif.frames[0].height(), 600.0 / 450, 0.03);
}

TEST_F(AnimationCommand, AFailedWriteLeavesNothingAndNothingIsReplacedWithoutForce)
{
    const Outcome missing = run(kSeed + QStringList{"--animate", "--frames", "2", "--out", "none/a.webp"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.errors.startsWith(QStringLiteral("genart: render: none/a.webp: cannot"))) << missing.errors.toStdString();
    EXPECT_EQ(missing.errors.count(QLatin1Char('\n')), 1);
    EXPECT_EQ(filesIn(dir.path()), QStringList());

    testing::put(path("a.mp4"), "mine");
    const Outcome kept = run(kSeed + QStringList{"--animate", "--frames", "2", "--out", "a.mp4"});
    EXPECT_EQ(kept.status, 1);
    EXPECT_EQ(contents(path("a.mp4")), "mine");
    EXPECT_EQ(run(kSeed + QStringList{"--animate", "--frames", "2", "--out", "a.mp4", "--force"}).status, 0);
    EXPECT_EQ(contents(path("a.mp4")).mid(4, 4), "ftyp");
    EXPECT_EQ(filesIn(dir.path()), QStringList{QStringLiteral("a.mp4")});
}

} // namespace
} // namespace genart

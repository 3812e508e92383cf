// Picture jobs run whole: every source, size and format, the files they leave, and every way
// one fails or is cancelled, through the fault-injecting file calls.
#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <vector>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "files/recipe_file.h"
#include "picture_files/picture_at_size.h"
#include "picture_files/run_picture_job.h"
#include "support/faulty_calls.h"
#include "support/file_contents.h"
#include "support/image_session.h"

namespace genart {
namespace {

using testing::contents;
using testing::everything;
using testing::FaultyCalls;
using testing::ImageSession;

QImage rgb(const QString& path)
{
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

std::optional<Recipe> recipeIn(const QString& path)
{
    const auto read = readRecipeFile(path.toStdString());
    return std::holds_alternative<Recipe>(read) ? std::optional<Recipe>(std::get<Recipe>(read)) : std::nullopt;
}

class PictureJobs : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    // The shown picture of `session`'s recipe as a still job to `name`.
    PictureJob job(const char* name, const PictureSize& size = {}, bool caption = true) const
    {
        PictureJob made;
        made.source = RecipeSource{shown.session.recipe()};
        made.size = size;
        made.caption = caption;
        made.path = path(name).toStdString();
        return made;
    }

    // After "change palette": the strip is no longer the picture's own.
    ImageSession shown{11, {Action::Image, Action::Palette}};
    QTemporaryDir dir;
};

TEST_F(PictureJobs, EverySourceGivesThePictureItNames)
{
    // Start-up and the presses, the picture drawn once: the session's picture and its strip.
    PictureJob session = job("session.png");
    session.source = SessionSource{11, {Action::Image, Action::Palette}, std::make_shared<FixedClock>(2026, 12, 8, 9, 30, 0)};
    session.stripPath = path("session-strip.png").toStdString();
    ASSERT_TRUE(runPictureJob(session).written());
    EXPECT_EQ(rgb(path("session.png")), shown.picture.image());
    EXPECT_EQ(rgb(path("session-strip.png")), shown.strip.image());
    EXPECT_EQ(recipeIn(path("session.png")), shown.session.recipe());
    EXPECT_EQ(recipeIn(path("session-strip.png")), std::nullopt); // not the picture's palette

    // A recipe: the same picture, with its own palette as the strip, which carries the recipe.
    PictureJob recipe = job("recipe.png");
    recipe.stripPath = path("recipe-strip.png").toStdString();
    ASSERT_TRUE(runPictureJob(recipe).written());
    EXPECT_EQ(rgb(path("recipe.png")), shown.picture.image());
    EXPECT_EQ(rgb(path("recipe-strip.png")), paintStrip(shown.session.recipe().palette));
    EXPECT_EQ(recipeIn(path("recipe-strip.png")), shown.session.recipe());

    // An entry with its picture drawn: taken as it is at that size, drawn at any other.
    QImage marked = shown.picture.image().copy();
    marked.setPixel(0, 0, qRgb(1, 2, 3));
    const EntrySource entry{{shown.session.recipe(), shown.session.palette()}, marked, shown.strip.image()};
    PictureJob asDrawn = job("entry.png");
    asDrawn.source = entry;
    asDrawn.stripPath = path("entry-strip.png").toStdString();
    ASSERT_TRUE(runPictureJob(asDrawn).written());
    EXPECT_EQ(rgb(path("entry.png")), marked);
    EXPECT_EQ(rgb(path("entry-strip.png")), shown.strip.image());
    PictureJob larger = job("entry-2x.png", PictureSize::timesNormal(2));
    larger.source = entry;
    ASSERT_TRUE(runPictureJob(larger).written());
    EXPECT_EQ(rgb(path("entry-2x.png")), drawPicture(shown.session.recipe(), PictureSize::timesNormal(2))->picture);
}

TEST_F(PictureJobs, EverySizeInEveryFormatCarriesItsRecipe)
{
    const Recipe& recipe = shown.session.recipe();
    const struct {
        const char* name;
        PictureSize size;
        bool caption;
    } cases[] = {
        {"poster.png", PictureSize::timesNormal(2), true},
        {"wall.webp", PictureSize::covering(1920, 1080), false},
        {"phone.jpg", PictureSize::covering(300, 500), true},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(runPictureJob(job(c.name, c.size, c.caption)).written()) << c.name;
        const QImage written = rgb(path(c.name));
        ASSERT_EQ(written.size(), QSize(c.size.width, c.size.height)) << c.name;
        if (!QString::fromLatin1(c.name).endsWith(QLatin1String(".jpg"))) { // JPEG's pixels are approximate
            EXPECT_EQ(written, drawPicture(recipe, c.size, c.caption)->picture) << c.name;
        }
        EXPECT_EQ(recipeIn(path(c.name)), recipe) << c.name;
    }

    // The encoding settings are the job's.
    PictureJob stored = job("stored.png");
    stored.encoding.png.level = 0;
    PictureJob packed = job("packed.png");
    packed.encoding.png.level = 9;
    ASSERT_TRUE(runPictureJob(stored).written() && runPictureJob(packed).written());
    EXPECT_GT(QFileInfo(path("stored.png")).size(), 2 * QFileInfo(path("packed.png")).size());
}

TEST_F(PictureJobs, WriteFailuresLeaveNothingAndSayWhy)
{
    // A disk that fills up within the last 16 kB of a large file.
    const PictureSize poster = PictureSize::timesNormal(4);
    ASSERT_TRUE(runPictureJob(job("whole.png", poster)).written());
    const auto size = static_cast<std::size_t>(QFileInfo(path("whole.png")).size());
    ASSERT_GT(size, 1u << 20);
    QDir(dir.path()).remove(QStringLiteral("whole.png"));
    FaultyCalls full;
    full.room = size - 5000;
    JobOutcome outcome = runPictureJob(job("full.png", poster), {}, nullptr, full);
    EXPECT_FALSE(outcome.cancelled);
    EXPECT_NE(outcome.failure.find("full.png: cannot write: No space left on device"), std::string::npos)
        << outcome.failure;
    EXPECT_EQ(everything(dir.path()), QStringList());

    // A failing flush, a missing folder, a name with no picture format (refused before drawing).
    FaultyCalls flush;
    flush.failing = "fsync";
    EXPECT_NE(runPictureJob(job("flush.png"), {}, nullptr, flush).failure.find("Input/output error"), std::string::npos);
    EXPECT_NE(runPictureJob(job("none/p.png")).failure.find("none/p.png: cannot write"), std::string::npos);
    bool drawn = false;
    outcome = runPictureJob(job("p.gif"), [&](Stage, double) { drawn = true; });
    EXPECT_NE(outcome.failure.find("p.gif: cannot write: not a picture format"), std::string::npos);
    EXPECT_FALSE(drawn);
    EXPECT_EQ(everything(dir.path()), QStringList());

    // An existing file stays unless the job replaces it.
    testing::put(path("kept.png"), "mine");
    EXPECT_NE(runPictureJob(job("kept.png")).failure.find("file exists"), std::string::npos);
    EXPECT_EQ(contents(path("kept.png")), "mine");
}

TEST_F(PictureJobs, ASymbolicLinkIsReplacedItselfNeverItsTarget)
{
    testing::put(path("target.png"), "mine");
    ASSERT_TRUE(QFile::link(path("target.png"), path("link.png")));
    EXPECT_NE(runPictureJob(job("link.png")).failure.find("file exists"), std::string::npos);
    EXPECT_TRUE(QFileInfo(path("link.png")).isSymLink());

    PictureJob replacing = job("link.png");
    replacing.replace = true;
    ASSERT_TRUE(runPictureJob(replacing).written());
    EXPECT_FALSE(QFileInfo(path("link.png")).isSymLink());
    EXPECT_EQ(rgb(path("link.png")), shown.picture.image());
    EXPECT_EQ(contents(path("target.png")), "mine");
    EXPECT_EQ(everything(dir.path()), (QStringList{QStringLiteral("link.png"), QStringLiteral("target.png")}));
}

TEST_F(PictureJobs, ACancelInAnyStageLeavesNothing)
{
    for (const Stage stage : {Stage::Drawing, Stage::Encoding}) {
        CancelToken cancel;
        const JobOutcome outcome = runPictureJob(job("cancelled.png", PictureSize::timesNormal(2)), [&](Stage now, double) {
            if (now == stage)
                cancel.cancel();
        }, &cancel);
        EXPECT_TRUE(outcome.cancelled) << static_cast<int>(stage);
        EXPECT_EQ(outcome.failure, "");
    }
    // While the bytes go to the disk.
    CancelToken cancel;
    FaultyCalls calls;
    calls.beforeWrite = [&] { cancel.cancel(); };
    PictureJob withStrip = job("cancelled.png");
    withStrip.stripPath = path("strip.png").toStdString();
    EXPECT_TRUE(runPictureJob(withStrip, {}, &cancel, calls).cancelled);
    // Between a loop's frames.
    CancelToken loopCancel;
    PictureJob loop = job("cancelled.webp");
    loop.loop = Loop{10, 30, kFormatsOwnQuality, 0};
    EXPECT_TRUE(runPictureJob(loop, [&](Stage stage, double done) {
        if (stage == Stage::Encoding && done >= 0.5)
            loopCancel.cancel();
    }, &loopCancel).cancelled);
    EXPECT_EQ(everything(dir.path()), QStringList());
}

TEST_F(PictureJobs, ProgressTellsEachStageInTurnAndEndsWritten)
{
    std::vector<std::pair<Stage, double>> told;
    ASSERT_TRUE(runPictureJob(job("told.png", PictureSize::timesNormal(2)), [&](Stage stage, double done) {
        told.emplace_back(stage, done);
    }).written());
    ASSERT_FALSE(told.empty());
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end())) << "stages in order, each part no less than the last";
    EXPECT_EQ(told.front().first, Stage::Drawing);
    EXPECT_EQ(told.back(), std::make_pair(Stage::Writing, 1.0));
    EXPECT_TRUE(std::any_of(told.begin(), told.end(), [](const auto& step) { return step.first == Stage::Encoding; }));
}

} // namespace
} // namespace genart

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "support/run_genart.h"

namespace genart {
namespace {

using testing::filesIn;
using testing::loadRgb;
using testing::Outcome;

class KeepPictures : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    Outcome run(const QStringList& arguments) const { return testing::runGenart(arguments, dir.path()); }
    void writeText(const QString& name, const QByteArray& text) const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QTemporaryDir dir;
};

const QStringList kTime{QStringLiteral("--time"), QStringLiteral("2026-05-06T07:08:09")};

TEST_F(KeepPictures, EveryWrittenPngDrawsAgainFromItsRecipe)
{
    ASSERT_EQ(run(QStringList{"render", "--seed", "21", "--out", "a.png", "--palette-out", "a-strip.png",
                              "--actions", "palette,image,both"} + kTime).status, 0);
    ASSERT_EQ(run(QStringList{"render", "--seed", "22", "--count", "3", "--out-dir", ".", "--quiet"} + kTime).status,
              0);
    ASSERT_EQ(run({"render", "--recipe", "a.png", "--scale", "2", "--out", "poster.png"}).status, 0);
    for (const char* written : {"a.png", "a-strip.png", "T20260506070809-1.png", "T20260506070809-2.png",
                                "T20260506070809-3.png", "poster.png"}) {
        const QString source = QString::fromUtf8(written);
        const Outcome redraw = run({"render", "--recipe", source, "--out", "again-" + source});
        ASSERT_EQ(redraw.status, 0) << written << ": " << redraw.errors.toStdString();
        if (source == "a-strip.png")
            EXPECT_EQ(loadRgb(path("again-" + source)), loadRgb(path("a.png")));
        else if (source == "poster.png")
            EXPECT_EQ(loadRgb(path("again-" + source)), loadRgb(path("a.png")));
        else
            EXPECT_EQ(loadRgb(path("again-" + source)), loadRgb(path(source))) << written;
    }
    EXPECT_EQ(loadRgb(path("poster.png")).size(), QSize(1200, 900));
}

TEST_F(KeepPictures, RecipeTextFilesWorkAsWellAsPngs)
{
    ASSERT_EQ(run(QStringList{"render", "--seed", "5", "--out", "a.png"} + kTime).status, 0);
    const QString recipe = QImage(path("a.png")).text(QStringLiteral("genart-recipe"));
    ASSERT_TRUE(recipe.startsWith(QStringLiteral("genart-recipe=1\n")));
    writeText("a.recipe", recipe.toUtf8());
    ASSERT_EQ(run({"render", "--recipe", "a.recipe", "--out", "b.png"}).status, 0);
    EXPECT_EQ(loadRgb(path("b.png")), loadRgb(path("a.png")));
}

TEST_F(KeepPictures, BadRecipesStopWithOneLineAndWriteNothing)
{
    ASSERT_EQ(run(QStringList{"render", "--seed", "5", "--out", "a.png"} + kTime).status, 0);
    const QString good = QImage(path("a.png")).text(QStringLiteral("genart-recipe"));
    writeText("plain.png", "just words");
    writeText("future.recipe", QString(good).replace("genart-recipe=1", "genart-recipe=9").toUtf8());
    writeText("huge.recipe", QString(good).replace(QRegularExpression("picture.tip1=[^\n]*"), "picture.tip1=1e9").toUtf8());
    QImage bare(10, 10, QImage::Format_RGB32);
    bare.fill(Qt::red);
    bare.save(path("bare.png"));
    const std::pair<const char*, const char*> cases[] = {
        {"plain.png", "not a genart recipe"},     {"future.recipe", "version"},
        {"huge.recipe", "picture.tip1"},          {"bare.png", "no genart recipe"},
        {"missing.png", "missing.png"},
    };
    for (const auto& [file, named] : cases) {
        const QStringList before = filesIn(dir.path());
        const Outcome outcome = run({"render", "--recipe", QString::fromUtf8(file), "--out", "out.png"});
        EXPECT_EQ(outcome.status, 2) << file;
        EXPECT_TRUE(outcome.errors.contains(QString::fromUtf8(named))) << outcome.errors.toStdString();
        EXPECT_EQ(outcome.errors.count('\n'), 1) << outcome.errors.toStdString();
        EXPECT_EQ(filesIn(dir.path()), before) << file;
    }
}

TEST_F(KeepPictures, BatchNamesPicturesAndKeepsOrRenewsThePalette)
{
    ASSERT_EQ(run(QStringList{"render", "--seed", "3", "--count", "3", "--out-dir", ".", "--palettes",
                              "--keep-palette", "--quiet"} + kTime).status, 0);
    EXPECT_EQ(filesIn(dir.path()),
              (QStringList{"T20260506070809-1-palette.png", "T20260506070809-1.png", "T20260506070809-2-palette.png",
                           "T20260506070809-2.png", "T20260506070809-3-palette.png", "T20260506070809-3.png"}));
    // --keep-palette: every picture is coloured from the first strip.
    EXPECT_EQ(loadRgb(path("T20260506070809-3-palette.png")), loadRgb(path("T20260506070809-1-palette.png")));

    // The batch's first picture is start-up's, the second is one press of new img / new palette.
    ASSERT_EQ(run(QStringList{"render", "--seed", "3", "--actions", "both", "--out", "second.png"} + kTime).status, 0);
    QTemporaryDir other;
    ASSERT_EQ(testing::runGenart(QStringList{"render", "--seed", "3", "--count", "2", "--out-dir", other.path(),
                                             "--quiet"} + kTime, dir.path()).status, 0);
    EXPECT_EQ(loadRgb(other.filePath("T20260506070809-2.png")), loadRgb(path("second.png")));
}

TEST_F(KeepPictures, BatchNeverReplacesAFileWithoutForce)
{
    writeText("T20260506070809-2.png", "precious");
    const Outcome outcome = run(QStringList{"render", "--seed", "3", "--count", "4", "--out-dir", "."} + kTime);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_TRUE(outcome.errors.contains("T20260506070809-2.png")) << outcome.errors.toStdString();
    // The first picture was written before the clash was found; it is taken back.
    EXPECT_EQ(filesIn(dir.path()), QStringList{"T20260506070809-2.png"});
    QFile kept(path("T20260506070809-2.png"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("precious"));

    const Outcome forced = run(QStringList{"render", "--seed", "3", "--count", "4", "--out-dir", ".", "--force"} + kTime);
    EXPECT_EQ(forced.status, 0) << forced.errors.toStdString();
    EXPECT_TRUE(forced.errors.contains("wrote 4 pictures")) << forced.errors.toStdString();
    EXPECT_EQ(filesIn(dir.path()).size(), 4);
    EXPECT_EQ(loadRgb(path("T20260506070809-2.png")).size(), QSize(600, 450));
}

TEST_F(KeepPictures, AKilledBatchLeavesOnlyCompletePictures)
{
    QProcess batch;
    batch.setWorkingDirectory(dir.path());
    batch.start(QString::fromUtf8(GENART_BINARY),
                {"render", "--seed", "8", "--count", "500", "--out-dir", ".", "--scale", "2", "--quiet"});
    ASSERT_TRUE(batch.waitForStarted());
    QDeadlineTimer deadline(60000);
    while (filesIn(dir.path()).size() < 3 && !deadline.hasExpired() && batch.state() == QProcess::Running)
        batch.waitForFinished(20);
    batch.kill();
    batch.waitForFinished();
    const QStringList files = filesIn(dir.path());
    ASSERT_GE(files.size(), 3);
    for (const QString& file : files) {
        EXPECT_TRUE(file.endsWith(QStringLiteral(".png"))) << file.toStdString();
        EXPECT_EQ(QImage(path(file)).size(), QSize(1200, 900)) << file.toStdString();
    }
}

} // namespace
} // namespace genart

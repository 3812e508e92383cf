#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "command_line/command_line.h"
#include "picture_files/picture_at_size.h"
#include "files/recipe_file.h"
#include "support/run_genart.h"

namespace genart {
namespace {

using testing::filesIn;
using testing::loadRgb;
using testing::Outcome;

QString text(const char* latin)
{
    return QString::fromUtf8(latin);
}

QStringList arguments(std::initializer_list<const char*> given)
{
    QStringList list;
    for (const char* argument : given)
        list.append(text(argument));
    return list;
}

class ExploreCommand : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    Outcome run(const QStringList& arguments) const { return testing::runGenart(arguments, dir.path()); }
    Recipe recipeIn(const QString& name) const
    {
        const auto read = readRecipeFile(path(name).toStdString());
        EXPECT_TRUE(std::holds_alternative<Recipe>(read)) << name.toStdString();
        return std::holds_alternative<Recipe>(read) ? std::get<Recipe>(read) : Recipe{};
    }
    // The recipes of the pictures written into `folder`, in order.
    std::vector<Recipe> recipesIn(const QString& folder) const
    {
        std::vector<Recipe> recipes;
        for (const QString& file : filesIn(path(folder)))
            recipes.push_back(recipeIn(folder + QLatin1Char('/') + file));
        return recipes;
    }

    QTemporaryDir dir;
};

const QStringList kTime{QStringLiteral("--time"), QStringLiteral("2026-05-06T07:08:09")};

// K variations of the seed's picture, each carrying its recipe and drawn exactly from it, with
// the formula, strip and carried values of the picture.
TEST_F(ExploreCommand, VariationsCarryTheirRecipesAndKeepTheFormula)
{
    ASSERT_EQ(run(arguments({"render", "--seed", "9", "--actions", "image", "--out", "shown.png"}) + kTime).status, 0);
    const Recipe shown = recipeIn(text("shown.png"));
    const Outcome outcome = run(arguments({"render", "--seed", "9", "--actions", "image", "--variations", "12",
                                           "--strength", "1", "--out-dir", "v", "--quiet"}) + kTime);
    ASSERT_EQ(outcome.status, 0) << outcome.errors.toStdString();
    EXPECT_TRUE(outcome.errors.isEmpty());
    const QStringList files = filesIn(path(text("v")));
    ASSERT_EQ(files.size(), 12);
    EXPECT_EQ(files.front(), text("T20260506070809-01.png"));
    const auto varied = recipesIn(text("v"));
    for (const Recipe& recipe : varied) {
        EXPECT_EQ(recipe.picture.tip1, shown.picture.tip1);
        EXPECT_EQ(recipe.picture.tip3, shown.picture.tip3);
        EXPECT_EQ(recipe.palette, shown.palette);
        EXPECT_EQ(recipe.carried, shown.carried);
        EXPECT_NE(recipe.picture.fi0, shown.picture.fi0);
    }
    EXPECT_EQ(loadRgb(path(text("v/") + files[4])),
              drawPicture(varied[4], {})->picture.convertToFormat(QImage::Format_RGB32));
}

// Recolourings keep every drawn value and the carried values; from a recipe the same recipe
// gives the same recolourings, at the size asked for.
TEST_F(ExploreCommand, RecolouringsFromARecipe)
{
    ASSERT_EQ(run(arguments({"render", "--seed", "4", "--out", "a.png"}) + kTime).status, 0);
    const Recipe picture = recipeIn(text("a.png"));
    for (const char* folder : {"r", "s"})
        ASSERT_EQ(run(arguments({"render", "--recipe", "a.png", "--recolourings", "3", "--scale", "2", "--out-dir",
                                 folder, "--quiet"}) + kTime).status, 0);
    const auto coloured = recipesIn(text("r"));
    ASSERT_EQ(coloured.size(), 3u);
    EXPECT_EQ(coloured, recipesIn(text("s")));
    for (const Recipe& recipe : coloured) {
        EXPECT_EQ(recipe.picture, picture.picture);
        EXPECT_EQ(recipe.carried, picture.carried);
        EXPECT_NE(recipe.palette, picture.palette);
    }
    EXPECT_EQ(QImage(path(text("r/") + filesIn(path(text("r"))).front())).size(), QSize(1200, 900));
}

// Every picture or none: a name already taken stops the run, which takes back what it wrote.
TEST_F(ExploreCommand, WritesAllOrNothing)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath(text("v")));
    QFile taken(path(text("v/T20260506070809-3.png")));
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.write("mine");
    taken.close();
    const Outcome outcome =
        run(arguments({"render", "--seed", "2", "--variations", "5", "--out-dir", "v", "--quiet"}) + kTime);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_TRUE(outcome.errors.contains(text("T20260506070809-3.png"))) << outcome.errors.toStdString();
    EXPECT_EQ(filesIn(path(text("v"))), QStringList{text("T20260506070809-3.png")});
    ASSERT_TRUE(taken.open(QIODevice::ReadOnly));
    EXPECT_EQ(taken.readAll(), "mine");
}

// Refused with exit status 2, one line, and nothing written.
TEST_F(ExploreCommand, RefusesWhatDoesNotFit)
{
    const std::vector<std::vector<std::string>> bad{
        {"--variations", "3", "--strength", "1.01", "--out-dir", "d"},
        {"--variations", "3", "--strength", "-0", "--out-dir", "d"},
        {"--variations", "3", "--strength", "1e-1", "--out-dir", "d"},
        {"--variations", "0", "--out-dir", "d"},
        {"--variations", "3", "--count", "3", "--out-dir", "d"},
        {"--recolourings", "3", "--count", "3", "--out-dir", "d"},
        {"--recolourings", "3", "--strength", "0.5", "--out-dir", "d"},
        {"--strength", "0.5", "--count", "3", "--out-dir", "d"},
        {"--variations", "3", "--recolourings", "3", "--out-dir", "d"},
        {"--variations", "3", "--out", "d.png"},
        {"--variations", "3"},
    };
    for (std::vector<std::string> arguments : bad) {
        arguments.insert(arguments.begin(), {"render", "--seed", "1"});
        const Command command = parseCommandLine(arguments);
        ASSERT_TRUE(std::holds_alternative<UsageError>(command)) << arguments[3] << " " << arguments[4];
        EXPECT_EQ(std::get<UsageError>(command).message.find('\n'), std::string::npos);
    }
    const auto accepted = parseCommandLine({"render", "--seed", "1", "--variations", "3", "--strength", ".25",
                                            "--out-dir", "d"});
    ASSERT_TRUE(std::holds_alternative<RenderOptions>(accepted));
    EXPECT_EQ(std::get<RenderOptions>(accepted).strength, 0.25);

    const Outcome outcome =
        run(arguments({"render", "--seed", "1", "--variations", "2", "--strength", "2", "--out-dir", "d"}));
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.errors.count(QLatin1Char('\n')), 1);
    EXPECT_TRUE(filesIn(dir.path()).isEmpty());
}

} // namespace
} // namespace genart

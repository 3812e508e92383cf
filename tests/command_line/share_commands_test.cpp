#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "command_line/command_line.h"
#include "files/recipe_file.h"
#include "session/picture_history.h"
#include "share_codes/share_code.h"
#include "support/run_genart.h"

namespace genart {
namespace {

using testing::filesIn;
using testing::Outcome;

class ShareCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_EQ(run({"render", "--seed", "42", "--actions", "both,image", "--out", "a.png"}).status, 0);
    }
    Outcome run(const QStringList& arguments) const { return testing::runGenart(arguments, dir.path()); }
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    QByteArray bytes(const char* name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // What `genart code` prints for `source`.
    QString codeOf(const QString& source) const
    {
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(QString::fromUtf8(GENART_BINARY), {QStringLiteral("code"), source});
        process.waitForFinished(-1);
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    QTemporaryDir dir;
};

TEST_F(ShareCommands, ACodeRedrawsThePictureExactlyWhereverARecipeDoes)
{
    const QString printed = codeOf(QStringLiteral("a.png"));
    ASSERT_TRUE(printed.endsWith(QLatin1Char('\n')));
    const QString code = printed.trimmed();
    EXPECT_TRUE(code.startsWith(QStringLiteral("genart:")));
    EXPECT_LE(code.size(), 200);

    // The same code from every kind of file the picture's recipe is in, and from the code itself.
    ASSERT_EQ(run({"render", "--recipe", "a.png", "--out", "a.webp", "--palette-out", "a.jpg"}).status, 0);
    const auto recipe = readRecipeFile(path("a.png").toStdString());
    ASSERT_TRUE(std::holds_alternative<Recipe>(recipe));
    QFile text(path("a.genart"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write(QByteArray::fromStdString(recipeText(std::get<Recipe>(recipe))));
    text.close();
    for (const QString& source : {QStringLiteral("a.webp"), QStringLiteral("a.jpg"), QStringLiteral("a.genart"), code})
        EXPECT_EQ(codeOf(source), printed) << source.toStdString();

    for (const QStringList& size : {QStringList{}, QStringList{"--size", "333x777"}}) {
        ASSERT_EQ(run(QStringList{"render", "--code", code, "--out", "c.png", "--force"} + size).status, 0);
        ASSERT_EQ(run(QStringList{"render", "--recipe", "a.png", "--out", "r.png", "--force"} + size).status, 0);
        EXPECT_EQ(bytes("c.png"), bytes("r.png")) << size.join(QLatin1Char(' ')).toStdString();
    }
    ASSERT_EQ(run({"render", "--code=" + code, "--animate", "--frames", "2", "--out", "loop.webp"}).status, 0);
}

TEST_F(ShareCommands, ADamagedOrForeignCodeIsRefusedInOneLineAndNothingIsWritten)
{
    const QString code = codeOf(QStringLiteral("a.png")).trimmed();
    QString changed = code;
    changed[40] = changed[40] == QLatin1Char('x') ? QLatin1Char('y') : QLatin1Char('x');
    const QStringList before = filesIn(dir.path());
    for (const QString& bad : {changed, code.left(code.size() - 3), QStringLiteral("GENART:") + code.mid(7),
                               QStringLiteral("genart:"), code + QLatin1Char('=')}) {
        for (const QStringList& arguments : {QStringList{"render", "--code", bad, "--out", "x.png"},
                                             QStringList{"code", bad}, QStringList{bad}}) {
            const Outcome outcome = run(arguments);
            EXPECT_EQ(outcome.status, 2) << arguments.join(QLatin1Char(' ')).toStdString();
            EXPECT_EQ(outcome.errors.count(QLatin1Char('\n')), 1) << outcome.errors.toStdString();
            EXPECT_TRUE(outcome.errors.startsWith(QStringLiteral("genart: "))) << outcome.errors.toStdString();
        }
    }
    EXPECT_EQ(run({"render", "--code", code, "--recipe", "a.png", "--out", "x.png"}).status, 2);
    EXPECT_EQ(run({"render", "--code", code, "--seed", "1", "--out", "x.png"}).status, 2);
    EXPECT_EQ(filesIn(dir.path()), before);
}

TEST_F(ShareCommands, ThumbnailsArePngsOfTheSizeAsked)
{
    QFile named(path("a.genart"));
    ASSERT_TRUE(named.open(QIODevice::WriteOnly));
    named.write(QByteArray::fromStdString(
        recipeText(std::get<Recipe>(readRecipeFile(path("a.png").toStdString())))));
    named.close();
    for (const auto& [size, expected] : {std::pair{128, QSize(128, 96)}, std::pair{1000, QSize(1000, 750)}}) {
        // A name without .png is what some file managers give; the file is a PNG all the same.
        const Outcome outcome = run({"thumbnail", "--size", QString::number(size), "a.genart", "thumb"});
        ASSERT_EQ(outcome.status, 0) << outcome.errors.toStdString();
        EXPECT_TRUE(bytes("thumb").startsWith("\x89PNG\r\n\x1a\n"));
        EXPECT_EQ(QImage(path("thumb"), "PNG").size(), expected);
    }
    // A thumbnail looks like the picture: the middle of both, much alike.
    const QImage thumb = QImage(path("thumb"), "PNG").scaled(600, 450).convertToFormat(QImage::Format_RGB32);
    const QImage picture = QImage(path("a.png")).convertToFormat(QImage::Format_RGB32);
    EXPECT_LT(std::abs(qGray(thumb.pixel(300, 225)) - qGray(picture.pixel(300, 225))), 40);

    EXPECT_EQ(run({"thumbnail", "--size", "128", "missing.genart", "t.png"}).status, 2);
    EXPECT_EQ(run({"thumbnail", "--size", "0", "a.genart", "t.png"}).status, 2);
    EXPECT_EQ(run({"thumbnail", "a.genart", "t.png"}).status, 2);
    EXPECT_FALSE(QFile::exists(path("t.png")));
}

TEST_F(ShareCommands, GenartFileOpensThePictureInTheWindow)
{
    // A file that holds no picture is told before any window opens, display or not.
    QProcessEnvironment noDisplay = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        noDisplay.remove(QString::fromLatin1(name));
    const Outcome missing = testing::runGenart({"--no-history", "missing.png"}, dir.path(), noDisplay);
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.errors, QStringLiteral("genart: missing.png: cannot read: No such file or directory\n"));

    // The window keeps what it shows in its history: the opened picture comes to be its newest.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), path("data"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path("config"));
    QProcess window;
    window.setWorkingDirectory(dir.path());
    window.setProcessEnvironment(environment);
    window.start(QString::fromUtf8(GENART_BINARY), {QStringLiteral("--seed"), QStringLiteral("1"), QStringLiteral("a.png")});
    const Recipe expected = std::get<Recipe>(readRecipeFile(path("a.png").toStdString()));
    std::vector<HistoryEntry> kept;
    for (QDeadlineTimer deadline(60000); kept.size() < 2 && !deadline.hasExpired(); QThread::msleep(50)) {
        QFile history(path("data/Orvanik/genart/history.txt"));
        if (history.open(QIODevice::ReadOnly))
            if (const auto read = parseHistory(history.readAll().toStdString()); std::holds_alternative<std::vector<HistoryEntry>>(read))
                kept = std::get<std::vector<HistoryEntry>>(read);
    }
    window.terminate();
    window.waitForFinished(-1);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[1].picture, expected);
    EXPECT_EQ(kept[1].strip, expected.palette);
}

TEST(ShareCommandLine, AFileToOpenMayStandAmongTheWindowsOptions)
{
    const Command command = parseCommandLine({"--seed", "3", "shared.png", "--no-history"});
    const auto* window = std::get_if<WindowOptions>(&command);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->open, "shared.png");
    EXPECT_EQ(window->seed, 3u);
    EXPECT_FALSE(window->history);
    EXPECT_TRUE(std::holds_alternative<UsageError>(parseCommandLine({"a.png", "b.png"})));
    EXPECT_TRUE(std::holds_alternative<UsageError>(parseCommandLine({"--seed", "1", "render"})));
    EXPECT_TRUE(std::holds_alternative<CodeRequest>(parseCommandLine({"code", "a.png"})));
    EXPECT_TRUE(std::holds_alternative<UsageError>(parseCommandLine({"code", "a.png", "b.png"})));
    const Command thumbnail = parseCommandLine({"thumbnail", "--size=256", "in.genart", "out.png"});
    ASSERT_TRUE(std::holds_alternative<ThumbnailRequest>(thumbnail));
    EXPECT_EQ(std::get<ThumbnailRequest>(thumbnail).size, 256);
    EXPECT_EQ(std::get<ThumbnailRequest>(thumbnail).output, "out.png");
}

} // namespace
} // namespace genart

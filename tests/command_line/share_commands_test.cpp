#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "command_line/command_line.h"
#include "files/recipe_file.h"
#include "library/library.h"
#include "session/picture_history.h"
#include "support/run_genart.h"

namespace genart {
namespace {

// The program's arguments, as typed.
QStringList line(std::initializer_list<const char*> arguments)
{
    QStringList typed;
    for (const char* argument : arguments)
        typed << QString::fromUtf8(argument);
    return typed;
}

class ShareCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_EQ(run(line({"render", "--seed", "42", "--actions", "both", "--out", "a.png", "--palette-out", "a.jpg"})).status, 0);
        QFile text(path("a.genart"));
        ASSERT_TRUE(text.open(QIODevice::WriteOnly));
        text.write(QByteArray::fromStdString(recipeText(std::get<Recipe>(readRecipeFile(path("a.png").toStdString())))));
    }
    testing::Outcome run(const QStringList& arguments) const { return testing::runGenart(arguments, dir.path()); }
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    QByteArray bytes(const char* name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
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

TEST_F(ShareCommands, ACodeFromAnyFileRedrawsThePictureExactlyWhereverARecipeDoes)
{
    const QString printed = codeOf(QStringLiteral("a.png"));
    const QString code = printed.trimmed();
    EXPECT_EQ(printed, code + QLatin1Char('\n'));
    EXPECT_LE(code.size(), 200);
    for (const QString& source : {QStringLiteral("a.jpg"), QStringLiteral("a.genart"), code})
        EXPECT_EQ(codeOf(source), printed) << source.toStdString();
    for (const QStringList& size : {QStringList(), line({"--size", "333x777"})}) {
        ASSERT_EQ(run(line({"render", "--code"}) << code << line({"--out", "c.png", "--force"}) + size).status, 0);
        ASSERT_EQ(run(line({"render", "--recipe", "a.png", "--out", "r.png", "--force"}) + size).status, 0);
        EXPECT_EQ(bytes("c.png"), bytes("r.png")) << size.join(QLatin1Char(' ')).toStdString();
    }
    EXPECT_EQ(run(QStringList(QStringLiteral("render")) << QStringLiteral("--code=") + code
                  << line({"--animate", "--frames", "2", "--out", "loop.webp"})).status, 0);

    // Damaged, cut or foreign: one line, exit status 2, nothing written.
    QString changed = code;
    changed[40] = changed[40] == QLatin1Char('x') ? QLatin1Char('y') : QLatin1Char('x');
    const QStringList before = testing::filesIn(dir.path());
    for (const QString& bad : {changed, code.left(code.size() - 3), QString(QStringLiteral("GENART:") + code.mid(7))}) {
        for (const QStringList& arguments : {line({"render", "--code"}) << bad << line({"--out", "x.png"}),
                                             line({"code"}) << bad, QStringList(bad)}) {
            const testing::Outcome outcome = run(arguments);
            EXPECT_EQ(outcome.status, 2) << arguments.join(QLatin1Char(' ')).toStdString();
            EXPECT_EQ(outcome.errors.count(QLatin1Char('\n')), 1) << outcome.errors.toStdString();
        }
    }
    EXPECT_EQ(run(line({"render", "--code"}) << code << line({"--recipe", "a.png", "--out", "x.png"})).status, 2);
    EXPECT_EQ(testing::filesIn(dir.path()), before);
}

TEST_F(ShareCommands, ThumbnailsArePngsOfTheSizeAsked)
{
    for (const auto& [size, expected] : {std::pair{128, QSize(128, 96)}, std::pair{1000, QSize(1000, 750)}}) {
        // Some file managers give a name without .png; the file is a PNG all the same.
        const testing::Outcome outcome = run(line({"thumbnail", "--size"}) << QString::number(size) << line({"a.genart", "thumb"}));
        ASSERT_EQ(outcome.status, 0) << outcome.errors.toStdString();
        EXPECT_EQ(QImage(path("thumb"), "PNG").size(), expected);
    }
    // The picture itself, smaller: its middle much alike.
    const QImage thumb = QImage(path("thumb"), "PNG").scaled(600, 450);
    EXPECT_LT(std::abs(qGray(thumb.pixel(300, 225)) - qGray(QImage(path("a.png")).pixel(300, 225))), 40);
    EXPECT_EQ(run(line({"thumbnail", "--size", "128", "missing.genart", "t.png"})).status, 2);
    EXPECT_EQ(run(line({"thumbnail", "--size", "0", "a.genart", "t.png"})).status, 2);
    EXPECT_FALSE(QFile::exists(path("t.png")));
}

TEST_F(ShareCommands, GenartFileOpensThePictureInTheWindow)
{
    // A file that holds no picture is told before any window opens, display or not.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    const testing::Outcome missing = testing::runGenart(line({"--no-history", "missing.png"}), dir.path(), environment);
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.errors, QStringLiteral("genart: missing.png: cannot read: No such file or directory\n"));

    // The window keeps what it shows in the library: the opened picture becomes the newest entry.
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), path("data"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path("config"));
    QProcess window;
    window.setWorkingDirectory(dir.path());
    window.setProcessEnvironment(environment);
    window.start(QString::fromUtf8(GENART_BINARY), line({"--seed", "1", "a.png"}));
    std::vector<LibraryEntry> kept;
    LibraryOptions reading;
    reading.create = false;
    reading.setAsideDamage = false;
    reading.fallBackToMemory = false;
    for (QDeadlineTimer deadline(60000); kept.size() < 2 && !deadline.hasExpired(); QThread::msleep(50)) {
        auto library = Library::open(path("data/Orvanik/genart/library.sqlite").toStdString(), reading);
        if (auto* opened = std::get_if<std::unique_ptr<Library>>(&library)) {
            kept.clear();
            (*opened)->forEach({}, [&](const LibraryEntry& entry) { kept.push_back(entry); });
        }
    }
    window.terminate();
    window.waitForFinished(-1);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[1].shown.picture, std::get<Recipe>(readRecipeFile(path("a.png").toStdString())));
    EXPECT_EQ(kept[1].origin, "opened");

    // FILE stands among the window's options; one at a time, and never a command's name.
    const Command command = parseCommandLine({"--seed", "3", "shared.png", "--no-history"});
    ASSERT_TRUE(std::holds_alternative<WindowOptions>(command));
    EXPECT_EQ(std::get<WindowOptions>(command).open, "shared.png");
    EXPECT_EQ(std::get<WindowOptions>(command).seed, 3u);
    EXPECT_TRUE(std::holds_alternative<UsageError>(parseCommandLine({"a.png", "b.png"})));
    EXPECT_TRUE(std::holds_alternative<UsageError>(parseCommandLine({"--seed", "1", "render"})));
}

} // namespace
} // namespace genart

// genart render as the world treats it, through the built program: recipes written under one
// locale and read under another, a recipe file cut short while it is read, Ctrl+C, SIGTERM and
// SIGHUP in the middle of batches and loops, and outputs closed before genart writes to them.
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "files/hostile_pngs.h"
#include "files/image_encoding.h"
#include "files/webp_recipe.h"
#include "support/file_contents.h"
#include "support/run_genart.h"
#include "support/test_locales.h"

extern char** environ;

namespace genart {
namespace {

using testing::contents;
using testing::filesIn;
using testing::loadRgb;
using testing::put;

const QStringList kTime{QStringLiteral("--time"), QStringLiteral("2026-05-06T07:08:09")};

class HostileConditions : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    testing::Outcome run(const QStringList& arguments, const QString& locale = QStringLiteral("C")) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LC_ALL"), locale);
        return testing::runGenart(arguments, dir.path(), environment);
    }

    // Starts genart, waits until `begun` says its work is under way, sends `signal` and waits.
    testing::Outcome stopped(const QStringList& arguments, int signal, const std::function<bool()>& begun) const
    {
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(QString::fromUtf8(GENART_BINARY), arguments);
        EXPECT_TRUE(process.waitForStarted());
        const QDeadlineTimer deadline(120000);
        while (!begun() && process.state() == QProcess::Running && !deadline.hasExpired())
            QThread::msleep(20);
        EXPECT_EQ(process.state(), QProcess::Running) << "it finished before the signal could stop it";
        ::kill(static_cast<pid_t>(process.processId()), signal);
        EXPECT_TRUE(process.waitForFinished(120000));
        const bool normal = process.exitStatus() == QProcess::NormalExit;
        return {normal ? process.exitCode() : -1, QString::fromUtf8(process.readAllStandardError())};
    }

    QTemporaryDir dir;
};

TEST_F(HostileConditions, RecipesWrittenUnderOneLocaleRedrawUnderAnother)
{
    if (!testing::ensureCommaLocales())
        GTEST_SKIP() << "de_DE.UTF-8 and tr_TR.UTF-8 cannot be made here (no locale sources or localedef)";
    // Each picture is written under one locale and drawn again from its recipe under the other,
    // with the pixels of the picture as drawn under C.
    ASSERT_EQ(run(QStringList{"render", "--seed", "5", "--out", "reference.png", "--quiet"} + kTime).status, 0);
    const QImage reference = loadRgb(path("reference.png"));
    const std::pair<QString, QString> ways[] = {{"de_DE.UTF-8", "C"}, {"C", "tr_TR.UTF-8"}, {"tr_TR.UTF-8", "de_DE.UTF-8"}};
    for (const auto& [writer, reader] : ways) {
        for (const QString& extension : {QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("webp")}) {
            const QString written = writer.left(2) + QStringLiteral("-written.") + extension;
            const QString again = writer.left(2) + reader.left(2) + QStringLiteral("-again.png");
            ASSERT_EQ(run(QStringList{"render", "--seed", "5", "--out", written, "--quiet"} + kTime, writer).status, 0);
            const testing::Outcome redrawn = run({"render", "--recipe", written, "--out", again, "--quiet"}, reader);
            ASSERT_EQ(redrawn.status, 0) << writer.toStdString() << " to " << reader.toStdString() << ": "
                                         << redrawn.errors.toStdString();
            EXPECT_EQ(loadRgb(path(again)), reference) << writer.toStdString() << " " << extension.toStdString();
            QFile::remove(path(again));
        }
    }
}

TEST_F(HostileConditions, ARecipeFileCutShortWhileItIsReadIsToldInOneLine)
{
    // A WebP whose recipe follows more than a hundred thousand empty chunks, so that the walk to
    // it takes a while; meanwhile the file is cut to half and written whole again, over and over.
    const Recipe recipe = testing::png::someRecipe(8);
    const QByteArray still = withWebpRecipe(encodeImage(QImage(8, 6, QImage::Format_RGB32), FileFormat::WebP, {}),
                                            recipeText(recipe));
    const qsizetype xmp = still.indexOf("XMP ");
    QByteArray junk;
    for (int n = 0; n < 120000; ++n)
        junk += QByteArray("JUNK\0\0\0\0", 8);
    QByteArray webp = still.left(xmp) + junk + still.mid(xmp);
    const auto riffSize = static_cast<quint32>(webp.size() - 8);
    webp.replace(4, 4, QByteArray(reinterpret_cast<const char*>(&riffSize), 4));
    put(path("moving.webp"), webp);
    ASSERT_EQ(run({"render", "--recipe", "moving.webp", "--out", "whole.png", "--quiet"}).status, 0);

    std::atomic<bool> done{false};
    std::thread cutter([&] {
        const int fd = ::open(path("moving.webp").toLocal8Bit().constData(), O_WRONLY);
        // Failures here only make the file hold still; the runs are checked either way.
        while (!done && ::ftruncate(fd, webp.size() / 2) == 0
               && ::pwrite(fd, webp.constData(), static_cast<size_t>(webp.size()), 0) == webp.size()) {
        }
        ::close(fd);
    });
    for (int n = 0; n < 8; ++n) {
        const testing::Outcome read = run({"render", "--recipe", "moving.webp", "--out", QStringLiteral("m%1.png").arg(n), "--quiet"});
        if (read.status == 0)
            continue; // it read the file whole
        EXPECT_EQ(read.status, 2) << "run " << n << " ended by a signal or an error: " << read.errors.toStdString();
        EXPECT_EQ(read.errors.count('\n'), 1) << read.errors.toStdString();
        EXPECT_TRUE(read.errors.contains(QLatin1String("moving.webp: "))) << read.errors.toStdString();
    }
    done = true;
    cutter.join();
}

TEST_F(HostileConditions, ASignalStopsABatchAndTakesBackEverythingItDid)
{
    // Ctrl+C in a batch into folders it made: they go with its pictures.
    const QString made = path("new/deeper");
    const testing::Outcome interrupted = stopped(
        QStringList{"render", "--seed", "1", "--count", "2000", "--out-dir", made, "--quiet"} + kTime, SIGINT,
        [&] { return filesIn(made).size() >= 3; });
    EXPECT_EQ(interrupted.status, 130);
    EXPECT_EQ(interrupted.errors.toStdString(), "genart: render: stopped by SIGINT; what this run wrote was taken back\n");
    EXPECT_FALSE(QFileInfo::exists(path("new")));

    // SIGTERM in a --force batch over an earlier one: every picture it replaced is put back, and
    // no hidden backup stays.
    const QString folder = path("kept");
    ASSERT_EQ(run(QStringList{"render", "--seed", "2", "--count", "100", "--out-dir", folder, "--quiet"} + kTime).status, 0);
    const QStringList earlier = filesIn(folder);
    std::vector<QByteArray> before;
    for (const QString& name : earlier)
        before.push_back(contents(QDir(folder).filePath(name)));
    const testing::Outcome terminated = stopped(
        QStringList{"render", "--seed", "3", "--count", "100", "--out-dir", folder, "--force", "--quiet"} + kTime,
        SIGTERM, [&] { return filesIn(folder).size() > static_cast<qsizetype>(earlier.size()) + 2; });
    EXPECT_EQ(terminated.status, 143) << terminated.errors.toStdString();
    EXPECT_EQ(terminated.errors.count('\n'), 1) << terminated.errors.toStdString();
    ASSERT_EQ(filesIn(folder), earlier);
    for (std::size_t n = 0; n < before.size(); ++n)
        EXPECT_EQ(contents(QDir(folder).filePath(earlier[static_cast<qsizetype>(n)])), before[n]) << n;
}

TEST_F(HostileConditions, ASignalStopsALoopAndTheFileItWouldReplaceStays)
{
    put(path("loop.webp"), "an earlier loop");
    const QElapsedTimer started = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    // Nothing of a loop shows before it is placed: the signal comes once it has had a moment.
    const testing::Outcome hungUp = stopped(
        {"render", "--seed", "4", "--animate", "--frames", "3000", "--out", "loop.webp", "--force", "--quiet"}, SIGHUP,
        [&] { return started.elapsed() > 1500; });
    EXPECT_EQ(hungUp.status, 129) << hungUp.errors.toStdString();
    EXPECT_EQ(hungUp.errors.toStdString(), "genart: render: stopped by SIGHUP; what this run wrote was taken back\n");
    EXPECT_EQ(filesIn(dir.path()), QStringList{"loop.webp"});
    EXPECT_EQ(contents(path("loop.webp")), "an earlier loop");
}

// Runs genart with its standard output or error on a pipe nobody reads any more; the status,
// what the other stream got.
testing::Outcome runIntoClosedPipe(const std::vector<std::string>& arguments, int closedStream, const QString& folder)
{
    int ends[2];
    if (::pipe(ends) != 0)
        return {};
    ::close(ends[0]); // the reader is gone before genart writes a word
    const std::string other = QString(folder + QStringLiteral("/.other")).toStdString();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], closedStream);
    posix_spawn_file_actions_addopen(&actions, closedStream == STDOUT_FILENO ? STDERR_FILENO : STDOUT_FILENO,
                                     other.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addchdir_np(&actions, folder.toLocal8Bit().constData());
    std::vector<std::string> all{GENART_BINARY};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : all)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    int status = 0;
    const bool spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    ::close(ends[1]);
    posix_spawn_file_actions_destroy(&actions);
    if (!spawned || ::waitpid(child, &status, 0) != child)
        return {};
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
            QString::fromUtf8(contents(QString::fromStdString(other)))};
}

TEST_F(HostileConditions, AClosedOutputIsToldNotASilentDeath)
{
    // A batch whose summary cannot be told has still written every picture.
    const testing::Outcome batch = runIntoClosedPipe({"render", "--seed", "1", "--count", "3", "--out-dir", "d"},
                                                     STDERR_FILENO, dir.path());
    EXPECT_EQ(batch.status, 0);
    EXPECT_EQ(batch.errors.toStdString(), "genart: cannot write to standard error: Broken pipe\n");
    EXPECT_EQ(filesIn(path("d")).size(), 3);
    // The version was the work asked for: it failed, and says so.
    const testing::Outcome version = runIntoClosedPipe({"--version"}, STDOUT_FILENO, dir.path());
    EXPECT_EQ(version.status, 1);
    EXPECT_EQ(version.errors.toStdString(), "genart: cannot write to standard output: Broken pipe\n");
}

} // namespace
} // namespace genart

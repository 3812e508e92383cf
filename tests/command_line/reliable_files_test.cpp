// genart render when things go wrong, as a user meets it: batches racing into one folder, a
// --force batch failing part-way, one file by two names, links, hostile recipes, a full disk,
// and the memory of a long batch.
#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's own count; GCC ships no header declaring it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>

#include "command_line/batch_render.h"
#include "command_line/command_line.h"
#include "files/hostile_pngs.h"
#include "support/file_contents.h"
#include "support/run_genart.h"

extern char** environ;

namespace genart {
namespace {

using testing::contents;
using testing::put;

using testing::filesIn;
using testing::Outcome;

const QStringList kTime{QStringLiteral("--time"), QStringLiteral("2026-05-06T07:08:09")};
const QString kName = QStringLiteral("T20260506070809");

// A run of the program with what it cost: peak resident memory and wall time.
struct Measured {
    int status = -1;
    std::string errors;
    long peakKilobytes = 0;
    double seconds = 0;
};

Measured runMeasured(const std::vector<std::string>& arguments, const QString& folder)
{
    const std::string errorsPath = folder.toStdString() + "/.stderr";
    std::vector<std::string> all{GENART_BINARY};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : all)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorsPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const std::string oldFolder = QDir::currentPath().toStdString();
    Measured measured;
    QDir::setCurrent(folder);
    const auto started = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage {};
        wait4(child, &status, 0, &usage);
        measured.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        measured.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        measured.peakKilobytes = usage.ru_maxrss;
    }
    QDir::setCurrent(QString::fromStdString(oldFolder));
    posix_spawn_file_actions_destroy(&actions);
    measured.errors = contents(QString::fromStdString(errorsPath)).toStdString();
    QFile::remove(QString::fromStdString(errorsPath));
    return measured;
}

class ReliableFiles : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    Outcome run(const QStringList& arguments) const { return testing::runGenart(arguments, dir.path()); }

    QTemporaryDir dir;
};

TEST_F(ReliableFiles, RacingBatchesEachWriteTheirOwnWholePicturesOrNothing)
{
    const QStringList seeds{"1", "2"};
    QTemporaryDir alone[2]; // what each batch writes with the folder to itself
    for (int s = 0; s < 2; ++s)
        ASSERT_EQ(testing::runGenart(QStringList{"render", "--seed", seeds[s], "--count", "3", "--out-dir",
                                                 alone[s].path(), "--palettes", "--quiet"} + kTime, dir.path())
                      .status,
                  0);
    for (int round = 0; round < 12; ++round) {
        QTemporaryDir folder;
        QProcess batches[2];
        for (int s = 0; s < 2; ++s)
            batches[s].start(QString::fromUtf8(GENART_BINARY),
                             QStringList{"render", "--seed", seeds[s], "--count", "3", "--out-dir", folder.path(),
                                         "--palettes", "--quiet"} + kTime);
        int succeeded = 0, winner = -1;
        for (int s = 0; s < 2; ++s) {
            ASSERT_TRUE(batches[s].waitForFinished(60000));
            const int status = batches[s].exitCode();
            const QString errors = QString::fromUtf8(batches[s].readAllStandardError());
            if (status == 0) {
                ++succeeded;
                winner = s;
            } else {
                EXPECT_EQ(status, 1) << errors.toStdString();
                EXPECT_TRUE(errors.contains("file exists")) << errors.toStdString();
                EXPECT_EQ(errors.count('\n'), 1) << errors.toStdString();
            }
        }
        // Both want T…09.png first: one wins it and writes all of its pictures, the other stops
        // there and leaves nothing, and nobody's file is replaced or removed.
        ASSERT_EQ(succeeded, 1) << "round " << round;
        const QStringList written = filesIn(folder.path());
        EXPECT_EQ(written, filesIn(alone[winner].path())) << "round " << round;
        for (const QString& file : written)
            EXPECT_EQ(contents(folder.filePath(file)), contents(alone[winner].filePath(file)))
                << "round " << round << ": " << file.toStdString();
    }
}

TEST_F(ReliableFiles, AForcedBatchThatFailsPutsBackWhatItReplaced)
{
    put(path(kName + ".png"), "old picture 1");
    put(path(kName + "-2.png"), "old picture 2");
    ASSERT_TRUE(QDir(dir.path()).mkdir(kName + "-3.png")); // the third picture cannot be written
    const Outcome outcome = run(QStringList{"render", "--seed", "3", "--count", "4", "--out-dir", ".", "--force"} + kTime);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_TRUE(outcome.errors.contains(kName + "-3.png: not a regular file")) << outcome.errors.toStdString();
    EXPECT_EQ(outcome.errors.count('\n'), 1) << outcome.errors.toStdString();
    EXPECT_EQ(contents(path(kName + ".png")), "old picture 1");
    EXPECT_EQ(contents(path(kName + "-2.png")), "old picture 2");
    EXPECT_EQ(filesIn(dir.path()), (QStringList{kName + "-2.png", kName + "-3.png", kName + ".png"}));
}

TEST_F(ReliableFiles, OneFileByTwoNamesIsRefused)
{
    put(path("a.png"), "old");
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    ASSERT_EQ(symlink("a.png", path("sym.png").toLocal8Bit().constData()), 0);
    ASSERT_EQ(link(path("a.png").toLocal8Bit().constData(), path("hard.png").toLocal8Bit().constData()), 0);
    const QStringList before = filesIn(dir.path());
    for (const QString& other : {QStringLiteral("./a.png"), QStringLiteral("sub/../a.png"), path("a.png"),
                                 QStringLiteral("sym.png"), QStringLiteral("hard.png"), QStringLiteral("./new.png"),
                                 QStringLiteral("sub/../new.png")}) {
        const QString out = other.endsWith("new.png") ? QStringLiteral("new.png") : QStringLiteral("a.png");
        const Outcome outcome =
            run({"render", "--seed", "7", "--out", out, "--palette-out", other, "--force"});
        EXPECT_EQ(outcome.status, 2) << other.toStdString();
        EXPECT_TRUE(outcome.errors.contains("--out and --palette-out name the same file")) << outcome.errors.toStdString();
        EXPECT_EQ(outcome.errors.count('\n'), 1) << outcome.errors.toStdString();
        EXPECT_EQ(contents(path("a.png")), "old") << other.toStdString();
        EXPECT_EQ(filesIn(dir.path()), before) << other.toStdString();
    }
}

TEST_F(ReliableFiles, ForceOntoASymbolicLinkReplacesTheLinkNotItsTarget)
{
    put(path("target.txt"), "keep me");
    ASSERT_EQ(symlink("target.txt", path("link.png").toLocal8Bit().constData()), 0);
    const Outcome refused = run({"render", "--seed", "7", "--out", "link.png"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.errors.contains("link.png: file exists")) << refused.errors.toStdString();
    const Outcome forced = run({"render", "--seed", "7", "--out", "link.png", "--force"});
    EXPECT_EQ(forced.status, 0) << forced.errors.toStdString();
    EXPECT_EQ(contents(path("target.txt")), "keep me");
    EXPECT_FALSE(QFileInfo(path("link.png")).isSymLink());
    EXPECT_EQ(QImage(path("link.png")).size(), QSize(600, 450));
    EXPECT_EQ(filesIn(dir.path()), (QStringList{"link.png", "target.txt"}));
}

TEST_F(ReliableFiles, HostileRecipesAreAnsweredAtOnceInOneLineAndSmallMemory)
{
    ASSERT_EQ(mkfifo(path("fifo").toLocal8Bit().constData(), 0600), 0);
    std::vector<std::pair<std::string, std::string>> recipes{
        {"/dev/zero", "not a regular file"}, {"/dev/urandom", "not a regular file"}, {"fifo", "not a regular file"}};
    int n = 0;
    for (const auto& hostile : testing::png::hostilePngs()) {
        const QString name = QStringLiteral("hostile-%1.png").arg(++n);
        put(path(name), hostile.bytes);
        recipes.emplace_back(name.toStdString(), hostile.told);
    }
    put(path("escapes.recipe"), QByteArray::fromStdString(recipeText(testing::png::someRecipe(4)))
                                    + "\x1b[2J\x1b]0;owned\x07=1\n");
    recipes.emplace_back("escapes.recipe", "\\x1b[2J\\x1b]0;owned\\x07");
    const QStringList before = filesIn(dir.path());
    for (const auto& [recipe, told] : recipes) {
        const Measured measured = runMeasured({"render", "--recipe", recipe, "--out", "out.png"}, dir.path());
        EXPECT_EQ(measured.status, 2) << recipe;
        EXPECT_EQ(measured.errors.rfind("genart: render: " + recipe + ": ", 0), 0u) << recipe << ": " << measured.errors;
        EXPECT_NE(measured.errors.find(told), std::string::npos) << recipe << ": " << measured.errors;
        EXPECT_EQ(std::count(measured.errors.begin(), measured.errors.end(), '\n'), 1) << measured.errors;
        EXPECT_EQ(measured.errors.find('\x1b'), std::string::npos) << recipe;
        EXPECT_LT(measured.seconds, 1.0) << recipe;
        EXPECT_LT(measured.peakKilobytes, 150 * 1024) << recipe; // the program alone takes about 25 MB
        EXPECT_EQ(filesIn(dir.path()), before) << recipe;
    }
}

// A real full disk, where root may mount a small one.
TEST_F(ReliableFiles, AFullDiskFailsWithTheReasonAndLeavesEveryFileWhole)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("small"));
    const QByteArray small = path("small").toLocal8Bit();
    if (mount("tmpfs", small.constData(), "tmpfs", 0, "size=400k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here";
    struct Unmount {
        QByteArray at;
        ~Unmount() { umount(at.constData()); }
    } unmount{small};
    ASSERT_EQ(run({"render", "--seed", "7", "--out", "small/a.png"}).status, 0);
    const QByteArray good = contents(path("small/a.png"));
    struct statvfs disk {};
    ASSERT_EQ(statvfs(small.constData(), &disk), 0);
    const auto room = static_cast<qint64>(disk.f_bavail * disk.f_frsize);
    put(path("small/filler"), QByteArray(room - 40 * 1024, 'f')); // room for a third of a picture
    const Outcome replaced = run({"render", "--seed", "8", "--out", "small/a.png", "--force"});
    EXPECT_EQ(replaced.status, 1);
    EXPECT_TRUE(replaced.errors.contains("small/a.png: cannot write: No space left on device"))
        << replaced.errors.toStdString();
    EXPECT_EQ(replaced.errors.count('\n'), 1);
    EXPECT_EQ(contents(path("small/a.png")), good);
    EXPECT_EQ(filesIn(path("small")), (QStringList{"a.png", "filler"}));

    // A batch whose later pictures do not fit takes back the ones that did.
    ASSERT_TRUE(QFile::remove(path("small/filler")));
    const Outcome batch = run(QStringList{"render", "--seed", "9", "--count", "6", "--out-dir", "small", "--quiet"} + kTime);
    EXPECT_EQ(batch.status, 1);
    EXPECT_TRUE(batch.errors.contains("No space left on device (removed this run's pictures)"))
        << batch.errors.toStdString();
    EXPECT_EQ(filesIn(path("small")), QStringList{"a.png"});
}

std::size_t heapInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

// The same second every time, noting the heap in use as each picture draws its parameters.
class MeasuringClock final : public Clock {
public:
    MeasuringClock() { heap.reserve(1000); }
    std::string dateText() const override
    {
        heap.push_back(heapInUse());
        return clock_.dateText();
    }
    std::string timeText() const override { return clock_.timeText(); }
    mutable std::vector<std::size_t> heap;

private:
    FixedClock clock_{2026, 5, 6, 7, 8, 9};
};

TEST_F(ReliableFiles, ALongBatchKeepsNothingPerPicture)
{
    RenderOptions options;
    options.seed = 4;
    options.count = 160;
    options.outDir = dir.path().toStdString();
    options.palettes = true;
    options.quiet = true;
    const MeasuringClock clock;
    std::ostringstream errors;
    // Each picture written before the next begins: otherwise what is still being encoded and
    // written when a picture begins comes and goes with the timing.
    ASSERT_EQ(runBatch(options, clock, errors, BatchPace::OneAtATime), 0) << errors.str();
    ASSERT_EQ(clock.heap.size(), 160u);
    // After the first pictures have filled the caches, the heap stays where it is. A container
    // of the run's may double once meanwhile (2 kB was seen under load), but anything kept per
    // picture, as little as a path, comes to more than 8 kB over 119 pictures.
    const auto growth = static_cast<long>(clock.heap[159]) - static_cast<long>(clock.heap[40]);
    EXPECT_LT(growth, 8192) << "bytes more after 119 more pictures";
    EXPECT_EQ(filesIn(dir.path()).size(), 320);
}

TEST(BatchPictures, NamesOneSecondsPicturesInOneRunAndGoesOnAfterTheClockGoesBack)
{
    BatchPictures pictures;
    for (int n = 1; n <= 1000; ++n) {
        ASSERT_EQ(pictures.nextNumber("T20261025025959"), n);
        pictures.add("T20261025025959", n);
    }
    EXPECT_EQ(pictures.runs(), 1u);
    EXPECT_EQ(pictures.nextNumber("T20261025030000"), 1);
    pictures.add("T20261025030000", 1);
    EXPECT_EQ(pictures.nextNumber("T20261025025959"), 1001) << "an hour repeated: the names go on";
    std::vector<std::string> newestFirst;
    const int digits = BatchPictures::digitsFor(1001);
    pictures.forEachNewestFirst([&](const std::string& name, int number) {
        if (newestFirst.size() < 3)
            newestFirst.push_back(BatchPictures::fileName(name, number, digits, ""));
    });
    EXPECT_EQ(newestFirst,
              (std::vector<std::string>{"T20261025030000-0001", "T20261025025959-1000", "T20261025025959-0999"}));
}

TEST(BatchPictures, NamesSortInDrawingOrderAndALonePictureHasNoNumber)
{
    EXPECT_EQ(BatchPictures::fileName("T1", 1, BatchPictures::digitsFor(1), ".png"), "T1.png");
    EXPECT_EQ(BatchPictures::fileName("T1", 3, BatchPictures::digitsFor(12), "-palette.png"), "T1-03-palette.png");
    for (const int count : {2, 9, 10, 11, 100, 101, 100000}) {
        const int digits = BatchPictures::digitsFor(count);
        // Two seconds' worth: the second's pictures after the first's, each second's in order.
        std::vector<std::string> names;
        for (const char* second : {"T20261025025959", "T20261025030000"})
            for (int number = 1; number <= std::min(count, 150); ++number)
                names.push_back(BatchPictures::fileName(second, number, digits, ".png"));
        names.push_back(BatchPictures::fileName("T20261025030000", count, digits, ".png"));
        EXPECT_TRUE(std::is_sorted(names.begin(), names.end())) << count << " pictures";
    }
}

} // namespace
} // namespace genart

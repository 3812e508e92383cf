// Files that appear whole or not at all: every failing step of a write, files created by others
// meanwhile, --force onto links, backups and taking back, and a real full disk.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/faulty_calls.h"
#include "support/file_contents.h"

#include "files/output_files.h"

namespace genart {
namespace {

using testing::contents;
using testing::put;

using testing::everything;
using testing::FaultyCalls;

class OutputFilesTest : public ::testing::Test {
protected:
    std::string path(const char* name) const { return dir.filePath(QString::fromUtf8(name)).toStdString(); }
    QString qpath(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    // Stages and places `bytes` at `name`; "" or the failure.
    std::string write(const char* name, const QByteArray& bytes, bool replace, FileCalls& calls)
    {
        OutputFiles files(replace, "test", calls);
        std::string failure = files.stage(path(name), bytes.constData(), static_cast<std::size_t>(bytes.size()));
        if (failure.empty())
            failure = files.place();
        if (failure.empty())
            failure = files.finish();
        return failure;
    }

    QTemporaryDir dir;
    const QByteArray picture = QByteArray(5000, 'p');
};

enum class FileKind { Both, Named, Unnamed }; // where a step is taken: the temporary has a name or not

TEST_F(OutputFilesTest, EveryFailingStepLeavesNoPartFileAndTheOldFileWhole)
{
    const struct {
        const char* call;
        int error;
        int time;
        std::size_t room;
        bool replace;
        FileKind kind;
    } cases[] = {
        {"", 0, 1, 0, false, FileKind::Both},
        {"", 0, 1, 1, true, FileKind::Both},
        {"", 0, 1, 4096, false, FileKind::Both},
        {"", 0, 1, 4999, true, FileKind::Both},
        {"write", EIO, 2, SIZE_MAX, false, FileKind::Both},
        {"fsync", EIO, 1, SIZE_MAX, true, FileKind::Both},
        {"close", EDQUOT, 1, SIZE_MAX, false, FileKind::Both},
        {"close", ENOSPC, 1, SIZE_MAX, true, FileKind::Both},
        {"open", EACCES, 1, SIZE_MAX, false, FileKind::Both},
        {"fchmod", EPERM, 1, SIZE_MAX, true, FileKind::Both},
        {"renameat2", EXDEV, 1, SIZE_MAX, false, FileKind::Named},
        {"renameat2", EIO, 1, SIZE_MAX, true, FileKind::Both},
        {"link", EIO, 1, SIZE_MAX, true, FileKind::Both},
        {"linkOpenFile", EIO, 1, SIZE_MAX, false, FileKind::Unnamed},
        {"linkOpenFile", ENOSPC, 1, SIZE_MAX, true, FileKind::Unnamed},
        {"fsync", EIO, 2, SIZE_MAX, false, FileKind::Both}, // the folder's flush after the rename
    };
    for (const bool unnamed : {true, false}) {
        for (const auto& c : cases) {
            if (c.kind == (unnamed ? FileKind::Named : FileKind::Unnamed))
                continue;
            const std::string label = std::string(c.call) + " " + std::to_string(c.room) + (c.replace ? " --force" : "")
                                      + (unnamed ? " unnamed" : " named");
            put(qpath("old.png"), "old picture");
            FaultyCalls calls;
            calls.failing = c.call;
            calls.failingTime = c.time;
            calls.error = c.error;
            calls.room = c.room;
            calls.unnamed = unnamed;
            const char* target = c.replace ? "old.png" : "new.png";
            const std::string failure = write(target, picture, c.replace, calls);
            const int expected = c.room != SIZE_MAX ? ENOSPC : c.error;
            EXPECT_NE(failure.find(path(target)), std::string::npos) << label << ": " << failure;
            EXPECT_NE(failure.find(std::strerror(expected)), std::string::npos) << label << ": " << failure;
            EXPECT_EQ(failure.find('\n'), std::string::npos) << label;
            EXPECT_EQ(everything(dir.path()), QStringList{"old.png"}) << label;
            EXPECT_EQ(contents(qpath("old.png")), "old picture") << label;
        }
    }
}

TEST_F(OutputFilesTest, ASetIsPlacedWholeOrTakenBackWhole)
{
    put(qpath("a.png"), "old a");
    for (const bool unnamed : {true, false}) {
        for (const bool replace : {true, false}) {
            FaultyCalls calls; // the second file's placing fails after the first is in place
            calls.failing = unnamed ? "linkOpenFile" : "renameat2";
            calls.failingTime = unnamed && replace ? 3 : 2; // a's own attempt at its name finds it taken
            calls.unnamed = unnamed;
            OutputFiles files(replace, "test", calls);
            ASSERT_EQ(files.stage(path(replace ? "a.png" : "c.png"), picture.constData(), 10), "");
            ASSERT_EQ(files.stage(path("b.png"), picture.constData(), 20), "");
            EXPECT_NE(files.place(), "");
            EXPECT_EQ(everything(dir.path()), QStringList{"a.png"}) << replace << unnamed;
            EXPECT_EQ(contents(qpath("a.png")), "old a") << replace << unnamed;
        }
    }
}

TEST_F(OutputFilesTest, AFileCreatedMeanwhileIsNeverReplacedWithoutForce)
{
    // Unnamed files; named ones; named ones where the file system refuses RENAME_NOREPLACE.
    const std::pair<bool, const char*> kinds[] = {{true, ""}, {false, ""}, {false, "renameat2"}};
    for (const auto& [unnamed, refused] : kinds) {
        const auto calls = [&, unnamed = unnamed, refused = refused] {
            auto faulty = std::make_unique<FaultyCalls>();
            faulty->unnamed = unnamed;
            faulty->failing = refused;
            faulty->error = EINVAL;
            return faulty;
        };
        const std::string label = std::string(unnamed ? "unnamed " : "named ") + refused;
        const auto first = calls();
        OutputFiles files(false, "test", *first);
        ASSERT_EQ(files.stage(path("x.png"), picture.constData(), 100), "");
        put(qpath("x.png"), "theirs"); // another process, between the check and the placing
        const std::string failure = files.place();
        EXPECT_NE(failure.find("file exists; use --force"), std::string::npos) << label << ": " << failure;
        EXPECT_EQ(contents(qpath("x.png")), "theirs") << label;
        EXPECT_EQ(everything(dir.path()), QStringList{"x.png"}) << label;
        ASSERT_TRUE(QFile::remove(qpath("x.png")));

        EXPECT_EQ(write("y.png", picture, false, *calls()), "") << label;
        EXPECT_EQ(contents(qpath("y.png")), picture) << label;
        EXPECT_EQ(everything(dir.path()), QStringList{"y.png"}) << label;
        ASSERT_TRUE(QFile::remove(qpath("y.png")));
    }
}

TEST_F(OutputFilesTest, ForceReplacesALinkItselfAndKeepsTheOldFileUntilDone)
{
    put(qpath("target.png"), "keep me");
    ASSERT_EQ(symlink("target.png", path("link.png").c_str()), 0);
    EXPECT_EQ(write("link.png", picture, true, systemFileCalls()), "");
    struct stat status {};
    ASSERT_EQ(lstat(path("link.png").c_str(), &status), 0);
    EXPECT_TRUE(S_ISREG(status.st_mode));
    EXPECT_EQ(contents(qpath("link.png")), picture);
    EXPECT_EQ(contents(qpath("target.png")), "keep me");
    EXPECT_EQ(everything(dir.path()), (QStringList{"link.png", "target.png"}));

    // A batch keeps the replaced file as a hidden backup and can put it back, or drop it.
    ASSERT_EQ(chmod(path("target.png").c_str(), 0640), 0);
    for (const bool putBack : {true, false}) {
        OutputFiles files(true, "run", systemFileCalls());
        ASSERT_EQ(files.stage(path("target.png"), picture.constData(), 64), "");
        ASSERT_EQ(files.stage(path("created.png"), picture.constData(), 64), "");
        ASSERT_EQ(files.place(), "");
        files.release();
        EXPECT_EQ(contents(qpath("target.png")), picture.left(64));
        EXPECT_EQ(contents(QString::fromStdString(backupPath(path("target.png"), "run"))), "keep me");
        ASSERT_EQ(stat(path("target.png").c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0640u) << "the permissions of the file it replaced";
        for (const char* name : {"target.png", "created.png"})
            EXPECT_EQ(putBack ? takeBackFile(path(name), "run") : dropBackup(path(name), "run"), "") << name;
        EXPECT_EQ(contents(qpath("target.png")), putBack ? QByteArray("keep me") : picture.left(64));
        EXPECT_EQ(everything(dir.path()).size(), putBack ? 2 : 3) << everything(dir.path()).join(' ').toStdString();
        EXPECT_EQ(QFile::exists(qpath("created.png")), !putBack);
    }
}

TEST_F(OutputFilesTest, HiddenFilesOfDeadRunsAreTidiedBeforeTheFirstWrite)
{
    const pid_t child = fork(); // a run that is gone: its id names no process now
    if (child == 0)
        _exit(0);
    ASSERT_GT(child, 0);
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    const std::string gone = "." + std::to_string(child) + "-0000abcd";
    const std::string alive = "." + std::to_string(getppid()) + "-0000abcd";
    const auto hidden = [&](const std::string& name) { return QString::fromStdString(path(name.c_str())); };
    put(hidden(".half.png" + gone + ".new"), "half a picture");
    put(qpath("kept.png"), "its new picture");
    put(hidden(".kept.png" + gone + ".old"), "the picture it replaced");
    put(hidden(".lost.png" + gone + ".old"), "moved aside for the rename");
    put(hidden(".busy.png" + alive + ".new"), "another run's, still writing");
    put(hidden(".notes" + gone + ".txt"), "nobody's business");

    EXPECT_EQ(write("x.png", picture, false, systemFileCalls()), "");
    EXPECT_EQ(everything(dir.path()),
              (QStringList{QString::fromStdString(".busy.png" + alive + ".new"),
                           QString::fromStdString(".notes" + gone + ".txt"), "kept.png", "lost.png", "x.png"}));
    EXPECT_EQ(contents(qpath("kept.png")), "its new picture");
    EXPECT_EQ(contents(qpath("lost.png")), "moved aside for the rename");
}

TEST_F(OutputFilesTest, WhatIsNotARegularFileIsNeverReplaced)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.png"));
    ASSERT_EQ(mkfifo(path("fifo.png").c_str(), 0600), 0);
    for (const char* name : {"folder.png", "fifo.png"}) {
        const std::string failure = write(name, picture, true, systemFileCalls());
        EXPECT_NE(failure.find("not a regular file"), std::string::npos) << failure;
    }
    EXPECT_EQ(everything(dir.path()), (QStringList{"fifo.png", "folder.png"}));
}

TEST_F(OutputFilesTest, MessagesEchoPathsPrintably)
{
    const std::string failure = write("missing/\x1b[2Ja.png", picture, false, systemFileCalls());
    EXPECT_EQ(failure.find('\x1b'), std::string::npos) << failure;
    EXPECT_NE(failure.find("missing/\\x1b[2Ja.png: cannot write: No such file or directory"), std::string::npos)
        << failure;
}

// A real small disk, where root may mount one.
TEST_F(OutputFilesTest, AFullDiskIsToldAndTheReplacedFileStaysWhole)
{
    const QString mountPoint = qpath("small");
    ASSERT_TRUE(QDir(dir.path()).mkdir("small"));
    if (mount("tmpfs", mountPoint.toLocal8Bit().constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    struct Unmount {
        QByteArray at;
        ~Unmount() { umount(at.constData()); }
    } unmount{mountPoint.toLocal8Bit()};
    const std::string old = QString(mountPoint + QStringLiteral("/old.png")).toStdString();
    put(QString::fromStdString(old), QByteArray(20000, 'o'));
    OutputFiles files(true, "test");
    const QByteArray big(60000, 'n');
    const std::string failure = files.stage(old, big.constData(), static_cast<std::size_t>(big.size()));
    EXPECT_NE(failure.find(old + ": cannot write: No space left on device"), std::string::npos) << failure;
    EXPECT_EQ(everything(mountPoint), QStringList{"old.png"});
    EXPECT_EQ(contents(QString::fromStdString(old)), QByteArray(20000, 'o'));
}

} // namespace
} // namespace genart

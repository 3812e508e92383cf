// The library shared by processes: two writing at once, one killed while writing, and a data
// folder that fills up or turns read-only (a small tmpfs mounted in a child's own namespace).
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sched.h>
#include <sstream>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sqlite3.h>

#include <gtest/gtest.h>

#include "library/library.h"
#include "support/sample_entries.h"

namespace genart {
namespace {

namespace fs = std::filesystem;
using testing::drawnEntries;
using testing::namedEntries;
using testing::newEntry;

std::unique_ptr<Library> openOrDie(const std::string& path, const LibraryOptions& options = {})
{
    auto library = Library::open(path, options);
    if (!std::holds_alternative<std::unique_ptr<Library>>(library))
        _exit(3);
    return std::get<std::unique_ptr<Library>>(std::move(library));
}

struct Child {
    pid_t pid;
    int output; // what it writes, to read until it ends
};

// Runs `work` in a child process; what it writes to the file descriptor it is given comes back.
Child startChild(const std::function<void(int)>& work)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return {-1, -1};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeEnds[0]);
        work(pipeEnds[1]);
        _exit(0);
    }
    ::close(pipeEnds[1]);
    return {pid, pipeEnds[0]};
}

std::string readAll(int from)
{
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(from, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(got));
    ::close(from);
    return text;
}

int exitStatus(pid_t pid)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

void say(int to, const std::string& line)
{
    const std::string text = line + '\n';
    [[maybe_unused]] const ssize_t written = ::write(to, text.data(), text.size());
}

class SharedLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("genart-shared-" + std::to_string(::getpid()) + "-"
                                              + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        path = (folder / "library.sqlite").string();
    }
    void TearDown() override { fs::remove_all(folder); }

    fs::path folder;
    std::string path;
    const std::vector<HistoryEntry> drawn = drawnEntries(8);
};

TEST_F(SharedLibrary, TwoProcessesAddingAtOnceLoseNothing)
{
    constexpr int kEach = 150;
    std::vector<Child> children;
    for (int writer = 0; writer < 2; ++writer) {
        const auto entries = namedEntries(drawn, kEach, writer * 1000);
        children.push_back(startChild([&](int out) {
            auto library = openOrDie(path);
            for (const HistoryEntry& entry : entries) {
                const auto added = library->add(newEntry(entry));
                if (const auto* error = std::get_if<LibraryError>(&added))
                    say(out, error->message);
            }
            for (const std::string& notice : library->takeNotices())
                say(out, notice); // nothing was set aside, nothing kept in memory
        }));
    }
    for (const Child& child : children) {
        EXPECT_EQ(readAll(child.output), "") << "a write failed";
        EXPECT_EQ(exitStatus(child.pid), 0);
    }
    auto library = openOrDie(path);
    std::vector<std::string> names[2];
    library->forEach({}, [&](const LibraryEntry& entry) {
        const int n = std::stoi(entry.name().substr(5)) - 1000000000;
        names[n / 1000].push_back(entry.name());
    });
    for (int writer = 0; writer < 2; ++writer) {
        ASSERT_EQ(names[writer].size(), static_cast<std::size_t>(kEach));
        // Each writer's entries are in the order it added them.
        EXPECT_TRUE(std::is_sorted(names[writer].begin(), names[writer].end()));
    }
}

TEST_F(SharedLibrary, AKillWhileWritingLosesNothingCommittedAndLeavesASoundFile)
{
    const auto entries = namedEntries(drawn, 100000);
    const Child writer = startChild([&](int out) {
        auto library = openOrDie(path);
        for (const HistoryEntry& entry : entries) {
            const auto added = library->add(newEntry(entry));
            if (const auto* id = std::get_if<std::int64_t>(&added))
                say(out, std::to_string(*id)); // told once committed
        }
    });
    std::string told;
    char buffer[256];
    while (std::count(told.begin(), told.end(), '\n') < 60) {
        const ssize_t got = ::read(writer.output, buffer, sizeof buffer);
        ASSERT_GT(got, 0);
        told.append(buffer, static_cast<std::size_t>(got));
    }
    ::kill(writer.pid, SIGKILL);
    EXPECT_EQ(exitStatus(writer.pid), -SIGKILL);
    told += readAll(writer.output);
    told.erase(told.rfind('\n') + 1); // a line cut short by the kill was not told whole

    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    sqlite3_stmt* check = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr);
    ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
    sqlite3_finalize(check);
    sqlite3_close(db);

    auto library = openOrDie(path);
    std::istringstream ids(told);
    std::int64_t count = 0;
    for (std::int64_t id; ids >> id; ++count) {
        const auto entry = library->entry(id);
        ASSERT_TRUE(std::holds_alternative<LibraryEntry>(entry)) << "entry " << id << " was told and lost";
        EXPECT_EQ(std::get<LibraryEntry>(entry).shown, entries[static_cast<std::size_t>(id - 1)]);
    }
    EXPECT_GE(count, 60);
    EXPECT_GE(std::get<std::int64_t>(library->count()), count);
    EXPECT_TRUE(std::holds_alternative<std::int64_t>(library->add(newEntry(drawn[0]))));
}

// In a child: a private mount namespace (a user namespace of its own when not root) with a
// small tmpfs on `where`. False when the system allows neither.
bool mountSmallTmpfs(const std::string& where, const char* size)
{
    if (::unshare(CLONE_NEWNS) != 0) {
        const uid_t uid = ::getuid();
        const gid_t gid = ::getgid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return false;
        FILE* file = std::fopen("/proc/self/setgroups", "w");
        if (file) {
            std::fputs("deny", file);
            std::fclose(file);
        }
        for (const auto& [map, id] : {std::pair{"/proc/self/uid_map", uid}, std::pair{"/proc/self/gid_map", gid}}) {
            file = std::fopen(map, "w");
            if (!file)
                return false;
            std::fprintf(file, "0 %u 1", static_cast<unsigned>(id));
            std::fclose(file);
        }
    }
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
        && ::mount("tmpfs", where.c_str(), "tmpfs", 0, size) == 0;
}

TEST_F(SharedLibrary, AFullDiskIsToldInTheSystemsWordsAndNothingCommittedIsLost)
{
    const auto entries = namedEntries(drawn, 2000);
    const Child child = startChild([&](int out) {
        if (!mountSmallTmpfs(folder.string(), "size=512k")) {
            say(out, "skip");
            return;
        }
        auto library = openOrDie(path);
        std::size_t n = 0;
        std::string failure;
        for (; n < entries.size() && failure.empty(); ++n) {
            const auto added = library->add(newEntry(entries[n]));
            if (const auto* error = std::get_if<LibraryError>(&added))
                failure = error->message;
        }
        say(out, failure);
        say(out, "kept " + std::to_string(std::get<std::int64_t>(library->count())) + " of " + std::to_string(n));
        // Space again: the waiting entry goes in first, then the next.
        ::mount("tmpfs", folder.c_str(), "tmpfs", MS_REMOUNT, "size=4m");
        const bool added = std::holds_alternative<std::int64_t>(library->add(newEntry(entries[n])));
        say(out, "after " + std::to_string(added) + " " + std::to_string(std::get<std::int64_t>(library->count()))
                     + " " + std::get<LibraryEntry>(library->entry(static_cast<std::int64_t>(n))).name());
        library.reset();
        // Read-only: the window goes on in memory and says why.
        ::mount("tmpfs", folder.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr);
        auto readOnly = openOrDie(path);
        for (const std::string& notice : readOnly->takeNotices())
            say(out, notice);
        say(out, std::holds_alternative<std::int64_t>(readOnly->add(newEntry(entries[0]))) ? "kept in memory" : "lost");
    });
    const std::string told = readAll(child.output);
    ASSERT_EQ(exitStatus(child.pid), 0) << told;
    if (told == "skip\n")
        GTEST_SKIP() << "no mount namespace for a small tmpfs here";
    std::istringstream lines(told);
    std::string failure, kept, after, notice, memory;
    std::getline(lines, failure);
    std::getline(lines, kept);
    std::getline(lines, after);
    std::getline(lines, notice);
    std::getline(lines, memory);
    EXPECT_EQ(failure, "the picture cannot be kept in the library: No space left on device; kept in memory until it "
                       "can be written");
    int keptCount = 0, tried = 0;
    ASSERT_EQ(std::sscanf(kept.c_str(), "kept %d of %d", &keptCount, &tried), 2) << kept;
    EXPECT_EQ(keptCount, tried - 1); // every add but the one that met the full disk
    EXPECT_GT(keptCount, 10);
    EXPECT_EQ(after, "after 1 " + std::to_string(tried + 1) + " " + entries[static_cast<std::size_t>(tried - 1)].picture.imeslike);
    EXPECT_EQ(notice, "The library " + path + " cannot be opened (Read-only file system); this window's pictures are kept "
                      "only until it closes.");
    EXPECT_EQ(memory, "kept in memory");
}

} // namespace
} // namespace genart

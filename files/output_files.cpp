#include "files/output_files.h"

#include <algorithm>
#include <csignal>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "terminal_text/printable.h"

namespace genart {
namespace {

std::string reason(const std::string& path, const char* what, int error)
{
    return printable(path) + ": " + what + ": " + std::strerror(error);
}

std::string cannotWrite(const std::string& path, int error)
{
    return reason(path, "cannot write", error);
}

std::string exists(const std::string& path)
{
    return printable(path) + ": file exists; use --force to replace it";
}

std::string notRegular(const std::string& path)
{
    return printable(path) + ": not a regular file, refusing to replace it";
}

// The folder part with its slash ("" for a bare name) and the name.
std::pair<std::string, std::string> split(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {std::string(), path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

std::string folderOf(const std::string& path)
{
    const std::string folder = split(path).first;
    return folder.empty() ? std::string(".") : folder;
}

// The longest name a hidden name keeps whole.
constexpr std::size_t kLongestKeptName = 200;

std::string hiddenPath(const std::string& path, const std::string& token, const char* ending)
{
    auto [folder, name] = split(path);
    if (name.size() > kLongestKeptName) { // keep the hidden name inside NAME_MAX
        char hash[20];
        std::snprintf(hash, sizeof hash, "~%zx", std::hash<std::string>{}(name));
        name = name.substr(0, kLongestKeptName) + hash;
    }
    return folder + "." + name + "." + token + ending;
}

// The file system refuses the flag, not the rename.
bool flagRefused(int error)
{
    return error == EINVAL || error == ENOSYS || error == ENOTSUP;
}

// The file system keeps no hard links.
bool linksRefused(int error)
{
    return error == EPERM || error == ENOTSUP || error == EMLINK || error == ENOSYS;
}

bool sameFile(const struct stat& status, dev_t device, ino_t inode)
{
    return status.st_dev == device && status.st_ino == inode;
}

// The run a hidden name belongs to: ".<name>.<pid>-<8 hex digits>.<new|old>" gives the name
// and the process's id; nothing when genart did not make the name.
struct HiddenName {
    std::string target;
    long process = 0;
    bool backup = false;
};

std::optional<HiddenName> hiddenNameOf(const std::string& name)
{
    const std::size_t ending = name.size() >= 4 ? name.size() - 4 : 0;
    if (name.size() < 16 || name[0] != '.' || (name.compare(ending, 4, ".new") != 0 && name.compare(ending, 4, ".old") != 0))
        return std::nullopt;
    const std::size_t dot = name.rfind('.', ending - 1);
    if (dot == std::string::npos || dot < 2)
        return std::nullopt;
    const std::string token = name.substr(dot + 1, ending - dot - 1);
    const std::size_t dash = token.find('-');
    if (dash == std::string::npos || dash == 0 || dash > 10 || token.size() != dash + 9
        || token.find_first_not_of("0123456789") != dash || token.find_first_not_of("0123456789abcdef", dash + 1) != std::string::npos)
        return std::nullopt;
    return HiddenName{name.substr(1, dot - 1), std::stol(token.substr(0, dash)), name.compare(ending, 4, ".old") == 0};
}

bool runIsGone(long process)
{
    return process != static_cast<long>(::getpid()) && ::kill(static_cast<pid_t>(process), 0) != 0 && errno == ESRCH;
}

// Once per folder and process: whatever runs died meanwhile leave is not this run's to find.
void tidyOnce(const std::string& folder, FileCalls& calls)
{
    static std::mutex lock;
    static std::set<std::string> tidied;
    {
        const std::scoped_lock hold(lock);
        if (!tidied.insert(folder).second)
            return;
    }
    tidyAfterDeadRuns(folder, calls);
}

} // namespace

void tidyAfterDeadRuns(const std::string& folder, FileCalls& calls)
{
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr)
        return;
    std::vector<HiddenName> stale;
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(listing)) {
        const std::optional<HiddenName> hidden = hiddenNameOf(entry->d_name);
        if (hidden && runIsGone(hidden->process)) {
            stale.push_back(*hidden);
            names.push_back(entry->d_name);
        }
    }
    ::closedir(listing);
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    for (std::size_t n = 0; n < stale.size(); ++n) {
        const std::string path = prefix + names[n];
        const std::string target = prefix + stale[n].target;
        struct stat status {};
        // A long name's hidden form is shortened: its file cannot be told, so the backup stays.
        const bool shortened = stale[n].target.size() > kLongestKeptName;
        if (!stale[n].backup)
            calls.unlink(path.c_str());
        else if (!shortened && ::lstat(target.c_str(), &status) == 0)
            calls.unlink(path.c_str());
        else if (!shortened && errno == ENOENT)
            calls.renameat2(path.c_str(), target.c_str(), RENAME_NOREPLACE);
    }
}

std::string newRunToken()
{
    std::random_device random;
    char token[32];
    std::snprintf(token, sizeof token, "%ld-%08x", static_cast<long>(getpid()), static_cast<unsigned>(random()));
    return token;
}

std::string temporaryPath(const std::string& path, const std::string& token)
{
    return hiddenPath(path, token, ".new");
}

std::string backupPath(const std::string& path, const std::string& token)
{
    return hiddenPath(path, token, ".old");
}

OutputFiles::OutputFiles(bool replace, std::string token, FileCalls& calls)
    : replace_(replace), token_(std::move(token)), calls_(calls)
{
}

OutputFiles::~OutputFiles()
{
    takeBack();
}

std::string OutputFiles::stage(const std::string& path, const char* bytes, std::size_t size)
{
    return stage(path, [this, bytes, size](int fd) { return writeAt(calls_, fd, 0, bytes, size); });
}

std::string OutputFiles::stage(const std::string& path, const Filling& fill)
{
    tidyOnce(folderOf(path), calls_);
    // Refused early what will be refused anyway, before anything is written.
    mode_t mode = 0;
    struct stat status {};
    if (::lstat(path.c_str(), &status) == 0) {
        if (!S_ISREG(status.st_mode) && !S_ISLNK(status.st_mode))
            return notRegular(path);
        if (!replace_)
            return exists(path);
        if (S_ISREG(status.st_mode))
            mode = status.st_mode & 07777; // the new file keeps the old one's permissions
    } else if (errno != ENOENT) {
        return cannotWrite(path, errno);
    }

    // An unnamed file in the target's folder, which nothing can see and a killed run cannot
    // leave behind; where the file system has none, a hidden one created exclusively.
    static const bool canNameOpenFiles = ::access("/proc/self/fd", F_OK) == 0; // see linkOpenFile
    File file{path, temporaryPath(path, token_)};
    int fd = canNameOpenFiles ? calls_.open(folderOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666) : -1;
    if (!canNameOpenFiles)
        errno = EOPNOTSUPP;
    file.unnamed = fd >= 0;
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL))
        fd = calls_.open(file.temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0)
        return cannotWrite(path, errno);
    std::string why; // what went wrong, told after "cannot write: "
    if (mode != 0 && calls_.fchmod(fd, mode) != 0)
        why = std::strerror(errno);
    if (why.empty())
        why = fill(fd);
    if (why.empty() && calls_.fsync(fd) != 0)
        why = std::strerror(errno);
    struct stat written {};
    if (why.empty() && ::fstat(fd, &written) != 0)
        why = std::strerror(errno);
    if (file.unnamed && why.empty()) {
        file.fd = fd; // closed once it has its name
    } else if (calls_.close(fd) != 0 && why.empty()) {
        // The descriptor is gone after close() whatever it returns; its error is the last word
        // on whether the data reached the file.
        why = std::strerror(errno);
    }
    if (!why.empty()) {
        if (!file.unnamed)
            calls_.unlink(file.temporary.c_str());
        return printable(path) + ": cannot write: " + why;
    }
    file.device = written.st_dev;
    file.inode = written.st_ino;
    files_.push_back(std::move(file));
    return {};
}

int OutputFiles::name(File& file, const char* as, bool& linked)
{
    linked = calls_.linkOpenFile(file.fd, as) == 0;
    int error = linked ? 0 : errno;
    if (calls_.close(file.fd) != 0 && error == 0)
        error = errno;
    file.fd = -1;
    return error;
}

std::string OutputFiles::put(File& file)
{
    const char* temporary = file.temporary.c_str();
    const char* target = file.path.c_str();
    if (!replace_) {
        int placed = 0;
        if (file.unnamed) {
            // Naming the finished file is its exclusive creation: it fails if the target exists.
            bool linked = false;
            if (const int error = name(file, target, linked); error != 0) {
                file.placed = linked; // named but not closed cleanly: takeBack removes it again
                return error == EEXIST ? exists(file.path) : cannotWrite(file.path, error);
            }
        } else {
            placed = calls_.renameat2(temporary, target, RENAME_NOREPLACE);
            if (placed != 0 && flagRefused(errno)) {
                placed = calls_.link(temporary, target); // fails as well when the target exists
                if (placed == 0 && calls_.unlink(temporary) != 0) {
                    const int error = errno;
                    file.placed = true;
                    return cannotWrite(file.temporary, error);
                }
            }
        }
        if (placed != 0)
            return errno == EEXIST ? exists(file.path) : cannotWrite(file.path, errno);
        file.placed = true;
        return {};
    }

    if (file.unnamed) {
        // Where nothing is there yet the file is created as without `replace`, and a killed run
        // leaves nothing; else it takes the hidden name first, from which it is renamed over the old.
        if (calls_.linkOpenFile(file.fd, target) == 0) {
            file.placed = true;
            const int closed = calls_.close(file.fd);
            file.fd = -1;
            return closed == 0 ? std::string() : cannotWrite(file.path, errno);
        }
        if (errno != EEXIST)
            return cannotWrite(file.path, errno);
        bool linked = false;
        const int error = name(file, temporary, linked);
        file.unnamed = !linked;
        if (error != 0)
            return cannotWrite(file.path, error); // takeBack removes the hidden name if it was made
    }
    // Keep what is replaced as a hidden link beside it, then rename the new file over it.
    const std::string backup = backupPath(file.path, token_);
    bool movedAside = false;
    if (calls_.link(target, backup.c_str()) == 0) {
        file.replaced = true;
    } else if (errno != ENOENT) {
        if (!linksRefused(errno))
            return reason(file.path, "cannot keep the file it replaces", errno);
        // No hard links here: move the old file aside instead, for the moment of the rename.
        struct stat status {};
        if (::lstat(target, &status) == 0) {
            if (!S_ISREG(status.st_mode) && !S_ISLNK(status.st_mode))
                return notRegular(file.path);
            if (calls_.renameat2(target, backup.c_str(), 0) != 0)
                return reason(file.path, "cannot keep the file it replaces", errno);
            file.replaced = movedAside = true;
        }
    }
    if (calls_.renameat2(temporary, target, 0) != 0) {
        const int error = errno;
        if (movedAside)
            calls_.renameat2(backup.c_str(), target, 0);
        else if (file.replaced)
            calls_.unlink(backup.c_str());
        file.replaced = false;
        return error == EISDIR || error == ENOTEMPTY ? notRegular(file.path) : cannotWrite(file.path, error);
    }
    file.placed = true;
    return {};
}

std::string OutputFiles::syncFolders()
{
    // Each folder once; a failure is told with the first file placed in it.
    std::vector<std::string> folders;
    for (const File& file : files_) {
        std::string folder = folderOf(file.path);
        if (std::find(folders.begin(), folders.end(), folder) != folders.end())
            continue;
        folders.push_back(folder);
        const int fd = calls_.open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
        if (fd < 0)
            return cannotWrite(file.path, errno);
        // Some file systems cannot flush a folder (EINVAL); their renames are as durable as they get.
        int error = calls_.fsync(fd) != 0 && errno != EINVAL ? errno : 0;
        if (calls_.close(fd) != 0 && error == 0)
            error = errno;
        if (error != 0)
            return cannotWrite(file.path, error);
    }
    return {};
}

std::string OutputFiles::place()
{
    for (File& file : files_) {
        if (std::string failure = put(file); !failure.empty()) {
            const std::string left = takeBack();
            return left.empty() ? failure : failure + "; " + left;
        }
    }
    if (std::string failure = syncFolders(); !failure.empty()) {
        const std::string left = takeBack();
        return left.empty() ? failure : failure + "; " + left;
    }
    return {};
}

std::string OutputFiles::takeBack()
{
    std::string left;
    const auto note = [&](const std::string& path, int error) {
        if (left.empty())
            left = reason(path, "cannot take back", error);
    };
    for (auto file = files_.rbegin(); file != files_.rend(); ++file) {
        if (!file->placed) {
            if (file->fd >= 0)
                calls_.close(file->fd); // an unnamed file is gone with its descriptor
            else if (!file->unnamed && calls_.unlink(file->temporary.c_str()) != 0 && errno != ENOENT)
                note(file->temporary, errno);
            continue;
        }
        const std::string backup = backupPath(file->path, token_);
        struct stat status {};
        const bool ours = ::lstat(file->path.c_str(), &status) == 0 && sameFile(status, file->device, file->inode);
        if (ours && file->replaced) {
            if (calls_.renameat2(backup.c_str(), file->path.c_str(), 0) != 0)
                note(file->path, errno);
        } else if (ours) {
            if (calls_.unlink(file->path.c_str()) != 0 && errno != ENOENT)
                note(file->path, errno);
        } else if (file->replaced) {
            // Another run with --force has replaced this file since; its file stays.
            calls_.unlink(backup.c_str());
        }
    }
    files_.clear();
    return left;
}

std::string OutputFiles::finish()
{
    std::string failure;
    for (const File& file : files_)
        if (file.placed && file.replaced)
            if (std::string dropped = dropBackup(file.path, token_, calls_); failure.empty())
                failure = std::move(dropped);
    files_.clear();
    return failure;
}

void OutputFiles::release()
{
    files_.clear();
}

std::string takeBackFile(const std::string& path, const std::string& token, FileCalls& calls)
{
    const std::string backup = backupPath(path, token);
    if (calls.renameat2(backup.c_str(), path.c_str(), 0) == 0)
        return {};
    if (errno != ENOENT)
        return reason(path, "cannot take back", errno);
    if (calls.unlink(path.c_str()) != 0 && errno != ENOENT)
        return reason(path, "cannot take back", errno);
    return {};
}

std::string dropBackup(const std::string& path, const std::string& token, FileCalls& calls)
{
    const std::string backup = backupPath(path, token);
    if (calls.unlink(backup.c_str()) != 0 && errno != ENOENT)
        return reason(backup, "cannot remove the replaced file kept", errno);
    return {};
}

} // namespace genart

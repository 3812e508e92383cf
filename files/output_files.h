#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include <sys/types.h>

#include "files/file_calls.h"

namespace genart {

// A name for one run's hidden files, unlike any other run's.
std::string newRunToken();

// Beside "folder/name.png", a run's hidden files: the new file's temporary name (only with --force,
// or where the file system has no unnamed files), ".name.png.<token>.new", and the file it
// replaced, kept until the run succeeds, ".name.png.<token>.old".
std::string temporaryPath(const std::string& path, const std::string& token);
std::string backupPath(const std::string& path, const std::string& token);

// Removes the hidden files that runs no longer alive left in `folder` (a window or a render
// killed mid-save): a dead run's temporaries go; its backup of a file it replaced goes too
// where that name holds a file again, and is put back under it where the name is empty.
// Another live run's files are left alone, and so is anything whose name genart did not make.
// stage() calls it once per folder and process before it writes there.
void tidyAfterDeadRuns(const std::string& folder, FileCalls& calls = systemFileCalls());

// Files that appear together, each whole, or not at all.
//
// stage() writes a file completely, before it has a name: to an unnamed O_TMPFILE file in the
// target's folder (which a killed run cannot leave behind), or, where the file system has none,
// to a hidden temporary beside the target created with O_EXCL; every write and the fsync are
// checked, and the close once it is named. place() then puts the staged files into place in
// order and flushes their folders. Without `replace` nothing that exists is replaced, not even
// a file another process created after stage() looked: the finished file is linked in under
// the target's name, which fails if the name exists (or the temporary is renamed with
// RENAME_NOREPLACE, or linked where the file system refuses that flag). With `replace` a rename
// puts the new file over the old (over a symbolic link itself, never through it), and the old
// one stays as a hidden backup link until finish(). Anything that is not a regular file or a
// symbolic link is never replaced.
//
// A failure takes back what the set did (temporaries removed, files it created removed, files
// it replaced put back) and returns one printable line naming the path and the system's reason;
// success returns "". Whatever is neither finished nor released is taken back on destruction.
class OutputFiles {
public:
    OutputFiles(bool replace, std::string token, FileCalls& calls = systemFileCalls());
    ~OutputFiles();
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;

    std::string stage(const std::string& path, const char* bytes, std::size_t size);
    // The same for a file written as it is made (an animation, frame by frame): `fill` writes
    // it into the descriptor, open for writing, at any offsets, and returns "" or why it could
    // not ("WebP encoding failed: …"), which is told after "<path>: cannot write: ".
    using Filling = std::function<std::string(int fd)>;
    std::string stage(const std::string& path, const Filling& fill);
    std::string place();
    // Drops the backups of the placed files: the set is final.
    std::string finish();
    // The placed files become the caller's, to finish or take back by path (dropBackup,
    // takeBackFile) together with the rest of a batch.
    void release();

private:
    struct File {
        std::string path;
        std::string temporary;
        dev_t device = 0;
        ino_t inode = 0;
        int fd = -1;          // an unnamed file's, until it has its name
        bool unnamed = false; // written to an O_TMPFILE file, not to the named temporary
        bool placed = false;
        bool replaced = false; // a backup of the file it replaced exists
    };

    std::string put(File& file);
    // Gives an unnamed file its name and closes it: 0, or the errno of what failed; `linked`
    // tells whether the name was made.
    int name(File& file, const char* as, bool& linked);
    std::string syncFolders();
    std::string takeBack();

    bool replace_;
    std::string token_;
    FileCalls& calls_;
    std::vector<File> files_;
};

// Takes back a file that a run with `token` placed at `path`: puts back the file it replaced,
// whose backup is still there, or else removes it. "" or a printable reason.
std::string takeBackFile(const std::string& path, const std::string& token, FileCalls& calls = systemFileCalls());

// Removes the backup of the file a run replaced at `path`, if it kept one. "" or a reason.
std::string dropBackup(const std::string& path, const std::string& token, FileCalls& calls = systemFileCalls());

} // namespace genart

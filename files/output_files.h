#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <sys/types.h>

#include "files/file_calls.h"

namespace genart {

// A name for one run's hidden files, unlike any other run's.
std::string newRunToken();

// Beside "folder/name.png", a run's hidden files: the temporary the new file is written to,
// ".name.png.<token>.new", and the file it replaced, kept until the run succeeds,
// ".name.png.<token>.old".
std::string temporaryPath(const std::string& path, const std::string& token);
std::string backupPath(const std::string& path, const std::string& token);

// Files that appear together, each whole, or not at all.
//
// stage() writes a file completely to a temporary beside it, created exclusively; every write,
// the fsync and the close are checked. place() then puts the staged files into place in order
// and flushes their folders. Without `replace` nothing that exists is replaced, not even a file
// another process created after stage() looked: a temporary goes into place with
// renameat2(RENAME_NOREPLACE), or link() where the file system refuses that. With `replace` a
// rename puts the new file over the old (over a symbolic link itself, never through it), and
// the old one stays as a hidden backup link until finish(). Anything that is not a regular file
// or a symbolic link is never replaced.
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
        bool placed = false;
        bool replaced = false; // a backup of the file it replaced exists
    };

    std::string put(File& file);
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

#pragma once

#include <cstdint>
#include <string>

#include <sys/types.h>

namespace genart {

// The system calls the file layer makes, one virtual function each, so that a test can make any
// of them fail as a full disk, a failing flush or a refused rename would. Each behaves as its
// POSIX namesake: -1 and errno on failure.
class FileCalls {
public:
    virtual ~FileCalls() = default;
    virtual int open(const char* path, int flags, mode_t mode);
    virtual ssize_t pwrite(int fd, const void* bytes, size_t count, off_t offset);
    virtual int fchmod(int fd, mode_t mode);
    virtual int fsync(int fd);
    virtual int close(int fd);
    virtual int renameat2(const char* from, const char* to, unsigned int flags); // both relative to the cwd
    virtual int link(const char* from, const char* to);
    // Gives the open file `fd` (an O_TMPFILE one) the name `to`: linkat(2) through /proc/self/fd.
    virtual int linkOpenFile(int fd, const char* to);
    virtual int unlink(const char* path);
};

// The real calls.
FileCalls& systemFileCalls();

// Writes all `size` bytes at `offset` of the open file, going on after short writes and
// interruptions: "" or the system's reason.
std::string writeAt(FileCalls& calls, int fd, std::uint64_t offset, const void* bytes, std::size_t size);

} // namespace genart

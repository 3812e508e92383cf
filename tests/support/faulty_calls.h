#pragma once

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <functional>
#include <map>
#include <string>

#include "files/file_calls.h"

namespace genart::testing {

// Real calls, except the one told to fail, and a disk that takes `room` bytes in all.
class FaultyCalls : public FileCalls {
public:
    std::string failing;         // the call that fails ...
    int failingTime = 1;         // ... the n-th time it is made
    int error = EIO;             // with this errno
    std::size_t room = SIZE_MAX; // bytes written before ENOSPC
    bool unnamed = true;         // whether the file system has O_TMPFILE
    std::function<void()> beforeWrite; // called as each write begins

    int open(const char* path, int flags, mode_t mode) override
    {
        if (!unnamed && (flags & O_TMPFILE) == O_TMPFILE) {
            errno = EOPNOTSUPP;
            return -1;
        }
        return fails("open") ? -1 : FileCalls::open(path, flags, mode);
    }
    ssize_t pwrite(int fd, const void* bytes, size_t count, off_t offset) override
    {
        if (beforeWrite)
            beforeWrite();
        if (fails("write"))
            return -1;
        if (written_ >= room) {
            errno = ENOSPC;
            return -1;
        }
        // At most 1000 bytes a call, as a pipe or a nearly full disk may take them.
        const ssize_t wrote =
            FileCalls::pwrite(fd, bytes, std::min({count, room - written_, std::size_t{1000}}), offset);
        if (wrote > 0)
            written_ += static_cast<std::size_t>(wrote);
        return wrote;
    }
    int fchmod(int fd, mode_t mode) override { return fails("fchmod") ? -1 : FileCalls::fchmod(fd, mode); }
    int fsync(int fd) override { return fails("fsync") ? -1 : FileCalls::fsync(fd); }
    int close(int fd) override
    {
        if (fails("close")) {
            FileCalls::close(fd); // the descriptor is gone either way, as on Linux
            errno = error;
            return -1;
        }
        return FileCalls::close(fd);
    }
    int renameat2(const char* from, const char* to, unsigned int flags) override
    {
        return fails("renameat2") ? -1 : FileCalls::renameat2(from, to, flags);
    }
    int link(const char* from, const char* to) override { return fails("link") ? -1 : FileCalls::link(from, to); }
    int linkOpenFile(int fd, const char* to) override
    {
        return fails("linkOpenFile") ? -1 : FileCalls::linkOpenFile(fd, to);
    }

private:
    bool fails(const std::string& call)
    {
        if (call != failing || seen_[call]++ != failingTime - 1)
            return false;
        errno = error;
        return true;
    }
    std::size_t written_ = 0;
    std::map<std::string, int> seen_;
};

} // namespace genart::testing

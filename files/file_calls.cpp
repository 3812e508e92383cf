#include "files/file_calls.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace genart {

int FileCalls::open(const char* path, int flags, mode_t mode)
{
    return ::open(path, flags, mode);
}

ssize_t FileCalls::pwrite(int fd, const void* bytes, size_t count, off_t offset)
{
    return ::pwrite(fd, bytes, count, offset);
}

int FileCalls::fchmod(int fd, mode_t mode)
{
    return ::fchmod(fd, mode);
}

int FileCalls::fsync(int fd)
{
    return ::fsync(fd);
}

int FileCalls::close(int fd)
{
    return ::close(fd);
}

int FileCalls::renameat2(const char* from, const char* to, unsigned int flags)
{
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, flags);
}

int FileCalls::link(const char* from, const char* to)
{
    return ::link(from, to);
}

int FileCalls::linkOpenFile(int fd, const char* to)
{
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
    return ::linkat(AT_FDCWD, path, AT_FDCWD, to, AT_SYMLINK_FOLLOW);
}

int FileCalls::unlink(const char* path)
{
    return ::unlink(path);
}

FileCalls& systemFileCalls()
{
    static FileCalls calls;
    return calls;
}

std::string writeAt(FileCalls& calls, int fd, std::uint64_t offset, const void* bytes, std::size_t size)
{
    const auto* from = static_cast<const char*>(bytes);
    for (std::size_t done = 0; done < size;) {
        const ssize_t wrote = calls.pwrite(fd, from + done, size - done, static_cast<off_t>(offset + done));
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return std::strerror(wrote < 0 ? errno : EIO);
        done += static_cast<std::size_t>(wrote);
    }
    return {};
}

} // namespace genart

#include "files/file_calls.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace genart {

int FileCalls::open(const char* path, int flags, mode_t mode)
{
    return ::open(path, flags, mode);
}

ssize_t FileCalls::write(int fd, const void* bytes, size_t count)
{
    return ::write(fd, bytes, count);
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

} // namespace genart

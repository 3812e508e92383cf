#include "command_line/output_streams.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <unistd.h>

namespace genart {

void ignoreBrokenPipes()
{
    std::signal(SIGPIPE, SIG_IGN);
}

namespace {

// Why a stream that failed earlier cannot be written: the stream keeps no errno, so one byte
// more is tried on its descriptor (it reaches no one if the stream is still broken).
const char* whyUnwritable(int fd)
{
    errno = 0;
    if (::write(fd, "\n", 1) < 0)
        return std::strerror(errno);
    return std::strerror(EIO);
}

} // namespace

int checkedOutputs(int status, bool outputIsTheWork)
{
    const bool outputWritten = static_cast<bool>(std::cout.flush());
    const bool errorsWritten = static_cast<bool>(std::cerr.flush());
    if (!outputWritten && errorsWritten) {
        std::cerr << "genart: cannot write to standard output: " << whyUnwritable(STDOUT_FILENO) << '\n';
        return outputIsTheWork && status == 0 ? 1 : status;
    }
    if (!errorsWritten && outputWritten)
        std::cout << "genart: cannot write to standard error: " << whyUnwritable(STDERR_FILENO) << std::endl;
    return status;
}

} // namespace genart

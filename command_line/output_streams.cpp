#include "command_line/output_streams.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>

namespace genart {

void ignoreBrokenPipes()
{
    std::signal(SIGPIPE, SIG_IGN);
}

int checkedOutputs(int status, bool outputIsTheWork)
{
    errno = 0;
    const bool outputWritten = static_cast<bool>(std::cout.flush());
    const int outputError = errno;
    errno = 0;
    const bool errorsWritten = static_cast<bool>(std::cerr.flush());
    const int errorsError = errno;
    if (!outputWritten && errorsWritten) {
        std::cerr << "genart: cannot write to standard output: " << std::strerror(outputError ? outputError : EIO)
                  << '\n';
        return outputIsTheWork && status == 0 ? 1 : status;
    }
    if (!errorsWritten && outputWritten)
        std::cout << "genart: cannot write to standard error: " << std::strerror(errorsError ? errorsError : EIO)
                  << std::endl;
    return status;
}

} // namespace genart

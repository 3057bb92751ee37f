#include "platform/terminal.h"

#include <unistd.h>

namespace platform {

bool isTerminal(int fd) {
    // isatty answers 0 with ENOTTY (or EBADF) for anything that is not a terminal.
    return isatty(fd) == 1;
}

} // namespace platform

#include "platform/posix/terminal.h"

#include <fcntl.h>
#include <unistd.h>

namespace brtl::platform {

void terminal_bell() {
    int fd = open("/dev/tty", O_WRONLY | O_NOCTTY | O_CLOEXEC);
    int target = fd >= 0 ? fd : STDERR_FILENO;
    ssize_t written = write(target, "\a", 1);
    (void)written; // a bell that cannot be written is not an error of Beep
    if (fd >= 0) close(fd);
}

} // namespace brtl::platform

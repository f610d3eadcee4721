// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "freepty.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace sim {

namespace {

// Serial programs, Qt among them, lock a port with a UUCP lock file (/var/lock/LCK..pts_N) and
// remove it just after closing the port. A number freed in that moment is handed out again
// while the old lock still stands, and the terminal would fail to lock its new port.
bool lockFileStands(const std::string &slave)
{
    std::string name = slave.rfind("/dev/", 0) == 0 ? slave.substr(5) : slave;
    std::replace(name.begin(), name.end(), '/', '_');
    return ::access(("/var/lock/LCK.." + name).c_str(), F_OK) == 0;
}

} // namespace

int openFreePty(int flags, std::string &path)
{
    std::vector<int> skipped; // held open meanwhile, so that the next try gets another number
    int master = -1;
    int error = EBUSY;
    for (int attempt = 0; attempt < 16 && master < 0; ++attempt) {
        const int fd = ::posix_openpt(flags);
        const char *name = fd >= 0 && ::grantpt(fd) == 0 && ::unlockpt(fd) == 0 ? ::ptsname(fd)
                                                                                : nullptr;
        if (!name) {
            error = errno;
            if (fd >= 0)
                ::close(fd);
            break;
        }
        path = name;
        if (lockFileStands(path))
            skipped.push_back(fd);
        else
            master = fd;
    }
    for (const int fd : skipped)
        ::close(fd);
    if (master < 0)
        errno = error;
    return master;
}

} // namespace sim

// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "ptyport.h"

#include "freepty.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

PtyPort::~PtyPort()
{
    close();
}

bool PtyPort::open(std::string &error)
{
    auto fail = [&](const char *what) {
        error = std::string(what) + ": " + std::strerror(errno);
        close();
        return false;
    };

    master = openFreePty(O_RDWR | O_NOCTTY, path);
    if (master < 0)
        return fail("posix_openpt");

    slave = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0)
        return fail("open slave");
    termios tio {};
    if (::tcgetattr(slave, &tio) != 0)
        return fail("tcgetattr");
    ::cfmakeraw(&tio);
    if (::tcsetattr(slave, TCSANOW, &tio) != 0)
        return fail("tcsetattr");

    const int flags = ::fcntl(master, F_GETFL);
    if (flags < 0 || ::fcntl(master, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail("fcntl O_NONBLOCK");
    if (::fcntl(master, F_SETFD, FD_CLOEXEC) != 0)
        return fail("fcntl FD_CLOEXEC");
    return true;
}

void PtyPort::close()
{
    // The slave first, so that closing the master hangs up only the other side's descriptors.
    if (slave >= 0)
        ::close(slave);
    if (master >= 0)
        ::close(master);
    slave = -1;
    master = -1;
}

int PtyPort::slaveInputQueued() const
{
    int count = 0;
    if (slave < 0 || ::ioctl(slave, FIONREAD, &count) != 0)
        return -1;
    return count;
}

} // namespace sim

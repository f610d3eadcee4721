// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "ptymaster.h"

#include "freepty.h"
#include "waits.h"

#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

PtyMaster::PtyMaster()
{
    std::string slave;
    fd = sim::openFreePty(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC, slave);
    if (fd >= 0)
        path = QString::fromStdString(slave);
}

PtyMaster::~PtyMaster()
{
    close();
}

bool PtyMaster::makeSlaveRaw()
{
    const int slave = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0)
        return false;
    termios settings;
    bool ok = tcgetattr(slave, &settings) == 0;
    if (ok) {
        cfmakeraw(&settings);
        ok = tcsetattr(slave, TCSANOW, &settings) == 0;
    }
    ::close(slave);
    return ok;
}

bool PtyMaster::write(const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno == EAGAIN) {
            pollfd p {fd, POLLOUT, 0};
            ::poll(&p, 1, 100);
        } else if (!(n < 0 && errno == EINTR)) {
            return false;
        }
    }
    return true;
}

QByteArray PtyMaster::readAvailable()
{
    QByteArray bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            bytes.append(buffer, int(n));
        else if (!(n < 0 && errno == EINTR))
            break;
    }
    return bytes;
}

QByteArray PtyMaster::readExactly(int count, int timeoutMs)
{
    QByteArray bytes;
    if (fd < 0)
        return bytes;
    // Only wakes the wait below; the condition does the reading.
    QSocketNotifier readable(fd, QSocketNotifier::Read);
    waitUntil(
        [&] {
            bytes += readAvailable();
            return bytes.size() >= count;
        },
        timeoutMs);
    return bytes;
}

void PtyMaster::close()
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

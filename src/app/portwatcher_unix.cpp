// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "portwatcher.h"

#include "portwatcher_p.h"

#include <poll.h>

// A pulled cable hangs the line up: poll() reports it, and read() returns 0, end of file, which
// sets no errno, so Qt's errorString() then repeats whatever an earlier, unrelated call left
// behind. Only the descriptor's own answer is a reason.
PortVerdict UnixPortRule::judge(QSerialPort::SerialPortError error, bool writesWaiting, short revents)
{
    switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
        break;
    default:
        return {PortVerdict::Unrelated, QString()};
    }
    // Qt 5 reports a write to a full output buffer (EAGAIN) as a ResourceError, although the
    // device is there and the rest of the frame goes out once the buffer drains.
    if (writesWaiting && !(revents & (POLLHUP | POLLERR | POLLNVAL)))
        return {PortVerdict::Passing, QString()};
    if (revents & POLLHUP)
        return {PortVerdict::Lost, QString()}; // the hang-up is the disconnection itself
    if (revents & POLLERR)
        return {PortVerdict::Lost, PortWatcher::tr("error condition")};
    if (revents & POLLNVAL)
        return {PortVerdict::Lost, PortWatcher::tr("descriptor not open")};
    return {PortVerdict::Lost, QString()};
}

PortVerdict PortRule::judge(QSerialPort::SerialPortError error, const QSerialPort &port)
{
    pollfd device {int(port.handle()), POLLIN | POLLOUT, 0};
    if (::poll(&device, 1, 0) < 0)
        device.revents = 0; // interrupted: the next error asks again
    return UnixPortRule::judge(error, port.bytesToWrite() > 0, device.revents);
}

// A pulled USB adapter hangs up the descriptor, which the port's own errors already tell.
void PortWatcher::watchRemovals()
{
}

// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "portwatcher.h"

#include "portrule.h"

#include <poll.h>

namespace {

UnixPortRule::DeviceFlags deviceFlags(short revents)
{
    UnixPortRule::DeviceFlags flags;
    flags.setFlag(UnixPortRule::HungUp, (revents & POLLHUP) != 0);
    flags.setFlag(UnixPortRule::ErrorCondition, (revents & POLLERR) != 0);
    flags.setFlag(UnixPortRule::NotOpen, (revents & POLLNVAL) != 0);
    return flags;
}

} // namespace

PortVerdict PortWatcher::judge(QSerialPort::SerialPortError error) const
{
    pollfd device {int(port->handle()), POLLIN | POLLOUT, 0};
    if (::poll(&device, 1, 0) < 0)
        device.revents = 0; // interrupted: the next error asks again
    return UnixPortRule::judge(error, port->bytesToWrite() > 0, deviceFlags(device.revents));
}

// A pulled USB adapter hangs up the descriptor, which the port's own errors already tell.
void PortWatcher::watchRemovals() { }

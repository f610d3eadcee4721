// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef PORTRULE_H
#define PORTRULE_H

#include <QFlags>
#include <QSerialPort>
#include <QString>

// What one error of an open port says about its device.
struct PortVerdict
{
    enum Kind {
        Unrelated, // not an error by which a device leaves
        Passing, // the device is there: the port goes on, its error cleared
        Lost, // the device has gone
    };
    Kind kind;
    // Of a loss, when the device gives a reason beyond its going.
    QString reason;
};

// Each system's rule on what its device answered. Asking the device is left to the system's
// own file (portwatcher_unix.cpp, portwatcher_win.cpp), so that both rules build, and are
// tested, on any system.
namespace UnixPortRule {
// poll()'s answer for the port's descriptor, as far as the rule reads it.
enum DeviceFlag {
    HungUp = 0x1, // POLLHUP
    ErrorCondition = 0x2, // POLLERR
    NotOpen = 0x4, // POLLNVAL
};
Q_DECLARE_FLAGS(DeviceFlags, DeviceFlag)
// `device`: none when poll failed.
PortVerdict judge(QSerialPort::SerialPortError error, bool writesWaiting, DeviceFlags device);
} // namespace UnixPortRule
Q_DECLARE_OPERATORS_FOR_FLAGS(UnixPortRule::DeviceFlags)

namespace WindowsPortRule {
// The system error codes a USB serial driver answers with once its device has gone, by
// Windows' numbers; portwatcher_win.cpp checks them against the system's own.
constexpr quint32 errorFileNotFound = 2;
constexpr quint32 errorAccessDenied = 5;
constexpr quint32 errorInvalidHandle = 6;
constexpr quint32 errorNotReady = 21;
constexpr quint32 errorBadCommand = 22;
constexpr quint32 errorGenFailure = 31;
constexpr quint32 errorOperationAborted = 995;
constexpr quint32 errorDeviceNotConnected = 1167;
constexpr quint32 errorDeviceRemoved = 1617;

// `systemError`: the system's error code when the port's handle is asked for its status,
// 0 when it answers.
PortVerdict judge(QSerialPort::SerialPortError error, quint32 systemError);
// Whether `removed`, a port the system reports gone, is `portName`.
bool namesPort(const QString &removed, const QString &portName);
} // namespace WindowsPortRule

#endif // PORTRULE_H

// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef PORTWATCHER_P_H
#define PORTWATCHER_P_H

#include <QSerialPort>
#include <QString>

// What one error of an open port says about its device. Each system's rule is a file of its
// own, portwatcher_unix.cpp or portwatcher_win.cpp; the program is built with its system's,
// the rules' test with both.
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

namespace PortRule {
// This system's rule, applied to what the open port's device answers now.
PortVerdict judge(QSerialPort::SerialPortError error, const QSerialPort &port);
}

// The rules on what a device answered, apart from asking it.
namespace UnixPortRule {
// `revents`: poll()'s answer for the port's descriptor, none when poll failed.
PortVerdict judge(QSerialPort::SerialPortError error, bool writesWaiting, short revents);
}

namespace WindowsPortRule {
// `systemError`: the system's error code when the port's handle is asked for its status,
// 0 when it answers.
PortVerdict judge(QSerialPort::SerialPortError error, quint32 systemError);
// Whether `removed`, a port the system reports gone, is `portName`.
bool namesPort(const QString &removed, const QString &portName);
}

#endif // PORTWATCHER_P_H

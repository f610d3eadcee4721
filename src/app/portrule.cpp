// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "portrule.h"

#include "portwatcher.h"

#include <QLatin1String>

namespace {

QString bareName(const QString &name)
{
    const QLatin1String devicePrefix("\\\\.\\");
    return name.startsWith(devicePrefix) ? name.mid(devicePrefix.size()) : name;
}

} // namespace

// A pulled cable hangs the line up: poll() reports it, and read() returns 0, end of file, which
// sets no errno, so Qt's errorString() then repeats whatever an earlier, unrelated call left
// behind. Only the descriptor's own answer is a reason.
PortVerdict UnixPortRule::judge(
    QSerialPort::SerialPortError error, bool writesWaiting, DeviceFlags device)
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
    if (writesWaiting && !(device & (HungUp | ErrorCondition | NotOpen)))
        return {PortVerdict::Passing, QString()};
    if (device.testFlag(HungUp))
        return {PortVerdict::Lost, QString()}; // the hang-up is the disconnection itself
    if (device.testFlag(ErrorCondition))
        return {PortVerdict::Lost, PortWatcher::tr("error condition")};
    if (device.testFlag(NotOpen))
        return {PortVerdict::Lost, PortWatcher::tr("descriptor not open")};
    return {PortVerdict::Lost, QString()};
}

// Writes are overlapped: a full output buffer leaves them pending and reports nothing, so each
// of these errors is a loss. A removed USB adapter fails the pending read with its driver's own
// code, which Qt passes on as one of them, and after which it reads no more.
PortVerdict WindowsPortRule::judge(QSerialPort::SerialPortError error, quint32 systemError)
{
    switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::PermissionError:
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::UnknownError:
        break;
    default:
        return {PortVerdict::Unrelated, QString()};
    }
    switch (systemError) {
    case 0: // the handle still answers: the failed call said all there is
    case errorFileNotFound:
    case errorAccessDenied:
    case errorDeviceNotConnected:
    case errorDeviceRemoved:
        return {PortVerdict::Lost, QString()}; // the refusal is the disconnection itself
    case errorInvalidHandle:
        return {PortVerdict::Lost, PortWatcher::tr("handle not valid")};
    case errorNotReady:
        return {PortVerdict::Lost, PortWatcher::tr("the device is not ready")};
    case errorBadCommand:
        return {PortVerdict::Lost, PortWatcher::tr("the device refused the command")};
    case errorGenFailure:
        return {PortVerdict::Lost, PortWatcher::tr("the device is not functioning")};
    case errorOperationAborted:
        return {PortVerdict::Lost, PortWatcher::tr("the transfer was aborted")};
    default:
        return {PortVerdict::Lost, PortWatcher::tr("system error %1").arg(systemError)};
    }
}

// Windows names a port COM5 or \\.\COM5, in any case.
bool WindowsPortRule::namesPort(const QString &removed, const QString &portName)
{
    return !portName.isEmpty()
        && bareName(removed).compare(bareName(portName), Qt::CaseInsensitive) == 0;
}

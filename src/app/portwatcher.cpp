// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "portwatcher.h"

#include <QCoreApplication>

#ifdef Q_OS_UNIX
#include <poll.h>
#endif

namespace {

// What the device itself says about the port right now: whether it has gone, and a reason when
// the device gives one beyond that.
struct DeviceState
{
    bool gone;
    QString reason;
};

#ifdef Q_OS_UNIX
// A pulled cable hangs the line up: poll() reports it, and read() returns 0, end of file, which
// sets no errno, so Qt's errorString() then repeats whatever an earlier, unrelated call left
// behind. Only the descriptor's own answer is a reason.
DeviceState askDevice(const QSerialPort *port)
{
    pollfd device {int(port->handle()), POLLIN | POLLOUT, 0};
    if (::poll(&device, 1, 0) < 0)
        return {false, QString()}; // interrupted: the next error asks again
    if (device.revents & POLLHUP)
        return {true, QString()}; // the hang-up is the disconnection itself
    if (device.revents & POLLERR)
        return {true, QCoreApplication::translate("MainWindow", "error condition")};
    if (device.revents & POLLNVAL)
        return {true, QCoreApplication::translate("MainWindow", "descriptor not open")};
    return {false, QString()};
}
#else
// Writes on Windows are overlapped: a full output buffer leaves them pending and reports
// nothing, so every such error is a loss, and Qt's description, taken from the failing call,
// is the reason.
DeviceState askDevice(const QSerialPort *port)
{
    const QString description = port->errorString();
    return {true, description == QLatin1String("Unknown error") ? QString() : description};
}
#endif

// The errors by which an open port may be telling that its device has gone.
bool mayBeLoss(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
        return true;
#ifdef Q_OS_WIN
    // A removed USB adapter fails the pending read with its driver's own code, which Qt
    // passes on as one of these as well, and after which it reads no more.
    case QSerialPort::PermissionError:
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::UnknownError:
        return true;
#endif
    default:
        return false;
    }
}

} // namespace

PortWatcher::PortWatcher(QSerialPort *port)
    : QObject(port)
    , port(port)
{
    connect(port, &QSerialPort::errorOccurred, this, &PortWatcher::handleError);
}

void PortWatcher::setPortName(const QString &name)
{
    portName = name;
}

void PortWatcher::handleError(QSerialPort::SerialPortError error)
{
    if (!port->isOpen() || lossPending)
        return;
    if (!mayBeLoss(error))
        return;
    // Qt 5 reports a write to a full output buffer (EAGAIN) as a ResourceError, although the
    // device is there and the rest of the frame goes out once the buffer drains.
    if (port->bytesToWrite() > 0 && !askDevice(port).gone) {
        port->clearError();
        return;
    }
    // Closing inside the port's own notification would pull the port out from under it.
    lossPending = true;
    QMetaObject::invokeMethod(this, &PortWatcher::dropLostPort, Qt::QueuedConnection);
}

void PortWatcher::dropLostPort()
{
    lossPending = false;
    if (!port->isOpen())
        return;
    const QString reason = askDevice(port).reason;
    port->close();
    emit portLost(reason.isEmpty()
            ? QCoreApplication::translate("MainWindow", "%1: the device was disconnected")
                  .arg(portName)
            : QCoreApplication::translate("MainWindow", "%1: the device was disconnected (%2)")
                  .arg(portName, reason));
}

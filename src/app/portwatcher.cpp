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
// Without poll() every such error counts as a loss, and Qt's description is the reason.
DeviceState askDevice(const QSerialPort *port)
{
    const QString description = port->errorString();
    return {true, description == QLatin1String("Unknown error") ? QString() : description};
}
#endif

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
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError
        && error != QSerialPort::WriteError)
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

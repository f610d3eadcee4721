// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "portwatcher.h"

#include "portrule.h"

PortWatcher::PortWatcher(QSerialPort *port)
    : QObject(port)
    , port(port)
{
    connect(port, &QSerialPort::errorOccurred, this, &PortWatcher::handleError);
    watchRemovals();
}

void PortWatcher::setPortName(const QString &name)
{
    portName = name;
}

void PortWatcher::handleError(QSerialPort::SerialPortError error)
{
    if (!port->isOpen() || lossPending)
        return;
    const PortVerdict verdict = judge(error);
    if (verdict.kind == PortVerdict::Passing)
        port->clearError();
    if (verdict.kind != PortVerdict::Lost)
        return;
    // Closing inside the port's own notification would pull the port out from under it.
    lossPending = true;
    lossReason = verdict.reason;
    QMetaObject::invokeMethod(this, &PortWatcher::dropLostPort, Qt::QueuedConnection);
}

void PortWatcher::dropLostPort()
{
    lossPending = false;
    if (!port->isOpen())
        return;
    port->close();
    emit portLost(lossReason.isEmpty()
            ? tr("%1: the device was disconnected").arg(portName)
            : tr("%1: the device was disconnected (%2)").arg(portName, lossReason));
}

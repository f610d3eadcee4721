// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef PORTWATCHER_H
#define PORTWATCHER_H

#include <QObject>
#include <QSerialPort>
#include <QString>

struct PortVerdict;

// Tells a pulled cable from the errors an open port survives. An unplugged device leaves Qt
// spinning on a flood of errors while writes still "succeed"; the port has to be dropped, or
// the log would show frames that never left. The watcher closes the port itself and then
// reports the loss, so whoever shows it finds the port already closed.
class PortWatcher : public QObject
{
    Q_OBJECT

public:
    // Watches `port`, as a child of it.
    explicit PortWatcher(QSerialPort *port);

    // The name the user picked the port by, for the report.
    void setPortName(const QString &name);

signals:
    // The device has gone and the port is closed; `message` says so in plain words.
    void portLost(const QString &message);

private:
    // The system's own, in portwatcher_unix.cpp or portwatcher_win.cpp: what the device
    // answers now, judged by the system's rule, and where the system reports devices leaving
    // apart from the port's own errors, a watch on that.
    PortVerdict judge(QSerialPort::SerialPortError error) const;
    void watchRemovals();

    void handleError(QSerialPort::SerialPortError error);
    void dropLostPort();

    QSerialPort *port;
    QString portName;
    QString lossReason;
    bool lossPending = false;
};

#endif // PORTWATCHER_H

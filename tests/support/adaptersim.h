// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef ADAPTERSIM_H
#define ADAPTERSIM_H

#include "childprocess.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

// The simulated adapter (tools/adapter-sim) as a child process: the path of its serial device
// and every line it prints after that, called events here (one per decoded frame, FLOOD,
// VANISHED...). Every wait runs the caller's event loop, so a window under test keeps sending,
// receiving and logging meanwhile.
class AdapterSim : public QObject
{
    Q_OBJECT

public:
    explicit AdapterSim(QObject *parent = nullptr);
    ~AdapterSim() override;

    // The simulator built with this tree.
    static QString program();

    // Starts the simulator and waits until it has published the path of its device.
    bool start(const QStringList &arguments = {}, int timeoutMs = 5000);
    // Ends the simulator as a signal would, unless it ended on its own, and collects its last
    // lines. True when it exited normally with code 0.
    bool stop(int timeoutMs = 5000);
    bool isRunning() const { return process.state() != QProcess::NotRunning; }

    QString devicePath() const { return path; }
    // Every event line so far, in the order printed.
    QStringList events() const { return lines; }
    // The oldest event line not taken yet, waiting for it if need be; empty on time-out.
    QString nextEvent(int timeoutMs = 5000);
    // Takes event lines until one starts with `prefix` and returns that one; empty on
    // time-out. The lines passed over stay in events().
    QString waitForEvent(const QString &prefix, int timeoutMs = 5000);
    // What the simulator wrote to stderr, for failure messages.
    QString errorOutput() const { return QString::fromLocal8Bit(stderrText); }

signals:
    void eventReceived(const QString &line);

private:
    void readLines();
    // Runs the event loop until `done` holds, the process has ended or the time is up.
    bool waitWhileRunning(const std::function<bool()> &done, int timeoutMs);

    ChildProcess process;
    QString path;
    QStringList lines;
    int taken = 0;
    QByteArray stderrText;
};

#endif // ADAPTERSIM_H

// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "adaptersim.h"

#include "waits.h"

AdapterSim::AdapterSim(QObject *parent)
    : QObject(parent)
{
    connect(&process, &QProcess::readyReadStandardOutput, this, &AdapterSim::readLines);
    connect(&process, &QProcess::readyReadStandardError, this,
        [this] { stderrText += process.readAllStandardError(); });
}

AdapterSim::~AdapterSim()
{
    stop();
}

QString AdapterSim::program()
{
    return QStringLiteral(ADAPTER_SIM_PROGRAM);
}

bool AdapterSim::start(const QStringList &arguments, int timeoutMs)
{
    if (isRunning())
        return false;
    path.clear();
    lines.clear();
    taken = 0;
    stderrText.clear();
    process.start(program(), arguments);
    if (!process.waitForStarted(timeoutMs))
        return false;
    return waitWhileRunning([this] { return !path.isEmpty(); }, timeoutMs);
}

bool AdapterSim::stop(int timeoutMs)
{
    if (path.isEmpty() && !isRunning())
        return false;
    if (isRunning()) {
        process.terminate();
        if (!process.waitForFinished(timeoutMs)) {
            process.kill();
            process.waitForFinished(timeoutMs);
        }
    }
    readLines();
    stderrText += process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QString AdapterSim::nextEvent(int timeoutMs)
{
    if (!waitWhileRunning([this] { return taken < lines.size(); }, timeoutMs))
        return QString();
    return lines.at(taken++);
}

QString AdapterSim::waitForEvent(const QString &prefix, int timeoutMs)
{
    QString found;
    waitWhileRunning(
        [&] {
            while (found.isEmpty() && taken < lines.size()) {
                if (lines.at(taken).startsWith(prefix))
                    found = lines.at(taken);
                ++taken;
            }
            return !found.isEmpty();
        },
        timeoutMs);
    return found;
}

void AdapterSim::readLines()
{
    while (process.canReadLine()) {
        QByteArray raw = process.readLine();
        raw.chop(1);
        const QString line = QString::fromLocal8Bit(raw);
        if (path.isEmpty()) {
            path = line;
            continue;
        }
        lines << line;
        emit eventReceived(line);
    }
}

bool AdapterSim::waitWhileRunning(const std::function<bool()> &done, int timeoutMs)
{
    ::waitUntil([&] { return done() || !isRunning(); }, timeoutMs);
    // Lines printed just before the exit may still sit in the pipe.
    if (!isRunning())
        readLines();
    return done();
}

#include "adaptersim.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

AdapterSim::AdapterSim(const QString &program, QObject *parent)
    : QObject(parent)
    , program(program)
{
    connect(&process, &QProcess::readyReadStandardOutput, this, &AdapterSim::readLines);
    connect(&process, &QProcess::readyReadStandardError, this,
        [this] { stderrText += process.readAllStandardError(); });
}

AdapterSim::~AdapterSim()
{
    stop();
}

bool AdapterSim::start(const QStringList &arguments, int timeoutMs)
{
    if (isRunning())
        return false;
    path.clear();
    lines.clear();
    taken = 0;
    stderrText.clear();
    process.start(program, arguments);
    if (!process.waitForStarted(timeoutMs))
        return false;
    return waitUntil([this] { return !path.isEmpty(); }, timeoutMs);
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
    if (!waitUntil([this] { return taken < lines.size(); }, timeoutMs))
        return QString();
    return lines.at(taken++);
}

QString AdapterSim::waitForEvent(const QString &prefix, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        const QString line = nextEvent(int(qMax<qint64>(0, deadline.remainingTime())));
        if (line.isEmpty() || line.startsWith(prefix))
            return line;
    }
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

bool AdapterSim::waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    if (done())
        return true;
    // A timer of our own rather than QTimer::singleShot: those outlive the wait until they
    // fire, and a wait per line would pile up thousands of them in the process under test.
    QTimer deadline;
    deadline.setSingleShot(true);
    QEventLoop loop;
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(&process, &QProcess::readyReadStandardOutput, &loop, &QEventLoop::quit);
    connect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop,
        &QEventLoop::quit);
    deadline.start(timeoutMs);
    while (!done()) {
        if (!isRunning()) {
            // Lines printed just before the exit may still sit in the pipe.
            readLines();
            return done();
        }
        if (!deadline.isActive())
            return false;
        loop.exec();
    }
    return true;
}

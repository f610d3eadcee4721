#include "probes.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

qint64 clockNs(clockid_t clock)
{
    timespec ts {};
    clock_gettime(clock, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

} // namespace

qint64 monotonicNs()
{
    return clockNs(CLOCK_MONOTONIC);
}

qint64 processCpuNs()
{
    return clockNs(CLOCK_PROCESS_CPUTIME_ID);
}

qint64 residentBytes()
{
    long pages = 0;
    long resident = 0;
    FILE *file = std::fopen("/proc/self/statm", "r");
    if (!file)
        return -1;
    const int fields = std::fscanf(file, "%ld %ld", &pages, &resident);
    std::fclose(file);
    return fields == 2 ? qint64(resident) * sysconf(_SC_PAGESIZE) : -1;
}

double percentile(std::vector<double> samples, double fraction)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const double rank = std::ceil(fraction * double(samples.size()));
    const std::size_t index = std::size_t(std::max(1.0, rank)) - 1;
    return samples[std::min(index, samples.size() - 1)];
}

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs, Qt::PreciseTimer);
    // The timer only makes the blocking wait below return; it is the condition that counts.
    QTimer wake;
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(1);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void idleFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

bool waitForSignal(const QObject *sender, const char *signal, int timeoutMs)
{
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(sender, signal, &loop, SLOT(quit()));
    timeout.start(timeoutMs);
    loop.exec();
    return timeout.isActive();
}

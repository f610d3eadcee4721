// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

// Receive ceiling: the highest flood rate the window takes with nothing lost, at the offered
// rate, while its event loop keeps answering.
#include "benchrun.h"
#include "figures.h"
#include "floodrun.h"

#include <QCoreApplication>

#include <vector>

namespace {

constexpr double maxTickGapMs = 100;
// A rate counts as carried when the bytes reach the log at least this close to it.
constexpr double rateShare = 0.98;

} // namespace

void findCeiling(bool quick)
{
    Figures figures(QStringLiteral("Receive ceiling"));

    const int milliseconds = quick ? 3000 : 10000;
    // --rate N tries that rate alone, for profiling.
    std::vector<int> rates {250000, 500000, 750000, 1000000, 1200000};
    const int rateAt = QCoreApplication::arguments().indexOf(QStringLiteral("--rate"));
    if (rateAt > 0)
        rates = {QCoreApplication::arguments().value(rateAt + 1).toInt()};
    int ceiling = 0;
    for (int rate : rates) {
        note(QStringLiteral("flooding %1 bytes/s for %2 s").arg(rate).arg(milliseconds / 1000.0));
        FloodSettings settings;
        settings.bytesPerSecond = rate;
        settings.milliseconds = milliseconds;
        // Enough for a window that merely lags; one that cannot keep up is not worth waiting for.
        settings.drainTimeoutMs = 5000;
        const FloodResult run = runFlood(settings);
        const bool carried = run.simulatorOk && run.intact && run.lost() == 0
            && run.deliveredPerSecond >= rateShare * rate && run.maxTickGapMs <= maxTickGapMs;
        figures.add(QStringLiteral("%1 bytes/s for %2 s")
                        .arg(Figures::number(rate, 0))
                        .arg(milliseconds / 1000.0),
            QStringLiteral("%1: lost %2 of %3, delivered %4 bytes/s, max timer gap %5 ms, "
                           "CPU %6 %, %7 lines")
                .arg(carried ? QStringLiteral("carried") : QStringLiteral("not carried"),
                    Figures::number(run.lost(), 0), Figures::number(run.sent, 0),
                    Figures::number(run.deliveredPerSecond, 0),
                    Figures::number(run.maxTickGapMs, 1), Figures::number(run.cpuShare * 100, 0),
                    Figures::number(run.lines, 0)));
        if (!carried)
            break; // higher rates would only take longer to fail
        ceiling = rate;
    }
    figures.add(QStringLiteral("highest rate carried (nothing lost, timer gap ≤ 100 ms)"),
        Figures::number(ceiling, 0) + QStringLiteral(" bytes/s"),
        QStringLiteral("≥ 1,000,000 bytes/s"), ceiling >= 1000000);
}

int main(int argc, char *argv[])
{
    return runBenchmark(argc, argv, findCeiling);
}

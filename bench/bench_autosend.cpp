// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

// Auto-send: frames per second and their spacing as they arrive at the simulated adapter, and
// what its ticks cost once the cable is pulled.
#include "adaptersim.h"
#include "benchrun.h"
#include "clocks.h"
#include "figures.h"
#include "modalboxcatcher.h"
#include "probes.h"
#include "waits.h"
#include "windowdriver.h"

#include <QPushButton>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include <vector>

namespace {

struct Arrivals
{
    std::vector<qint64> ns; // --stamp time of each SEND line
};

// The t=<ns> stamps of the simulator's SEND lines; anything else it reports is a broken frame.
Arrivals sendStamps(const QStringList &events, int &otherEvents)
{
    Arrivals arrivals;
    otherEvents = 0;
    for (const QString &event : events) {
        if (!event.startsWith(QLatin1String("SEND "))) {
            ++otherEvents;
            continue;
        }
        const int at = event.lastIndexOf(QLatin1String(" t="));
        arrivals.ns.push_back(event.mid(at + 3).toLongLong());
    }
    return arrivals;
}

std::vector<double> intervalsMs(const std::vector<qint64> &ns)
{
    std::vector<double> gaps;
    for (std::size_t i = 1; i < ns.size(); ++i)
        gaps.push_back(double(ns[i] - ns[i - 1]) / 1e6);
    return gaps;
}

void measure(int periodMs, int seconds, Figures &figures)
{
    WindowDriver driver;
    AdapterSim sim;
    if (!sim.start({QStringLiteral("--stamp")}))
        qFatal("the simulator did not start: %s", qPrintable(sim.errorOutput()));
    if (!driver.openPort(sim.devicePath()))
        qFatal("the window could not open %s", qPrintable(sim.devicePath()));

    // When the window logs each frame, which is right after it hands the frame to the port:
    // tells the window's timing apart from the line's and the simulator's.
    std::vector<qint64> loggedNs;
    QObject::connect(driver.log()->document(), &QTextDocument::contentsChanged,
        [&loggedNs] { loggedNs.push_back(monotonicNs()); });
    driver.setSpin("sbAutoSendPeriod", periodMs);
    auto *autoSend = driver.widget<QPushButton>("pbAutoSend");
    autoSend->click();
    idleFor(seconds * 1000);
    autoSend->click();
    const int sent = driver.logLineCount();
    if (!waitUntil([&] { return sim.events().size() >= sent; }, 10000))
        qFatal("%d frames sent, %d arrived", sent, int(sim.events().size()));
    // Closed first, or the simulator's exit would make the window report a lost port.
    driver.click("pbCOMportClose");
    sim.stop();

    int otherEvents = 0;
    const Arrivals arrivals = sendStamps(sim.events(), otherEvents);
    const std::vector<double> gapsMs = intervalsMs(arrivals.ns);
    const std::vector<double> sendGapsMs = intervalsMs(loggedNs);
    const double span
        = arrivals.ns.size() > 1 ? double(arrivals.ns.back() - arrivals.ns.front()) / 1e9 : 0;
    const double perSecond = span > 0 ? double(arrivals.ns.size() - 1) / span : 0;
    const double nominal = 1000.0 / periodMs;
    const double p99 = percentile(gapsMs, 0.99);

    const QString name = QStringLiteral("period %1 ms, %2 s: ").arg(periodMs).arg(seconds);
    figures.add(name + QStringLiteral("frames per second at the simulator"),
        QStringLiteral("%1 (%2 % of %3; %4 frames%5)")
            .arg(Figures::number(perSecond, 2), Figures::number(100 * perSecond / nominal, 1),
                Figures::number(nominal, 0), Figures::number(double(arrivals.ns.size()), 0),
                otherEvents ? QStringLiteral(", %1 broken").arg(otherEvents) : QString()),
        QStringLiteral("≥ 99 %"), perSecond >= 0.99 * nominal && otherEvents == 0);
    figures.add(name + QStringLiteral("interval between frames, p99 (p50, max)"),
        QStringLiteral("%1 ms (%2, %3)")
            .arg(Figures::number(p99, 2), Figures::number(percentile(gapsMs, 0.5), 2),
                Figures::number(percentile(gapsMs, 1.0), 2)),
        QStringLiteral("≤ %1 ms").arg(Figures::number(1.2 * periodMs, 0)),
        !gapsMs.empty() && p99 <= 1.2 * periodMs);
    figures.add(name + QStringLiteral("interval between frames as the window logs them, p99 (max)"),
        QStringLiteral("%1 ms (%2)")
            .arg(Figures::number(percentile(sendGapsMs, 0.99), 2),
                Figures::number(percentile(sendGapsMs, 1.0), 2)));
}

// Auto-send stays on after a cable pull, by design; with the port gone each tick must find it
// closed and cost next to nothing, not spin on the lost device.
void measureAfterPull(int ticks, Figures &figures)
{
    WindowDriver driver;
    ModalBoxCatcher boxes;
    AdapterSim sim;
    if (!sim.start({QStringLiteral("--vanish-after"), QStringLiteral("300"),
            QStringLiteral("--start"), QStringLiteral("byte")}))
        qFatal("the simulator did not start: %s", qPrintable(sim.errorOutput()));
    if (!driver.openPort(sim.devicePath()))
        qFatal("the window could not open %s", qPrintable(sim.devicePath()));
    const int periodMs = 10;
    driver.setSpin("sbAutoSendPeriod", periodMs);
    driver.click("pbAutoSend");
    if (!waitUntil([&boxes] { return !boxes.titles.isEmpty(); }, 30000))
        qFatal("the window did not report the pulled cable");

    QTimer *timer = driver.autoSendTimer();
    int seen = 0;
    QObject::connect(timer, &QTimer::timeout, timer, [&seen] { ++seen; });
    const qint64 wallStart = monotonicNs();
    const double cpuStart = processCpuMs();
    if (!waitUntil([&seen, ticks] { return seen >= ticks; }, 60000))
        qFatal("auto-send stopped ticking after the cable pull");
    const double cpu = processCpuMs() - cpuStart;
    const double wallMs = double(monotonicNs() - wallStart) / 1e6;
    driver.click("pbAutoSend");

    const QString name = QStringLiteral("after a cable pull, %1 ticks every %2 ms: ")
                             .arg(ticks)
                             .arg(periodMs);
    figures.add(name + QStringLiteral("CPU time of the window"),
        QStringLiteral("%1 ms").arg(Figures::number(cpu, 1)), QStringLiteral("< %1 ms").arg(ticks),
        cpu < ticks);
    figures.add(name + QStringLiteral("CPU time per wall-clock time"),
        QStringLiteral("%1 % (%2 ms)")
            .arg(Figures::number(100 * cpu / wallMs, 1), Figures::number(wallMs, 0)),
        QStringLiteral("< 50 %"), 2 * cpu < wallMs);
}

} // namespace

int main(int argc, char *argv[])
{
    return runBenchmark(argc, argv, [](bool quick) {
        const int seconds = quick ? 3 : 10;
        Figures figures(QStringLiteral("Auto-send"));
        for (int period : {10, 100}) {
            note(QStringLiteral("auto-send every %1 ms for %2 s").arg(period).arg(seconds));
            measure(period, seconds, figures);
        }
        note(QStringLiteral("auto-send after a cable pull"));
        measureAfterPull(quick ? 100 : 1000, figures);
    });
}

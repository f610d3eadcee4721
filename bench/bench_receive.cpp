// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

// Receiving from the simulator at the adapter's line rate, 115200 8N1 (11,520 bytes/s), at
// ten times that and at 1 MB/s; and how soon a block after a quiet spell is painted. The
// figures are named after the platform the window ran on: scripts/bench runs this offscreen
// and on a real X server (Xvfb, xcb), where painting costs what it costs users.
#include "benchrun.h"
#include "clocks.h"
#include "figures.h"
#include "floodrun.h"
#include "floodstream.h"
#include "paintstamps.h"
#include "probes.h"
#include "ptymaster.h"
#include "waits.h"
#include "windowdriver.h"

#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTextDocument>
#include <QTextEdit>

#include <vector>

namespace {

constexpr double sustainedTrailMs = 100; // how far the view may trail flowing traffic
constexpr double quietLatencyMs = 30; // a block after a quiet spell, written to painted

struct Delays
{
    std::vector<double> loggedMs;
    std::vector<double> paintedMs;
};

// Blocks written into the window's port one at a time, each after a quiet spell longer than
// the log ever holds lines back.
Delays quietSpells(int count)
{
    WindowDriver driver;
    PtyMaster pty;
    driver.openPty(pty);
    const auto lineCount = [&driver] { return driver.logLineCount(); };
    PaintStamps changes(lineCount, std::size_t(count) * 2);
    QObject::connect(
        driver.log()->document(), &QTextDocument::contentsChanged, &changes, &PaintStamps::stamp);
    PaintStamps paints(lineCount, std::size_t(count) * 4);
    driver.log()->viewport()->installEventFilter(&paints);

    sim::FloodStream bytes;
    QRandomGenerator spells(1);
    std::vector<qint64> writeNs;
    for (int i = 0; i < count; ++i) {
        idleFor(100 + int(spells.bounded(100)));
        writeNs.push_back(monotonicNs());
        if (!pty.write(bytes.take<QByteArray>(17)))
            qFatal("pty write failed");
    }
    idleFor(200);
    driver.log()->viewport()->removeEventFilter(&paints);
    if (driver.logLineCount() != count)
        qFatal("%d blocks written, %d lines logged", count, driver.logLineCount());

    Delays delays;
    for (int i = 0; i < count; ++i) {
        delays.loggedMs.push_back(double(changes.firstAbove(i) - writeNs[std::size_t(i)]) / 1e6);
        const qint64 paintedNs = paints.firstAbove(i);
        if (paintedNs >= 0)
            delays.paintedMs.push_back(double(paintedNs - writeNs[std::size_t(i)]) / 1e6);
    }
    return delays;
}

class ReceiveFigures
{
public:
    explicit ReceiveFigures(const QString &benchmark)
        : figures(benchmark)
    { }

    void lost(const QString &load, const FloodResult &run)
    {
        figures.add(load + QStringLiteral(": bytes lost"),
            QStringLiteral("%1 of %2%3")
                .arg(Figures::number(run.lost(), 0), Figures::number(run.sent, 0),
                    run.intact ? QString() : QStringLiteral(" (log differs from the stream)")),
            QStringLiteral("0"), run.simulatorOk && run.intact && run.lost() == 0);
    }

    void cpu(const QString &load, const FloodResult &run, double target)
    {
        figures.add(load + QStringLiteral(": terminal CPU, share of one core"),
            Figures::number(run.cpuShare * 100, 1) + QStringLiteral(" %"),
            QStringLiteral("≤ %1 %").arg(target * 100), run.cpuShare <= target);
    }

    void latency(const QString &what, const std::vector<double> &samples, double targetMs = 0)
    {
        const double p99 = percentile(samples, 0.99);
        const QString value
            = QStringLiteral("%1 ms (p50 %2, max %3; %4 blocks)")
                  .arg(Figures::number(p99, 1), Figures::number(percentile(samples, 0.5), 1),
                      Figures::number(percentile(samples, 1), 1),
                      Figures::number(double(samples.size()), 0));
        if (targetMs > 0)
            figures.add(what + QStringLiteral(", p99"), value,
                QStringLiteral("≤ %1 ms").arg(targetMs), !samples.empty() && p99 <= targetMs);
        else
            figures.add(what + QStringLiteral(", p99"), value);
    }

    Figures figures;
};

// The terminal against the floor, a bare reader in an empty window, on the adapter's stream
// of 17-byte writes: a ratio within one run holds across machines, a share of a core does not.
// Floor and terminal take turns, the floor first and last, and each terminal run is held
// against the floor runs either side of it, so that a load that comes or goes weighs on both;
// the median of those ratios is the figure, as one run in a few catches a busy host.
void againstFloor(
    ReceiveFigures &receive, int bytesPerSecond, int seconds, int rounds, double target)
{
    FloodSettings settings;
    settings.bytesPerSecond = bytesPerSecond;
    settings.milliseconds = seconds * 1000;
    settings.writeSize = 17;
    settings.tick = false;
    const QString load = QStringLiteral("%1 B/s in 17-byte writes, %2 × %3 s")
                             .arg(Figures::number(bytesPerSecond, 0))
                             .arg(rounds)
                             .arg(seconds);
    std::vector<FloodResult> floors;
    std::vector<FloodResult> terminals;
    for (int round = 0; round <= rounds; ++round) {
        note(QStringLiteral("the floor: %1 bytes/s in 17-byte writes for %2 s")
                 .arg(bytesPerSecond)
                 .arg(seconds));
        floors.push_back(runFloor(settings));
        if (round == rounds)
            break;
        note(QStringLiteral("the terminal: %1 bytes/s in 17-byte writes for %2 s")
                 .arg(bytesPerSecond)
                 .arg(seconds));
        terminals.push_back(runFlood(settings));
    }

    bool floorIntact = true;
    std::vector<double> floorCpu;
    std::vector<double> floorReads;
    for (const FloodResult &floor : floors) {
        floorIntact = floorIntact && floor.simulatorOk && floor.intact;
        floorCpu.push_back(floor.cpuShare * 100);
        floorReads.push_back(floor.lines / floor.seconds);
    }
    FloodResult allTerminalRuns; // for the bytes lost
    allTerminalRuns.simulatorOk = true;
    allTerminalRuns.intact = true;
    std::vector<double> terminalCpu;
    std::vector<double> terminalReads;
    std::vector<double> ratios;
    double batches = 0;
    double repaints = 0;
    for (std::size_t i = 0; i < terminals.size(); ++i) {
        const FloodResult &run = terminals[i];
        allTerminalRuns.simulatorOk = allTerminalRuns.simulatorOk && run.simulatorOk;
        allTerminalRuns.intact = allTerminalRuns.intact && run.intact;
        allTerminalRuns.sent += run.sent;
        allTerminalRuns.logged += run.logged;
        terminalCpu.push_back(run.cpuShare * 100);
        terminalReads.push_back(run.lines / run.seconds);
        batches += run.batches / run.seconds / double(terminals.size());
        repaints += run.repaints / run.seconds / double(terminals.size());
        ratios.push_back(2 * run.cpuShare / (floors[i].cpuShare + floors[i + 1].cpuShare));
    }
    // Each read costs both about the same to take in, and how many writes a read gathers
    // varies from run to run, so the reads a second tell whether a ratio compares like with like.
    const auto spread = [](const std::vector<double> &values, int decimals, const QString &unit) {
        return QStringLiteral("%1%3 (%2%3)")
            .arg(Figures::number(percentile(values, 0.5), decimals),
                Figures::number(percentile(values, 0), decimals) + QStringLiteral("–")
                    + Figures::number(percentile(values, 1), decimals),
                unit);
    };
    receive.figures.add(load + QStringLiteral(": floor (bare reader, empty window) CPU"),
        spread(floorCpu, 1, QStringLiteral(" %")) + QStringLiteral(", reads a second ")
            + spread(floorReads, 0, QString())
            + (floorIntact ? QString() : QStringLiteral(", bytes lost")));
    receive.lost(load, allTerminalRuns);
    receive.figures.add(load + QStringLiteral(": terminal CPU"),
        spread(terminalCpu, 1, QStringLiteral(" %")) + QStringLiteral(", reads a second ")
            + spread(terminalReads, 0, QString())
            + QStringLiteral(", %1 batches and %2 repaints of the log a second")
                  .arg(Figures::number(batches, 1), Figures::number(repaints, 1)));
    const double ratio = percentile(ratios, 0.5);
    receive.figures.add(load + QStringLiteral(": terminal CPU / floor CPU, median"),
        spread(ratios, 2, QStringLiteral("×")),
        QStringLiteral("≤ %1×").arg(Figures::number(target, 1)), floorIntact && ratio <= target);
}

FloodResult flood(int bytesPerSecond, int seconds)
{
    note(QStringLiteral("receiving %1 bytes/s for %2 s").arg(bytesPerSecond).arg(seconds));
    FloodSettings settings;
    settings.bytesPerSecond = bytesPerSecond;
    settings.milliseconds = seconds * 1000;
    settings.stamp = true;
    return runFlood(settings);
}

} // namespace

void measureReceive(bool quick)
{
    ReceiveFigures receive(QStringLiteral("Receive (%1)").arg(QGuiApplication::platformName()));

    {
        const int seconds = quick ? 10 : 60;
        const FloodResult run = flood(11520, seconds);
        const QString load = QStringLiteral("11,520 B/s (line rate), %1 s").arg(seconds);
        receive.lost(load, run);
        receive.cpu(load, run, 0.06);
        const double mibPerSecond = double(run.residentGrowth) / (1 << 20) / run.seconds;
        receive.figures.add(load + QStringLiteral(": resident memory growth"),
            Figures::number(mibPerSecond, 2) + QStringLiteral(" MiB/s"),
            QStringLiteral("≤ 0.5 MiB/s"), mibPerSecond <= 0.5);
        receive.latency(load + QStringLiteral(": write → in the log"), run.latencyMs);
        receive.latency(
            load + QStringLiteral(": write → painted"), run.paintedLatencyMs, sustainedTrailMs);
    }
    {
        const int seconds = quick ? 5 : 20;
        const FloodResult run = flood(115200, seconds);
        const QString load = QStringLiteral("115,200 B/s, %1 s").arg(seconds);
        receive.lost(load, run);
        receive.cpu(load, run, 0.25);
        receive.latency(
            load + QStringLiteral(": write → painted"), run.paintedLatencyMs, sustainedTrailMs);
    }
    {
        const int seconds = quick ? 3 : 10;
        const int rate = 1000000;
        const FloodResult run = flood(rate, seconds);
        const QString load = QStringLiteral("1,000,000 B/s, %1 s").arg(seconds);
        receive.lost(load, run);
        receive.figures.add(load + QStringLiteral(": longest gap of a 10 ms timer"),
            Figures::number(run.maxTickGapMs, 1) + QStringLiteral(" ms"),
            QStringLiteral("≤ 100 ms"), run.maxTickGapMs <= 100);
        // Lines go into the log in batches, the last one a moment after the last byte.
        receive.figures.add(load + QStringLiteral(": delivered to the log"),
            Figures::number(run.deliveredPerSecond, 0) + QStringLiteral(" B/s (CPU ")
                + Figures::number(run.cpuShare * 100, 0) + QStringLiteral(" %)"),
            QStringLiteral("≥ 98 % of 1,000,000 B/s"), run.deliveredPerSecond >= 0.98 * rate);
        receive.latency(
            load + QStringLiteral(": write → painted"), run.paintedLatencyMs, sustainedTrailMs);
    }
    {
        const int count = quick ? 30 : 150;
        note(QStringLiteral("%1 blocks, each after a quiet spell").arg(count));
        const Delays delays = quietSpells(count);
        const QString load = QStringLiteral("a block after a quiet spell");
        receive.latency(load + QStringLiteral(": write → in the log"), delays.loggedMs);
        receive.latency(
            load + QStringLiteral(": write → painted"), delays.paintedMs, quietLatencyMs);
    }
    againstFloor(receive, 11520, quick ? 5 : 20, 3, 2.5);
    againstFloor(receive, 115200, quick ? 5 : 10, 3, 1.3);
}

int main(int argc, char *argv[])
{
    return runBenchmark(argc, argv, measureReceive);
}

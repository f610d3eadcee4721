// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

// Log growth: what one more log line costs, in time and memory, as the log grows.
#include "benchrun.h"
#include "clocks.h"
#include "figures.h"
#include "floodstream.h"
#include "logfill.h"
#include "probes.h"
#include "ptymaster.h"
#include "waits.h"
#include "windowdriver.h"

#include <QCoreApplication>
#include <QTextDocument>
#include <QTextEdit>

#include <vector>

namespace {

constexpr int blockBytes = 16; // an adapter answer is about this long
constexpr int appendSamples = 1000;
// Unmeasured lines before the samples: the first lines after filling the log pay for cold
// caches, which is not what the size of the log costs.
constexpr int warmUp = 100;
// A line that follows another within moments waits up to 80 ms to be batched with the next,
// so lines through the pty, one at a time, take that long each.
constexpr int ptySamples = 200;

// Per-line costs in microseconds. The median decides, because other processes on the
// machine add spikes that say nothing about the log; the mean is shown beside it.
struct Cost
{
    double median = 0;
    double mean = 0;
};

Cost costOf(const std::vector<double> &samples)
{
    double sum = 0;
    for (double sample : samples)
        sum += sample;
    return {percentile(samples, 0.5), sum / double(samples.size())};
}

QString shown(const Cost &cost)
{
    return QStringLiteral("%1 (mean %2)")
        .arg(Figures::number(cost.median, 1), Figures::number(cost.mean, 1));
}

// Through the pty, one block at a time, each waited for: the CPU time of the write, wake-up,
// read, format, insertion and repaint, all of it. The wait for the batch costs no CPU.
Cost ptyCostPerLine(WindowDriver &driver, PtyMaster &pty, sim::FloodStream &bytes)
{
    std::vector<double> samples;
    for (int i = -warmUp / 5; i < ptySamples; ++i) {
        const QByteArray block = bytes.take<QByteArray>(blockBytes);
        const qint64 start = processCpuNs();
        if (!pty.write(block))
            qFatal("pty write failed");
        if (!waitForSignal(driver.log()->document(), SIGNAL(contentsChanged()), 10000))
            qFatal("a block written to the pty never reached the log");
        // The repaint that the new line scheduled belongs to its cost.
        QCoreApplication::processEvents();
        if (i >= 0)
            samples.push_back(double(processCpuNs() - start) / 1000);
    }
    return costOf(samples);
}

// Qt's own call for appending a paragraph alone, with the repaint it schedules done between
// the samples but not timed: what the document costs, whatever the window makes of it.
Cost appendCostPerLine(WindowDriver &driver, sim::FloodStream &bytes)
{
    QTextEdit *log = driver.log();
    std::vector<double> samples;
    for (int i = -warmUp; i < appendSamples; ++i) {
        const QString line = receivedLine(bytes.take<QByteArray>(blockBytes));
        const qint64 start = monotonicNs();
        log->append(line);
        if (i >= 0)
            samples.push_back(double(monotonicNs() - start) / 1000);
        QCoreApplication::processEvents();
    }
    return costOf(samples);
}

} // namespace

void measureGrowth(bool quick)
{
    Figures figures(QStringLiteral("Log growth"));

    WindowDriver driver;
    PtyMaster pty;
    driver.openPty(pty);
    QCoreApplication::processEvents();
    const qint64 baseline = residentBytes();

    sim::FloodStream bytes;
    const std::vector<int> sizes = quick ? std::vector<int> {1000, 10000, 100000}
                                         : std::vector<int> {1000, 10000, 100000, 1000000};
    std::vector<Cost> ptyCost;
    std::vector<Cost> appendCost;
    double bytesPerLine = 0;
    for (int size : sizes) {
        note(QStringLiteral("filling the log to %1 lines").arg(size));
        fillLog(driver, size, bytes, blockBytes);

        const int lines = driver.logLineCount();
        bytesPerLine = double(residentBytes() - baseline) / lines;
        ptyCost.push_back(ptyCostPerLine(driver, pty, bytes));
        appendCost.push_back(appendCostPerLine(driver, bytes));

        const QString at = Figures::number(size, 0);
        figures.add(
            QStringLiteral("CPU µs per line via pty, one at a time, log at %1 lines").arg(at),
            shown(ptyCost.back()));
        figures.add(QStringLiteral("µs per QTextEdit::append, log at %1 lines").arg(at),
            shown(appendCost.back()));
        figures.add(QStringLiteral("memory per line, log at %1 lines").arg(at),
            Figures::number(bytesPerLine, 0) + QStringLiteral(" B"));
    }

    const QString largest = Figures::number(sizes.back(), 0);
    const QString ratioTarget = QStringLiteral("≤ 1.30");
    const double ptyRatio = ptyCost.back().median / ptyCost.front().median;
    const double appendRatio = appendCost.back().median / appendCost.front().median;
    figures.add(QStringLiteral("cost at %1 / cost at 1,000 lines, via pty").arg(largest),
        Figures::number(ptyRatio, 2), ratioTarget, ptyRatio <= 1.3);
    // Qt's document alone, which the window no longer feeds line by line: shown, not judged.
    figures.add(QStringLiteral("cost at %1 / cost at 1,000 lines, append").arg(largest),
        Figures::number(appendRatio, 2));
    figures.add(QStringLiteral("memory per line at %1 lines").arg(largest),
        Figures::number(bytesPerLine, 0) + QStringLiteral(" B"), QStringLiteral("≤ 800 B"),
        bytesPerLine <= 800);
}

int main(int argc, char *argv[])
{
    return runBenchmark(argc, argv, measureGrowth);
}

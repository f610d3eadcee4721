// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

// Start-up: from process start to the window shown, and resident memory at rest. The
// benchmark starts itself again as a child for each sample, so that dynamic loading and
// Qt's own start-up are inside the figure.
#include "benchrun.h"
#include "clocks.h"
#include "figures.h"
#include "mainwindow.h"
#include "paintstamps.h"
#include "probes.h"
#include "waits.h"

#include <QApplication>
#include <QProcess>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

qint64 mainEnteredNs = 0;

// Milliseconds since this process started, from /proc/self/stat (clock-tick resolution).
double msSinceProcessStart()
{
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // Field 22; the command name in field 2 may hold blanks, so count from its ')'.
    std::size_t at = text.rfind(')');
    for (int field = 2; field < 22 && at != std::string::npos; ++field)
        at = text.find(' ', at + 1);
    if (at == std::string::npos)
        return -1;
    const double startTicks = std::stod(text.substr(at + 1));
    timespec now {};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs = double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
    return nowMs - startTicks * 1e3 / double(sysconf(_SC_CLK_TCK));
}

// The child: start the window, report when it was first painted and what it holds at rest.
void runChild()
{
    PaintStamps paints;
    qApp->installEventFilter(&paints);
    MainWindow window;
    window.show();
    // The painting of a frame happens inside one event, so once an event loop pass that
    // painted returns, the whole first frame is done.
    if (!waitUntil([&paints] { return !paints.ns.empty(); }, 30000))
        qFatal("the window never painted");
    const qint64 shownNs = monotonicNs();
    const double procMs = msSinceProcessStart();
    qApp->removeEventFilter(&paints);

    // At rest: half a second of an idle event loop after the first frame.
    idleFor(500);
    std::printf("main=%lld shown=%lld proc_ms=%.3f rss=%lld\n",
        static_cast<long long>(mainEnteredNs), static_cast<long long>(shownNs), procMs,
        static_cast<long long>(residentBytes()));
}

struct Sample
{
    double startToShownMs = 0;
    double mainToShownMs = 0;
    double procStartToShownMs = 0;
    double restingMiB = 0;
};

bool runSample(const QString &program, Sample &sample)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const qint64 spawnNs = monotonicNs();
    child.start(program, {QStringLiteral("--child")});
    if (!child.waitForFinished(60000) || child.exitCode() != 0)
        return false;
    long long mainNs = 0;
    long long shownNs = 0;
    double procMs = 0;
    long long rss = 0;
    const QByteArray line = child.readAllStandardOutput();
    if (std::sscanf(line.constData(), "main=%lld shown=%lld proc_ms=%lf rss=%lld", &mainNs,
            &shownNs, &procMs, &rss)
        != 4)
        return false;
    sample.startToShownMs = double(shownNs - spawnNs) / 1e6;
    sample.mainToShownMs = double(shownNs - mainNs) / 1e6;
    sample.procStartToShownMs = procMs;
    sample.restingMiB = double(rss) / (1024.0 * 1024.0);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    mainEnteredNs = monotonicNs();
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--child") == 0)
            return runBenchmark(argc, argv, [](bool) { runChild(); });
    }

    QCoreApplication app(argc, argv);
    const int runs = quickRun(argc, argv) ? 3 : 7;
    std::vector<Sample> samples;
    for (int i = 0; i < runs; ++i) {
        Sample sample;
        if (!runSample(QCoreApplication::applicationFilePath(), sample))
            qFatal("start-up run %d failed", i);
        samples.push_back(sample);
    }
    // The median, so that one cold start or a busy moment does not decide the figure.
    auto median = [&samples](double Sample::*field) {
        std::vector<double> values;
        for (const Sample &sample : samples)
            values.push_back(sample.*field);
        return percentile(values, 0.5);
    };
    Figures figures(QStringLiteral("Start-up"));
    const QString of = QStringLiteral(" (median of %1)").arg(runs);
    figures.add(QStringLiteral("process start (spawn) → window painted") + of,
        Figures::number(median(&Sample::startToShownMs), 1) + QStringLiteral(" ms"));
    figures.add(QStringLiteral("main() → window painted") + of,
        Figures::number(median(&Sample::mainToShownMs), 1) + QStringLiteral(" ms"));
    figures.add(QStringLiteral("process start per /proc starttime → window painted") + of,
        Figures::number(median(&Sample::procStartToShownMs), 0) + QStringLiteral(" ms (±10)"));
    figures.add(QStringLiteral("resident memory at rest") + of,
        Figures::number(median(&Sample::restingMiB), 1) + QStringLiteral(" MiB"));
    return 0;
}

// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "floodrun.h"

#include "adaptersim.h"
#include "clocks.h"
#include "floodstream.h"
#include "modalboxcatcher.h"
#include "paintstamps.h"
#include "probes.h"
#include "windowdriver.h"

#include <QRegularExpression>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

namespace {

struct Write
{
    qint64 ns;
    qint64 offset;
    qint64 count;
};

// The log's lines as bytes: their running total after each line, compared against the flood
// stream as they are read.
struct LogBytes
{
    std::vector<qint64> endAfterLine;
    bool matchesStream = true;
    sim::Fnv1a fnv1a;
};

LogBytes readLog(const WindowDriver &driver)
{
    LogBytes result;
    sim::FloodStream stream;
    qint64 total = 0;
    const int lines = driver.logLineCount();
    result.endAfterLine.reserve(std::size_t(lines));
    for (int i = 0; i < lines; ++i) {
        const QString line = driver.logLine(i);
        if (!line.startsWith(QLatin1String("--> ")))
            result.matchesStream = false;
        const QByteArray bytes = QByteArray::fromHex(line.mid(4).toLatin1());
        for (char byte : bytes) {
            if (quint8(byte) != stream.next())
                result.matchesStream = false;
            result.fnv1a.add(quint8(byte));
        }
        total += bytes.size();
        result.endAfterLine.push_back(total);
    }
    return result;
}

} // namespace

FloodResult runFlood(const FloodSettings &settings)
{
    FloodResult result;
    // The simulator closes its pty when the flood ends, and the window reports the lost port
    // in a modal box that would otherwise wait for a click forever.
    ModalBoxCatcher catcher;
    WindowDriver driver;
    AdapterSim sim;
    QStringList arguments {QStringLiteral("--flood"), QString::number(settings.bytesPerSecond),
        QStringLiteral("--seconds"), QString::number(settings.milliseconds / 1000.0, 'f', 3),
        // Lets the window finish opening before the first byte, as a real adapter would.
        QStringLiteral("--delay"), QStringLiteral("200"), QStringLiteral("--drain-timeout"),
        QString::number(settings.drainTimeoutMs)};
    if (settings.stamp)
        arguments << QStringLiteral("--stamp");
    if (!sim.start(arguments))
        qFatal("the simulator did not start: %s", qPrintable(sim.errorOutput()));

    // Kept minimal: this runs inside the process whose CPU time is measured. The log takes
    // its lines in batches, so each change and each paint notes how many lines there were.
    const auto lineCount = [&driver] { return driver.logLineCount(); };
    PaintStamps changes(lineCount, std::size_t(settings.milliseconds) * 2);
    QObject::connect(
        driver.log()->document(), &QTextDocument::contentsChanged, &changes, &PaintStamps::stamp);
    PaintStamps paints(lineCount, std::size_t(settings.milliseconds) * 2);
    driver.log()->viewport()->installEventFilter(&paints);
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    qint64 lastTick = 0;
    qint64 maxGap = 0;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = monotonicNs();
        maxGap = std::max(maxGap, now - lastTick);
        lastTick = now;
    });

    const qint64 residentStart = residentBytes();
    const qint64 cpuStart = processCpuNs();
    const qint64 wallStart = monotonicNs();
    lastTick = wallStart;
    tick.start(10);
    if (!driver.openPort(sim.devicePath()))
        qFatal("the window could not open %s", qPrintable(sim.devicePath()));
    const QString end = sim.waitForEvent(
        QStringLiteral("FLOOD "), settings.milliseconds + settings.drainTimeoutMs + 30000);
    tick.stop();
    result.seconds = double(monotonicNs() - wallStart) / 1e9;
    result.cpuShare = double(processCpuNs() - cpuStart) / 1e9 / result.seconds;
    result.maxTickGapMs = double(maxGap) / 1e6;
    result.residentGrowth = residentBytes() - residentStart;
    driver.click("pbCOMportClose");
    QObject::disconnect(driver.log()->document(), nullptr, nullptr, nullptr);
    driver.log()->viewport()->removeEventFilter(&paints);
    result.simulatorOk = sim.stop() && !end.isEmpty();

    const QRegularExpression floodLine(QStringLiteral("^FLOOD total=(\\d+) fnv1a=([0-9A-F]{8})"));
    const QRegularExpressionMatch floodMatch = floodLine.match(end);
    quint32 sentHash = 0;
    if (floodMatch.hasMatch()) {
        result.sent = floodMatch.captured(1).toLongLong();
        sentHash = floodMatch.captured(2).toUInt(nullptr, 16);
    }

    const LogBytes log = readLog(driver);
    result.lines = int(log.endAfterLine.size());
    result.logged = log.endAfterLine.empty() ? 0 : log.endAfterLine.back();
    result.intact
        = log.matchesStream && result.logged == result.sent && log.fnv1a.value() == sentHash;
    if ((changes.samples.empty() ? 0 : changes.samples.back()) != result.lines)
        qFatal("the log changed behind the flood's back");
    if (result.lines > 1) {
        const double span = double(changes.ns.back() - changes.firstAbove(0)) / 1e9;
        result.deliveredPerSecond = double(result.logged - log.endAfterLine.front()) / span;
    }

    if (settings.stamp) {
        for (const QString &event : sim.events()) {
            if (!event.startsWith(QLatin1String("WROTE ")))
                continue;
            const QStringList fields = event.split(QLatin1Char(' '));
            const Write write {fields.value(1).toLongLong(), fields.value(2).toLongLong(),
                fields.value(3).toLongLong()};
            // The line that holds the write's last byte is where the write became visible.
            const auto line = std::upper_bound(
                log.endAfterLine.begin(), log.endAfterLine.end(), write.offset + write.count - 1);
            if (line == log.endAfterLine.end())
                continue; // never logged: counted as lost already
            const int index = int(line - log.endAfterLine.begin());
            result.latencyMs.push_back(double(changes.firstAbove(index) - write.ns) / 1e6);
            // The first repaint that started with the line in the log.
            const qint64 paintedNs = paints.firstAbove(index);
            if (paintedNs >= 0)
                result.paintedLatencyMs.push_back(double(paintedNs - write.ns) / 1e6);
        }
    }
    return result;
}

// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "floodrun.h"

#include "adaptersim.h"
#include "clocks.h"
#include "floodstream.h"
#include "modalboxcatcher.h"
#include "paintstamps.h"
#include "probes.h"
#include "waits.h"
#include "windowdriver.h"

#include <QRegularExpression>
#include <QSerialPort>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <functional>

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

void startSimulator(AdapterSim &sim, const FloodSettings &settings)
{
    QStringList arguments {QStringLiteral("--flood"), QString::number(settings.bytesPerSecond),
        QStringLiteral("--seconds"), QString::number(settings.milliseconds / 1000.0, 'f', 3),
        // Lets the window finish opening before the first byte, as a real adapter would.
        QStringLiteral("--delay"), QStringLiteral("200"), QStringLiteral("--drain-timeout"),
        QString::number(settings.drainTimeoutMs)};
    if (settings.stamp)
        arguments << QStringLiteral("--stamp");
    if (settings.writeSize > 0)
        arguments << QStringLiteral("--write-size") << QString::number(settings.writeSize);
    if (!sim.start(arguments))
        qFatal("the simulator did not start: %s", qPrintable(sim.errorOutput()));
}

// Opens the port with `open` and runs the event loop until the simulator's end of flood,
// timing it; returns that end.
QString timeFlood(AdapterSim &sim, const FloodSettings &settings, const std::function<bool()> &open,
    FloodResult &result)
{
    const qint64 cpuStart = processCpuNs();
    const qint64 wallStart = monotonicNs();
    if (!open())
        qFatal("the port could not be opened: %s", qPrintable(sim.devicePath()));
    const QString end = sim.waitForEvent(
        QStringLiteral("FLOOD "), settings.milliseconds + settings.drainTimeoutMs + 30000);
    result.seconds = double(monotonicNs() - wallStart) / 1e9;
    result.cpuShare = double(processCpuNs() - cpuStart) / 1e9 / result.seconds;
    return end;
}

// What the simulator wrote, by its end of flood line; returns the hash of the bytes.
quint32 readFloodEnd(const QString &end, FloodResult &result)
{
    const QRegularExpression floodLine(QStringLiteral("^FLOOD total=(\\d+) fnv1a=([0-9A-F]{8})"));
    const QRegularExpressionMatch floodMatch = floodLine.match(end);
    if (!floodMatch.hasMatch())
        return 0;
    result.sent = floodMatch.captured(1).toLongLong();
    return floodMatch.captured(2).toUInt(nullptr, 16);
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
    startSimulator(sim, settings);

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
    lastTick = monotonicNs();
    if (settings.tick)
        tick.start(10);
    const QString end = timeFlood(
        sim, settings, [&] { return driver.openPort(sim.devicePath()); }, result);
    tick.stop();
    result.maxTickGapMs = double(maxGap) / 1e6;
    result.residentGrowth = residentBytes() - residentStart;
    result.batches = int(changes.ns.size());
    result.repaints = int(paints.ns.size());
    driver.click("pbCOMportClose");
    QObject::disconnect(driver.log()->document(), nullptr, nullptr, nullptr);
    driver.log()->viewport()->removeEventFilter(&paints);
    result.simulatorOk = sim.stop() && !end.isEmpty();

    const quint32 sentHash = readFloodEnd(end, result);
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

FloodResult runFloor(const FloodSettings &settings)
{
    FloodResult result;
    QWidget window;
    window.show();
    if (!waitUntil([&window] { return window.windowHandle()->isExposed(); }, 60000))
        qFatal("the window was never exposed");
    AdapterSim sim;
    startSimulator(sim, settings);
    QSerialPort port(sim.devicePath());
    QObject::connect(&port, &QSerialPort::readyRead,
        [&result, &port] {
            result.logged += port.readAll().size();
            ++result.lines;
        });
    // As the window opens its port.
    const auto open = [&port] {
        return port.open(QIODevice::ReadWrite)
            && port.setBaudRate(QSerialPort::Baud115200, QSerialPort::AllDirections)
            && port.setDataBits(QSerialPort::Data8) && port.setParity(QSerialPort::NoParity)
            && port.setStopBits(QSerialPort::OneStop)
            && port.setFlowControl(QSerialPort::NoFlowControl);
    };
    const QString end = timeFlood(sim, settings, open, result);
    port.close();
    result.simulatorOk = sim.stop() && !end.isEmpty();
    readFloodEnd(end, result);
    result.intact = result.logged == result.sent;
    return result;
}

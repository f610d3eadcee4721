// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef FLOODRUN_H
#define FLOODRUN_H

#include <QtGlobal>

#include <vector>

// One flood from the simulated adapter into a freshly opened window, checked byte for byte
// against the stream the simulator sends.
struct FloodSettings
{
    int bytesPerSecond = 11520;
    int milliseconds = 10000;
    // Ask the simulator for write timestamps, to measure latency.
    bool stamp = false;
    int drainTimeoutMs = 10000;
    // Bytes per simulator write; 0 writes what is due every 2 ms.
    int writeSize = 0;
    // Runs a 10 ms timer to measure how late the event loop gets; its wake-ups cost CPU time.
    bool tick = true;
};

struct FloodResult
{
    bool simulatorOk = false; // it delivered everything and exited normally
    qint64 sent = 0; // bytes the simulator wrote
    qint64 logged = 0; // bytes found in the log
    bool intact = false; // the logged bytes are the stream, in order, and hash as sent
    int lines = 0;
    double seconds = 0; // from opening the port to the simulator's end of flood
    double cpuShare = 0; // process CPU time over `seconds`, as a share of one core
    double maxTickGapMs = 0; // longest gap between ticks of a 10 ms timer (with tick)
    double deliveredPerSecond = 0; // bytes per second from the first to the last log line
    qint64 residentGrowth = 0; // bytes, over `seconds`
    int batches = 0; // changes of the log's document
    int repaints = 0; // paint events of the log's viewport
    std::vector<double> latencyMs; // write to log line, per simulator write (with stamp)
    std::vector<double> paintedLatencyMs; // write to the first repaint showing that line

    qint64 lost() const { return sent - logged; }
};

FloodResult runFlood(const FloodSettings &settings);
// The same flood into the floor every terminal stands on: the terminal's port settings in a
// shown window that draws nothing, reading and counting bytes. Only `simulatorOk`, `sent`,
// `logged`, `intact`, `lines` (the reads), `seconds` and `cpuShare` are filled.
FloodResult runFloor(const FloodSettings &settings);

#endif // FLOODRUN_H

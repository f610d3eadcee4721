#ifndef PROBES_H
#define PROBES_H

#include <QtGlobal>

class QObject;

#include <functional>
#include <vector>

// Clocks, counters and small statistics shared by the benchmarks.

// CLOCK_MONOTONIC in nanoseconds: the clock the simulator's --stamp uses, so times taken in
// both processes can be subtracted.
qint64 monotonicNs();
// CPU time (user + system) of this whole process, every thread included.
qint64 processCpuNs();
// Resident set size of this process, from /proc/self/statm.
qint64 residentBytes();

// The value below which `fraction` of the samples lie (nearest rank); 0 for no samples.
double percentile(std::vector<double> samples, double fraction);

// Runs the event loop until `done` holds or `timeoutMs` has passed; true if it holds. Wakes
// at least every millisecond, so conditions that change without an event are seen too; that
// wake-up disturbs the window's own timers, so a timing measurement waits some other way.
bool waitUntil(const std::function<bool()> &done, int timeoutMs);
// Runs the event loop for `ms` milliseconds on a single timer of its own, so that nothing
// competes with the window's timers.
void idleFor(int ms);
// Runs the event loop until `sender` emits `signal` (given with SIGNAL()) or `timeoutMs` has
// passed, with nothing of ours waking it in between; true if the signal came.
bool waitForSignal(const QObject *sender, const char *signal, int timeoutMs);

#endif // PROBES_H

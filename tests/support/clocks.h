// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef CLOCKS_H
#define CLOCKS_H

#include <QtGlobal>

// CLOCK_MONOTONIC in nanoseconds: the clock the simulator's --stamp uses, so times taken in
// both processes can be subtracted.
qint64 monotonicNs();
// CPU time (user + system) of this whole process, every thread included.
qint64 processCpuNs();
inline double processCpuMs()
{
    return double(processCpuNs()) / 1e6;
}

#endif // CLOCKS_H

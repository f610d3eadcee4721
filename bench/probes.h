// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef PROBES_H
#define PROBES_H

#include <QtGlobal>

#include <vector>

// Resident set size of this process, from /proc/self/statm.
qint64 residentBytes();

// The value below which `fraction` of the samples lie (nearest rank); 0 for no samples.
double percentile(std::vector<double> samples, double fraction);

#endif // PROBES_H

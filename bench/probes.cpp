// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "probes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unistd.h>

qint64 residentBytes()
{
    long pages = 0;
    long resident = 0;
    FILE *file = std::fopen("/proc/self/statm", "r");
    if (!file)
        return -1;
    const int fields = std::fscanf(file, "%ld %ld", &pages, &resident);
    std::fclose(file);
    return fields == 2 ? qint64(resident) * sysconf(_SC_PAGESIZE) : -1;
}

double percentile(std::vector<double> samples, double fraction)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const double rank = std::ceil(fraction * double(samples.size()));
    const std::size_t index = std::size_t(std::max(1.0, rank)) - 1;
    return samples[std::min(index, samples.size() - 1)];
}

// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "floodsource.h"

#include <algorithm>

namespace sim {

FloodSource::FloodSource(std::uint64_t bytesPerSecond, std::uint64_t durationMs)
    : rate(bytesPerSecond)
    , totalBytes(bytesPerSecond * durationMs / 1000)
{ }

std::uint64_t FloodSource::dueAt(std::uint64_t elapsedUs) const
{
    // With the option limits (rate <= 1e8/s, at most an hour) rate * elapsedUs stays inside
    // 64 bits for the whole flood; the clamp covers a caller that keeps asking after the end.
    const std::uint64_t maxUs = std::uint64_t(1) << 36;
    return std::min(totalBytes, rate * std::min(elapsedUs, maxUs) / 1000000);
}

void FloodSource::generate(std::size_t count, std::vector<std::uint8_t> &out)
{
    const std::uint64_t n = std::min<std::uint64_t>(count, totalBytes - generatedBytes);
    const std::size_t start = out.size();
    out.resize(start + std::size_t(n));
    stream.fill(out.data() + start, std::size_t(n));
    generatedBytes += n;
}

} // namespace sim

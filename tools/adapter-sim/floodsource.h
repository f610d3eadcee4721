// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef FLOODSOURCE_H
#define FLOODSOURCE_H

#include "floodstream.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

// The flood's byte stream and its schedule. The schedule is a pure function of elapsed
// time, which keeps the average rate exact however irregularly the caller is woken.
class FloodSource
{
public:
    FloodSource(std::uint64_t bytesPerSecond, std::uint64_t durationMs);

    std::uint64_t total() const { return totalBytes; }
    std::uint64_t generated() const { return generatedBytes; }
    bool finished() const { return generatedBytes == totalBytes; }

    // How many bytes should have been produced after `elapsedUs` microseconds.
    std::uint64_t dueAt(std::uint64_t elapsedUs) const;

    // Appends the next `count` bytes of the stream, never going past total().
    void generate(std::size_t count, std::vector<std::uint8_t> &out);

private:
    std::uint64_t rate;
    std::uint64_t totalBytes;
    std::uint64_t generatedBytes = 0;
    FloodStream stream;
};

} // namespace sim

#endif // FLOODSOURCE_H

// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef OPTIONS_H
#define OPTIONS_H

#include <cstdint>
#include <string>

namespace sim {

// The simulator's command line.
class Options
{
public:
    enum class Start { Open, Byte, Now };

    bool help = false;
    std::uint64_t floodRate = 0; // bytes per second; 0 means no flood
    std::uint64_t floodMs = 0;
    std::uint64_t writeSize = 0; // bytes per flood write; 0 means all that is due every 2 ms
    Start start = Start::Open;
    std::uint64_t delayMs = 0;
    std::int64_t vanishAfterMs = -1; // -1 means never
    std::uint64_t frameTimeoutMs = 0; // 0 means wait for the rest of a frame forever
    std::uint64_t drainTimeoutMs = 10000;
    bool stamp = false; // monotonic timestamps on event lines, WROTE lines for writes

    bool flooding() const { return floodRate > 0; }
    bool vanishing() const { return vanishAfterMs >= 0; }

    // False with `error` filled when the arguments are unusable.
    bool parse(int argc, char *const *argv, std::string &error);

    static std::string usage();
};

} // namespace sim

#endif // OPTIONS_H

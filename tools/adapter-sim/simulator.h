// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATOR_H
#define SIMULATOR_H

#include "floodsource.h"
#include "framedecoder.h"
#include "openwatch.h"
#include "options.h"
#include "ptyport.h"
#include "writequeue.h"

#include <chrono>
#include <string>
#include <vector>

namespace sim {

// The simulated adapter: one ppoll() loop over the pseudo-terminal's master, the signal pipe
// and the open watch, with the flood, vanish and frame-timeout deadlines as poll timeouts.
class Simulator
{
public:
    explicit Simulator(const Options &options);

    // Runs until a signal, the vanish or the end of the flood; returns the exit code.
    int run();

private:
    using Clock = std::chrono::steady_clock;
    enum class Flood { Off, Waiting, Delaying, Running, Draining };
    enum class Ending { Signal, Vanish, FloodDone, FloodStuck };

    void begin(Clock::time_point now);
    bool readInput(Clock::time_point now);
    void report(const std::vector<FrameEvent> &events);
    // True when the flood has ended, one way or the other; `ending` says which.
    bool serviceFlood(Clock::time_point now, Ending &ending);
    void noteProgress(Clock::time_point now);
    Clock::time_point nextDeadline(Clock::time_point now) const;
    std::uint64_t whole(std::uint64_t due) const;
    Clock::time_point nextWriteAt() const;
    int finish(Ending ending);
    int fail(const std::string &message);

    const Options options;
    PtyPort port;
    OpenWatch watch;
    FrameDecoder decoder;
    WriteQueue queue;
    FloodSource source;

    bool started = false;
    Flood flood = Flood::Off;
    Clock::time_point vanishAt;
    Clock::time_point floodStartAt;
    Clock::time_point giveUpAt;
    Clock::time_point lastInput;
    Clock::time_point emptySince;
    bool emptySeen = false;
    int lastQueued = -1;
};

} // namespace sim

#endif // SIMULATOR_H

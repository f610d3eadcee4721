// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef FRAMEEVENT_H
#define FRAMEEVENT_H

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// One thing the decoder recognised in the byte stream. Only the raw bytes are kept: every
// field of the printed line is read back from them, so the line can never disagree with
// what actually arrived.
struct FrameEvent
{
    enum class Kind {
        SendStandard,
        SendExtended,
        Echo,
        BadChecksum,
        BadLength,
        BadEcho,
        UnknownType,
        Garbage,
    };

    Kind kind;
    std::vector<std::uint8_t> bytes; // the whole frame, or the run of garbage bytes

    // The event as one stdout line, without the line break.
    std::string toLine() const;
};

// Upper-case hex pairs separated by single blanks.
std::string hexBytes(const std::uint8_t *data, std::size_t size);

} // namespace sim

#endif // FRAMEEVENT_H

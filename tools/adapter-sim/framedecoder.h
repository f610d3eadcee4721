// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef FRAMEDECODER_H
#define FRAMEDECODER_H

#include "frameevent.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

// Streaming decoder for the adapter's command frames:
//   1C 05 LEN body[LEN-1] CS, body[0] = type, CS = XOR of LEN and the body.
// Bytes may arrive in any slicing; a frame is reported once its last byte is in. Bytes that
// cannot belong to a frame are reported as garbage as soon as that is certain, so only a
// possible frame start (a trailing 1C, or a header whose frame is not complete yet) is ever
// held back.
class FrameDecoder
{
public:
    static constexpr std::uint8_t header0 = 0x1C;
    static constexpr std::uint8_t header1 = 0x05;
    static constexpr std::uint8_t typeStandard = 0x00;
    static constexpr std::uint8_t typeExtended = 0x02;
    static constexpr std::uint8_t typeEcho = 0x80;

    std::vector<FrameEvent> feed(const std::uint8_t *data, std::size_t size);

    // Declares that no more bytes will follow the held ones (stall or exit). The header that
    // is waiting for its frame is given up as garbage and decoding resumes behind it, so a
    // complete frame that was swallowed by a bogus length is still found.
    std::vector<FrameEvent> flush();

    // Bytes held back as the possible start of a frame.
    std::size_t pendingSize() const { return buffer.size(); }

private:
    void decode(std::vector<FrameEvent> &events, bool final);

    std::vector<std::uint8_t> buffer;
};

} // namespace sim

#endif // FRAMEDECODER_H

// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "frameevent.h"

namespace sim {

std::string hexBytes(const std::uint8_t *data, std::size_t size)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(size * 3);
    for (std::size_t i = 0; i < size; ++i) {
        if (i > 0)
            text += ' ';
        text += digits[data[i] >> 4];
        text += digits[data[i] & 0x0F];
    }
    return text;
}

std::string FrameEvent::toLine() const
{
    const std::uint8_t *b = bytes.data();
    const std::string frame = hexBytes(b, bytes.size());
    switch (kind) {
    case Kind::SendStandard:
        // Layout: 1C 05 LEN 00 msg id id n data... CS
        return "SEND STD msg=" + hexBytes(b + 4, 1) + " id=" + hexBytes(b + 5, 2)
            + " n=" + std::to_string(b[7]) + " data=" + hexBytes(b + 8, b[7]);
    case Kind::SendExtended:
        // Layout: 1C 05 LEN 02 msg id id id id n data... CS
        return "SEND EXT msg=" + hexBytes(b + 4, 1) + " id=" + hexBytes(b + 5, 4)
            + " n=" + std::to_string(b[9]) + " data=" + hexBytes(b + 10, b[9]);
    case Kind::Echo:
        return "ECHO";
    case Kind::BadChecksum:
        return "BAD_CHECKSUM frame=" + frame;
    case Kind::BadLength:
        return "BAD_LENGTH frame=" + frame;
    case Kind::BadEcho:
        return "BAD_ECHO frame=" + frame;
    case Kind::UnknownType:
        return "UNKNOWN_TYPE type=" + hexBytes(b + 3, 1) + " frame=" + frame;
    case Kind::Garbage:
        return "GARBAGE bytes=" + frame;
    }
    return "INTERNAL_ERROR";
}

} // namespace sim

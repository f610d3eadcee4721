// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "framedecoder.h"

namespace sim {

namespace {

// A wrong length is caught as soon as the type byte is in, so that a corrupted length of a
// known command cannot make the decoder wait for (and swallow) up to 258 bytes.
bool lengthFitsType(std::uint8_t type, std::uint8_t len)
{
    switch (type) {
    case FrameDecoder::typeStandard:
        return len >= 1 + 6 && len <= 8 + 6;
    case FrameDecoder::typeExtended:
        return len >= 1 + 8 && len <= 8 + 8;
    case FrameDecoder::typeEcho:
        return len == 3;
    default:
        return true; // unknown types are framed by LEN alone
    }
}

FrameEvent classify(std::vector<std::uint8_t> frame)
{
    using Kind = FrameEvent::Kind;
    const std::uint8_t len = frame[2];
    const std::uint8_t type = frame[3];

    std::uint8_t cs = 0;
    for (std::size_t i = 2; i + 1 < frame.size(); ++i)
        cs ^= frame[i];
    // The checksum comes first: a frame that fails it has no trustworthy fields.
    if (cs != frame.back())
        return {Kind::BadChecksum, std::move(frame)};

    switch (type) {
    case FrameDecoder::typeStandard:
        if (frame[7] != len - 6)
            return {Kind::BadLength, std::move(frame)};
        return {Kind::SendStandard, std::move(frame)};
    case FrameDecoder::typeExtended:
        if (frame[9] != len - 8)
            return {Kind::BadLength, std::move(frame)};
        return {Kind::SendExtended, std::move(frame)};
    case FrameDecoder::typeEcho:
        if (frame[4] != 0x01)
            return {Kind::BadEcho, std::move(frame)};
        return {Kind::Echo, std::move(frame)};
    default:
        return {Kind::UnknownType, std::move(frame)};
    }
}

} // namespace

std::vector<FrameEvent> FrameDecoder::feed(const std::uint8_t *data, std::size_t size)
{
    buffer.insert(buffer.end(), data, data + size);
    std::vector<FrameEvent> events;
    decode(events, false);
    return events;
}

std::vector<FrameEvent> FrameDecoder::flush()
{
    std::vector<FrameEvent> events;
    decode(events, true);
    return events;
}

void FrameDecoder::decode(std::vector<FrameEvent> &events, bool final)
{
    std::vector<std::uint8_t> garbage;
    std::size_t pos = 0;

    // Garbage is reported before whatever ended it, so the lines keep the stream's order.
    auto flushGarbage = [&] {
        if (!garbage.empty())
            events.push_back({FrameEvent::Kind::Garbage, std::move(garbage)});
        garbage.clear();
    };
    auto take = [&](std::size_t count) {
        std::vector<std::uint8_t> bytes(buffer.begin() + pos, buffer.begin() + pos + count);
        pos += count;
        return bytes;
    };

    while (pos < buffer.size()) {
        const std::size_t left = buffer.size() - pos;
        const std::uint8_t *p = buffer.data() + pos;

        if (p[0] != header0 || (left >= 2 && p[1] != header1)) {
            garbage.push_back(p[0]);
            ++pos;
            continue;
        }

        std::size_t needed = 4; // header, LEN and type decide how long the frame is
        if (left >= 3 && p[2] < 2) {
            // Not even room for a type code; nothing behind LEN can be trusted.
            flushGarbage();
            events.push_back({FrameEvent::Kind::BadLength, take(3)});
            continue;
        }
        if (left >= 4) {
            if (!lengthFitsType(p[3], p[2])) {
                flushGarbage();
                events.push_back({FrameEvent::Kind::BadLength, take(4)});
                continue;
            }
            needed = std::size_t(p[2]) + 3;
        }

        if (left < needed) {
            if (!final)
                break;
            garbage.push_back(p[0]);
            ++pos;
            continue;
        }

        flushGarbage();
        events.push_back(classify(take(needed)));
    }

    flushGarbage();
    buffer.erase(buffer.begin(), buffer.begin() + pos);
}

} // namespace sim

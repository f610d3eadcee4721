// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef FLOODSTREAM_H
#define FLOODSTREAM_H

#include <cstddef>
#include <cstdint>

namespace sim {

// The flood's bytes: byte k is the low eight bits of the k-th xorshift32 value (shifts 13,
// 17, 5; seed 1), so that a receiver can rebuild the stream and check what it got.
class FloodStream
{
public:
    std::uint8_t next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return std::uint8_t(state & 0xFF);
    }

    template<typename Byte> void fill(Byte *data, std::size_t size)
    {
        for (std::size_t i = 0; i < size; ++i)
            data[i] = Byte(next());
    }

    // The next `size` bytes in a new container of bytes, std::vector or QByteArray alike.
    template<typename Bytes> Bytes take(std::size_t size)
    {
        Bytes bytes(size, 0);
        fill(bytes.data(), size);
        return bytes;
    }

private:
    std::uint32_t state = 1;
};

// 32-bit FNV-1a, fed as the bytes pass, as the flood's summary reports it.
class Fnv1a
{
public:
    void add(std::uint8_t byte) { hash = (hash ^ byte) * 16777619u; }

    template<typename Byte> void add(const Byte *data, std::size_t size)
    {
        for (std::size_t i = 0; i < size; ++i)
            add(std::uint8_t(data[i]));
    }

    std::uint32_t value() const { return hash; }

private:
    std::uint32_t hash = 2166136261u;
};

} // namespace sim

#endif // FLOODSTREAM_H

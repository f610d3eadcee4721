// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef WRITEQUEUE_H
#define WRITEQUEUE_H

#include "floodstream.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace sim {

// Bytes on their way to a non-blocking descriptor. Nothing is ever dropped: what the
// descriptor does not take now stays queued, in order, for the next attempt. Counts and
// hashes only what the descriptor actually accepted.
class WriteQueue
{
public:
    // Told of every write the descriptor accepted: bytes written before it, and its count.
    using Observer = std::function<void(std::uint64_t offset, std::size_t count)>;

    void setObserver(Observer newObserver) { observer = std::move(newObserver); }
    void append(const std::uint8_t *data, std::size_t size);
    std::size_t size() const { return bytes.size() - head; }
    bool empty() const { return size() == 0; }

    // Writes as much as the descriptor takes without blocking, at most `maxWrite` bytes per
    // write call (0: no limit). False on a real write error (errno is kept); a full
    // descriptor is not an error.
    bool writeTo(int fd, std::size_t maxWrite = 0);

    std::uint64_t written() const { return writtenCount; }
    // FNV-1a, 32 bit, of every byte written so far.
    std::uint32_t fnv1a() const { return hash.value(); }

private:
    std::vector<std::uint8_t> bytes;
    std::size_t head = 0;
    std::uint64_t writtenCount = 0;
    Fnv1a hash;
    Observer observer;
};

} // namespace sim

#endif // WRITEQUEUE_H

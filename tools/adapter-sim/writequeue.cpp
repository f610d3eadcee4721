// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "writequeue.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace sim {

void WriteQueue::append(const std::uint8_t *data, std::size_t size)
{
    bytes.insert(bytes.end(), data, data + size);
}

bool WriteQueue::writeTo(int fd, std::size_t maxWrite)
{
    while (!empty()) {
        const std::size_t count = maxWrite > 0 ? std::min(maxWrite, size()) : size();
        const ssize_t n = ::write(fd, bytes.data() + head, count);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno == EAGAIN || errno == EWOULDBLOCK;
        }
        hash.add(bytes.data() + head, std::size_t(n));
        if (observer)
            observer(writtenCount, std::size_t(n));
        head += std::size_t(n);
        writtenCount += std::uint64_t(n);
    }
    // Only reset when drained, so the front is never moved while bytes are pending.
    bytes.clear();
    head = 0;
    return true;
}

} // namespace sim

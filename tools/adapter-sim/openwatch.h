// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef OPENWATCH_H
#define OPENWATCH_H

#include <string>

namespace sim {

// Tells when some process opens a device node. A pseudo-terminal offers no other sign: the
// simulator keeps its own slave descriptor open, so the master never sees a hang-up change.
// Linux only (inotify); elsewhere start() fails with a message.
class OpenWatch
{
public:
    OpenWatch() = default;
    ~OpenWatch();
    OpenWatch(const OpenWatch &) = delete;
    OpenWatch &operator=(const OpenWatch &) = delete;

    // Opens made before this call are not seen, so it must come after our own open of the
    // path and before the path is published.
    bool start(const std::string &path, std::string &error);
    void stop();

    // Descriptor to poll for reading; -1 when not watching.
    int fd() const { return watchFd; }
    // Drains pending notifications; true if any of them was an open.
    bool takeOpened();

private:
    int watchFd = -1;
};

} // namespace sim

#endif // OPENWATCH_H

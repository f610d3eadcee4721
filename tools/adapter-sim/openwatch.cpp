// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "openwatch.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

#ifdef __linux__
#include <sys/inotify.h>
#endif

namespace sim {

OpenWatch::~OpenWatch()
{
    stop();
}

#ifdef __linux__

bool OpenWatch::start(const std::string &path, std::string &error)
{
    stop();
    watchFd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watchFd < 0) {
        error = std::string("inotify_init1: ") + std::strerror(errno);
        return false;
    }
    if (::inotify_add_watch(watchFd, path.c_str(), IN_OPEN) < 0) {
        error = "inotify_add_watch " + path + ": " + std::strerror(errno);
        stop();
        return false;
    }
    return true;
}

bool OpenWatch::takeOpened()
{
    bool opened = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(watchFd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (ssize_t off = 0; off < n;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + off);
            opened = opened || (event->mask & IN_OPEN);
            off += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
    return opened;
}

#else

bool OpenWatch::start(const std::string &, std::string &error)
{
    error = "watching for the port being opened needs Linux; use --start byte or --start now";
    return false;
}

bool OpenWatch::takeOpened()
{
    return false;
}

#endif

void OpenWatch::stop()
{
    if (watchFd >= 0)
        ::close(watchFd);
    watchFd = -1;
}

} // namespace sim

// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "simulator.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace sim {

namespace {

using namespace std::chrono_literals;

constexpr auto floodTick = 2ms;
constexpr auto drainTick = 5ms;
// The kernel moves written bytes into the reader's queue asynchronously, so one empty
// reading does not prove that everything was read; an empty queue for this long does. It
// also outlasts the terminal's longest hold, so that the last lines read are in its log.
constexpr auto drainQuiet = 150ms;
// Flood bytes are generated only as far as the line takes them, so memory stays bounded
// however long the other side does not read.
constexpr std::size_t floodBacklog = 4096;

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const int saved = errno;
    const char byte = 0;
    [[maybe_unused]] ssize_t ignored = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

bool installSignalPipe(std::string &error)
{
    if (::pipe(signalPipe) != 0) {
        error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    for (int fd : signalPipe) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sig, &action, nullptr);
    // A reader of our stdout that went away must not kill us before the port is closed.
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}

void emitLine(const std::string &line)
{
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Named explicitly rather than through steady_clock, so that other processes can rely on
// the stamps being CLOCK_MONOTONIC.
std::string monotonicNs()
{
    timespec ts {};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::to_string(std::uint64_t(ts.tv_sec) * 1000000000u + std::uint64_t(ts.tv_nsec));
}

} // namespace

Simulator::Simulator(const Options &options)
    : options(options)
    , source(options.floodRate, options.floodMs)
{
    if (options.stamp) {
        queue.setObserver([](std::uint64_t offset, std::size_t count) {
            emitLine("WROTE " + monotonicNs() + " " + std::to_string(offset) + " "
                + std::to_string(count));
        });
    }
}

int Simulator::run()
{
    std::string error;
    if (!port.open(error))
        return fail(error);
    const bool scenario = options.flooding() || options.vanishing();
    if (scenario && options.start == Options::Start::Open && !watch.start(port.slavePath(), error))
        return fail(error);
    if (!installSignalPipe(error))
        return fail(error);
    if (options.flooding())
        flood = Flood::Waiting;

    emitLine(port.slavePath());
    if (scenario && options.start == Options::Start::Now)
        begin(Clock::now());

    for (;;) {
        const Clock::time_point deadline = nextDeadline(Clock::now());
        // Nanoseconds, as writes of a few bytes at a high rate fall due well within a
        // millisecond.
        timespec timeout {};
        if (deadline != Clock::time_point::max()) {
            const auto wait = std::max(Clock::duration::zero(), deadline - Clock::now());
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
            timeout.tv_sec = time_t(ns / 1000000000);
            timeout.tv_nsec = long(ns % 1000000000);
        }
        pollfd fds[3] = {
            {signalPipe[0], POLLIN, 0},
            {port.masterFd(), short(POLLIN | (queue.empty() ? 0 : POLLOUT)), 0},
            {watch.fd(), POLLIN, 0},
        };
        const timespec *bound = deadline == Clock::time_point::max() ? nullptr : &timeout;
        if (::ppoll(fds, 3, bound, nullptr) < 0 && errno != EINTR)
            return fail(std::string("ppoll: ") + std::strerror(errno));
        const Clock::time_point now = Clock::now();

        if (fds[0].revents)
            return finish(Ending::Signal);
        if (fds[2].revents && watch.takeOpened()) {
            watch.stop();
            begin(now);
        }
        if ((fds[1].revents & (POLLIN | POLLERR | POLLHUP)) && !readInput(now))
            return 1;
        if (options.frameTimeoutMs > 0 && decoder.pendingSize() > 0
            && now - lastInput >= std::chrono::milliseconds(options.frameTimeoutMs))
            report(decoder.flush());
        if (started && options.vanishing() && now >= vanishAt)
            return finish(Ending::Vanish);
        Ending ending = Ending::FloodDone;
        if (serviceFlood(now, ending))
            return finish(ending);
        if (!queue.writeTo(port.masterFd()))
            return fail(std::string("write: ") + std::strerror(errno));
    }
}

void Simulator::begin(Clock::time_point now)
{
    if (started)
        return;
    started = true;
    vanishAt = now + std::chrono::milliseconds(options.vanishAfterMs);
    if (flood == Flood::Waiting) {
        flood = Flood::Delaying;
        floodStartAt = now + std::chrono::milliseconds(options.delayMs);
        giveUpAt = floodStartAt + std::chrono::milliseconds(options.floodMs)
            + std::chrono::milliseconds(options.drainTimeoutMs);
        lastQueued = -1;
    }
}

bool Simulator::readInput(Clock::time_point now)
{
    std::uint8_t buffer[4096];
    for (;;) {
        const ssize_t n = ::read(port.masterFd(), buffer, sizeof buffer);
        if (n > 0) {
            lastInput = now;
            if (options.start == Options::Start::Byte)
                begin(now);
            report(decoder.feed(buffer, std::size_t(n)));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return true;
        // Our own slave descriptor keeps the pseudo-terminal alive, so this is unexpected.
        fail(n == 0 ? std::string("read: end of file")
                    : std::string("read: ") + std::strerror(errno));
        return false;
    }
}

void Simulator::report(const std::vector<FrameEvent> &events)
{
    for (const FrameEvent &event : events) {
        if (options.stamp)
            emitLine(event.toLine() + " t=" + monotonicNs());
        else
            emitLine(event.toLine());
        // During a flood the line must carry the flood stream alone, or its hash would not
        // match what the other side received.
        if (event.kind == FrameEvent::Kind::Echo && !options.flooding())
            queue.append(event.bytes.data(), event.bytes.size());
    }
}

bool Simulator::serviceFlood(Clock::time_point now, Ending &ending)
{
    if (flood == Flood::Delaying && now >= floodStartAt)
        flood = Flood::Running;
    if (flood != Flood::Running && flood != Flood::Draining)
        return false;

    if (now >= giveUpAt) {
        ending = Ending::FloodStuck;
        return true;
    }

    if (flood == Flood::Running) {
        const auto elapsed
            = std::chrono::duration_cast<std::chrono::microseconds>(now - floodStartAt);
        const std::uint64_t due = whole(source.dueAt(std::uint64_t(elapsed.count())));
        std::vector<std::uint8_t> bytes;
        const std::uint64_t writtenBefore = queue.written();
        while (queue.size() < floodBacklog && source.generated() < due) {
            bytes.clear();
            const std::uint64_t owed = due - source.generated();
            source.generate(
                std::size_t(std::min<std::uint64_t>(owed, floodBacklog - queue.size())), bytes);
            queue.append(bytes.data(), bytes.size());
            if (!queue.writeTo(port.masterFd(), options.writeSize))
                break; // reported by the caller's own write attempt
        }
        if (queue.written() != writtenBefore)
            noteProgress(now);
        if (source.finished() && queue.empty()) {
            flood = Flood::Draining;
            emptySeen = false;
        }
        return false;
    }

    const int queued = port.slaveInputQueued();
    if (lastQueued < 0 || queued < lastQueued)
        noteProgress(now);
    lastQueued = queued;
    if (queued != 0) {
        emptySeen = false;
        return false;
    }
    if (!emptySeen) {
        emptySeen = true;
        emptySince = now;
    }
    if (now - emptySince >= drainQuiet) {
        ending = Ending::FloodDone;
        return true;
    }
    return false;
}

// With a write size, only whole writes are due, but for the stream's last bytes.
std::uint64_t Simulator::whole(std::uint64_t due) const
{
    if (options.writeSize == 0 || due == source.total())
        return due;
    return due - due % options.writeSize;
}

Simulator::Clock::time_point Simulator::nextWriteAt() const
{
    const std::uint64_t bytes = std::min(source.generated() + options.writeSize, source.total());
    const std::uint64_t us = (bytes * 1000000 + options.floodRate - 1) / options.floodRate;
    return floodStartAt + std::chrono::microseconds(us);
}

// A reader that is slow, as on a loaded machine, but still taking bytes is waited for: only
// a line that stands still for the drain timeout is given up.
void Simulator::noteProgress(Clock::time_point now)
{
    giveUpAt = std::max(giveUpAt, now + std::chrono::milliseconds(options.drainTimeoutMs));
}

Simulator::Clock::time_point Simulator::nextDeadline(Clock::time_point now) const
{
    Clock::time_point next = Clock::time_point::max();
    if (started && options.vanishing())
        next = std::min(next, vanishAt);
    if (options.frameTimeoutMs > 0 && decoder.pendingSize() > 0)
        next = std::min(next, lastInput + std::chrono::milliseconds(options.frameTimeoutMs));
    switch (flood) {
    case Flood::Delaying:
        next = std::min(next, floodStartAt);
        break;
    case Flood::Running:
        // Also the retry for a full line, in case the master's writability is not signalled.
        next = std::min({next, now + floodTick, giveUpAt});
        // A queue still waiting for the line is retried when it is writable.
        if (options.writeSize > 0 && queue.empty())
            next = std::min(next, std::max(now, nextWriteAt()));
        break;
    case Flood::Draining:
        next = std::min({next, now + drainTick, giveUpAt});
        break;
    case Flood::Off:
    case Flood::Waiting:
        break;
    }
    return next;
}

int Simulator::finish(Ending ending)
{
    // Whatever the terminal wrote up to now still gets its lines.
    readInput(Clock::now());
    report(decoder.flush());

    if (flood == Flood::Running || flood == Flood::Draining) {
        char line[64];
        std::snprintf(line, sizeof line, "FLOOD total=%llu fnv1a=%08X",
            static_cast<unsigned long long>(queue.written()), static_cast<unsigned>(queue.fnv1a()));
        emitLine(line);
    }

    switch (ending) {
    case Ending::Vanish:
        port.close();
        emitLine("VANISHED");
        return 0;
    case Ending::FloodStuck:
        std::fprintf(stderr,
            "adapter-sim: flood not delivered within --drain-timeout: %llu of %llu "
            "bytes written, %d still unread by the other side\n",
            static_cast<unsigned long long>(queue.written()),
            static_cast<unsigned long long>(source.total()), port.slaveInputQueued());
        return 1;
    case Ending::Signal:
    case Ending::FloodDone:
        break;
    }
    return 0;
}

int Simulator::fail(const std::string &message)
{
    std::fprintf(stderr, "adapter-sim: %s\n", message.c_str());
    return 1;
}

} // namespace sim

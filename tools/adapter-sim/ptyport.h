// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef PTYPORT_H
#define PTYPORT_H

#include <cstddef>
#include <string>

namespace sim {

// The simulated adapter's end of the serial line: a pseudo-terminal whose slave path the
// terminal opens like any serial port. The slave is kept open here in raw mode for as long
// as the port lives, so the raw settings persist between the terminal's opens and the master
// does not see a hang-up while nobody else has the slave open.
class PtyPort
{
public:
    PtyPort() = default;
    ~PtyPort();
    PtyPort(const PtyPort &) = delete;
    PtyPort &operator=(const PtyPort &) = delete;

    // False with `error` filled on failure. The master is non-blocking.
    bool open(std::string &error);
    // Closes both ends; the other side sees the device vanish.
    void close();

    bool isOpen() const { return master >= 0; }
    int masterFd() const { return master; }
    const std::string &slavePath() const { return path; }

    // Bytes waiting in the slave's input queue, that is written by us and not yet read by
    // the other side; -1 if unknown.
    int slaveInputQueued() const;

private:
    int master = -1;
    int slave = -1;
    std::string path;
};

} // namespace sim

#endif // PTYPORT_H

// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef PTYMASTER_H
#define PTYMASTER_H

#include <QByteArray>
#include <QString>

// The far end of a serial line for tests: the master side of a pseudo-terminal, whose
// slave path the window opens like any serial port.
class PtyMaster
{
public:
    PtyMaster();
    ~PtyMaster();
    PtyMaster(const PtyMaster &) = delete;
    PtyMaster &operator=(const PtyMaster &) = delete;

    bool isValid() const { return fd >= 0; }
    QString slavePath() const { return path; }

    // Puts the slave in raw mode, so that bytes written before the window has opened the
    // port are not edited by the line discipline.
    bool makeSlaveRaw();
    bool write(const QByteArray &bytes);
    // Everything the window has written so far that has not been read yet.
    QByteArray readAvailable();
    // Reads until `count` bytes arrived or `timeoutMs` passed, running the event loop meanwhile.
    QByteArray readExactly(int count, int timeoutMs = 5000);
    // A cable pull: the window's side sees the device vanish.
    void close();

private:
    int fd = -1;
    QString path;
};

#endif // PTYMASTER_H

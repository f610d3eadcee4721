// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef LOGFILL_H
#define LOGFILL_H

#include <QByteArray>
#include <QString>

class WindowDriver;
namespace sim {
class FloodStream;
}

// A block as the window hands it to the log, and the line the log shows for it.
QString spacedHex(const QByteArray &bytes);
QString receivedLine(const QByteArray &bytes);

// Adds received-like lines of `blockBytes` bytes until the log holds `lines` lines, the way
// the window adds what it reads: in batches, each one edit of the log and one repaint.
void fillLog(WindowDriver &driver, int lines, sim::FloodStream &bytes, int blockBytes = 16);

#endif // LOGFILL_H

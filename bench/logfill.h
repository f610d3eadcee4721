#ifndef LOGFILL_H
#define LOGFILL_H

#include <QByteArray>
#include <QString>

class WindowDriver;
namespace sim {
class FloodStream;
}

// The log line MainWindow makes of a received block, built the same way.
QString receivedLine(const QByteArray &bytes);

// Adds received-like lines of `blockBytes` bytes until the log holds `lines` lines, the way
// the window adds what it reads: in batches, each one edit of the log and one repaint.
void fillLog(WindowDriver &driver, int lines, sim::FloodStream &bytes, int blockBytes = 16);

#endif // LOGFILL_H

#ifndef LOGFILL_H
#define LOGFILL_H

#include <QByteArray>
#include <QString>

class WindowDriver;
namespace sim {
class FloodStream;
}

// The text MainWindow::logBlock appends for a received block, built the same way.
QString receivedLine(const QByteArray &bytes);

// Appends received-like lines of `blockBytes` bytes until the log holds `lines` lines, through
// the window's own append call. The window is hidden meanwhile: a million lines would take
// minutes with a scroll and repaint each. Shows it again and waits until it is exposed.
void fillLog(WindowDriver &driver, int lines, sim::FloodStream &bytes, int blockBytes = 16);

#endif // LOGFILL_H

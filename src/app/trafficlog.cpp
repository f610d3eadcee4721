#include "trafficlog.h"

#include <QFont>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>

namespace {

// After a batch, the lines that follow wait this long at first; nobody reads faster. While
// traffic keeps flowing the wait grows up to the longest, as each batch costs a repaint of
// the log whatever its size, and the view then trails the line by no more than that.
constexpr int shortestHoldMs = 20;
constexpr int longestHoldMs = 50;

} // namespace

TrafficLog::TrafficLog(QTextEdit *view)
    : QObject(view)
    , view(view)
    , holdMs(shortestHoldMs)
{
    // Laying out a line of hex is mostly text shaping, which digits, blanks and arrows
    // never need.
    QFont noShaping;
    noShaping.setStyleStrategy(QFont::PreferNoShaping);
    view->setFont(noShaping);

    flushTimer.setSingleShot(true);
    connect(&flushTimer, &QTimer::timeout, this, [this] {
        holdMs = std::min(holdMs * 2, longestHoldMs);
        flush();
    });
}

QString TrafficLog::receivedLine(const QString &spacedHex)
{
    return QStringLiteral("--> ") + spacedHex.toUpper();
}

QString TrafficLog::sentLine(const QString &spacedHex)
{
    return QStringLiteral("<-- ") + spacedHex.toUpper();
}

void TrafficLog::addReceived(const QString &spacedHex)
{
    pending.append(receivedLine(spacedHex));
    if (flushTimer.isActive())
        return;
    const qint64 held = sinceFlush.isValid() ? sinceFlush.elapsed() : holdMs;
    if (held < holdMs) {
        flushTimer.start(int(holdMs - held));
        return;
    }
    holdMs = shortestHoldMs;
    flush();
}

void TrafficLog::addSent(const QString &spacedHex)
{
    pending.append(sentLine(spacedHex));
    flush();
}

// Lines read before the click go with the log they were read into.
void TrafficLog::clear()
{
    pending.clear();
    flushTimer.stop();
    view->clear();
}

// A log at its end follows the tail; one the user has scrolled up stays where it is.
void TrafficLog::flush()
{
    flushTimer.stop();
    QScrollBar *bar = view->verticalScrollBar();
    const bool atEnd = bar->value() >= bar->maximum();
    insertPending();
    sinceFlush.start();
    if (atEnd)
        bar->setValue(bar->maximum());
}

// One edit for the whole batch: the document lays out and reports its new size once.
void TrafficLog::insertPending()
{
    QTextDocument *document = view->document();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    for (const QString &line : qAsConst(pending)) {
        if (!document->isEmpty())
            cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        cursor.insertText(line);
    }
    cursor.endEditBlock();
    pending.clear();
}

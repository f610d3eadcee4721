// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "trafficlog.h"

#include "loglayout.h"
#include "pasteguard.h"

#include <QFont>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextOption>
#include <QtMath>

#include <algorithm>

TrafficLog::TrafficLog(QTextEdit *view)
    : QObject(view)
    , view(view)
{
    // Undo would let Ctrl+Z in the log take back lines of traffic; it also costs memory for
    // every line logged.
    view->document()->setUndoRedoEnabled(false);
    // Most lines at the line rate scroll past unseen; they are laid out once they are shown.
    view->document()->setDocumentLayout(new LogLayout(view->document()));
    // Laying out a line of hex is mostly text shaping, which digits, blanks and arrows
    // never need.
    QFont noShaping;
    noShaping.setStyleStrategy(QFont::PreferNoShaping);
    view->setFont(noShaping);
    // Hex runs left to right; a direction given saves looking for it in every line laid out.
    QTextOption option = view->document()->defaultTextOption();
    option.setTextDirection(Qt::LeftToRight);
    view->document()->setDefaultTextOption(option);
    // The log stays editable, and Qt 6.4 crashes pasting an empty X11 clipboard into it.
    new PasteGuard(view);

    // A log at its end stays there as it grows, and as it is laid out anew for a new width,
    // which happens in steps after the change; one the user has scrolled up stays put.
    QScrollBar *bar = view->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this, [this] { following = showsNewestLine(); });
    connect(bar, &QScrollBar::rangeChanged, this, [this, bar](int, int maximum) {
        if (following)
            bar->setValue(maximum);
    });

    flushTimer.setSingleShot(true);
    connect(&flushTimer, &QTimer::timeout, this, [this] {
        holdMs = std::min(holdMs * 2, std::max(firstHoldMs, longestHoldMs));
        flush();
    });
}

namespace {

// The marker, then the hex in upper case, appended in place: this runs for every block read.
void appendMarkedLine(QString &text, QLatin1String marker, const QString &spacedHex)
{
    const auto start = text.size();
    text.resize(start + marker.size() + spacedHex.size());
    QChar *out = text.data() + start;
    for (const char c : marker)
        *out++ = QLatin1Char(c);
    for (const QChar c : spacedHex) {
        const ushort u = c.unicode();
        *out++ = u >= 'a' && u <= 'z' ? QChar(ushort(u - 'a' + 'A')) : u < 0x80 ? c : c.toUpper();
    }
}

const QLatin1String receivedMarker("--> ");
const QLatin1String sentMarker("<-- ");

} // namespace

QString TrafficLog::receivedLine(const QString &spacedHex)
{
    QString line;
    appendMarkedLine(line, receivedMarker, spacedHex);
    return line;
}

QString TrafficLog::sentLine(const QString &spacedHex)
{
    QString line;
    appendMarkedLine(line, sentMarker, spacedHex);
    return line;
}

// The lines wait as the one text they go in as, a paragraph each.
void TrafficLog::appendPending(QLatin1String marker, const QString &spacedHex)
{
    if (pendingLines++ > 0)
        pending.append(QLatin1Char('\n'));
    appendMarkedLine(pending, marker, spacedHex);
}

void TrafficLog::addReceived(const QString &spacedHex)
{
    appendPending(receivedMarker, spacedHex);
    if (flushTimer.isActive())
        return;
    const qint64 held = sinceFlush.isValid() ? sinceFlush.elapsed() : holdMs;
    if (held < holdMs) {
        // Behind a batch that took long to go in, as at high rates, lines wait less: they
        // waited for that batch already, and the next one and its repaint take about as long
        // each.
        const qint64 hold = std::max<qint64>(firstHoldMs,
            std::min<qint64>(holdMs, std::max(firstHoldMs, longestHoldMs) - 3 * batchMs));
        flushTimer.start(int(std::max<qint64>(0, hold - held)));
        return;
    }
    holdMs = firstHoldMs;
    flush();
}

void TrafficLog::addSent(const QString &spacedHex)
{
    appendPending(sentMarker, spacedHex);
    flush();
}

// Lines read before the click go with the log they were read into.
void TrafficLog::clear()
{
    pending.clear();
    pendingLines = 0;
    flushTimer.stop();
    view->clear();
}

void TrafficLog::flush()
{
    flushTimer.stop();
    QElapsedTimer batch;
    batch.start();
    insertPending();
    batchMs = batch.elapsed();
    sinceFlush.start();
}

void TrafficLog::setHold(int shortestMs)
{
    firstHoldMs = shortestMs;
    holdMs = shortestMs;
}

// Whether the newest line is in full view, which is what a user who went back to the end
// sees. Ctrl+End scrolls only as far as the caret and leaves the document's margin below it
// out of view, so that margin, and a pixel for rounding, still count as the end; a wheel
// notch or a page up is far more.
bool TrafficLog::showsNewestLine() const
{
    const QScrollBar *bar = view->verticalScrollBar();
    return bar->maximum() - bar->value() <= qCeil(view->document()->documentMargin()) + 1;
}

// One edit for the whole batch: the document lays out and reports its new size once. The
// lines go in as one text, a paragraph each, all in the default formats.
void TrafficLog::insertPending()
{
    if (pendingLines == 0)
        return;
    QTextDocument *document = view->document();
    if (auto *layout = qobject_cast<LogLayout *>(document->documentLayout()))
        layout->expectAppended(pending);
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    if (!document->isEmpty())
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    cursor.insertText(pending, QTextCharFormat());
    cursor.endEditBlock();
    pending.clear();
    pendingLines = 0;
}

// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef TRAFFICLOG_H
#define TRAFFICLOG_H

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class QTextEdit;

// The traffic log's view and its lines on their way into it. Laying out and painting the log
// for every block received costs more than everything else the terminal does, so received
// lines go in in batches: the first one after a quiet spell at once, those right behind it
// together a moment later. A sent line goes in at once, after every line received before it.
class TrafficLog : public QObject
{
    Q_OBJECT

public:
    // After a batch, the lines that follow wait this long at first; nobody reads faster. While
    // traffic keeps flowing the wait grows up to the longest, as each batch costs a repaint of
    // the log whatever its size (at the line rate, a full view of new lines), and the view
    // then trails the line by about that much.
    static constexpr int shortestHoldMs = 20;
    static constexpr int longestHoldMs = 80;

    // Sets up `view` for the log and puts the lines into it.
    explicit TrafficLog(QTextEdit *view);

    // The line shown for a block, given as spaced hex: the marker of its direction and the
    // hex in upper case.
    static QString receivedLine(const QString &spacedHex);
    static QString sentLine(const QString &spacedHex);

    void addReceived(const QString &spacedHex);
    void addSent(const QString &spacedHex);
    // Puts the lines that wait into the log now.
    void flush();
    void clear();

    // How long lines right behind a batch wait at first; the wait grows to longestHoldMs or
    // this, whichever is longer. A wait already running keeps its time.
    void setHold(int shortestMs);
    // Lines that wait to go into the view.
    int waitingLineCount() const { return pendingLines; }

private:
    bool showsNewestLine() const;
    void appendPending(QLatin1String marker, const QString &spacedHex);
    void insertPending();

    QTextEdit *view;
    QString pending;
    int pendingLines = 0;
    QTimer flushTimer;
    QElapsedTimer sinceFlush;
    int firstHoldMs = shortestHoldMs;
    int holdMs = shortestHoldMs;
    qint64 batchMs = 0; // how long the last batch took to go in
    bool following = true;
};

#endif // TRAFFICLOG_H

#ifndef TRAFFICLOG_H
#define TRAFFICLOG_H

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>

class QTextEdit;

// The traffic log's lines on their way into the view. Laying out and painting the log for
// every block received costs more than everything else the terminal does, so received lines
// go in in batches: the first one after a quiet spell at once, those right behind it together
// a moment later. A sent line goes in at once, after every line received before it.
class TrafficLog : public QObject
{
    Q_OBJECT

public:
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

private:
    void insertPending();

    QTextEdit *view;
    QStringList pending;
    QTimer flushTimer;
    QElapsedTimer sinceFlush;
    int holdMs;
};

#endif // TRAFFICLOG_H

#include "logfill.h"

#include "floodstream.h"
#include "hexcodec.h"
#include "trafficlog.h"
#include "windowdriver.h"

#include <QCoreApplication>

#include <algorithm>

QString receivedLine(const QByteArray &bytes)
{
    QString hex;
    BytesToSpacedHex(bytes, hex, bytes.size() * 2);
    return QStringLiteral("--> ") + hex.toUpper();
}

void fillLog(WindowDriver &driver, int lines, sim::FloodStream &bytes, int blockBytes)
{
    constexpr int batchLines = 500; // what a flood brings in one batch
    TrafficLog *log = driver.trafficLog();
    while (driver.logLineCount() < lines) {
        const int batch = std::min(batchLines, lines - driver.logLineCount());
        for (int i = 0; i < batch; ++i)
            log->addReceived(receivedLine(bytes.take<QByteArray>(std::size_t(blockBytes))));
        log->flush();
        QCoreApplication::processEvents();
    }
}

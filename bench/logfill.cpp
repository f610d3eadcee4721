// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "logfill.h"

#include "floodstream.h"
#include "hexcodec.h"
#include "trafficlog.h"
#include "windowdriver.h"

#include <QCoreApplication>

#include <algorithm>

QString spacedHex(const QByteArray &bytes)
{
    QString hex;
    BytesToSpacedHex(bytes, hex, bytes.size() * 2);
    return hex;
}

QString receivedLine(const QByteArray &bytes)
{
    return TrafficLog::receivedLine(spacedHex(bytes));
}

void fillLog(WindowDriver &driver, int lines, sim::FloodStream &bytes, int blockBytes)
{
    constexpr int batchLines = 500; // what a flood brings in one batch
    TrafficLog *log = driver.trafficLog();
    while (driver.logLineCount() < lines) {
        const int batch = std::min(batchLines, lines - driver.logLineCount());
        for (int i = 0; i < batch; ++i)
            log->addReceived(spacedHex(bytes.take<QByteArray>(std::size_t(blockBytes))));
        log->flush();
        QCoreApplication::processEvents();
    }
}

// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef PORTSETTINGS_H
#define PORTSETTINGS_H

#include <QSerialPort>
#include <QString>

// The line settings of the last connection attempt, with the texts the status bar shows.
// Nothing reads it before the first attempt, so the values start merely zeroed.
struct PortSettings
{
    QString portName;
    qint32 baudRate = 0;
    QString baudRateText;
    QSerialPort::DataBits dataBits {};
    QString dataBitsText;
    QSerialPort::Parity parity {};
    QString parityText;
    QSerialPort::StopBits stopBits {};
    QString stopBitsText;
    QSerialPort::FlowControl flowControl {};
    QString flowControlText;
};

#endif // PORTSETTINGS_H

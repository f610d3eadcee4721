#ifndef PORTSETTINGS_H
#define PORTSETTINGS_H

#include <QSerialPort>
#include <QString>

// The line settings of the last connection attempt, with the texts the status bar shows.
struct PortSettings
{
    QString portName;
    qint32 baudRate = 0;
    QString baudRateText;
    QSerialPort::DataBits dataBits = QSerialPort::UnknownDataBits;
    QString dataBitsText;
    QSerialPort::Parity parity = QSerialPort::UnknownParity;
    QString parityText;
    QSerialPort::StopBits stopBits = QSerialPort::UnknownStopBits;
    QString stopBitsText;
    QSerialPort::FlowControl flowControl = QSerialPort::UnknownFlowControl;
    QString flowControlText;
};

#endif // PORTSETTINGS_H

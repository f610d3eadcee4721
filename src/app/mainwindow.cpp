// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "mainwindow.h"

#include "adapterframe.h"
#include "hexcodec.h"
#include "mainwindowform.h"
#include "portwatcher.h"
#include "trafficlog.h"

#include <QEvent>
#include <QMessageBox>
#include <QSerialPortInfo>
#include <QTimer>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new MainWindowForm)
{
    ui->setupUi(this);
    trafficLog = new TrafficLog(ui->textEdit);

    // By signature text, as the window's interface fixes them; clazy would have them
    // rewritten. clazy:excludeall=old-style-connect
    connect(ui->pbCOMportOpen, SIGNAL(clicked()), this, SLOT(openCOMport()));
    connect(ui->pbCOMportClose, SIGNAL(clicked()), this, SLOT(closeCOMport()));
    connect(ui->pbCOMportClear, SIGNAL(clicked()), this, SLOT(clearData()));
    connect(ui->pbCOMportTX_Echo, SIGNAL(clicked()), this, SLOT(writeDataEcho()));
    connect(ui->pbCOMportTX_V, SIGNAL(clicked()), this, SLOT(TX_Data_Str()));
    connect(ui->pbCOMportTX_S, SIGNAL(clicked()), this, SLOT(TX_Data()));
    connect(ui->sbNumBytes, SIGNAL(valueChanged(int)), this, SLOT(NumBytesCTL(int)));
    connect(ui->radioButtonStd, SIGNAL(toggled(bool)), this, SLOT(CheckBoxID_CTL(bool)));
    connect(ui->pbAutoSend, SIGNAL(toggled(bool)), this, SLOT(CheckAutoSend_CTL(bool)));

    ui->radioButtonStd->toggle();
    ui->pbCOMportClose->setEnabled(false);
    ui->sbNumBytes->setValue(1);

    autoSendTimer = new QTimer(this);
    serialPort = new QSerialPort(this);
    connect(autoSendTimer, SIGNAL(timeout()), this, SLOT(TX_Data()));
    connect(serialPort, SIGNAL(readyRead()), this, SLOT(readData()));
    portWatcher = new PortWatcher(serialPort);
    connect(portWatcher, &PortWatcher::portLost, this, &MainWindow::reportLostPort);

    fillPortList();
}

MainWindow::~MainWindow()
{
    autoSendTimer->stop();
    delete ui;
}

// A new desktop font reaches the window as a font change; the controls keep the font chosen
// for the old one until it is chosen anew.
void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        ui->fitFonts();
}

void MainWindow::fillPortList()
{
    ui->lbCOMport->clear();
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &port : ports)
        ui->lbCOMport->addItem(port.portName());
}

void MainWindow::openCOMport()
{
    portSettings.portName = ui->lbCOMport->currentText();
    portSettings.baudRate = QSerialPort::Baud115200;
    portSettings.baudRateText = QString::number(portSettings.baudRate);
    portSettings.dataBits = QSerialPort::Data8;
    portSettings.dataBitsText = QString::number(portSettings.dataBits);
    portSettings.parity = QSerialPort::NoParity;
    portSettings.parityText = QStringLiteral("NoParity");
    portSettings.stopBits = QSerialPort::OneStop;
    portSettings.stopBitsText = QString::number(portSettings.stopBits);
    portSettings.flowControl = QSerialPort::NoFlowControl;
    portSettings.flowControlText = QStringLiteral("NoFlowControl");

    serialPort->setPortName(portSettings.portName);
    portWatcher->setPortName(portSettings.portName);
    if (!serialPort->open(QIODevice::ReadWrite)) {
        showPortError(serialPort->errorString());
        ui->statusBar->showMessage(tr("Open error"));
        return;
    }

    if (!serialPort->setBaudRate(portSettings.baudRate, QSerialPort::AllDirections)
        || !serialPort->setDataBits(portSettings.dataBits)
        || !serialPort->setParity(portSettings.parity)
        || !serialPort->setStopBits(portSettings.stopBits)
        || !serialPort->setFlowControl(portSettings.flowControl)) {
        serialPort->close();
        showPortError(serialPort->errorString());
        ui->statusBar->showMessage(tr("Configure error"));
        return;
    }

    ui->statusBar->showMessage(
        tr("Connected to %1 : %2, %3, %4, %5, %6")
            .arg(portSettings.portName, portSettings.baudRateText, portSettings.dataBitsText,
                portSettings.parityText, portSettings.stopBitsText, portSettings.flowControlText));
    ui->pbCOMportClose->setEnabled(true);
    ui->pbCOMportOpen->setEnabled(false);
    ui->lbCOMport->setEnabled(false);
}

void MainWindow::closeCOMport()
{
    if (!serialPort->isOpen())
        return;
    serialPort->close();
    showClosed();
}

void MainWindow::showPortError(const QString &description)
{
    QMessageBox::critical(this, tr("Error"), description);
}

void MainWindow::showClosed()
{
    ui->statusBar->showMessage(tr("COM port closed"));
    ui->pbCOMportClose->setEnabled(false);
    ui->pbCOMportOpen->setEnabled(true);
    ui->lbCOMport->setEnabled(true);
}

// The port is closed already; the window shows that before the box.
void MainWindow::reportLostPort(const QString &message)
{
    showClosed();
    showPortError(message);
}

QSpinBox *MainWindow::dataBox(int number) const
{
    QSpinBox *const boxes[] = {ui->sbData0, ui->sbData1, ui->sbData2, ui->sbData3, ui->sbData4,
        ui->sbData5, ui->sbData6, ui->sbData7};
    return boxes[number];
}

void MainWindow::TX_Data()
{
    if (!serialPort->isOpen())
        return;

    idTypeCode = AdapterFrame::typeStandardSend;
    AdapterFrame::SendFields fields;
    fields.extended = !ui->radioButtonStd->isChecked();
    fields.standardTypeCode = static_cast<quint8>(idTypeCode);
    fields.messageNumber = ui->sbNumberMsg->value();
    fields.identifier
        = {ui->sbIDLB->value(), ui->sbIDHB->value(), ui->sbIDLB_2->value(), ui->sbIDHB_2->value()};
    fields.byteCount = ui->sbNumBytes->value();
    for (int k = 0; k < AdapterFrame::maxDataBytes; ++k)
        fields.data.at(k) = dataBox(k)->value();
    txFrame = AdapterFrame::sendCommand(fields);

    sendFrame();
}

void MainWindow::writeDataEcho()
{
    if (!serialPort->isOpen())
        return;

    txFrame = AdapterFrame::echoCommand();
    sendFrame();
}

void MainWindow::TX_Data_Str()
{
    if (!serialPort->isOpen())
        return;

    txFrame.clear();
    HexStringToBytes(ui->lineEdit->text(), txFrame);
    if (ui->checkBoxChSum->isChecked()) {
        const char sum = XorCheckSum(txFrame, AdapterFrame::checksumFrom);
        txFrame.append(sum);
        ui->lineEditChSum->setText(
            QStringLiteral("%1").arg(static_cast<quint8>(sum), 2, 16, QLatin1Char('0')).toUpper());
    } else {
        ui->lineEditChSum->clear();
    }

    sendFrame();
}

// Writes the frame in one call and logs it; a short write is the error handler's business.
void MainWindow::sendFrame()
{
    serialPort->write(txFrame.constData(), txFrame.size());
    // Hand the frame to the driver now rather than after the repaint that may come next,
    // so that periodic frames leave on time.
    serialPort->flush();
    formatBlock(txFrame);
    trafficLog->addSent(logText);
}

void MainWindow::readData()
{
    formatBlock(serialPort->readAll());
    trafficLog->addReceived(logText);
}

void MainWindow::formatBlock(const QByteArray &bytes)
{
    txHexLength = static_cast<qint32>(bytes.size() * 2);
    BytesToSpacedHex(bytes, logText, txHexLength);
}

void MainWindow::clearData()
{
    trafficLog->clear();
}

void MainWindow::NumBytesCTL(int count)
{
    if (count < 0 || count > 8)
        return;
    for (int k = 0; k < 8; ++k)
        dataBox(k)->setEnabled(k < count);
}

void MainWindow::CheckBoxID_CTL(bool checked)
{
    ui->sbIDHB_2->setEnabled(!checked);
    ui->sbIDLB_2->setEnabled(!checked);
}

void MainWindow::CheckAutoSend_CTL(bool checked)
{
    if (checked)
        autoSendTimer->start(ui->sbAutoSendPeriod->value());
    else
        autoSendTimer->stop();
}

// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "portsettings.h"

#include <QByteArray>
#include <QMainWindow>
#include <QSerialPort>
#include <QString>

class PortWatcher;
class QSpinBox;
class QTimer;
class TrafficLog;
struct MainWindowForm;

class MainWindow : public QMainWindow
{
    Q_OBJECT
    // The test reads the last frame built and the text last logged, which no widget shows.
    friend class TestMainWindow;

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

protected:
    void changeEvent(QEvent *event) override;

private slots:
    void openCOMport();
    void closeCOMport();
    void TX_Data_Str();
    void TX_Data();
    void readData();
    void clearData();
    void writeDataEcho();
    void NumBytesCTL(int);
    void CheckBoxID_CTL(bool);
    void CheckAutoSend_CTL(bool);

private:
    void fillPortList();
    void showPortError(const QString &description);
    void showClosed();
    void reportLostPort(const QString &message);
    QSpinBox *dataBox(int number) const;
    void sendFrame();
    void formatBlock(const QByteArray &bytes);

    MainWindowForm *ui;
    PortSettings portSettings;
    QTimer *autoSendTimer;
    QSerialPort *serialPort;
    QByteArray txFrame;
    qint8 idTypeCode;
    qint32 txHexLength;
    QString logText;
    PortWatcher *portWatcher;
    TrafficLog *trafficLog;
};

#endif // MAINWINDOW_H

// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef WINDOWDRIVER_H
#define WINDOWDRIVER_H

#include "mainwindow.h"
#include "namedwidget.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class PtyMaster;
class QSerialPort;
class QSpinBox;
class QTextEdit;
class QTimer;
class TrafficLog;

// The real main window, shown on the current platform, driven the way a person or a UI
// testing tool would: through its widgets, found by object name, and the port and the timer
// it owns, found by their class.
class WindowDriver
{
public:
    WindowDriver();
    ~WindowDriver();
    WindowDriver(const WindowDriver &) = delete;
    WindowDriver &operator=(const WindowDriver &) = delete;

    MainWindow *window() const { return mainWindow.get(); }

    // The named widget; a missing one means the caller is out of step with the form, so it
    // aborts.
    template<typename T> T *widget(const char *name) const
    {
        return namedWidget<T>(mainWindow.get(), name);
    }
    QSpinBox *dataBox(int index) const;
    QTextEdit *log() const;
    QSerialPort *port() const;
    QTimer *autoSendTimer() const;
    TrafficLog *trafficLog() const;

    QStringList logLines() const;
    int logLineCount() const;
    QString logLine(int index) const;
    // The bytes of the "--> " lines from `firstLine` on, in order. A line of any other form
    // among them is returned through `badLine`.
    QByteArray receivedSince(int firstLine, QString *badLine) const;
    QString statusText() const;
    // Open and the port list enabled, Close disabled.
    bool showsPortClosed() const;

    // Picks `path` in the port list, adding it first: the window lists only the ports present
    // at its start, and pseudo-terminals are never among them.
    void pickPort(const QString &path);
    // Picks `path` and clicks Open; true if the port is open and the status bar says so.
    bool openPort(const QString &path);
    // Opens the slave of `pty` (made raw first); a pty that will not open aborts. Unix only.
    void openPty(PtyMaster &pty);
    void click(const char *name);
    void setSpin(const char *name, int value);
    // Fills the message form: identifier type, the identifier boxes in the order sbIDLB,
    // sbIDHB, sbIDLB_2, sbIDHB_2, all eight data boxes and the byte count.
    void setMessage(bool standard, const QByteArray &ids, const QByteArray &data, int count);

private:
    std::unique_ptr<MainWindow> mainWindow;
};

#endif // WINDOWDRIVER_H

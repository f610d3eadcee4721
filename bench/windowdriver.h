#ifndef WINDOWDRIVER_H
#define WINDOWDRIVER_H

#include "mainwindow.h"
#include "namedwidget.h"

#include <QString>

#include <memory>

class PtyMaster;
class QSerialPort;
class QTextEdit;
class TrafficLog;

// The real main window, shown on the current platform, driven the way a person would: through
// its widgets, found by object name.
class WindowDriver
{
public:
    WindowDriver();
    ~WindowDriver();
    WindowDriver(const WindowDriver &) = delete;
    WindowDriver &operator=(const WindowDriver &) = delete;

    MainWindow *window() const { return mainWindow.get(); }

    // The named widget; a missing one is a broken benchmark, so it aborts.
    template<typename T> T *widget(const char *name) const
    {
        return namedWidget<T>(mainWindow.get(), name);
    }

    QTextEdit *log() const;
    QSerialPort *port() const;
    TrafficLog *trafficLog() const;
    int logLineCount() const;
    QString logLine(int index) const;

    // Picks `path` in the port list and clicks Open; true if the port is open afterwards.
    bool openPort(const QString &path);
    // Opens the slave of `pty` (made raw first); a pty that will not open is a broken
    // benchmark, so it aborts.
    void openPty(PtyMaster &pty);
    void setSpin(const char *name, int value);
    void click(const char *name);

private:
    std::unique_ptr<MainWindow> mainWindow;
};

#endif // WINDOWDRIVER_H

#include "windowdriver.h"

#include "probes.h"
#include "ptymaster.h"
#include "trafficlog.h"

#include <QComboBox>
#include <QPushButton>
#include <QSerialPort>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QWindow>

WindowDriver::WindowDriver()
    : mainWindow(std::make_unique<MainWindow>())
{
    mainWindow->show();
    // A window that is not exposed yet would not paint, and painting is part of every cost.
    if (!waitUntil([this] { return mainWindow->windowHandle()->isExposed(); }, 5000))
        qFatal("the window was never exposed");
}

WindowDriver::~WindowDriver() = default;

QTextEdit *WindowDriver::log() const
{
    return widget<QTextEdit>("textEdit");
}

QSerialPort *WindowDriver::port() const
{
    QSerialPort *found = mainWindow->findChild<QSerialPort *>();
    if (!found)
        qFatal("the window has no serial port");
    return found;
}

TrafficLog *WindowDriver::trafficLog() const
{
    TrafficLog *found = mainWindow->findChild<TrafficLog *>();
    if (!found)
        qFatal("the window has no traffic log");
    return found;
}

int WindowDriver::logLineCount() const
{
    const QTextDocument *document = log()->document();
    return document->isEmpty() ? 0 : document->blockCount();
}

QString WindowDriver::logLine(int index) const
{
    return log()->document()->findBlockByNumber(index).text();
}

bool WindowDriver::openPort(const QString &path)
{
    auto *ports = widget<QComboBox>("lbCOMport");
    ports->addItem(path);
    ports->setCurrentIndex(ports->count() - 1);
    click("pbCOMportOpen");
    return port()->isOpen();
}

void WindowDriver::setSpin(const char *name, int value)
{
    widget<QSpinBox>(name)->setValue(value);
}

void WindowDriver::click(const char *name)
{
    widget<QPushButton>(name)->click();
}

void WindowDriver::openPty(PtyMaster &pty)
{
    if (!pty.isValid() || !pty.makeSlaveRaw() || !openPort(pty.slavePath()))
        qFatal("cannot open a pty in the window");
}

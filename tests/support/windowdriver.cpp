// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "windowdriver.h"

#include "trafficlog.h"
#include "waits.h"

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSpinBox>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QWindow>

namespace {

// The window's own child of that class, of which it must have exactly one.
template<typename T> T *onlyChild(const QObject *window, const char *what)
{
    const QList<T *> found = window->findChildren<T *>(QString(), Qt::FindDirectChildrenOnly);
    if (found.size() != 1)
        qFatal("the window has %d %s", int(found.size()), what);
    return found.first();
}

} // namespace

WindowDriver::WindowDriver()
    : mainWindow(std::make_unique<MainWindow>())
{
    mainWindow->show();
    // A window that is not exposed yet would not paint, and painting is part of every cost.
    // The bound only catches a window that never shows: a starved machine may take long.
    if (!waitUntil([this] { return mainWindow->windowHandle()->isExposed(); }, 60000))
        qFatal("the window was never exposed");
}

WindowDriver::~WindowDriver() = default;

QSpinBox *WindowDriver::dataBox(int index) const
{
    return widget<QSpinBox>(qPrintable(QStringLiteral("sbData%1").arg(index)));
}

QTextEdit *WindowDriver::log() const
{
    return widget<QTextEdit>("textEdit");
}

QSerialPort *WindowDriver::port() const
{
    return onlyChild<QSerialPort>(mainWindow.get(), "serial ports");
}

QTimer *WindowDriver::autoSendTimer() const
{
    return onlyChild<QTimer>(mainWindow.get(), "timers");
}

TrafficLog *WindowDriver::trafficLog() const
{
    TrafficLog *found = mainWindow->findChild<TrafficLog *>();
    if (!found)
        qFatal("the window has no traffic log");
    return found;
}

QStringList WindowDriver::logLines() const
{
    const QString text = log()->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
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

QByteArray WindowDriver::receivedSince(int firstLine, QString *badLine) const
{
    static const QRegularExpression format(QStringLiteral("^--> [0-9A-F]{2}( [0-9A-F]{2})*$"));
    const QStringList lines = logLines();
    QByteArray bytes;
    for (int i = firstLine; i < lines.size(); ++i) {
        if (!format.match(lines.at(i)).hasMatch()) {
            *badLine = QStringLiteral("line %1: '%2'").arg(i).arg(lines.at(i).left(80));
            return bytes;
        }
        bytes += QByteArray::fromHex(lines.at(i).mid(4).toLatin1());
    }
    return bytes;
}

QString WindowDriver::statusText() const
{
    return widget<QStatusBar>("statusBar")->currentMessage();
}

bool WindowDriver::showsPortClosed() const
{
    return widget<QPushButton>("pbCOMportOpen")->isEnabled()
        && !widget<QPushButton>("pbCOMportClose")->isEnabled()
        && widget<QComboBox>("lbCOMport")->isEnabled();
}

void WindowDriver::pickPort(const QString &path)
{
    auto *ports = widget<QComboBox>("lbCOMport");
    if (ports->findText(path) < 0)
        ports->addItem(path);
    ports->setCurrentIndex(ports->findText(path));
}

bool WindowDriver::openPort(const QString &path)
{
    pickPort(path);
    click("pbCOMportOpen");
    const QString expected
        = QStringLiteral("Connected to %1 : 115200, 8, NoParity, 1, NoFlowControl").arg(path);
    if (port()->isOpen() && statusText() == expected)
        return true;
    qWarning("opening %s failed: '%s'", qPrintable(path), qPrintable(statusText()));
    return false;
}

void WindowDriver::click(const char *name)
{
    widget<QPushButton>(name)->click();
}

void WindowDriver::setSpin(const char *name, int value)
{
    widget<QSpinBox>(name)->setValue(value);
}

void WindowDriver::setMessage(
    bool standard, const QByteArray &ids, const QByteArray &data, int count)
{
    widget<QRadioButton>(standard ? "radioButtonStd" : "radioButtonExt")->click();
    const char *idBoxes[] = {"sbIDLB", "sbIDHB", "sbIDLB_2", "sbIDHB_2"};
    for (int i = 0; i < 4; ++i)
        setSpin(idBoxes[i], quint8(ids.at(i)));
    for (int k = 0; k < 8; ++k)
        dataBox(k)->setValue(quint8(data.at(k)));
    setSpin("sbNumBytes", count);
}

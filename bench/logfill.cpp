#include "logfill.h"

#include "floodstream.h"
#include "hexcodec.h"
#include "probes.h"
#include "windowdriver.h"

#include <QCoreApplication>
#include <QTextEdit>
#include <QWindow>

QString receivedLine(const QByteArray &bytes)
{
    QString hex;
    BytesToSpacedHex(bytes, hex, bytes.size() * 2);
    return QStringLiteral("--> ") + hex.toUpper();
}

void fillLog(WindowDriver &driver, int lines, sim::FloodStream &bytes, int blockBytes)
{
    QWidget *window = driver.window();
    window->hide();
    QTextEdit *log = driver.log();
    while (driver.logLineCount() < lines)
        log->append(receivedLine(bytes.take<QByteArray>(std::size_t(blockBytes))));
    window->show();
    if (!waitUntil([window] { return window->windowHandle()->isExposed(); }, 60000))
        qFatal("the window was never exposed again");
    QCoreApplication::processEvents();
}

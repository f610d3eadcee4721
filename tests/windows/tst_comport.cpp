// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

// End-to-end tests of the Windows build under Wine: the real window in this process opens COM
// ports that Wine maps to simulated adapters, which tests/windows/com-checks.sh starts on the
// Linux side, one per port, as each test needs. The script names the ports in the
// environment and leaves each simulator's lines in KT940_SIM_DIR/<port>.out; without it the
// suite skips.

#include "comrelay.h"
#include "floodstream.h"
#include "lognotation.h"
#include "messagefilter.h"
#include "modalboxcatcher.h"
#include "trafficlog.h"
#include "waits.h"
#include "windowdriver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSerialPort>
#include <QtTest>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include <dbt.h>

namespace {

const QString echoLine = QStringLiteral("1C 05 03 80 01 82");

// The lines the simulator behind `port` has printed so far, but the first, its device.
QStringList simEvents(const QString &port)
{
    QFile file(
        qEnvironmentVariable("KT940_SIM_DIR") + QLatin1Char('/') + port + QLatin1String(".out"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && !lines.last().isEmpty())
        lines.removeLast(); // not complete yet
    lines.removeAll(QString());
    if (!lines.isEmpty())
        lines.removeFirst();
    return lines;
}

QString simEvent(const QString &port, const QString &prefix)
{
    const QStringList found = simEvents(port).filter(QRegularExpression(QLatin1Char('^') + prefix));
    return found.isEmpty() ? QString() : found.first();
}

// Tells every top-level window that `port`'s device has gone, as Windows does when a USB
// adapter is pulled. A send that waits: Wine's BroadcastSystemMessage carries no port.
bool broadcastRemoval(const QString &port)
{
    const std::wstring name = port.toStdWString();
    const std::size_t size
        = offsetof(DEV_BROADCAST_PORT_W, dbcp_name) + (name.size() + 1) * sizeof(wchar_t);
    std::vector<unsigned char> buffer(size);
    auto *removed = reinterpret_cast<DEV_BROADCAST_PORT_W *>(buffer.data());
    removed->dbcp_size = DWORD(size);
    removed->dbcp_devicetype = DBT_DEVTYP_PORT;
    name.copy(removed->dbcp_name, name.size());
    DWORD_PTR answer = 0;
    return ::SendMessageTimeoutW(HWND_BROADCAST, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE,
               LPARAM(removed), SMTO_ABORTIFHUNG, 5000, &answer)
        != 0;
}

} // namespace

class TestComPort : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void echoAnswer();
    void flood();
    void closeDuringFlood_data();
    void closeDuringFlood();
    void vanishDuringFlood_data();
    void vanishDuringFlood();
    void removal();

private:
    bool openedAndReceiving(const QString &port);

    std::unique_ptr<WindowDriver> driver;
    std::unique_ptr<ModalBoxCatcher> boxes;
};

void TestComPort::initTestCase()
{
    if (!qEnvironmentVariableIsSet("KT940_SIM_DIR"))
        QSKIP("no simulated adapters: run by tests/windows/com-checks.sh");
    muteParserTraces();
    installMessageFilter();
}

void TestComPort::init()
{
    boxes = std::make_unique<ModalBoxCatcher>();
    driver = std::make_unique<WindowDriver>();
}

void TestComPort::cleanup()
{
    driver.reset();
    QVERIFY2(boxes->caughtAsExpected(), qPrintable(boxes->summary()));
}

// Opens `port` and waits for the first received line: a flood is under way behind it.
bool TestComPort::openedAndReceiving(const QString &port)
{
    if (!driver->openPort(port))
        return false;
    const int openedAt = driver->logLineCount();
    QString badLine;
    return QTest::qWaitFor(
        [&] { return !driver->receivedSince(openedAt, &badLine).isEmpty(); }, 20000);
}

void TestComPort::echoAnswer()
{
    const QString port = qEnvironmentVariable("KT940_COM_ECHO");
    QVERIFY(driver->openPort(port));

    // Repeated, so that an answer left over from one round would spoil the next.
    for (int round = 1; round <= 3; ++round) {
        const int sentAt = driver->logLineCount();
        driver->click("pbCOMportTX_Echo");
        QCOMPARE(driver->logLine(sentAt), "<-- " + echoLine);
        QTRY_COMPARE_WITH_TIMEOUT(simEvents(port).count(QStringLiteral("ECHO")), round, 10000);
        QString badLine;
        QTRY_COMPARE_WITH_TIMEOUT(
            spaced(driver->receivedSince(sentAt + 1, &badLine)), echoLine, 10000);
        QVERIFY2(badLine.isEmpty(), qPrintable(badLine));
    }
    // For a person to look at: the window with the answers in its log.
    driver->window()->grab().save(
        qEnvironmentVariable("KT940_SIM_DIR") + QLatin1String("/echo.png"));
    driver->click("pbCOMportClose");
    QCOMPARE(driver->statusText(), QStringLiteral("COM port closed"));
}

void TestComPort::flood()
{
    const QString port = qEnvironmentVariable("KT940_COM_FLOOD");
    QElapsedTimer clock;
    clock.start();
    QVERIFY(driver->openPort(port));
    // The simulator reports once the window has read everything, however long the flood.
    QTRY_VERIFY_WITH_TIMEOUT(!simEvent(port, QStringLiteral("FLOOD ")).isEmpty(), 240000);
    const qint64 elapsed = clock.elapsed();

    static const QRegularExpression summary(
        QStringLiteral("^FLOOD total=(\\d+) fnv1a=([0-9A-F]{8})$"));
    const QString flood = simEvent(port, QStringLiteral("FLOOD "));
    const QRegularExpressionMatch m = summary.match(flood);
    QVERIFY2(m.hasMatch(), qPrintable(flood));
    const int total = m.captured(1).toInt();
    const quint32 hash = m.captured(2).toUInt(nullptr, 16);

    QString badLine;
    const QByteArray received = driver->receivedSince(0, &badLine);
    QVERIFY2(badLine.isEmpty(), qPrintable(badLine));
    sim::Fnv1a receivedHash;
    receivedHash.add(received.constData(), std::size_t(received.size()));
    qInfo("flood on %s: %d of %d bytes in %d lines, fnv1a %08X (simulator %08X), FLOOD after "
          "%lld ms",
        qPrintable(port), int(received.size()), total, driver->logLineCount(), receivedHash.value(),
        hash, elapsed);
    QCOMPARE(received.size(), total);
    QCOMPARE(QString::number(receivedHash.value(), 16), QString::number(hash, 16));
    const QByteArray stream = sim::FloodStream().take<QByteArray>(std::size_t(total));
    QVERIFY(received == stream);

    // The simulator closes its device when it is done: to the window, a pulled cable.
    boxes->expected = 1;
    QTRY_COMPARE_WITH_TIMEOUT(boxes->titles, QStringList {QStringLiteral("Error")}, 20000);
    QTRY_COMPARE(driver->statusText(), QStringLiteral("COM port closed"));
    QVERIFY(!driver->port()->isOpen());
}

void TestComPort::closeDuringFlood_data()
{
    QTest::addColumn<QString>("port");
    const QString port = qEnvironmentVariable("KT940_COM_CLOSE");
    for (int round = 1; round <= qEnvironmentVariableIntValue("KT940_CLOSE_ROUNDS"); ++round)
        QTest::addRow("%s, round %d", qPrintable(port), round) << port;
}

void TestComPort::closeDuringFlood()
{
    QFETCH(QString, port);
    // A new window each round, on a port whose simulator floods through all of them.
    QVERIFY(openedAndReceiving(port));
    driver->click("pbCOMportClose");
    QCOMPARE(driver->statusText(), QStringLiteral("COM port closed"));
    QVERIFY(!driver->port()->isOpen());
    QVERIFY(driver->showsPortClosed());
    // Waits and reads of the closed port may still end now; none may reach the window. The
    // lines the log holds back were received before.
    const int closedAt = driver->logLineCount() + driver->trafficLog()->waitingLineCount();
    idleFor(200);
    const QStringList late = driver->logLines().mid(closedAt);
    QVERIFY2(late.isEmpty(), qPrintable(late.join(QLatin1String(" | ")).left(300)));
    QCOMPARE(driver->trafficLog()->waitingLineCount(), 0);
}

void TestComPort::vanishDuringFlood_data()
{
    QTest::addColumn<QString>("port");
    const QString ports = qEnvironmentVariable("KT940_COM_VANISH");
    for (const QString &port : ports.split(QLatin1Char(','), Qt::SkipEmptyParts))
        QTest::newRow(qPrintable(port)) << port;
}

void TestComPort::vanishDuringFlood()
{
    QFETCH(QString, port);
    QVERIFY(openedAndReceiving(port));
    boxes->expected = 1;
    QTRY_COMPARE_WITH_TIMEOUT(boxes->titles, QStringList {QStringLiteral("Error")}, 20000);
    QVERIFY(!boxes->texts.first().isEmpty());
    QVERIFY(!simEvent(port, QStringLiteral("VANISHED")).isEmpty());
    QTRY_COMPARE(driver->statusText(), QStringLiteral("COM port closed"));
    QVERIFY(!driver->port()->isOpen());
    QVERIFY(driver->showsPortClosed());
    qInfo("%s: %s", qPrintable(port), qPrintable(boxes->texts.first()));
}

// Windows tells every top-level window when a port's device leaves; a removal of another
// port leaves the open one alone. Needs the windows platform: offscreen windows have no native
// window to be told.
void TestComPort::removal()
{
    const QString port = qEnvironmentVariable("KT940_COM_REMOVAL");
    QVERIFY(driver->openPort(port));
    driver->click("pbCOMportTX_Echo");
    QTRY_COMPARE_WITH_TIMEOUT(simEvents(port).count(QStringLiteral("ECHO")), 1, 10000);

    QVERIFY(broadcastRemoval(QStringLiteral("COM7")));
    driver->click("pbCOMportTX_Echo");
    QTRY_COMPARE_WITH_TIMEOUT(simEvents(port).count(QStringLiteral("ECHO")), 2, 10000);
    QVERIFY(driver->port()->isOpen());
    QVERIFY(boxes->titles.isEmpty());

    boxes->expected = 1;
    QVERIFY(broadcastRemoval(QStringLiteral("\\\\.\\") + port));
    QTRY_COMPARE_WITH_TIMEOUT(boxes->titles, QStringList {QStringLiteral("Error")}, 20000);
    QTRY_COMPARE(driver->statusText(), QStringLiteral("COM port closed"));
    QVERIFY(!driver->port()->isOpen());
    QVERIFY(driver->showsPortClosed());
}

int main(int argc, char *argv[])
{
    installComRelay();
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestComPort test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_comport.moc"

// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "portrule.h"

#include <QtTest>

class TestPortRule : public QObject
{
    Q_OBJECT

private slots:
    void verdicts_data();
    void verdicts();
    void removalNamesThePort();
};

// Each system's rule on what the device answered: poll()'s flags, or the code the Windows
// handle answers with when asked for its status.
void TestPortRule::verdicts_data()
{
    QTest::addColumn<bool>("windows");
    QTest::addColumn<QSerialPort::SerialPortError>("error");
    QTest::addColumn<bool>("writesWaiting");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("reason");

    const int passing = PortVerdict::Passing, lost = PortVerdict::Lost;
    const int unrelated = PortVerdict::Unrelated;
    const QString none;
    using namespace UnixPortRule;
    QTest::newRow("unix: full output buffer")
        << false << QSerialPort::ResourceError << true << 0 << passing << none;
    QTest::newRow("unix: hang-up while writing")
        << false << QSerialPort::ResourceError << true << int(HungUp) << lost << none;
    QTest::newRow("unix: hang-up with error flag")
        << false << QSerialPort::ReadError << false << int(HungUp | ErrorCondition) << lost << none;
    QTest::newRow("unix: error flag") << false << QSerialPort::WriteError << true
                                      << int(ErrorCondition) << lost << "error condition";
    QTest::newRow("unix: descriptor closed") << false << QSerialPort::ReadError << false
                                             << int(NotOpen) << lost << "descriptor not open";
    QTest::newRow("unix: failed read, no flag")
        << false << QSerialPort::ReadError << false << 0 << lost << none;
    QTest::newRow("unix: permission")
        << false << QSerialPort::PermissionError << false << int(HungUp) << unrelated << none;
    QTest::newRow("windows: handle answers, writes pending")
        << true << QSerialPort::WriteError << true << 0 << lost << none;
    QTest::newRow("windows: access denied")
        << true << QSerialPort::PermissionError << false << 5 << lost << none;
    QTest::newRow("windows: device removed")
        << true << QSerialPort::ResourceError << false << 1617 << lost << none;
    QTest::newRow("windows: not ready")
        << true << QSerialPort::ReadError << false << 21 << lost << "the device is not ready";
    QTest::newRow("windows: bad command") << true << QSerialPort::ResourceError << false << 22
                                          << lost << "the device refused the command";
    QTest::newRow("windows: general failure") << true << QSerialPort::UnknownError << false << 31
                                              << lost << "the device is not functioning";
    QTest::newRow("windows: aborted")
        << true << QSerialPort::ReadError << false << 995 << lost << "the transfer was aborted";
    QTest::newRow("windows: another code")
        << true << QSerialPort::DeviceNotFoundError << false << 87 << lost << "system error 87";
    QTest::newRow("windows: timeout")
        << true << QSerialPort::TimeoutError << false << 5 << unrelated << none;
}

void TestPortRule::verdicts()
{
    QFETCH(bool, windows);
    QFETCH(QSerialPort::SerialPortError, error);
    QFETCH(bool, writesWaiting);
    QFETCH(int, answer);
    const PortVerdict verdict = windows
        ? WindowsPortRule::judge(error, quint32(answer))
        : UnixPortRule::judge(error, writesWaiting, UnixPortRule::DeviceFlags(QFlag(answer)));
    QTEST(int(verdict.kind), "kind");
    QTEST(verdict.reason, "reason");
}

void TestPortRule::removalNamesThePort()
{
    const QString port = QStringLiteral("COM5");
    QVERIFY(WindowsPortRule::namesPort(port, port));
    QVERIFY(WindowsPortRule::namesPort(QStringLiteral("\\\\.\\com5"), port));
    QVERIFY(WindowsPortRule::namesPort(port, QStringLiteral("\\\\.\\COM5")));
    QVERIFY(!WindowsPortRule::namesPort(QStringLiteral("COM7"), port));
    QVERIFY(!WindowsPortRule::namesPort(QStringLiteral("COM50"), port));
    QVERIFY(!WindowsPortRule::namesPort(QString(), QString()));
}

QTEST_GUILESS_MAIN(TestPortRule)
#include "tst_portrule.moc"

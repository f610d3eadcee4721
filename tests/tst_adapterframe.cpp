// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "adapterframe.h"

#include <QtTest>

#include <algorithm>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// One field value per hex pair.
QVector<int> values(const char *text)
{
    QVector<int> fields;
    for (char byte : hex(text))
        fields << quint8(byte);
    return fields;
}

} // namespace

class TestAdapterFrame : public QObject
{
    Q_OBJECT

private slots:
    void sendCommand_data();
    void sendCommand();
    void echoCommand();
};

void TestAdapterFrame::sendCommand_data()
{
    QTest::addColumn<bool>("extended");
    QTest::addColumn<int>("typeCode"); // what a standard command carries
    QTest::addColumn<int>("messageNumber");
    QTest::addColumn<QVector<int>>("identifier");
    QTest::addColumn<QVector<int>>("data"); // all eight fields; the count picks
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("frame");

    QTest::newRow("standard, two bytes")
        << false << 0 << 0 << values("23017766") << values("1122334455667788") << 2
        << hex("1C0508000023010211221B");
    QTest::newRow("standard, message number 5")
        << false << 0 << 5 << values("23010000") << values("1122000000000000") << 2
        << hex("1C0508000523010211221E");
    QTest::newRow("extended, one byte")
        << true << 0 << 0 << values("78563412") << values("FF01020304050607") << 1
        << hex("1C050902007856341201FFFD");
    QTest::newRow("standard, eight zero bytes")
        << false << 0 << 0 << values("00000000") << values("0000000000000000") << 8
        << hex("1C050E0000000008000000000000000006");
    QTest::newRow("extended, all FF")
        << true << 0 << 0 << values("FFFFFFFF") << values("FFFFFFFFFFFFFFFF") << 8
        << hex("1C05100200FFFFFFFF08FFFFFFFFFFFFFFFF1A");
    QTest::newRow("one byte ignores the other fields")
        << false << 0 << 0 << values("00000000") << values("AB01020304050607") << 1
        << hex("1C05070000000001AB") + char(0x07 ^ 0x01 ^ 0xAB);

    // Counts a spin box with another range could give: LEN and the count byte say what was
    // asked, the data bytes stay within the eight fields, and the first one always goes.
    QTest::newRow("count 0 still sends the first byte")
        << false << 0 << 0 << values("00000000") << values("4201020304050607") << 0
        << hex("1C050600000000004244");
    QTest::newRow("count past eight sends eight, announced by its low byte")
        << false << 0 << 0 << values("00000000") << values("0102030405060708") << 0x109
        << hex("1C050F000000000901020304050607080E");
    QTest::newRow("every field sends its low byte")
        << true << 0 << 0x105 << QVector<int> {0x178, 0x256, 0x334, -0xEE}
        << QVector<int> {0x1FF, 0, 0, 0, 0, 0, 0, 0} << 1 << hex("1C050902057856341201FFF8");
    QTest::newRow("standard carries the given type code")
        << false << 0x7E << 0 << values("00000000") << values("4200000000000000") << 1
        << hex("1C05077E00000001423A");
}

void TestAdapterFrame::sendCommand()
{
    QFETCH(bool, extended);
    QFETCH(int, typeCode);
    QFETCH(int, messageNumber);
    QFETCH(QVector<int>, identifier);
    QFETCH(QVector<int>, data);
    QFETCH(int, count);
    QFETCH(QByteArray, frame);

    AdapterFrame::SendFields fields;
    QCOMPARE(size_t(identifier.size()), fields.identifier.size());
    QCOMPARE(size_t(data.size()), fields.data.size());
    fields.extended = extended;
    fields.standardTypeCode = typeCode;
    fields.messageNumber = messageNumber;
    std::copy(identifier.cbegin(), identifier.cend(), fields.identifier.begin());
    fields.byteCount = count;
    std::copy(data.cbegin(), data.cend(), fields.data.begin());

    QCOMPARE(AdapterFrame::sendCommand(fields).toHex(' '), frame.toHex(' '));
}

void TestAdapterFrame::echoCommand()
{
    QCOMPARE(AdapterFrame::echoCommand().toHex(' '), hex("1C0503800182").toHex(' '));
}

QTEST_GUILESS_MAIN(TestAdapterFrame)
#include "tst_adapterframe.moc"

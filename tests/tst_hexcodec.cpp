// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "hexcodec.h"

#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QtTest>

namespace {

QStringList capturedTraces;

void captureTrace(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg)
        capturedTraces << message;
}

QByteArray bytesOf(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int v : values)
        bytes.append(static_cast<char>(v));
    return bytes;
}

} // namespace

class TestHexCodec : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void parse_data();
    void parse();
    void traces_data();
    void traces();
    void silencedParserStillParses();

    void format_data();
    void format();
    void formatOverwritesOldText();
    void checksum_data();
    void checksum();
    void echoFrameWorkedExample();

    void formattedTextParsesBack();

private:
    QtMessageHandler previousHandler = nullptr;
};

void TestHexCodec::init()
{
    capturedTraces.clear();
    previousHandler = qInstallMessageHandler(captureTrace);
}

void TestHexCodec::cleanup()
{
    qInstallMessageHandler(previousHandler);
    QLoggingCategory::setFilterRules(QString());
}

void TestHexCodec::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("errors");

    QTest::newRow("empty") << QString() << QByteArray() << 0;
    QTest::newRow("two groups") << "1C 05" << bytesOf({0x1C, 0x05}) << 0;
    QTest::newRow("echo without checksum")
        << "1C 05 03 80 01" << bytesOf({0x1C, 0x05, 0x03, 0x80, 0x01}) << 0;
    QTest::newRow("long group keeps first two digits") << "1c05" << bytesOf({0x1C}) << 0;
    QTest::newRow("one-digit groups") << "1 2 3" << bytesOf({1, 2, 3}) << 0;
    QTest::newRow("double blank") << "1C  05" << bytesOf({0x1C, 0x05}) << 0;
    QTest::newRow("leading blank") << " 1C" << bytesOf({0x1C}) << 0;
    QTest::newRow("trailing blank adds no byte") << "1C 05 " << bytesOf({0x1C, 0x05}) << 0;
    QTest::newRow("blanks only") << "   " << QByteArray() << 0;
    QTest::newRow("junk before digit") << "G1" << bytesOf({0x01}) << 1;
    QTest::newRow("junk inside group") << "1G2" << bytesOf({0x12}) << 1;
    QTest::newRow("junk after last blank") << "1C zz" << bytesOf({0x1C}) << 2;
    QTest::newRow("only junk") << "xyz!" << QByteArray() << 4;
    QTest::newRow("tab is no separator") << "1C\t05" << bytesOf({0x1C}) << 1;
    QTest::newRow("lower case") << "ff" << bytesOf({0xFF}) << 0;
    QTest::newRow("upper case") << "FF" << bytesOf({0xFF}) << 0;
    QTest::newRow("mixed case") << "fF" << bytesOf({0xFF}) << 0;
    QTest::newRow("zero") << "00" << bytesOf({0x00}) << 0;
    QTest::newRow("full-width digit") << QString::fromUtf8("1\uFF12F") << bytesOf({0x1F}) << 1;
    QTest::newRow("no-break space") << QString::fromUtf8("1C\u00A005") << bytesOf({0x1C}) << 1;
    QTest::newRow("surrogate pair is two characters")
        << QString::fromUtf8("A\U0001D7D9B 7") << bytesOf({0xAB, 0x07}) << 2;
    QTest::newRow("accented letter") << QString::fromUtf8("\u00E9A") << bytesOf({0x0A}) << 1;
}

void TestHexCodec::parse()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(int, errors);

    QByteArray out("stale");
    HexStringToBytes(text, out);
    QCOMPARE(out, bytes);
    QCOMPARE(capturedTraces.count(QStringLiteral("ERROR")), errors);
}

void TestHexCodec::traces_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty") << QString() << QStringList {"Size = 0", "Size Array = 0"};
    QTest::newRow("two groups") << "1C 05"
                                << QStringList {"Counter = 2", "Space", "BA = \"\\x1C\"",
                                       "LastIndexSpace = 2", "BA = \"\\x1C\\x05\"", "Size = 5",
                                       "Size Array = 2"};
    QTest::newRow("double blank, long group, junk")
        << "abc  G"
        << QStringList {"Counter = 3", "Space", "BA = \"\\xAB\"", "LastIndexSpace = 3",
               "Counter = 0", "Space", "LastIndexSpace = 4", "ERROR", "Size = 6", "Size Array = 1"};
    QTest::newRow("trailing blank") << "7 "
                                    << QStringList {"Counter = 1", "Space", "BA = \"\\x07\"",
                                           "LastIndexSpace = 1", "Size = 2", "Size Array = 1"};
}

void TestHexCodec::traces()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);

    QByteArray out;
    HexStringToBytes(text, out);
    QCOMPARE(capturedTraces, expected);
}

void TestHexCodec::silencedParserStillParses()
{
    QLoggingCategory::setFilterRules(QStringLiteral("kt940.hexcodec.debug=false"));
    QByteArray out;
    HexStringToBytes(QStringLiteral("1C 05 G 03 80 01 "), out);
    QCOMPARE(out, bytesOf({0x1C, 0x05, 0x03, 0x80, 0x01}));
    QVERIFY(capturedTraces.isEmpty());
}

void TestHexCodec::format_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("hexLength");
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << QByteArray() << 0 << QString();
    QTest::newRow("one byte") << bytesOf({0x0A}) << 2 << "0a";
    QTest::newRow("zero") << bytesOf({0x00}) << 2 << "00";
    QTest::newRow("ff stays lower case") << bytesOf({0xFF}) << 2 << "ff";
    QTest::newRow("three bytes") << bytesOf({0x1C, 0x05, 0xA0}) << 6 << "1c 05 a0";
    QTest::newRow("echo frame") << bytesOf({0x1C, 0x05, 0x03, 0x80, 0x01, 0x82}) << 12
                                << "1c 05 03 80 01 82";
    QTest::newRow("negative length") << bytesOf({0x01}) << -2 << QString();
    QTest::newRow("length past the hex text") << bytesOf({0x01, 0x02}) << 100 << "01 02";
    QTest::newRow("odd length") << bytesOf({0xAA, 0xBB}) << 3 << "aa bb";
    QTest::newRow("shorter length") << bytesOf({0xAA, 0xBB, 0xCC}) << 4 << "aa bb";
}

void TestHexCodec::format()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, hexLength);
    QFETCH(QString, text);

    // The window formats every block into the same string, longer or shorter than before.
    QString out = QStringLiteral("ab cd ef 01 23 45 67 89 ab cd ef 01 23 45 67 89 ab cd ef");
    BytesToSpacedHex(bytes, out, hexLength);
    QCOMPARE(out, text);
}

void TestHexCodec::formatOverwritesOldText()
{
    QString out = QStringLiteral("old text");
    BytesToSpacedHex(QByteArray(), out, 0);
    QVERIFY(out.isEmpty());
}

void TestHexCodec::checksum_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("sum");

    QTest::newRow("empty") << QByteArray() << 2 << 0x00;
    QTest::newRow("one byte") << bytesOf({0x1C}) << 2 << 0x00;
    QTest::newRow("header only") << bytesOf({0x1C, 0x05}) << 2 << 0x00;
    QTest::newRow("one body byte") << bytesOf({0x1C, 0x05, 0x03}) << 2 << 0x03;
    QTest::newRow("cancelling bytes") << bytesOf({0x1C, 0x05, 0xFF, 0xFF}) << 2 << 0x00;
    QTest::newRow("echo") << bytesOf({0x1C, 0x05, 0x03, 0x80, 0x01}) << 2 << 0x82;
    QTest::newRow("standard send")
        << bytesOf({0x1C, 0x05, 0x08, 0x00, 0x00, 0x23, 0x01, 0x02, 0x11, 0x22}) << 2 << 0x1B;
    QTest::newRow("start past the end") << bytesOf({0x1C, 0x05, 0x03}) << 5 << 0x00;
    QTest::newRow("negative start reads from 0") << bytesOf({0x0F, 0xF0}) << -1 << 0xFF;
}

void TestHexCodec::checksum()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, from);
    QFETCH(int, sum);

    QCOMPARE(static_cast<quint8>(XorCheckSum(bytes, from)), static_cast<quint8>(sum));
}

void TestHexCodec::echoFrameWorkedExample()
{
    QByteArray frame;
    HexStringToBytes(QStringLiteral("1C 05 03 80 01"), frame);
    frame.append(XorCheckSum(frame, 2));
    QString text;
    BytesToSpacedHex(frame, text, frame.toHex().size());
    QCOMPARE(text.toUpper(), QStringLiteral("1C 05 03 80 01 82"));
    QCOMPARE(text.size(), 17);
}

void TestHexCodec::formattedTextParsesBack()
{
    QLoggingCategory::setFilterRules(QStringLiteral("kt940.hexcodec.debug=false"));
    QRandomGenerator random(20261207);
    for (int round = 0; round < 500; ++round) {
        QByteArray bytes(random.bounded(1, 300), Qt::Uninitialized);
        for (char &b : bytes)
            b = static_cast<char>(random.bounded(256));
        QString text;
        BytesToSpacedHex(bytes, text, bytes.toHex().size());
        QCOMPARE(text.size(), 3 * bytes.size() - 1);
        QByteArray parsed;
        HexStringToBytes(random.bounded(2) ? text : text.toUpper(), parsed);
        QCOMPARE(parsed, bytes);
    }
}

QTEST_GUILESS_MAIN(TestHexCodec)
#include "tst_hexcodec.moc"

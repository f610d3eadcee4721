// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "framedecoder.h"

#include <QtTest>

namespace {

std::vector<std::uint8_t> bytesOf(const QString &hex)
{
    const QByteArray raw = QByteArray::fromHex(hex.toLatin1());
    return {raw.cbegin(), raw.cend()};
}

QStringList linesOf(const std::vector<sim::FrameEvent> &events)
{
    QStringList lines;
    for (const sim::FrameEvent &event : events)
        lines << QString::fromStdString(event.toLine());
    return lines;
}

QStringList decode(sim::FrameDecoder &decoder, const std::vector<std::uint8_t> &bytes)
{
    return linesOf(decoder.feed(bytes.data(), bytes.size()));
}

const QString stdExample = QStringLiteral("1C 05 08 00 00 23 01 02 11 22 1B");
const QString extExample = QStringLiteral("1C 05 09 02 00 78 56 34 12 01 FF FD");
const QString echo = QStringLiteral("1C 05 03 80 01 82");
const QString stdLine = QStringLiteral("SEND STD msg=00 id=23 01 n=2 data=11 22");
const QString extLine = QStringLiteral("SEND EXT msg=00 id=78 56 34 12 n=1 data=FF");

} // namespace

class TestFrameDecoder : public QObject
{
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
    void everySplitGivesTheSameLines();
    void echoEventCarriesTheFrameToAnswer();
};

void TestFrameDecoder::decode_data()
{
    QTest::addColumn<QStringList>("chunks");
    QTest::addColumn<bool>("flush");
    QTest::addColumn<QStringList>("lines");

    const QStringList none;
    auto row = [](const char *name, const QStringList &chunks, bool flush,
                   const QStringList &lines) { QTest::newRow(name) << chunks << flush << lines; };

    row("standard example", {stdExample}, false, {stdLine});
    row("extended example", {extExample}, false, {extLine});
    row("echo", {echo}, false, {"ECHO"});
    row("standard n=8 all zero", {"1C 05 0E 00 00 00 00 08 00 00 00 00 00 00 00 00 06"}, false,
        {"SEND STD msg=00 id=00 00 n=8 data=00 00 00 00 00 00 00 00"});
    row("extended n=8 all FF", {"1C 05 10 02 00 FF FF FF FF 08 FF FF FF FF FF FF FF FF 1A"}, false,
        {"SEND EXT msg=00 id=FF FF FF FF n=8 data=FF FF FF FF FF FF FF FF"});
    row("message number shown", {"1C 05 08 00 05 23 01 02 11 22 1E"}, false,
        {"SEND STD msg=05 id=23 01 n=2 data=11 22"});

    row("split inside the header", {"1C", "05 03 80", "01 82"}, false, {"ECHO"});
    row("split before the checksum", {"1C 05 08 00 00 23 01 02 11 22", "1B"}, false, {stdLine});
    row("several frames in one chunk", {echo + stdExample + extExample}, false,
        {"ECHO", stdLine, extLine});
    row("frame and a half", {echo + "1C 05 08 00", "00 23 01 02 11 22 1B"}, false,
        {"ECHO", stdLine});

    row("bad checksum", {"1C 05 03 80 01 83"}, false, {"BAD_CHECKSUM frame=1C 05 03 80 01 83"});
    row("bad checksum of an unknown type", {"1C 05 03 55 01 58"}, false,
        {"BAD_CHECKSUM frame=1C 05 03 55 01 58"});
    row("bad checksum, then a frame", {"1C 05 08 00 00 23 01 02 11 22 1C" + echo}, false,
        {"BAD_CHECKSUM frame=1C 05 08 00 00 23 01 02 11 22 1C", "ECHO"});
    row("standard n disagrees with LEN", {"1C 05 08 00 00 23 01 03 11 22 1A"}, false,
        {"BAD_LENGTH frame=1C 05 08 00 00 23 01 03 11 22 1A"});
    row("extended n=0", {"1C 05 09 02 00 78 56 34 12 00 FF FC"}, false,
        {"BAD_LENGTH frame=1C 05 09 02 00 78 56 34 12 00 FF FC"});
    row("LEN too big for a standard send", {"1C 05 20 00 00 23" + echo}, false,
        {"BAD_LENGTH frame=1C 05 20 00", "GARBAGE bytes=00 23", "ECHO"});
    row("LEN leaves no room for a type", {"1C 05 01 82" + echo}, false,
        {"BAD_LENGTH frame=1C 05 01", "GARBAGE bytes=82", "ECHO"});
    row("echo with LEN 4", {"1C 05 04 80 01 00 85"}, false,
        {"BAD_LENGTH frame=1C 05 04 80", "GARBAGE bytes=01 00 85"});
    row("echo with another argument", {"1C 05 03 80 02 81"}, false,
        {"BAD_ECHO frame=1C 05 03 80 02 81"});
    row("unknown type", {"1C 05 03 55 01 57"}, false,
        {"UNKNOWN_TYPE type=55 frame=1C 05 03 55 01 57"});

    row("garbage before a frame", {"00 FF 1C 1C 05 03 80 01 82"}, false,
        {"GARBAGE bytes=00 FF 1C", "ECHO"});
    row("garbage needs no flush", {"12 34 05"}, false, {"GARBAGE bytes=12 34 05"});
    row("trailing 1C may start a frame", {"AA 1C", "05 03 80 01 82"}, false,
        {"GARBAGE bytes=AA", "ECHO"});
    row("1C without 05", {"1C", "06"}, false, {"GARBAGE bytes=1C 06"});

    row("incomplete frame is held", {"1C 05 08 00 00"}, false, none);
    row("incomplete frame given up", {"1C 05 08 00 00"}, true, {"GARBAGE bytes=1C 05 08 00 00"});
    row("bare header given up", {echo + "1C 05"}, true, {"ECHO", "GARBAGE bytes=1C 05"});
    row("bogus LEN holds a frame back", {"1C 05 10 55" + echo}, false, none);
    row("frame behind a bogus LEN survives", {"1C 05 10 55" + echo}, true,
        {"GARBAGE bytes=1C 05 10 55", "ECHO"});
}

void TestFrameDecoder::decode()
{
    QFETCH(QStringList, chunks);
    QFETCH(bool, flush);
    QFETCH(QStringList, lines);

    sim::FrameDecoder decoder;
    QStringList actual;
    for (const QString &chunk : chunks)
        actual << ::decode(decoder, bytesOf(chunk));
    if (flush) {
        actual << linesOf(decoder.flush());
        QCOMPARE(decoder.pendingSize(), std::size_t(0));
    }
    QCOMPARE(actual, lines);
}

void TestFrameDecoder::everySplitGivesTheSameLines()
{
    // Garbage runs here are single bytes, so no split can divide one into two lines.
    const std::vector<std::uint8_t> stream = bytesOf(
        "00" + stdExample + "1C 05 03 80 01 83" + extExample + "1C 05 20 00" + echo + "55");
    const QStringList expected = {
        "GARBAGE bytes=00",
        stdLine,
        "BAD_CHECKSUM frame=1C 05 03 80 01 83",
        extLine,
        "BAD_LENGTH frame=1C 05 20 00",
        "ECHO",
        "GARBAGE bytes=55",
    };

    for (std::size_t split = 0; split <= stream.size(); ++split) {
        sim::FrameDecoder decoder;
        QStringList actual = ::decode(decoder, {stream.begin(), stream.begin() + split});
        actual << ::decode(decoder, {stream.begin() + split, stream.end()});
        QVERIFY2(actual == expected, qPrintable(QString("split at %1").arg(split)));
    }

    sim::FrameDecoder decoder;
    QStringList actual;
    for (std::uint8_t byte : stream)
        actual << ::decode(decoder, {byte});
    QCOMPARE(actual, expected);
}

void TestFrameDecoder::echoEventCarriesTheFrameToAnswer()
{
    sim::FrameDecoder decoder;
    const std::vector<std::uint8_t> frame = bytesOf(echo);
    const std::vector<sim::FrameEvent> events = decoder.feed(frame.data(), frame.size());
    QCOMPARE(events.size(), std::size_t(1));
    QVERIFY(events[0].kind == sim::FrameEvent::Kind::Echo);
    QVERIFY(events[0].bytes == frame);
}

QTEST_APPLESS_MAIN(TestFrameDecoder)
#include "tst_framedecoder.moc"

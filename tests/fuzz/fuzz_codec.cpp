// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

// Feeds arbitrary UTF-16 text (lone surrogates and NULs included) to the hex parser, and reads
// the same bytes as the fields of a send command for the frame builder, whose frames the
// simulated adapter's decoder, written apart from the codec, must take as sent.
#include "adapterframe.h"
#include "framedecoder.h"
#include "hexcodec.h"

#include <QLoggingCategory>

#include <cstdint>
#include <cstdlib>
#include <type_traits>
#include <vector>

namespace {

void check(bool condition)
{
    if (!condition)
        abort();
}

void checkHexText(const uint8_t *data, size_t size)
{
    QString text(int(size / 2), Qt::Uninitialized);
    for (int i = 0; i < text.size(); ++i)
        text[i] = QChar(ushort(data[2 * i] | data[2 * i + 1] << 8));

    QByteArray bytes;
    HexStringToBytes(text, bytes);

    const int groups = text.split(QLatin1Char(' '), Qt::SkipEmptyParts).size();
    check(bytes.size() <= groups);

    QString spaced;
    BytesToSpacedHex(bytes, spaced, bytes.toHex().size());
    QByteArray again;
    HexStringToBytes(spaced, again);
    check(again == bytes);
}

// Hands out the input's bytes as values, zeros once it runs out.
class FieldReader
{
public:
    FieldReader(const uint8_t *data, size_t size)
        : data(data)
        , size(size)
    { }

    // Little-endian, as the bytes of a T in memory here.
    template<typename T> int next()
    {
        using Unsigned = std::make_unsigned_t<T>;
        Unsigned value = 0;
        for (size_t k = 0; k < sizeof(T); ++k)
            value = Unsigned(value | Unsigned(Unsigned(nextByte()) << (8 * k)));
        return int(T(value));
    }

private:
    uint8_t nextByte() { return pos < size ? data[pos++] : 0; }

    const uint8_t *data;
    size_t size;
    size_t pos = 0;
};

std::vector<sim::FrameEvent> decoded(const QByteArray &frame)
{
    sim::FrameDecoder decoder;
    std::vector<sim::FrameEvent> events
        = decoder.feed(reinterpret_cast<const uint8_t *>(frame.constData()), size_t(frame.size()));
    const std::vector<sim::FrameEvent> rest = decoder.flush();
    events.insert(events.end(), rest.begin(), rest.end());
    return events;
}

bool decodesAs(const QByteArray &frame, sim::FrameEvent::Kind kind)
{
    const std::vector<sim::FrameEvent> events = decoded(frame);
    return events.size() == 1 && events.front().kind == kind
        && events.front().bytes == std::vector<uint8_t>(frame.cbegin(), frame.cend());
}

void checkSendCommand(const uint8_t *data, size_t size)
{
    // Values beyond a byte and below zero, and any count, as a spin box of another range
    // could give them.
    FieldReader reader(data, size);
    AdapterFrame::SendFields fields;
    fields.extended = (reader.next<uint8_t>() & 1) != 0;
    fields.standardTypeCode = reader.next<int16_t>();
    fields.messageNumber = reader.next<int16_t>();
    for (int &id : fields.identifier)
        id = reader.next<int16_t>();
    fields.byteCount = reader.next<int32_t>();
    for (int &value : fields.data)
        value = reader.next<int16_t>();

    const QByteArray frame = AdapterFrame::sendCommand(fields);
    const auto byteAt = [&](int i) { return uint8_t(frame.at(i)); };
    const auto low = [](int value) { return uint8_t(value); };

    const int idBytes = fields.extended ? 4 : 2;
    const int sent = fields.byteCount < 1 ? 1 : fields.byteCount > 8 ? 8 : fields.byteCount;
    check(frame.size() == 7 + idBytes + sent);
    check(byteAt(0) == 0x1C && byteAt(1) == 0x05);
    check(byteAt(2) == uint8_t(unsigned(fields.byteCount) + 4 + idBytes));
    check(byteAt(3) == (fields.extended ? 0x02 : low(fields.standardTypeCode)));
    check(byteAt(4) == low(fields.messageNumber));
    for (int i = 0; i < idBytes; ++i)
        check(byteAt(5 + i) == low(fields.identifier.at(i)));
    check(byteAt(5 + idBytes) == low(fields.byteCount));
    for (int k = 0; k < sent; ++k)
        check(byteAt(6 + idBytes + k) == low(fields.data.at(k)));
    uint8_t sum = 0;
    for (int i = 2; i < frame.size() - 1; ++i)
        sum ^= byteAt(i);
    check(byteAt(frame.size() - 1) == sum);

    // Only a count of one to eight makes a frame the adapter can take.
    if (fields.byteCount >= 1 && fields.byteCount <= 8) {
        check(byteAt(2) + 3 == frame.size());
        if (fields.extended)
            check(decodesAs(frame, sim::FrameEvent::Kind::SendExtended));
        else if (byteAt(3) == 0x00)
            check(decodesAs(frame, sim::FrameEvent::Kind::SendStandard));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool ready = [] {
        QLoggingCategory::setFilterRules(QStringLiteral("kt940.hexcodec.debug=false"));
        check(decodesAs(AdapterFrame::echoCommand(), sim::FrameEvent::Kind::Echo));
        return true;
    }();
    Q_UNUSED(ready);

    checkHexText(data, size);
    checkSendCommand(data, size);
    return 0;
}

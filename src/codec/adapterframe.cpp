// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "adapterframe.h"

#include "hexcodec.h"

#include <QtGlobal>

namespace AdapterFrame {

namespace {

constexpr int checksumBytes = 1;
// What LEN counts of a send command besides its identifier and data bytes: the type code,
// the message number, the byte count and the checksum.
constexpr int sendOverhead = 3 + checksumBytes;
// The echo command's one body byte after its type code.
constexpr char echoArgument = '\x01';

char lowByte(int value)
{
    return static_cast<char>(value & 0xFF);
}

QByteArray envelope(int length, const QByteArray &body)
{
    QByteArray frame;
    frame.reserve(lengthIndex + 1 + body.size() + checksumBytes);
    frame.append(header0);
    frame.append(header1);
    frame.append(lowByte(length));
    frame.append(body);
    frame.append(XorCheckSum(frame, checksumFrom));
    return frame;
}

} // namespace

QByteArray sendCommand(const SendFields &fields)
{
    const int idBytes = fields.extended ? extendedIdBytes : standardIdBytes;
    const int dataBytes = qBound(1, fields.byteCount, maxDataBytes);

    QByteArray body;
    body.reserve(sendOverhead + idBytes + dataBytes);
    body.append(fields.extended ? typeExtendedSend : lowByte(fields.standardTypeCode));
    body.append(lowByte(fields.messageNumber));
    for (int i = 0; i < idBytes; ++i)
        body.append(lowByte(fields.identifier.at(i)));
    body.append(lowByte(fields.byteCount));
    for (int k = 0; k < dataBytes; ++k)
        body.append(lowByte(fields.data.at(k)));

    // LEN follows the announced count, not the bytes sent, so a count outside 1 to
    // maxDataBytes reaches the adapter as it was given.
    return envelope(sendOverhead + idBytes + (fields.byteCount & 0xFF), body);
}

QByteArray echoCommand()
{
    QByteArray body;
    body.append(typeEcho);
    body.append(echoArgument);
    return envelope(static_cast<int>(body.size()) + checksumBytes, body);
}

} // namespace AdapterFrame

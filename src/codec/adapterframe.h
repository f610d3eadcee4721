// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef ADAPTERFRAME_H
#define ADAPTERFRAME_H

#include <QByteArray>

#include <array>

// The adapter's command frames: header0 header1 LEN body CS. LEN counts the bytes after it,
// CS included; the body starts with a type code; CS is XorCheckSum from checksumFrom, so it
// covers LEN and the body but not the header.
namespace AdapterFrame {

constexpr char header0 = '\x1C';
constexpr char header1 = '\x05';
constexpr int lengthIndex = 2;
constexpr int checksumFrom = lengthIndex;

constexpr char typeStandardSend = '\x00';
constexpr char typeExtendedSend = '\x02';
constexpr char typeEcho = '\x80';

constexpr int standardIdBytes = 2;
constexpr int extendedIdBytes = 4;
constexpr int maxDataBytes = 8;

// A CAN send command as the form holds it. Of every value the low eight bits are sent.
struct SendFields
{
    bool extended = false;
    // An extended command always carries typeExtendedSend.
    int standardTypeCode = typeStandardSend;
    int messageNumber = 0;
    // In the order sent; a standard command sends the first standardIdBytes.
    std::array<int, extendedIdBytes> identifier {};
    // Sent as given and counted into LEN as given, even outside 1 to maxDataBytes; the data
    // bytes sent are data[0] always, then those below byteCount.
    int byteCount = 1;
    std::array<int, maxDataBytes> data {};
};

QByteArray sendCommand(const SendFields &fields);
QByteArray echoCommand();

} // namespace AdapterFrame

#endif // ADAPTERFRAME_H

// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "hexcodec.h"

#include <QDebug>

Q_LOGGING_CATEGORY(lcHexCodec, "kt940.hexcodec")

namespace {

bool isHexDigit(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F') || (u >= '0' && u <= '9');
}

void appendGroup(const QString &group, QByteArray &bytes)
{
    bytes.append(static_cast<char>(group.toInt(nullptr, 16) & 0xFF));
    // Repeats the whole output at every group, so a traced long text costs the square of its
    // length; qCDebug builds nothing while the category is silenced.
    qCDebug(lcHexCodec) << "BA =" << bytes;
}

} // namespace

void HexStringToBytes(const QString &text, QByteArray &bytes)
{
    bytes.clear();
    QString group;
    int digitCount = 0;

    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (isHexDigit(c)) {
            if (digitCount < 2)
                group.append(c);
            ++digitCount;
        } else if (c == QLatin1Char(' ')) {
            qCDebug(lcHexCodec) << "Counter =" << digitCount;
            qCDebug(lcHexCodec) << "Space";
            if (digitCount != 0)
                appendGroup(group, bytes);
            group.clear();
            qCDebug(lcHexCodec) << "LastIndexSpace =" << i;
            digitCount = 0;
        } else {
            qCDebug(lcHexCodec) << "ERROR";
        }
    }

    // A text that ends without pending digits adds nothing: a trailing blank must not
    // turn into a 0x00 byte the user never typed.
    if (digitCount != 0)
        appendGroup(group, bytes);

    qCDebug(lcHexCodec) << "Size =" << text.size();
    qCDebug(lcHexCodec) << "Size Array =" << bytes.size();
}

void BytesToSpacedHex(const QByteArray &bytes, QString &text, int hexLength)
{
    text.clear();
    if (hexLength <= 0)
        return;

    const QByteArray hex = bytes.toHex();
    const auto length = static_cast<int>(qMin<qsizetype>(hexLength, hex.size()));
    QByteArray spaced;
    spaced.reserve(length + length / 2);
    for (int i = 0; i < length; i += 2) {
        spaced.append(hex.at(i));
        spaced.append(hex.at(i + 1)); // hex has even size, so i + 1 is inside it
        if (i + 2 < length)
            spaced.append(' ');
    }
    text = QString::fromLatin1(spaced);
}

char XorCheckSum(const QByteArray &bytes, int from)
{
    quint8 sum = 0;
    for (int i = qMax(from, 0); i < bytes.size(); ++i)
        sum ^= static_cast<quint8>(bytes.at(i));
    return static_cast<char>(sum);
}

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
    // Straight into the caller's text, whose buffer is reused: this runs for every block read.
    static constexpr char digits[] = "0123456789abcdef";
    const auto pairs
        = static_cast<int>(qMin<qsizetype>((qMax<qsizetype>(hexLength, 0) + 1) / 2, bytes.size()));
    if (pairs == 0) {
        text.clear();
        return;
    }
    text.resize(3 * pairs - 1);
    QChar *out = text.data();
    for (int i = 0; i < pairs; ++i) {
        const auto byte = static_cast<quint8>(bytes.at(i));
        if (i > 0)
            *out++ = QLatin1Char(' ');
        *out++ = QLatin1Char(digits[byte >> 4]);
        *out++ = QLatin1Char(digits[byte & 0x0F]);
    }
}

char XorCheckSum(const QByteArray &bytes, int from)
{
    quint8 sum = 0;
    for (int i = qMax(from, 0); i < bytes.size(); ++i)
        sum ^= static_cast<quint8>(bytes.at(i));
    return static_cast<char>(sum);
}

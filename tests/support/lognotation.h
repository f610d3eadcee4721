// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef LOGNOTATION_H
#define LOGNOTATION_H

#include <QByteArray>
#include <QString>

// The log's and the simulator's notation: upper-case pairs, single blanks. Written here rather
// than taken from the codec, so that a mistake there cannot hide in the expected text.
inline QString spaced(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

#endif // LOGNOTATION_H

// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef HEXCODEC_H
#define HEXCODEC_H

#include <QByteArray>
#include <QLoggingCategory>
#include <QString>

// The parser's traces, debug messages in the category "kt940.hexcodec".
Q_DECLARE_LOGGING_CATEGORY(lcHexCodec)

// Turns typed hex text ("1C 05 03") into bytes: one byte per blank-separated group of
// hex digits, the first two digits of a group counting. Never rejects a text; what it
// skips is traced in lcHexCodec.
void HexStringToBytes(const QString &text, QByteArray &bytes);

// Writes the bytes as lower-case hex pairs separated by single blanks ("1c 05 03").
// hexLength is the length of bytes.toHex(); nothing beyond that hex text is read.
void BytesToSpacedHex(const QByteArray &bytes, QString &text, int hexLength);

// XOR of every byte from index `from` to the end; 0 when `from` is past the end.
char XorCheckSum(const QByteArray &bytes, int from);

#endif // HEXCODEC_H

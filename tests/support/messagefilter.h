// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef MESSAGEFILTER_H
#define MESSAGEFILTER_H

// Installs a message handler that drops the warning the offscreen platform gives for every
// shown window (it says nothing about the window) and, while setDiscardDebug(true) holds,
// every debug message, and passes everything else on to the handler installed before.
void installMessageFilter();
// Dropped debug messages are formatted all the same, so the cost of tracing is still paid.
void setDiscardDebug(bool discard);
// Turns the parser's traces off; they would drown the output.
void muteParserTraces();

#endif // MESSAGEFILTER_H

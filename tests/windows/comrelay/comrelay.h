// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef COMRELAY_H
#define COMRELAY_H

// Wine 8 ends a wait for a serial event (WaitCommEvent) without telling anyone but an event
// handle: it does not post to the handle's completion port, and with no event handle given
// it waits in the caller's thread instead. Qt Serial Port learns of received bytes only from
// its completion port, so under Wine it never reads. This gives Qt Serial Port's waits an
// event handle and, when it is set, posts the end of the wait to the completion port the
// handle is bound to, as Windows does.
// Installed into the loaded Qt Serial Port before any port is opened; harmless on Windows.
void installComRelay();

#endif // COMRELAY_H

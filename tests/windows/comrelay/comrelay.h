// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef COMRELAY_H
#define COMRELAY_H

// Wine 8 ends a wait for a serial event (WaitCommEvent, IOCTL_SERIAL_WAIT_ON_MASK) without
// telling anyone but an event handle: it neither queues the caller's APC nor posts to the
// handle's completion port, and with no event handle given it waits in the caller's thread
// instead. Qt Serial Port learns of received bytes only through one of those two, so under
// Wine it never reads. This gives Qt Serial Port's waits an event handle and, when it is
// set, reports the end of the wait as Windows does: to the completion port the handle is
// bound to (Qt 5.15.9 on) or as the caller's APC (Qt 5.15.0 to 5.15.8).
// Installed into the loaded Qt Serial Port before any port is opened; harmless on Windows.
void installComRelay();

#endif // COMRELAY_H

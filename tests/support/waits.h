// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef WAITS_H
#define WAITS_H

#include <functional>

class QObject;

// Runs the event loop until `done` holds or `timeoutMs` has passed; true if it holds. The
// condition is checked after every event, so it must change through one (a signal, a paint,
// a socket notifier...); nothing else wakes the loop, so the window's own timers run as they
// would without the wait.
bool waitUntil(const std::function<bool()> &done, int timeoutMs);
// Runs the event loop for `ms` milliseconds on a single timer of its own.
void idleFor(int ms);
// Runs the event loop until `sender` emits `signal` (given with SIGNAL()) or `timeoutMs` has
// passed; true if the signal came.
bool waitForSignal(const QObject *sender, const char *signal, int timeoutMs);

#endif // WAITS_H

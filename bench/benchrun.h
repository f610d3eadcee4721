// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef BENCHRUN_H
#define BENCHRUN_H

#include <QString>

#include <functional>

// Runs a benchmark's `body` inside the QApplication every benchmark sets up: on the offscreen
// platform unless the caller chose one, so that it runs without a display, and with the
// harness's message filter. `quick` tells whether the arguments ask for the short run
// (--quick). Returns main()'s exit code.
int runBenchmark(int &argc, char **argv, const std::function<void(bool quick)> &body);
bool quickRun(int argc, char **argv);

// Progress for the person watching, on stderr, so that stdout carries figures alone.
void note(const QString &text);

#endif // BENCHRUN_H

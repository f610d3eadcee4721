#ifndef BENCHENV_H
#define BENCHENV_H

#include <QString>

// What every benchmark sets up around its QApplication.

// Before the QApplication: the offscreen platform unless the caller chose one, so the
// benchmarks run without a display.
void prepareEnvironment();
// After it: a message handler that drops the offscreen platform's per-window warning and,
// while `discardDebug` is set, every debug message (formatted all the same, so the cost of
// tracing is still paid).
void installMessageHandler();
void setDiscardDebug(bool discard);

// True when the arguments ask for the short run (--quick).
bool quickRun(int argc, char **argv);
// The simulated adapter built with this tree.
QString adapterSimProgram();

// Progress for the person watching, on stderr, so that stdout carries figures alone.
void note(const QString &text);

#endif // BENCHENV_H

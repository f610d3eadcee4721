#ifndef TESTENVIRONMENT_H
#define TESTENVIRONMENT_H

// Drops the warning the offscreen platform gives for every shown window (it says nothing
// about the window) and passes every other message on to the handler installed before.
void dropPlatformNoise();

// CPU time of this process so far, in milliseconds.
double processCpuMs();

#endif // TESTENVIRONMENT_H

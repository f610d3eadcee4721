// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "ptymaster.h"
#include "windowdriver.h"

void WindowDriver::openPty(PtyMaster &pty)
{
    if (!pty.isValid() || !pty.makeSlaveRaw() || !openPort(pty.slavePath()))
        qFatal("cannot open a pty in the window");
}

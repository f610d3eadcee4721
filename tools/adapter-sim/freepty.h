// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef FREEPTY_H
#define FREEPTY_H

#include <string>

namespace sim {

// Opens a new pseudo-terminal master (posix_openpt with `flags`, granted and unlocked) whose
// slave no serial program still holds a lock file for, and names the slave in `path`.
// Returns the master's descriptor, or -1 with errno set.
int openFreePty(int flags, std::string &path);

} // namespace sim

#endif // FREEPTY_H

// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

// Wine's wait for a serial event asks for the modem lines (TIOCMGET) on every poll and gives
// up the wait when that fails, as it always does on a pseudo-terminal. Answered here for the
// slave side of a pseudo-terminal only, as a cable with the adapter's lines up would; every
// other call, and every call on a hung-up line (EIO, not ENOTTY), gets the kernel's answer.

#include <dlfcn.h>

#include <cerrno>
#include <cstdarg>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

using IoctlFunction = int (*)(int, unsigned long, void *);

// Unix 98 pseudo-terminal slaves, /dev/pts/N.
bool isPtySlave(int fd)
{
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISCHR(status.st_mode))
        return false;
    const unsigned int major = major(status.st_rdev);
    return major >= 136 && major <= 143;
}

IoctlFunction kernelIoctl()
{
    static const auto next = reinterpret_cast<IoctlFunction>(::dlsym(RTLD_NEXT, "ioctl"));
    return next;
}

} // namespace

extern "C" __attribute__((visibility("default"))) int ioctl(
    int fd, unsigned long request, ...) noexcept
{
    va_list arguments;
    va_start(arguments, request);
    void *argument = va_arg(arguments, void *);
    va_end(arguments);

    const int result = kernelIoctl()(fd, request, argument);
    if (result != -1 || errno != ENOTTY || !isPtySlave(fd))
        return result;
    switch (request) {
    case TIOCMGET:
        *static_cast<int *>(argument) = TIOCM_DTR | TIOCM_RTS | TIOCM_CTS | TIOCM_DSR | TIOCM_CAR;
        return 0;
    case TIOCMSET:
    case TIOCMBIS:
    case TIOCMBIC:
        return 0;
    default:
        errno = ENOTTY;
        return -1;
    }
}

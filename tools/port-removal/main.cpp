// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

// Tells every top-level window that a serial port's device has been removed, as Windows does
// when a USB adapter is pulled, so that the terminal's answer can be tried without hardware.

#include <cstddef>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include <windows.h>

#include <dbt.h>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: port-removal PORT\n"
                             "Broadcasts that the device of PORT (e.g. COM5) has been removed.\n");
        return 2;
    }
    std::wstring name(MultiByteToWideChar(CP_ACP, 0, argv[1], -1, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, argv[1], -1, &name[0], int(name.size()));

    // The port's name, with its terminating null, makes the end of the structure.
    const std::size_t size
        = offsetof(DEV_BROADCAST_PORT_W, dbcp_name) + name.size() * sizeof(wchar_t);
    std::vector<unsigned char> buffer(size);
    auto *port = reinterpret_cast<DEV_BROADCAST_PORT_W *>(buffer.data());
    port->dbcp_size = DWORD(size);
    port->dbcp_devicetype = DBT_DEVTYP_PORT;
    std::wmemcpy(port->dbcp_name, name.data(), name.size());

    // A send that waits: only then does the system copy the structure into each window's
    // process. Wine's BroadcastSystemMessage does not wait, and so carries no port.
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(HWND_BROADCAST, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE,
            LPARAM(port), SMTO_ABORTIFHUNG, 5000, &answer)) {
        std::fprintf(stderr, "port-removal: SendMessageTimeout failed (%lu)\n", GetLastError());
        return 1;
    }
    return 0;
}

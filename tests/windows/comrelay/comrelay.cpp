// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "comrelay.h"

#include <windows.h>

#include <cstring>
#include <map>
#include <mutex>

namespace {

using NtStatus = LONG;

struct Originals
{
    decltype(&::WaitCommEvent) waitCommEvent = nullptr;
    decltype(&::CreateIoCompletionPort) createIoCompletionPort = nullptr;
    NtStatus(WINAPI *setIoCompletion)(HANDLE, ULONG_PTR, ULONG_PTR, NtStatus, ULONG_PTR) = nullptr;
};
Originals originals;

// The completion port and key each handle was bound to; the port is a handle of our own, so
// that a report arriving after the owner closed its port goes nowhere instead of elsewhere.
struct CompletionTarget
{
    HANDLE port;
    ULONG_PTR key;
};
std::mutex targetsMutex;
std::map<HANDLE, CompletionTarget> targets;

// A wait in flight, given to Wine with `event`; once Wine has set it, its end is posted to
// `target` as Windows would have.
struct PendingWait
{
    HANDLE event = nullptr;
    CompletionTarget target {};
    OVERLAPPED *overlapped = nullptr;
};

void CALLBACK waitEnded(PTP_CALLBACK_INSTANCE, void *context, PTP_WAIT wait, TP_WAIT_RESULT)
{
    auto *pending = static_cast<PendingWait *>(context);
    const OVERLAPPED *overlapped = pending->overlapped;
    originals.setIoCompletion(pending->target.port, pending->target.key, ULONG_PTR(overlapped),
        NtStatus(overlapped->Internal), overlapped->InternalHigh);
    ::CloseHandle(pending->event);
    delete pending;
    ::CloseThreadpoolWait(wait);
}

HANDLE WINAPI relayCreateIoCompletionPort(
    HANDLE file, HANDLE existing, ULONG_PTR key, DWORD threads)
{
    const HANDLE port = originals.createIoCompletionPort(file, existing, key, threads);
    if (port && file != INVALID_HANDLE_VALUE) {
        HANDLE own = nullptr;
        ::DuplicateHandle(::GetCurrentProcess(), port, ::GetCurrentProcess(), &own, 0, FALSE,
            DUPLICATE_SAME_ACCESS);
        const std::lock_guard<std::mutex> lock(targetsMutex);
        const auto old = targets.find(file);
        if (old != targets.end())
            ::CloseHandle(old->second.port);
        targets[file] = {own, key};
    }
    return port;
}

BOOL WINAPI relayWaitCommEvent(HANDLE device, DWORD *mask, OVERLAPPED *overlapped)
{
    CompletionTarget target {};
    {
        const std::lock_guard<std::mutex> lock(targetsMutex);
        const auto found = targets.find(device);
        if (found == targets.end() || !overlapped || overlapped->hEvent)
            return originals.waitCommEvent(device, mask, overlapped);
        target = found->second;
    }
    auto *pending
        = new PendingWait {::CreateEventW(nullptr, TRUE, FALSE, nullptr), target, overlapped};
    overlapped->hEvent = pending->event;
    const BOOL done = originals.waitCommEvent(device, mask, overlapped);
    const DWORD error = ::GetLastError();
    overlapped->hEvent = nullptr;
    if (done || error == ERROR_IO_PENDING) {
        // Windows posts a wait that ended at once as well.
        PTP_WAIT wait = ::CreateThreadpoolWait(waitEnded, pending, nullptr);
        ::SetThreadpoolWait(wait, pending->event, nullptr);
    } else {
        ::CloseHandle(pending->event);
        delete pending;
    }
    ::SetLastError(error);
    return done;
}

// Points `module`'s import of `function` at `replacement`; returns what it pointed at, or
// nullptr if the module does not import it.
void *patchImport(HMODULE module, const char *function, void *replacement)
{
    if (!module)
        return nullptr;
    auto *base = reinterpret_cast<BYTE *>(module);
    const auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
    const auto *headers = reinterpret_cast<const IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY &imports
        = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress)
        return nullptr;
    for (auto *library
         = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR *>(base + imports.VirtualAddress);
         library->Name; ++library) {
        if (!library->OriginalFirstThunk)
            continue;
        const auto *names
            = reinterpret_cast<const IMAGE_THUNK_DATA *>(base + library->OriginalFirstThunk);
        auto *slots = reinterpret_cast<IMAGE_THUNK_DATA *>(base + library->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto *byName
                = reinterpret_cast<const IMAGE_IMPORT_BY_NAME *>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char *>(byName->Name), function) != 0)
                continue;
            DWORD protection = 0;
            ::VirtualProtect(
                &slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection);
            void *previous = reinterpret_cast<void *>(slots->u1.Function);
            slots->u1.Function = ULONG_PTR(replacement);
            ::VirtualProtect(
                &slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
            return previous;
        }
    }
    return nullptr;
}

template<typename Function>
void relay(HMODULE module, const char *name, Function replacement, Function *original)
{
    if (void *previous = patchImport(module, name, reinterpret_cast<void *>(replacement)))
        *original = reinterpret_cast<Function>(previous);
}

} // namespace

void installComRelay()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        originals.setIoCompletion = reinterpret_cast<decltype(originals.setIoCompletion)>(
            reinterpret_cast<void *>(::GetProcAddress(ntdll, "NtSetIoCompletion")));
        const HMODULE serialPort = ::GetModuleHandleW(L"Qt5SerialPort.dll");
        relay(serialPort, "WaitCommEvent", &relayWaitCommEvent, &originals.waitCommEvent);
        relay(serialPort, "CreateIoCompletionPort", &relayCreateIoCompletionPort,
            &originals.createIoCompletionPort);
    });
}

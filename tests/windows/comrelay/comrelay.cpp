// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "comrelay.h"

#include <windows.h>

#include <cstring>
#include <functional>
#include <map>
#include <mutex>

namespace {

using NtStatus = LONG;
constexpr ULONG waitOnMask
    = CTL_CODE(FILE_DEVICE_SERIAL_PORT, 18, METHOD_BUFFERED, FILE_ANY_ACCESS);

struct IoStatus
{
    NtStatus status;
    ULONG_PTR information;
};
using ApcRoutine = void(WINAPI *)(void *context, IoStatus *io, ULONG reserved);

using DeviceIoControlFileFunction = NtStatus(WINAPI *)(
    HANDLE, HANDLE, ApcRoutine, void *, IoStatus *, ULONG, void *, ULONG, void *, ULONG);
using SetIoCompletionFunction
    = NtStatus(WINAPI *)(HANDLE, ULONG_PTR, ULONG_PTR, NtStatus, ULONG_PTR);
using QueueApcThreadFunction
    = NtStatus(WINAPI *)(HANDLE, ApcRoutine, ULONG_PTR, ULONG_PTR, ULONG_PTR);
using WaitCommEventFunction = BOOL(WINAPI *)(HANDLE, DWORD *, OVERLAPPED *);
using CreateIoCompletionPortFunction = HANDLE(WINAPI *)(HANDLE, HANDLE, ULONG_PTR, DWORD);
using GetProcAddressFunction = FARPROC(WINAPI *)(HMODULE, LPCSTR);

struct Originals
{
    DeviceIoControlFileFunction deviceIoControlFile = nullptr;
    WaitCommEventFunction waitCommEvent = nullptr;
    CreateIoCompletionPortFunction createIoCompletionPort = nullptr;
    GetProcAddressFunction getProcAddress = nullptr;
    SetIoCompletionFunction setIoCompletion = nullptr;
    QueueApcThreadFunction queueApcThread = nullptr;
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

// A wait in flight, given to Wine with `event`; `report` runs once Wine has set it.
struct PendingWait
{
    HANDLE event = nullptr;
    std::function<void()> report;
};

void CALLBACK waitEnded(PTP_CALLBACK_INSTANCE, void *context, PTP_WAIT wait, TP_WAIT_RESULT)
{
    auto *pending = static_cast<PendingWait *>(context);
    pending->report();
    ::CloseHandle(pending->event);
    delete pending;
    ::CloseThreadpoolWait(wait);
}

PendingWait *newPendingWait()
{
    auto *pending = new PendingWait;
    pending->event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return pending;
}

void watch(PendingWait *pending)
{
    PTP_WAIT wait = ::CreateThreadpoolWait(waitEnded, pending, nullptr);
    ::SetThreadpoolWait(wait, pending->event, nullptr);
}

void drop(PendingWait *pending)
{
    ::CloseHandle(pending->event);
    delete pending;
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
    PendingWait *pending = newPendingWait();
    overlapped->hEvent = pending->event;
    const BOOL done = originals.waitCommEvent(device, mask, overlapped);
    const DWORD error = ::GetLastError();
    overlapped->hEvent = nullptr;
    if (done || error == ERROR_IO_PENDING) {
        // Windows posts a wait that ended at once as well.
        pending->report = [target, overlapped] {
            originals.setIoCompletion(target.port, target.key, ULONG_PTR(overlapped),
                NtStatus(overlapped->Internal), overlapped->InternalHigh);
        };
        watch(pending);
    } else {
        drop(pending);
    }
    ::SetLastError(error);
    return done;
}

NtStatus WINAPI relayDeviceIoControlFile(HANDLE device, HANDLE event, ApcRoutine apc,
    void *apcContext, IoStatus *io, ULONG code, void *in, ULONG inSize, void *out, ULONG outSize)
{
    if (code != waitOnMask || event || !apc) {
        return originals.deviceIoControlFile(
            device, event, apc, apcContext, io, code, in, inSize, out, outSize);
    }
    HANDLE thread = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(), &thread,
        0, FALSE, DUPLICATE_SAME_ACCESS);
    PendingWait *pending = newPendingWait();
    const NtStatus status = originals.deviceIoControlFile(
        device, pending->event, nullptr, nullptr, io, code, in, inSize, out, outSize);
    if (status < 0) {
        ::CloseHandle(thread);
        drop(pending);
        return status;
    }
    pending->report = [thread, apc, apcContext, io] {
        originals.queueApcThread(thread, apc, ULONG_PTR(apcContext), ULONG_PTR(io), 0);
        ::CloseHandle(thread);
    };
    watch(pending);
    return status;
}

FARPROC WINAPI relayGetProcAddress(HMODULE module, LPCSTR name)
{
    const FARPROC found = originals.getProcAddress(module, name);
    const bool byName = (ULONG_PTR(name) >> 16) != 0;
    if (!found || !byName || std::strcmp(name, "NtDeviceIoControlFile") != 0)
        return found;
    originals.deviceIoControlFile
        = reinterpret_cast<DeviceIoControlFileFunction>(reinterpret_cast<void *>(found));
    return reinterpret_cast<FARPROC>(reinterpret_cast<void *>(&relayDeviceIoControlFile));
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
        originals.setIoCompletion = reinterpret_cast<SetIoCompletionFunction>(
            reinterpret_cast<void *>(::GetProcAddress(ntdll, "NtSetIoCompletion")));
        originals.queueApcThread = reinterpret_cast<QueueApcThreadFunction>(
            reinterpret_cast<void *>(::GetProcAddress(ntdll, "NtQueueApcThread")));
        const HMODULE serialPort = ::GetModuleHandleW(L"Qt5SerialPort.dll");
        relay(serialPort, "WaitCommEvent", &relayWaitCommEvent, &originals.waitCommEvent);
        relay(serialPort, "CreateIoCompletionPort", &relayCreateIoCompletionPort,
            &originals.createIoCompletionPort);
        // Qt 5.15.8 and older find NtDeviceIoControlFile through QLibrary, so Qt Core's
        // GetProcAddress.
        relay(::GetModuleHandleW(L"Qt5Core.dll"), "GetProcAddress", &relayGetProcAddress,
            &originals.getProcAddress);
    });
}

// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "portwatcher.h"

#include "portrule.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>

#include <cstddef>
#include <cwchar>
#include <functional>
#include <utility>

#include <windows.h>

#include <dbt.h>

static_assert(WindowsPortRule::errorFileNotFound == ERROR_FILE_NOT_FOUND
        && WindowsPortRule::errorAccessDenied == ERROR_ACCESS_DENIED
        && WindowsPortRule::errorInvalidHandle == ERROR_INVALID_HANDLE
        && WindowsPortRule::errorNotReady == ERROR_NOT_READY
        && WindowsPortRule::errorBadCommand == ERROR_BAD_COMMAND
        && WindowsPortRule::errorGenFailure == ERROR_GEN_FAILURE
        && WindowsPortRule::errorOperationAborted == ERROR_OPERATION_ABORTED
        && WindowsPortRule::errorDeviceNotConnected == ERROR_DEVICE_NOT_CONNECTED
        && WindowsPortRule::errorDeviceRemoved == ERROR_DEVICE_REMOVED,
    "the rule's codes are Windows' own");

namespace {

// Windows tells every top-level window that a port has left. Some USB serial drivers fail no
// pending call when their device goes, so an idle port learns of it only here. The filter is
// the watcher's child and leaves the application with it.
class RemovalFilter : public QObject, public QAbstractNativeEventFilter
{
public:
    RemovalFilter(std::function<void(const QString &)> onRemoved, QObject *parent)
        : QObject(parent)
        , onRemoved(std::move(onRemoved))
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
#else
    bool nativeEventFilter(const QByteArray &eventType, void *message, long *) override
#endif
    {
        // Sent to each window: a posted copy would carry no port.
        if (eventType != "windows_generic_MSG")
            return false;
        const auto *msg = static_cast<const MSG *>(message);
        if (msg->message != WM_DEVICECHANGE || msg->wParam != DBT_DEVICEREMOVECOMPLETE)
            return false;
        const auto *header = reinterpret_cast<const DEV_BROADCAST_HDR *>(msg->lParam);
        const std::size_t nameOffset = offsetof(DEV_BROADCAST_PORT_W, dbcp_name);
        if (!header || header->dbch_devicetype != DBT_DEVTYP_PORT
            || header->dbch_size <= nameOffset)
            return false;
        const auto *port = reinterpret_cast<const DEV_BROADCAST_PORT_W *>(header);
        const std::size_t room = (header->dbch_size - nameOffset) / sizeof(wchar_t);
        onRemoved(QString::fromWCharArray(port->dbcp_name, int(wcsnlen(port->dbcp_name, room))));
        return false;
    }

private:
    std::function<void(const QString &)> onRemoved;
};

} // namespace

PortVerdict PortWatcher::judge(QSerialPort::SerialPortError error) const
{
    DWORD lineErrors = 0;
    DWORD answer = ERROR_SUCCESS;
    if (!::ClearCommError(port->handle(), &lineErrors, nullptr))
        answer = ::GetLastError();
    return WindowsPortRule::judge(error, answer);
}

// A removal naming the open port drops it as a failed read would.
void PortWatcher::watchRemovals()
{
    new RemovalFilter(
        [this](const QString &removed) {
            if (WindowsPortRule::namesPort(removed, portName))
                handleError(QSerialPort::ReadError);
        },
        this);
}

// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "portwatcher.h"

#include "portwatcher_p.h"

#include <QLatin1String>

#ifdef Q_OS_WIN
#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>

#include <cstddef>
#include <cwchar>
#include <functional>
#include <utility>

#include <windows.h>

#include <dbt.h>
#endif

namespace {

// The system error codes a USB serial driver answers with once its device has gone,
// spelled out so that the rule builds, and is tested, on any system.
constexpr quint32 errorFileNotFound = 2;
constexpr quint32 errorAccessDenied = 5;
constexpr quint32 errorInvalidHandle = 6;
constexpr quint32 errorBadCommand = 22;
constexpr quint32 errorGenFailure = 31;
constexpr quint32 errorOperationAborted = 995;
constexpr quint32 errorDeviceNotConnected = 1167;
constexpr quint32 errorDeviceRemoved = 1617;

QString bareName(const QString &name)
{
    const QLatin1String devicePrefix("\\\\.\\");
    return name.startsWith(devicePrefix) ? name.mid(devicePrefix.size()) : name;
}

} // namespace

// Writes are overlapped: a full output buffer leaves them pending and reports nothing, so each
// of these errors is a loss. A removed USB adapter fails the pending read with its driver's own
// code, which Qt passes on as one of them, and after which it reads no more.
PortVerdict WindowsPortRule::judge(QSerialPort::SerialPortError error, quint32 systemError)
{
    switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::PermissionError:
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::UnknownError:
        break;
    default:
        return {PortVerdict::Unrelated, QString()};
    }
    switch (systemError) {
    case 0: // the handle still answers: the failed call said all there is
    case errorFileNotFound:
    case errorAccessDenied:
    case errorDeviceNotConnected:
    case errorDeviceRemoved:
        return {PortVerdict::Lost, QString()}; // the refusal is the disconnection itself
    case errorInvalidHandle:
        return {PortVerdict::Lost, PortWatcher::tr("handle not valid")};
    case errorBadCommand:
        return {PortVerdict::Lost, PortWatcher::tr("the device refused the command")};
    case errorGenFailure:
        return {PortVerdict::Lost, PortWatcher::tr("the device is not functioning")};
    case errorOperationAborted:
        return {PortVerdict::Lost, PortWatcher::tr("the transfer was aborted")};
    default:
        return {PortVerdict::Lost, PortWatcher::tr("system error %1").arg(systemError)};
    }
}

// Windows names a port COM5 or \\.\COM5, in any case.
bool WindowsPortRule::namesPort(const QString &removed, const QString &portName)
{
    return !portName.isEmpty()
        && bareName(removed).compare(bareName(portName), Qt::CaseInsensitive) == 0;
}

#ifdef Q_OS_WIN

static_assert(errorFileNotFound == ERROR_FILE_NOT_FOUND && errorAccessDenied == ERROR_ACCESS_DENIED
        && errorInvalidHandle == ERROR_INVALID_HANDLE && errorBadCommand == ERROR_BAD_COMMAND
        && errorGenFailure == ERROR_GEN_FAILURE && errorOperationAborted == ERROR_OPERATION_ABORTED
        && errorDeviceNotConnected == ERROR_DEVICE_NOT_CONNECTED
        && errorDeviceRemoved == ERROR_DEVICE_REMOVED,
    "the codes are Windows' own");

namespace {

// Windows tells every top-level window that a port has left. Some USB serial drivers fail no
// pending call when their device goes, so an idle port learns of it only here.
class RemovalFilter : public QAbstractNativeEventFilter
{
public:
    explicit RemovalFilter(std::function<void(const QString &)> onRemoved)
        : onRemoved(std::move(onRemoved))
    {
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
        if (!header || header->dbch_devicetype != DBT_DEVTYP_PORT || header->dbch_size <= nameOffset)
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

PortVerdict PortRule::judge(QSerialPort::SerialPortError error, const QSerialPort &port)
{
    DWORD lineErrors = 0;
    DWORD answer = ERROR_SUCCESS;
    if (!::ClearCommError(port.handle(), &lineErrors, nullptr))
        answer = ::GetLastError();
    return WindowsPortRule::judge(error, answer);
}

// A removal naming the open port drops it as a failed read would.
void PortWatcher::watchRemovals()
{
    removalFilter = std::make_unique<RemovalFilter>([this](const QString &removed) {
        if (WindowsPortRule::namesPort(removed, portName))
            handleError(QSerialPort::ReadError);
    });
    QCoreApplication::instance()->installNativeEventFilter(removalFilter.get());
}

#endif // Q_OS_WIN

#include "platform/devices/udisks.h"

#include "platform/base/trace.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QDBusVariant>
#include <QVariantMap>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>

namespace {

constexpr const char* kService = "org.freedesktop.UDisks2";
constexpr const char* kBlockInterface = "org.freedesktop.UDisks2.Block";
constexpr const char* kFilesystemInterface = "org.freedesktop.UDisks2.Filesystem";
constexpr const char* kPartitionInterface = "org.freedesktop.UDisks2.Partition";
constexpr const char* kPartitionTableInterface = "org.freedesktop.UDisks2.PartitionTable";
// Long enough for the user to read the password prompt and answer it.
constexpr int kCallTimeoutMs = 5 * 60 * 1000;

int ErrnoOfError(const QString& name) {
    if (name == QLatin1String("org.freedesktop.UDisks2.Error.DeviceBusy"))
        return EBUSY;
    if (name.startsWith(QLatin1String("org.freedesktop.UDisks2.Error.NotAuthorized")))
        return EACCES;
    if (name == QLatin1String("org.freedesktop.DBus.Error.NoReply") ||
        name == QLatin1String("org.freedesktop.DBus.Error.Timeout"))
        return ETIMEDOUT;
    if (name == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown"))
        return ENOSYS;
    return EIO;
}

// The answer, or nothing with errno set and the error traced.
std::optional<QDBusMessage> Call(const std::string& deviceName, const char* interface, const char* method,
                                 const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(
        kService, QString::fromStdString(UDisksBlockObjectPath(deviceName)), interface, method);
    message.setArguments(arguments);
    message.setInteractiveAuthorizationAllowed(true);
    const QDBusMessage reply = QDBusConnection::systemBus().call(message, QDBus::Block, kCallTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return reply;
    TraceLine("udisks " + std::string(method) + " on " + deviceName + ": " + reply.errorName().toStdString() +
              ": " + reply.errorMessage().toStdString());
    errno = ErrnoOfError(reply.errorName());
    return std::nullopt;
}

} // namespace

std::string UDisksBlockObjectPath(const std::string& deviceName) {
    // udisks keeps [A-Za-z0-9_] and writes every other byte as '_' and two hex digits.
    std::string path = "/org/freedesktop/UDisks2/block_devices/";
    for (const char ch : deviceName) {
        const auto byte = static_cast<unsigned char>(ch);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
            byte == '_') {
            path += ch;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "_%02x", byte);
            path += escaped;
        }
    }
    return path;
}

bool UDisksUnmount(const std::string& deviceName) {
    return Call(deviceName, kFilesystemInterface, "Unmount", {QVariantMap()}).has_value();
}

std::optional<std::string> UDisksMount(const std::string& deviceName) {
    // udisks learns of the new file system only once it has looked at the device again.
    if (!Call(deviceName, kBlockInterface, "Rescan", {QVariantMap()}))
        return std::nullopt;
    const auto reply = Call(deviceName, kFilesystemInterface, "Mount", {QVariantMap()});
    if (!reply)
        return std::nullopt;
    const QString point = reply->arguments().value(0).toString();
    if (point.isEmpty()) {
        errno = EIO;
        return std::nullopt;
    }
    return point.toStdString();
}

int UDisksOpenForRestore(const std::string& deviceName) {
    const auto reply = Call(deviceName, kBlockInterface, "OpenForRestore", {QVariantMap()});
    if (!reply)
        return -1;
    const auto descriptor = reply->arguments().value(0).value<QDBusUnixFileDescriptor>();
    if (!descriptor.isValid()) {
        errno = EIO;
        return -1;
    }
    // The message's copy closes with it; ours lives on.
    return fcntl(descriptor.fileDescriptor(), F_DUPFD_CLOEXEC, 0);
}

std::optional<std::string> UDisksPartitionTableType(const std::string& diskName) {
    const auto reply = Call(diskName, "org.freedesktop.DBus.Properties", "Get",
                            {QString::fromLatin1(kPartitionTableInterface), QStringLiteral("Type")});
    if (!reply)
        return std::nullopt;
    const QString type = reply->arguments().value(0).value<QDBusVariant>().variant().toString();
    if (type.isEmpty())
        return std::nullopt;
    return type.toStdString();
}

bool UDisksSetPartitionType(const std::string& deviceName, const std::string& type) {
    return Call(deviceName, kPartitionInterface, "SetType", {QString::fromStdString(type), QVariantMap()})
        .has_value();
}

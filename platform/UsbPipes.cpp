#include "platform/UsbPipes.h"

#include "platform/PendingMessages.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace
{

QString testBase;

} // namespace

QString usbBaseDirectory()
{
    if (!testBase.isEmpty())
        return testBase;
    const QString configured = qEnvironmentVariable("KV8_USB_DIR");
    return configured.isEmpty() ? QStringLiteral("/dev/kv8usb") : configured;
}

void setUsbBaseDirectoryForTest(const QString &directory)
{
    testBase = directory;
}

QStringList usbInterfaceFolders()
{
    const QDir base(usbBaseDirectory());
    QStringList folders;
    for (const QString &name : base.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name)) {
        const QDir folder(base.filePath(name));
        if (QFile::exists(folder.filePath(QStringLiteral("PIPE00"))) &&
            QFile::exists(folder.filePath(QStringLiteral("PIPE01"))))
            folders << folder.path();
    }
    return folders;
}

int openUsbInterface(const QString &folder)
{
    return ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

int openUsbPipe(const QString &path)
{
    return ::open(QFile::encodeName(path).constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
}

bool writeUsbPipe(int fd, const uint8_t *data, int count, int timeoutMs, int *written)
{
    *written = 0;
    // Wakes the event loop as soon as the pipe takes bytes again.
    QSocketNotifier room(fd, QSocketNotifier::Write);
    room.setEnabled(false);
    const auto hasRoom = [fd] {
        pollfd p{fd, POLLOUT, 0};
        return ::poll(&p, 1, 0) > 0 && (p.revents & POLLOUT);
    };
    while (*written < count) {
        const ssize_t n = ::write(fd, data + *written, static_cast<size_t>(count - *written));
        if (n > 0) {
            *written += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        room.setEnabled(true);
        const bool ready = waitFor(hasRoom, timeoutMs);
        room.setEnabled(false);
        if (!ready)
            return false;
    }
    return true;
}

int readUsbPipe(int fd, uint8_t *buffer, int count)
{
    if (count <= 0)
        return 0;
    const ssize_t n = ::read(fd, buffer, static_cast<size_t>(count));
    return n > 0 ? static_cast<int>(n) : 0;
}

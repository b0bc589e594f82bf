#include "link/QRZUsbC1.h"

#include "platform/UsbPipes.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace
{

constexpr int writeTimeoutMs = 1000;

// Where the device's own open leaves the path of the device found; one for every object.
QString deviceName;

void closeHandle(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

TQRZUsbC1::TQRZUsbC1(std::function<void(const QString &)> log) : log_(std::move(log))
{
    deviceName.clear();
    UsbOpen();
}

TQRZUsbC1::~TQRZUsbC1()
{
    UsbClose();
}

void TQRZUsbC1::log(const QString &line) const
{
    if (log_)
        log_(line);
}

// The first interface folder, in sorted order, that opens; -1 with errno set when none does
// (ENODEV when there is none at all). path: the folder tried last.
int TQRZUsbC1::UsbFindDevice(QString &path)
{
    int error = ENODEV;
    for (const QString &folder : usbInterfaceFolders()) {
        path = folder;
        const QByteArray name = folder.toLocal8Bit();
        std::printf("Attempting to open %s\n", name.constData());
        std::fflush(stdout);
        const int fd = openUsbInterface(folder);
        if (fd >= 0)
            return fd;
        error = errno;
        std::printf("FAILED to open %s\n", name.constData());
        std::fflush(stdout);
    }
    errno = error;
    return -1;
}

int TQRZUsbC1::UsbOpenPipe(const QString &name)
{
    // A fresh search: it proves that the device still opens and yields its path.
    const int probe = UsbFindDevice(devicePath_);
    if (probe < 0) {
        const int error = errno;
        log(QStringLiteral("Failed to GetUsbDeviceFileName[%1]").arg(error));
        return -1;
    }
    ::close(probe);
    const QString path = devicePath_ + QLatin1Char('/') + name;
    const int fd = openUsbPipe(path);
    const int error = errno;
    log(QStringLiteral("DeviceName = (%1)").arg(path));
    log(fd >= 0 ? QStringLiteral("Opened successfully.")
                : QStringLiteral("Failed to open (%1) = %2").arg(path).arg(error));
    return fd;
}

bool TQRZUsbC1::UsbOpen()
{
    UsbClose();
    device_ = UsbFindDevice(deviceName);
    const int error = errno;
    if (device_ >= 0)
        log(QStringLiteral("DeviceName = (%1)").arg(deviceName));
    else
        log(QStringLiteral("Failed to open (%1) = %2").arg(deviceName).arg(error));
    readPipe_ = UsbOpenPipe(QStringLiteral("PIPE01"));
    writePipe_ = UsbOpenPipe(QStringLiteral("PIPE00"));
    if (readPipe_ < 0 || writePipe_ < 0)
        return false;
    open_ = 1;
    return true;
}

void TQRZUsbC1::UsbClose()
{
    closeHandle(readPipe_);
    closeHandle(writePipe_);
    closeHandle(device_);
    open_ = 0;
}

bool TQRZUsbC1::UsbWrite(const uint8_t *data, int count, int *written)
{
    int done = 0;
    const bool ok = writePipe_ >= 0 && writeUsbPipe(writePipe_, data, count, writeTimeoutMs, &done);
    if (written)
        *written = done;
    return ok;
}

int TQRZUsbC1::UsbRead(uint8_t *buffer, int count, int *read)
{
    const int got = readPipe_ >= 0 ? readUsbPipe(readPipe_, buffer, count) : 0;
    if (read)
        *read = got;
    return got;
}

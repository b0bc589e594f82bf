#pragma once

#include <QString>

#include <cstdint>
#include <functional>

// The USB reader (transport kind 1): the reader's interface folder (platform/UsbPipes.h) with
// its pipe files "PIPE00" (to the reader) and "PIPE01" (from the reader). The search prints
// each folder it tries to the standard output; the status lines of an open go to the log given
// to the constructor (the main window's). Reads and writes never wait on the reader with the
// event loop stopped.
class TQRZUsbC1
{
public:
    // Opens the device; the caller tests IsOpen().
    explicit TQRZUsbC1(std::function<void(const QString &)> log = {});
    ~TQRZUsbC1();
    TQRZUsbC1(const TQRZUsbC1 &) = delete;
    TQRZUsbC1 &operator=(const TQRZUsbC1 &) = delete;

    // Opens the device and both pipes (closing what an earlier open left open); true when both
    // pipes are open.
    bool UsbOpen();
    void UsbClose();
    bool IsOpen() const { return open_ != 0; }
    // The whole block; false when the write pipe isn't open, the write fails, or the reader
    // takes nothing for 1000 ms.
    bool UsbWrite(const uint8_t *data, int count, int *written);
    // The bytes waiting, up to count; 0 when none or the read pipe isn't open.
    int UsbRead(uint8_t *buffer, int count, int *read);

private:
    int UsbFindDevice(QString &path);
    int UsbOpenPipe(const QString &name);
    void log(const QString &line) const;

    int device_ = -1;
    int readPipe_ = -1;  // "PIPE01"
    int writePipe_ = -1; // "PIPE00"
    QString devicePath_;
    uint8_t open_ = 0;
    std::function<void(const QString &)> log_;
};

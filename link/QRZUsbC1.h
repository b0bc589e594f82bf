#pragma once

#include <cstdint>

// The USB reader (transport kind 1): two pipe files "PIPE00" (to the reader) and "PIPE01"
// (from the reader). The pipe access is not built yet: until it is, QRZUsbC1Seam.cpp never
// finds a device, so the hub takes its "NG : TQRZUsbC1" road.
class TQRZUsbC1
{
public:
    TQRZUsbC1(); // opens the device; the caller tests IsOpen()
    ~TQRZUsbC1();
    TQRZUsbC1(const TQRZUsbC1 &) = delete;
    TQRZUsbC1 &operator=(const TQRZUsbC1 &) = delete;

    bool UsbOpen();
    void UsbClose();
    bool IsOpen() const { return open_ != 0; }
    bool UsbWrite(const uint8_t *data, int count, int *written);
    int UsbRead(uint8_t *buffer, int count, int *read);

private:
    uint8_t open_ = 0;
};

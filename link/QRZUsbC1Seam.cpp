#include "link/QRZUsbC1.h"

// Stand-in for the USB pipes until they arrive: no device is ever found.

TQRZUsbC1::TQRZUsbC1()
{
    UsbOpen();
}

TQRZUsbC1::~TQRZUsbC1()
{
    UsbClose();
}

bool TQRZUsbC1::UsbOpen()
{
    open_ = 0;
    return false;
}

void TQRZUsbC1::UsbClose()
{
    open_ = 0;
}

bool TQRZUsbC1::UsbWrite(const uint8_t *, int, int *written)
{
    if (written)
        *written = 0;
    return false;
}

int TQRZUsbC1::UsbRead(uint8_t *, int, int *read)
{
    if (read)
        *read = 0;
    return 0;
}

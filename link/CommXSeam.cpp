#include "link/CommX.h"

// Stand-in for the serial component until the termios port arrives: no port ever opens.

TCommX::~TCommX()
{
    PortClose();
}

void TCommX::PortOpen()
{
    if (HandleValid())
        throw ECommError(QStringLiteral("ポートは、すでにオープンされています"));
    throw ECommError(QStringLiteral("ポートをオープンできませんでした"));
}

void TCommX::PortClose()
{
    handle_ = -1;
}

bool TCommX::TransBlock(const void *, int count)
{
    if (count == 0)
        return true;
    return false;
}

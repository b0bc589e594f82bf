// The hub's handlers of the serial port's events.

#include "link/TTComXDlg.h"

#include <algorithm>
#include <vector>

void TTComXDlg::CommX1Receive(int count)
{
    const int wanted = std::min(count, RxRingFree());
    if (wanted <= 0)
        return;
    std::vector<uint8_t> bytes(static_cast<size_t>(wanted));
    const int got = CommX1.ReceiveBlock(bytes.data(), wanted);
    if (got > 0)
        WriteRxRing(bytes.data(), got);
}

void TTComXDlg::CommX1Error(unsigned errors)
{
    if (errors & CommErrorLineGone) {
        // The component has closed the port already; what it had received still reaches the
        // ring through DrainTransports.
        fConnected = 0;
        AppendLog(QStringLiteral("CommX1Error: COM%1 の回線が切断されました").arg(CommX1.PortNo()));
        return;
    }
    AppendLog(QStringLiteral("CommX1Error"));
    if (errors & CommErrorFraming)
        AppendLog(QStringLiteral("フレーミングエラー"));
    if (errors & CommErrorOverrun)
        AppendLog(QStringLiteral("バッファオーバーラン"));
    if (errors & CommErrorParity)
        AppendLog(QStringLiteral("パリティエラー"));
}

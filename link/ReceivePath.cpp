// The hub's receive side: the frame collector, the reply router and the waits.

#include "link/HubWindow.h"
#include "link/QRZUsbC1.h"
#include "link/ReplyDecoders.h"
#include "link/TTComXDlg.h"
#include "platform/PendingMessages.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define KV8_EXACT_FRAME_VIEW 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KV8_EXACT_FRAME_VIEW 1
#endif
#endif

namespace
{

constexpr int IdlePollsBeforeDrop = 100;
constexpr uint32_t ReplyTimeoutMs = 2000;

// The wait loop that WaitAnyReply, WaitReply and WaitReplyState share. It touches the hub only
// while the program is not closing, since the hub may be on its way out then.
bool waitUntil(TTComXDlg &hub, const std::function<bool()> &done)
{
    hub.TimeoutTimer(0, ReplyTimeoutMs);
    for (;;) {
        processPendingMessages(hub.timeoutLeft(ReplyTimeoutMs));
        if (applicationClosing())
            return false;
        if (done())
            return true;
        if (hub.TimeoutTimer(1, ReplyTimeoutMs)) {
            hub.AppendLog(QStringLiteral("レスポンス待ち　タイムオーバー"));
            return false;
        }
    }
}

} // namespace

void TTComXDlg::UsbPollRead()
{
    constexpr int chunk = 64;
    if (UsbStagedCount < 0 || UsbStagedCount > static_cast<int>(UsbStaging.size()) - chunk)
        UsbStagedCount = 0;
    int got = 0;
    UsbDevice->UsbRead(UsbStaging.data() + UsbStagedCount, chunk, &got);
    if (got <= 0)
        return;
    UsbStagedCount += std::min(got, chunk);
    // What the ring can't take now stays staged for the next poll.
    const int taken = WriteRxRing(UsbStaging.data(), UsbStagedCount);
    std::memmove(UsbStaging.data(), UsbStaging.data() + taken, static_cast<size_t>(UsbStagedCount - taken));
    UsbStagedCount -= taken;
}

void TTComXDlg::PollReceive()
{
    if (TransportKind == TransportUsb && UsbDevice)
        UsbPollRead();

    RxSnapshot = RxWriteIndex;
    if (RxSnapshot == RxReadIndex) {
        // About ten seconds without a byte abandon a half-collected frame.
        if (IdlePolls != 0) {
            --IdlePolls;
        } else {
            InFrame = 0;
            ringFrameAbandoned();
        }
        DrainTransports();
        return;
    }

    IdlePolls = IdlePollsBeforeDrop;
    const bool trace = fDispRecInfo != 0;
    QByteArray traceLine;
    if (trace)
        traceLine = "RX:";
    // The indices are re-read on every turn: a decoder that hands a gate event to the window
    // may run a nested poll, which then continues the same ring.
    while (RxReadIndex != RxSnapshot) {
        if (!streamStarts_.empty() && streamStarts_.front() == RxReadIndex) {
            // Another connection's bytes begin: what the last one left unfinished is dropped.
            streamStarts_.pop_front();
            InFrame = 0;
        }
        const uint8_t b = RxRing[static_cast<size_t>(RxReadIndex)];
        RxReadIndex = (RxReadIndex + 1) % RxRingSize;
        if (trace)
            appendHexByte(traceLine, b);

        if (!InFrame) {
            if (b == FrameStx) {
                InFrame = 1;
                FrameIndex = 0;
                FrameEndIndex = 7;
                FrameBuffer[0] = b;
                FrameIndex = 1;
            }
            continue;
        }
        if (FrameIndex == FrameLenIndex) {
            FrameBuffer[FrameLenIndex] = b;
            FrameIndex = FrameLenIndex + 1;
            FrameEndIndex = b + 6;
            continue;
        }
        if (FrameIndex != FrameEndIndex) {
            FrameBuffer[static_cast<size_t>(FrameIndex++)] = b;
            continue;
        }
        // The frame ends by its LEN alone: STX, ETX or CR inside DATA are data. The collector
        // leaves the frame before routing it, so that a poll nested in a decoder's call to the
        // window keeps the frame it has begun.
        InFrame = 0;
        if (b != FrameCr) {
            AppendLog(QStringLiteral("ERROR： NO CR_CODE"));
        } else {
            FrameBuffer[static_cast<size_t>(FrameIndex)] = b;
            LastReplyId = FrameBuffer[FrameIdIndex];
            const int len = FrameBuffer[FrameLenIndex];
            if (FrameChecksum(FrameBuffer.data()) != FrameBuffer[static_cast<size_t>(len + 5)] ||
                FrameBuffer[static_cast<size_t>(len + 4)] != FrameEtx)
                AppendLog(QStringLiteral("SUM EEROR"));
            else
                DispatchReply();
        }
    }
    if (trace)
        AppendLog(QString::fromLatin1(traceLine));

    // The ring is empty now: bytes that a read handler had to leave in its socket come in.
    DrainTransports();
}

void TTComXDlg::DispatchReply()
{
    const size_t size = static_cast<size_t>(FrameBuffer[FrameLenIndex]) + FrameOverhead;
#ifdef KV8_EXACT_FRAME_VIEW
    // A heap copy of exactly the frame, so that the sanitizer catches a decoder reading past it.
    const std::vector<uint8_t> exact(FrameBuffer.begin(), FrameBuffer.begin() + static_cast<std::ptrdiff_t>(size));
    const ReplyFrame frame(std::span<const uint8_t>(exact.data(), exact.size()));
#else
    const ReplyFrame frame(std::span<const uint8_t>(FrameBuffer.data(), size));
#endif

    ReplyState = ReplyStateFrame;
    statesSinceSend |= 1u << ReplyStateFrame;
    std::copy(frame.whole().begin(), frame.whole().end(), LastRoutedFrame.begin());

    HubWindow *win = window();
    DecodeContext ctx;
    ctx.lastCmd = LastCmd;
    ctx.optionFlag = OptionFlag != 0;
    ctx.tagBlockSize = win ? static_cast<uint32_t>(win->TagBlockSize()) : 0;
    ctx.s6700Conf = win ? static_cast<uint8_t>(win->S6700Conf()) : 0;
    const ReplyOutcome out = decodeReply(frame, ctx);

    ReplyState = out.replyState;
    statesSinceSend |= 1u << out.replyState;
    if (out.copyToLastReply) {
        std::copy(frame.whole().begin(), frame.whole().end(), LastReply.begin());
        ackOrNackSinceSend = true;
        SystemInfoComplete = out.stores(ReplyField::TagInfoFlags);
    }
    if (out.copyToLastGateFrame)
        std::copy(frame.whole().begin(), frame.whole().end(), LastGateFrame.begin());
    for (const FieldWrite &write : out.writes)
        storeField(write);

    for (const QString &line : out.lines)
        AppendLog(line);
    for (const ReadEntry &read : out.reads) {
        if (read.matchTextAOnly)
            AddReadData(read.textA);
        else
            AddReadRecord(read.textA, read.textB);
    }
    if (out.gateEvent)
        PostGateEvent(out.gateEvent->dwData, static_cast<int>(out.gateEvent->bytes.size()),
                      reinterpret_cast<const uint8_t *>(out.gateEvent->bytes.constData()));
}

QByteArrayView TTComXDlg::routedFrame() const
{
    return QByteArrayView(reinterpret_cast<const char *>(LastRoutedFrame.data()),
                          static_cast<qsizetype>(LastRoutedFrame[FrameLenIndex]) + FrameOverhead);
}

void TTComXDlg::storeField(const FieldWrite &write)
{
    HubWindow *win = window();
    const auto *bytes = reinterpret_cast<const uint8_t *>(write.bytes.constData());
    // Copies at most `size` bytes into a field of the window; nothing without a window.
    const auto copyTo = [&](uint8_t *target, qsizetype size) {
        if (target)
            std::copy_n(bytes, std::min(size, write.bytes.size()), target);
    };
    switch (write.field) {
    case ReplyField::CurrentUid:
        return copyTo(win ? win->CurrentUid() : nullptr, 8);
    case ReplyField::CurrentSid:
        return copyTo(win ? win->CurrentSid() : nullptr, 4);
    case ReplyField::MydData:
        return copyTo(win ? win->MydData() : nullptr, 8);
    case ReplyField::TagDSFID:
        return copyTo(win ? &win->TagDSFID() : nullptr, 1);
    case ReplyField::TagAFI:
        return copyTo(win ? &win->TagAFI() : nullptr, 1);
    case ReplyField::TagICRef:
        return copyTo(win ? &win->TagICRef() : nullptr, 1);
    case ReplyField::TagInfoFlags:
        return copyTo(win ? &win->TagInfoFlags() : nullptr, 1);
    case ReplyField::TagMemSize:
        return copyTo(win ? win->TagMemSize() : nullptr, 2);
    case ReplyField::RomVersion:
        RomVersion = write.bytes;
        return;
    case ReplyField::PortData:
        return copyTo(&PortData, 1);
    case ReplyField::LastBlockSecSt:
        return copyTo(&LastBlockSecSt, 1);
    case ReplyField::LastBlockData:
        return copyTo(LastBlockData.data(), static_cast<qsizetype>(LastBlockData.size()));
    }
}

bool TTComXDlg::LastReplyVerdict()
{
    switch (LastReply[FrameCmdIndex]) {
    case ReplyAck:
        return true;
    case ReplyNack:
        AppendLog(QStringLiteral("NACK 受信"));
        return false;
    default:
        return false;
    }
}

bool TTComXDlg::WaitAnyReply()
{
    return waitUntil(*this, [this] { return ReplyState != ReplyStateNone; });
}

bool TTComXDlg::WaitReply()
{
    // Only an ACK or NACK that arrived after the send ends the wait: a scan read or a gate
    // event in between must not hand over the verdict of an earlier exchange.
    if (!waitUntil(*this, [this] { return ackOrNackSinceSend; }))
        return false;
    return LastReplyVerdict();
}

bool TTComXDlg::WaitReplyState(int state)
{
    // Latched: a later frame of the same poll may already have overwritten ReplyState.
    const uint32_t mask = state >= 0 && state < 32 ? 1u << state : 0;
    if (!waitUntil(*this, [this, mask] { return (statesSinceSend & mask) != 0; }))
        return false;
    // Without an ACK or NACK of this exchange, LastReply holds an earlier one's verdict.
    return ackOrNackSinceSend && LastReplyVerdict();
}

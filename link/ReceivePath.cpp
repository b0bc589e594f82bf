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

void appendTraceByte(QByteArray &trace, uint8_t b)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    trace.append(digits[b >> 4]);
    trace.append(digits[b & 0x0F]);
    trace.append(' ');
}

// The wait loop that WaitAnyReply, WaitReply and WaitReplyState share. It touches the hub only
// while the program is not closing, since the hub may be on its way out then.
bool waitUntil(TTComXDlg &hub, const std::function<bool()> &done)
{
    hub.TimeoutTimer(0, ReplyTimeoutMs);
    for (;;) {
        processPendingMessages();
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
        if (IdlePolls != 0)
            --IdlePolls;
        else
            InFrame = 0;
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
        const uint8_t b = RxRing[static_cast<size_t>(RxReadIndex)];
        RxReadIndex = (RxReadIndex + 1) % RxRingSize;
        if (trace)
            appendTraceByte(traceLine, b);

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
        // The frame ends by its LEN alone: STX, ETX or CR inside DATA are data.
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
        InFrame = 0;
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
        SystemInfoComplete = out.tagInfoFlags.has_value();
    }
    if (out.copyToLastGateFrame)
        std::copy(frame.whole().begin(), frame.whole().end(), LastGateFrame.begin());

    if (win) {
        for (const UidBytes &uid : out.currentUids)
            std::copy(uid.begin(), uid.end(), win->CurrentUid());
        if (out.currentSid)
            std::copy(out.currentSid->begin(), out.currentSid->end(), win->CurrentSid());
        if (out.mydData)
            std::copy(out.mydData->begin(), out.mydData->end(), win->MydData());
        if (out.tagDsfid)
            win->TagDSFID() = *out.tagDsfid;
        if (out.tagAfi)
            win->TagAFI() = *out.tagAfi;
        if (out.tagIcRef)
            win->TagICRef() = *out.tagIcRef;
        if (out.tagInfoFlags)
            win->TagInfoFlags() = *out.tagInfoFlags;
        if (out.tagMemSize)
            std::copy(out.tagMemSize->begin(), out.tagMemSize->end(), win->TagMemSize());
    }
    if (out.romVersion)
        RomVersion = *out.romVersion;
    if (out.portData)
        PortData = *out.portData;
    if (out.blockSecSt)
        LastBlockSecSt = *out.blockSecSt;
    if (out.blockData) {
        const auto n = std::min<qsizetype>(out.blockData->size(), static_cast<qsizetype>(LastBlockData.size()));
        std::copy_n(out.blockData->constData(), n, reinterpret_cast<char *>(LastBlockData.data()));
    }

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
    return LastReplyVerdict();
}

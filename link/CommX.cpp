#include "link/CommX.h"

#include "platform/PendingMessages.h"
#include "platform/SerialPorts.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace
{

const QString alreadyOpenText = QStringLiteral("ポートは、すでにオープンされています");
const QString openText = QStringLiteral("ポートをオープンできませんでした");
const QString transmitThreadText = QStringLiteral("送信用スレッドを生成できませんでした");
const QString receiveThreadText = QStringLiteral("受信用スレッドを生成できませんでした");
const QString speedText = QStringLiteral("通信速度の設定でエラーが発生しました");
const QString dataBitsText = QStringLiteral("通信ビット数の設定でエラーが発生しました");
const QString parityText = QStringLiteral("通信パリティチェックの設定でエラーが発生しました");
const QString stopBitsText = QStringLiteral("通信ストップビット数の設定でエラーが発生しました");
const QString flowText = QStringLiteral("通信フロー制御の設定で失敗しました");
const QString timeoutText = QStringLiteral("通信タイムアウト時間の設定で失敗しました");
const QString xonText = QStringLiteral("Ｘｏｎ文字の設定でエラーが発生しました");
const QString xoffText = QStringLiteral("Ｘｏｆｆ文字の設定でエラーが発生しました");
const QString buffersText = QStringLiteral("通信用ポートのバッファを準備できませんでした");

int characterTimeMs(int bitRate)
{
    return 1000 / std::max(1, bitRate / 10) + 1;
}

void closeEventFd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

TCommX::TCommX(std::unique_ptr<TermiosLine> line) : line_(line ? std::move(line) : std::make_unique<TermiosLine>())
{
    charTimeMs_ = characterTimeMs(bitRate_);
}

TCommX::~TCommX()
{
    PortClose();
}

// --- properties ---

void TCommX::SetPortNo(int value)
{
    portNo_ = value;
    if (HandleValid()) {
        PortClose();
        PortOpen();
    }
}

void TCommX::SetBitRate(int value)
{
    if (HandleValid() && value < 10)
        throw ECommError(speedText);
    bitRate_ = value;
    if (HandleValid())
        applyBitRate();
}

void TCommX::SetCharSize(int value)
{
    // 1.5 stop bits exist only with 5 data bits.
    if (HandleValid() && stopBit_ == csb1p5 && value != 5)
        throw ECommError(dataBitsText);
    charSize_ = value;
    if (HandleValid())
        applyCharSize();
}

void TCommX::SetParityBit(TCommParityBits value)
{
    parity_ = value;
    if (HandleValid())
        applyParity();
}

void TCommX::SetStopBit(TCommStopBits value)
{
    stopBit_ = value;
    if (HandleValid())
        applyStopBits();
}

void TCommX::SetFlowCtrl(TCommFlowCtrls value)
{
    flow_ = value;
    if (HandleValid())
        applyFlow();
}

void TCommX::SetTimeOutTrans(int value)
{
    timeOutTrans_ = value;
    if (HandleValid())
        applyTimeouts();
}

void TCommX::SetTimeOutReceive(int value)
{
    timeOutReceive_ = value;
    if (HandleValid())
        applyTimeouts();
}

void TCommX::SetXonChar(char value)
{
    xonChar_ = value;
    if (HandleValid())
        applyControlChar(VSTART, value, xonText);
}

void TCommX::SetXoffChar(char value)
{
    xoffChar_ = value;
    if (HandleValid())
        applyControlChar(VSTOP, value, xoffText);
}

void TCommX::SetBufLenTrans(int value)
{
    if (HandleValid() && value < 1)
        throw ECommError(buffersText);
    bufLenTrans_ = value;
}

void TCommX::SetBufLenReceive(int value)
{
    if (HandleValid() && value < 1)
        throw ECommError(buffersText);
    bufLenReceive_ = value;
    // A larger queue may have room again.
    if (receiveWakeFd_ >= 0)
        eventfd_write(receiveWakeFd_, 1);
}

// --- applying the settings to the open line ---

void TCommX::writeRecord(const termios &record, const QString &error)
{
    if (!line_->setAttributes(record))
        throw ECommError(error);
    record_ = record;
}

void TCommX::applyBitRate()
{
    if (bitRate_ < 10)
        throw ECommError(speedText);
    termios record = record_;
    if (const speed_t code = standardSpeedCode(bitRate_)) {
        cfsetispeed(&record, code);
        cfsetospeed(&record, code);
        writeRecord(record, speedText);
    } else {
        writeRecord(record, speedText);
        if (!line_->setOtherBitRate(bitRate_))
            throw ECommError(speedText);
        // Later writes of the record keep the rate only when it says BOTHER.
        line_->getAttributes(record_);
    }
    charTimeMs_ = characterTimeMs(bitRate_);
}

void TCommX::applyCharSize()
{
    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    if (charSize_ < 5 || charSize_ > 8)
        throw ECommError(dataBitsText);
    termios record = record_;
    record.c_cflag = (record.c_cflag & ~CSIZE) | sizes[charSize_ - 5];
    writeRecord(record, dataBitsText);
}

void TCommX::applyParity()
{
    termios record = record_;
    record.c_cflag &= ~(PARENB | PARODD);
    switch (parity_) {
    case cpbNone:
        break;
    case cpbOdd:
        record.c_cflag |= PARENB | PARODD;
        break;
    case cpbEven:
        record.c_cflag |= PARENB;
        break;
    default:
        throw ECommError(parityText);
    }
    writeRecord(record, parityText);
}

void TCommX::applyStopBits()
{
    termios record = record_;
    switch (stopBit_) {
    case csb1:
        record.c_cflag &= ~CSTOPB;
        break;
    case csb1p5:
        // A UART sends 1.5 stop bits for CSTOPB with 5 data bits; there is no other way to ask.
        if (charSize_ != 5)
            throw ECommError(stopBitsText);
        record.c_cflag |= CSTOPB;
        break;
    case csb2:
        record.c_cflag |= CSTOPB;
        break;
    default:
        throw ECommError(stopBitsText);
    }
    writeRecord(record, stopBitsText);
}

void TCommX::applyFlow()
{
    const TCommFlowCtrls flow = flow_;
    termios record = record_;
    record.c_cflag &= ~CRTSCTS;
    record.c_iflag &= ~(IXON | IXOFF | IXANY);
    switch (flow) {
    case cfcRtsCts:
        record.c_cflag |= CRTSCTS;
        break;
    case cfcXonXoff:
        record.c_iflag |= IXON | IXOFF;
        break;
    case cfcDtrDsr:
    case cfcHalfHigh:
    case cfcHalfLow:
    case cfcNone:
        break;
    default:
        throw ECommError(flowText);
    }
    writeRecord(record, flowText);
    // Lines a driver without modem control lacks (a pseudo-terminal) are no error.
    line_->setModemLine(TIOCM_DTR, true);
    // With cfcHalfHigh RTS rests low and the transmit thread raises it around each burst.
    line_->setModemLine(TIOCM_RTS, flow != cfcHalfHigh);
}

void TCommX::applyTimeouts()
{
    if (timeOutTrans_ < 0 || timeOutReceive_ < 0)
        throw ECommError(timeoutText);
}

void TCommX::applyControlChar(int index, char value, const QString &error)
{
    termios record = record_;
    record.c_cc[index] = static_cast<cc_t>(value);
    writeRecord(record, error);
}

// --- opening and closing ---

void TCommX::PortOpen()
{
    if (HandleValid())
        throw ECommError(alreadyOpenText);
    {
        // What a line that went away left unread belongs to that line, not to this one.
        std::lock_guard lock(eventLock_);
        received_.clear();
    }
    const QString device = comPortDevice(portNo_);
    if (device.isEmpty() || !line_->open(device))
        throw ECommError(openText);
    handle_ = line_->fd();
    try {
        {
            std::lock_guard lock(countLock_);
            pendingBytes_ = 0;
            pendingBlocks_ = 0;
            transmitQueue_.clear();
        }
        if (bufLenTrans_ < 1 || bufLenReceive_ < 1)
            throw ECommError(buffersText);
        line_->flush(TCIOFLUSH);
        if (!line_->getAttributes(record_))
            throw ECommError(openText);
        // Raw: no CR/LF translation and no XON/XOFF swallowed as data. No INPCK, so that a byte
        // with a parity or framing error arrives as it is instead of as 0x00; IGNBRK keeps a
        // break from arriving as a 0x00 byte (the error counters report both).
        cfmakeraw(&record_);
        record_.c_cflag |= CLOCAL | CREAD;
        record_.c_iflag &= ~(INPCK | IGNPAR | PARMRK | BRKINT);
        record_.c_iflag |= IGNBRK;
        record_.c_cc[VMIN] = 1;
        record_.c_cc[VTIME] = 0;
        applyBitRate();
        applyCharSize();
        applyParity();
        applyStopBits();
        applyFlow();
        applyTimeouts();
        applyControlChar(VSTART, xonChar_, xonText);
        applyControlChar(VSTOP, xoffChar_, xoffText);
        {
            std::lock_guard lock(counterLock_);
            haveCounters_ = line_->counters(baseline_);
        }
        startThreads();
    } catch (...) {
        stopThreads();
        line_->close();
        handle_ = -1;
        throw;
    }
}

void TCommX::startThreads()
{
    {
        std::lock_guard lock(eventLock_);
        received_.clear();
        pendingErrors_ = 0;
        pendingBreaks_ = 0;
        eventPosted_ = false;
        lineFailed_ = false;
        lineGone_ = false;
    }
    clearing_ = false;
    terminateTransmit_ = false;
    terminateReceive_ = false;
    try {
        transmitWakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (transmitWakeFd_ < 0)
            throw ECommError(transmitThreadText);
        transmitThread_ = std::thread([this] { transmitLoop(); });
    } catch (const std::system_error &) {
        throw ECommError(transmitThreadText);
    }
    try {
        receiveWakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (receiveWakeFd_ < 0)
            throw ECommError(receiveThreadText);
        receiveThread_ = std::thread([this] { receiveLoop(); });
    } catch (const std::system_error &) {
        throw ECommError(receiveThreadText);
    }
}

// Both threads end and are joined before the descriptor they use is closed.
void TCommX::stopThreads()
{
    {
        std::lock_guard lock(countLock_);
        terminateTransmit_ = true;
    }
    transmitWake_.notify_all();
    if (transmitWakeFd_ >= 0)
        eventfd_write(transmitWakeFd_, 1);
    if (transmitThread_.joinable())
        transmitThread_.join();
    closeEventFd(transmitWakeFd_);

    terminateReceive_ = true;
    if (receiveWakeFd_ >= 0)
        eventfd_write(receiveWakeFd_, 1);
    if (receiveThread_.joinable())
        receiveThread_.join();
    closeEventFd(receiveWakeFd_);
}

void TCommX::PortClose()
{
    if (!HandleValid())
        return;
    SetDtrSignal(false);
    SetRtsSignal(false);
    ClearTransBuf();
    ClearReceiveBuf();
    closeLine();
}

void TCommX::closeLine()
{
    stopThreads();
    line_->close();
    handle_ = -1;
    std::lock_guard lock(countLock_);
    pendingBytes_ = 0;
    pendingBlocks_ = 0;
    transmitQueue_.clear();
}

// --- sending ---

bool TCommX::TransBlock(const void *data, int count)
{
    if (count == 0)
        return true;
    if (count < 0 || !data)
        return false;
    const auto *bytes = static_cast<const uint8_t *>(data);
    int queued = 0;
    while (queued < count) {
        if (!HandleValid() || !transmitThread_.joinable())
            return false;
        bool full = false;
        {
            std::lock_guard lock(countLock_);
            if (pendingBlocks_ < 32) {
                const int size = std::min(count - queued, bufLenTrans_);
                pendingBytes_ += size;
                ++pendingBlocks_;
                try {
                    transmitQueue_.emplace_back(bytes + queued, bytes + queued + size);
                } catch (const std::bad_alloc &) {
                    pendingBytes_ -= size;
                    --pendingBlocks_;
                    return false;
                }
                queued += size;
            } else {
                // The transmit thread posts an event when it has finished a chunk.
                senderWaiting_ = true;
                full = true;
            }
        }
        if (!full) {
            transmitWake_.notify_one();
            continue;
        }
        processPendingMessages(100);
        if (applicationClosing())
            return false;
    }
    return true;
}

bool TCommX::TransChar(char c)
{
    return TransBlock(&c, 1);
}

bool TCommX::TransString(const QByteArray &text)
{
    return TransBlock(text.constData(), static_cast<int>(text.size()));
}

void TCommX::ClearTransBuf()
{
    if (!HandleValid())
        return;
    if (!transmitThread_.joinable()) {
        std::lock_guard write(writeLock_);
        line_->flush(TCOFLUSH);
        return;
    }
    {
        std::lock_guard lock(countLock_);
        clearing_ = true;
    }
    transmitWake_.notify_all();
    eventfd_write(transmitWakeFd_, 1);
    {
        std::lock_guard write(writeLock_);
        line_->flush(TCOFLUSH);
    }
    std::unique_lock lock(countLock_);
    for (const std::vector<uint8_t> &block : transmitQueue_) {
        pendingBytes_ -= static_cast<int>(block.size());
        --pendingBlocks_;
    }
    transmitQueue_.clear();
    // The chunk being written stops at its next partial write.
    transmitDone_.wait_for(lock, std::chrono::milliseconds(std::max(0, timeOutTrans_.load())),
                           [this] { return pendingBytes_ <= 0; });
    pendingBytes_ = 0;
    pendingBlocks_ = 0;
    clearing_ = false;
}

int TCommX::GetTransLength() const
{
    if (!HandleValid())
        return 0;
    std::lock_guard lock(countLock_);
    return pendingBytes_;
}

// --- receiving ---

int TCommX::takeReceived(uint8_t *buffer, int count)
{
    std::lock_guard lock(eventLock_);
    const bool wasFull = static_cast<int>(received_.size()) >= bufLenReceive_;
    const int n = std::min(count, static_cast<int>(received_.size()));
    std::copy_n(received_.begin(), n, buffer);
    received_.erase(received_.begin(), received_.begin() + n);
    if (wasFull && n > 0 && receiveWakeFd_ >= 0)
        eventfd_write(receiveWakeFd_, 1);
    return n;
}

int TCommX::ReceiveBlock(void *buffer, int count)
{
    if (!buffer || count < 0)
        return -1;
    // Closed: only what a line that went away had received is left to take.
    const auto leftOver = [&] {
        const int n = takeReceived(static_cast<uint8_t *>(buffer), count);
        return n > 0 ? n : -1;
    };
    if (!HandleValid() || !receiveThread_.joinable())
        return leftOver();
    if (count == 0)
        return 0;
    const auto ready = [this] {
        std::lock_guard lock(eventLock_);
        return !received_.empty() || lineFailed_;
    };
    if (!ready())
        waitFor([&] { return !HandleValid() || ready(); }, timeOutReceive_);
    if (!HandleValid())
        return leftOver();
    if (const int n = takeReceived(static_cast<uint8_t *>(buffer), count))
        return n;
    bool failed = false;
    {
        std::lock_guard lock(eventLock_);
        failed = lineFailed_;
    }
    if (!failed)
        return 0;
    int breaks = 0;
    const unsigned errors = takeLineErrors(&breaks);
    if ((errors & 0x0E) && OnError)
        OnError(*this, errors);
    return -1;
}

int TCommX::ReceiveChar()
{
    uint8_t c = 0;
    return ReceiveBlock(&c, 1) == 1 ? c : -1;
}

void TCommX::ClearReceiveBuf()
{
    if (!HandleValid())
        return;
    line_->flush(TCIFLUSH);
    std::lock_guard lock(eventLock_);
    const bool wasFull = static_cast<int>(received_.size()) >= bufLenReceive_;
    received_.clear();
    if (wasFull && receiveWakeFd_ >= 0)
        eventfd_write(receiveWakeFd_, 1);
}

int TCommX::GetReceiveLength() const
{
    std::lock_guard lock(eventLock_);
    return static_cast<int>(received_.size());
}

// Runs on the GUI thread for what the workers queued; one posted event at a time.
void TCommX::deliverEvents()
{
    unsigned errors = 0;
    int breaks = 0;
    bool gone = false;
    {
        std::lock_guard lock(eventLock_);
        errors = pendingErrors_;
        breaks = pendingBreaks_;
        pendingErrors_ = 0;
        pendingBreaks_ = 0;
        eventPosted_ = false;
        gone = lineGone_;
    }
    if (!HandleValid())
        return;
    if ((errors & 0x0E) && OnError)
        OnError(*this, errors);
    for (; breaks > 0 && OnBreak; --breaks)
        OnBreak(*this);
    // What arrived before the device went away is offered first, on the open port.
    if (HandleValid() && OnReceive) {
        if (const int waiting = GetReceiveLength())
            OnReceive(*this, waiting);
    }
    if (!gone || !HandleValid())
        return;
    {
        // A handler may have closed and opened the port again: then it is another line.
        std::lock_guard lock(eventLock_);
        if (!lineGone_)
            return;
    }
    // Closed before the report, so that its handler, and every send after it, sees a closed
    // port; a later PortClose finds nothing to do and reports nothing.
    closeLine();
    if (OnError)
        OnError(*this, CommErrorLineGone);
}

// --- modem lines and break ---

void TCommX::SetRtsSignal(bool on)
{
    if (HandleValid())
        line_->setModemLine(TIOCM_RTS, on);
}

void TCommX::SetDtrSignal(bool on)
{
    if (HandleValid())
        line_->setModemLine(TIOCM_DTR, on);
}

bool TCommX::modemBit(int bit)
{
    if (!HandleValid())
        return false;
    const int status = line_->modemStatus();
    return status >= 0 && (status & bit) != 0;
}

bool TCommX::IsCtsSignal()
{
    return modemBit(TIOCM_CTS);
}

bool TCommX::IsDsrSignal()
{
    return modemBit(TIOCM_DSR);
}

bool TCommX::IsRingSignal()
{
    return modemBit(TIOCM_RNG);
}

bool TCommX::IsRlsdSignal()
{
    return modemBit(TIOCM_CAR);
}

void TCommX::SendBreak()
{
    if (!HandleValid())
        return;
    line_->setBreak(true);
    // A pause of at least 300 ms: no event ends it before its time. The tick counts whole
    // milliseconds, so 300 ticks can be a fraction of a millisecond short; one more tick is not.
    waitFor([] { return false; }, 301);
    if (HandleValid())
        line_->setBreak(false);
}

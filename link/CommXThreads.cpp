// The serial component's two worker threads and what they hand to the GUI thread.

#include "link/CommX.h"

#include "platform/MessageService.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>

namespace
{

void drainEventFd(int fd)
{
    eventfd_t value = 0;
    eventfd_read(fd, &value);
}

} // namespace

// --- transmit thread ---

void TCommX::transmitLoop()
{
    bool inBurst = false;
    for (;;) {
        std::vector<uint8_t> block;
        {
            std::unique_lock lock(countLock_);
            if (inBurst && transmitQueue_.empty() && !terminateTransmit_) {
                lock.unlock();
                halfDuplexEnd();
                inBurst = false;
                continue;
            }
            transmitWake_.wait(lock, [this] { return terminateTransmit_ || !transmitQueue_.empty(); });
            if (terminateTransmit_)
                return;
            block = std::move(transmitQueue_.front());
            transmitQueue_.pop_front();
        }
        if (!clearing_ && !terminateTransmit_) {
            if (!inBurst) {
                inBurst = true;
                halfDuplexStart();
            }
            writeBlock(block);
        }
        finishBlock(block.size());
    }
}

// Writes one chunk, waiting for room in the driver between partial writes. The chunk is given
// up when clearing or closing begins, when the line fails (its errors are reported), or when
// nothing could be written for TimeOutTrans ms (a line held up by flow control).
void TCommX::writeBlock(const std::vector<uint8_t> &block)
{
    using Clock = std::chrono::steady_clock;
    size_t at = 0;
    Clock::time_point progress = Clock::now();
    while (at < block.size()) {
        if (clearing_ || terminateTransmit_)
            return;
        ssize_t n = 0;
        {
            std::lock_guard write(writeLock_);
            n = line_->writeSome(block.data() + at, block.size() - at);
        }
        if (n > 0) {
            at += static_cast<size_t>(n);
            progress = Clock::now();
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            int breaks = 0;
            queueEvents(takeLineErrors(&breaks), breaks);
            return;
        }
        const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - progress).count();
        const long long left = timeOutTrans_ - waited;
        if (left <= 0)
            return;
        std::array<pollfd, 2> fds{{{line_->fd(), POLLOUT, 0}, {transmitWakeFd_, POLLIN, 0}}};
        ::poll(fds.data(), fds.size(), static_cast<int>(left));
        if (fds[1].revents & POLLIN)
            drainEventFd(transmitWakeFd_);
    }
}

void TCommX::finishBlock(size_t size)
{
    bool wakeSender = false;
    {
        std::lock_guard lock(countLock_);
        pendingBytes_ = std::max(0, pendingBytes_ - static_cast<int>(size));
        pendingBlocks_ = std::max(0, pendingBlocks_ - 1);
        wakeSender = senderWaiting_;
        senderWaiting_ = false;
    }
    transmitDone_.notify_all();
    if (wakeSender)
        QMetaObject::invokeMethod(
            this, [] {}, Qt::QueuedConnection);
}

// A pause that ends early when the port clears or closes.
void TCommX::transmitPause(int ms)
{
    std::unique_lock lock(countLock_);
    transmitWake_.wait_for(lock, std::chrono::milliseconds(ms),
                           [this] { return terminateTransmit_ || clearing_.load(); });
}

// Half duplex: RTS is turned round 50 ms plus one character time before a burst and one
// character time after its last byte has left the line.
void TCommX::halfDuplexStart()
{
    const TCommFlowCtrls flow = flow_;
    if (flow != cfcHalfHigh && flow != cfcHalfLow)
        return;
    transmitPause(50);
    line_->setModemLine(TIOCM_RTS, flow == cfcHalfHigh);
    transmitPause(charTimeMs_);
}

void TCommX::halfDuplexEnd()
{
    const TCommFlowCtrls flow = flow_;
    if (flow != cfcHalfHigh && flow != cfcHalfLow)
        return;
    line_->drain();
    transmitPause(charTimeMs_);
    line_->setModemLine(TIOCM_RTS, flow != cfcHalfHigh);
}

// --- receive thread ---

// poll() on a terminal is level-triggered: the thread reads the bytes itself, watches only for a
// hang-up while the queue is full (poll reports POLLHUP and POLLERR whatever was asked), and
// stops watching the line after it failed or went away (a hung-up line would report POLLHUP
// for ever).
void TCommX::receiveLoop()
{
    std::array<uint8_t, 4096> buffer;
    for (;;) {
        size_t room = 0;
        bool watch = false;
        {
            std::lock_guard lock(eventLock_);
            const size_t limit = static_cast<size_t>(std::max(1, bufLenReceive_.load()));
            room = received_.size() < limit ? limit - received_.size() : 0;
            watch = !lineFailed_ && !lineGone_;
        }
        const short wanted = room > 0 ? POLLIN : 0;
        std::array<pollfd, 2> fds{{{receiveWakeFd_, POLLIN, 0}, {watch ? line_->fd() : -1, wanted, 0}}};
        if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR)
            return;
        if (fds[0].revents & POLLIN)
            drainEventFd(receiveWakeFd_);
        if (terminateReceive_)
            return;
        const short got = fds[1].revents;
        if (!(got & (POLLIN | POLLHUP | POLLERR)))
            continue;
        ssize_t n = -1;
        int readError = EAGAIN;
        if (room > 0) {
            n = line_->readSome(buffer.data(), std::min(room, buffer.size()));
            readError = errno;
        }
        // A hung-up line may still hand over bytes it had; it has gone once it has none left.
        // An unplugged adapter also shows as an end of file or a vanished device.
        const bool gone =
            (n <= 0 && (got & (POLLHUP | POLLERR))) || n == 0 || (n < 0 && (readError == ENODEV || readError == ENXIO));
        const bool failed = !gone && n < 0 && readError != EAGAIN && readError != EINTR;
        int breaks = 0;
        const unsigned errors = takeLineErrors(&breaks);
        {
            std::lock_guard lock(eventLock_);
            if (n > 0)
                received_.insert(received_.end(), buffer.begin(), buffer.begin() + n);
            lineFailed_ = lineFailed_ || failed;
            lineGone_ = lineGone_ || gone;
        }
        queueEvents(errors, breaks);
    }
}

// The driver's error counters since the last call, as OnError bits; breaks counted apart.
unsigned TCommX::takeLineErrors(int *breaks)
{
    std::lock_guard lock(counterLock_);
    *breaks = 0;
    LineCounters now;
    if (!haveCounters_ || !line_->counters(now))
        return 0;
    unsigned errors = 0;
    if (now.frame != baseline_.frame)
        errors |= CommErrorFraming;
    if (now.overrun != baseline_.overrun || now.bufOverrun != baseline_.bufOverrun)
        errors |= CommErrorOverrun;
    if (now.parity != baseline_.parity)
        errors |= CommErrorParity;
    *breaks = now.brk - baseline_.brk;
    baseline_ = now;
    return errors;
}

// Any thread: adds to what the GUI thread is told, and posts one event unless one is on its way.
void TCommX::queueEvents(unsigned errors, int breaks)
{
    {
        std::lock_guard lock(eventLock_);
        pendingErrors_ |= errors;
        pendingBreaks_ += std::max(0, breaks);
        if (eventPosted_ || (pendingErrors_ == 0 && pendingBreaks_ == 0 && received_.empty() && !lineGone_))
            return;
        eventPosted_ = true;
    }
    postToGui();
}

void TCommX::postToGui()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            // An event handler's exception ends here, as the event loop's default handler would.
            try {
                deliverEvents();
            } catch (const std::exception &e) {
                showMessage(QString::fromUtf8(e.what()));
            }
        },
        Qt::QueuedConnection);
}

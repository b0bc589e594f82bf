#pragma once

#include "platform/SerialLine.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

// Any int converts to these (values outside the list are refused when applied).
enum TCommParityBits : int { cpbNone, cpbOdd, cpbEven };
enum TCommStopBits : int { csb1, csb1p5, csb2 };
enum TCommFlowCtrls : int { cfcRtsCts, cfcDtrDsr, cfcXonXoff, cfcHalfHigh, cfcHalfLow, cfcNone };

// The line error bits that OnError reports. CommErrorLineGone comes alone, once, when the device
// has gone away (an adapter unplugged, the far end of a pseudo-terminal closed); the port is
// closed by then.
enum : unsigned { CommErrorOverrun = 0x02, CommErrorParity = 0x04, CommErrorFraming = 0x08, CommErrorLineGone = 0x100 };

class ECommError : public std::runtime_error
{
public:
    explicit ECommError(const QString &text) : std::runtime_error(text.toStdString()), text_(text) {}
    QString text() const { return text_; }

private:
    QString text_;
};

// The serial port component of the hub (transport kind 0), over POSIX termios.
//
// The port is opened raw and exclusive (see TermiosLine). Sending queues chunks of at most
// BufLenTrans bytes (32 at most) for a transmit thread; a receive thread reads what arrives
// into a queue of at most BufLenReceive bytes. Every event (bytes waiting, break, line errors)
// reaches the owner's thread, the GUI thread, through its event loop, so handlers never run on
// the workers. Line errors and breaks come from the driver's error counters where it keeps
// them (a real UART does, a pseudo-terminal doesn't).
//
// Property setters only store the value on a closed port; on an open port they apply it at once
// and raise ECommError when it is refused. cfcDtrDsr has no termios form: it asserts DTR and RTS
// and does no DSR flow control.
class TCommX : public QObject
{
public:
    // line: the operating system's side of the port (a TermiosLine unless a test gives one).
    explicit TCommX(std::unique_ptr<TermiosLine> line = nullptr);
    ~TCommX() override;
    TCommX(const TCommX &) = delete;
    TCommX &operator=(const TCommX &) = delete;

    // --- properties ---

    // COM port number (platform/SerialPorts.h maps it to a device); on an open port the port is
    // closed and opened again.
    int PortNo() const { return portNo_; }
    void SetPortNo(int value);
    // Bit/s, 10 or more when it is applied: below that an open port raises the speed error and
    // keeps its rate (a closed port stores the value and PortOpen refuses it).
    int BitRate() const { return bitRate_; }
    void SetBitRate(int value);
    // Data bits, 5 to 8.
    int CharSize() const { return charSize_; }
    void SetCharSize(int value);
    TCommParityBits ParityBit() const { return parity_; }
    void SetParityBit(TCommParityBits value);
    // csb1p5 needs 5 data bits; csb1p5 and csb2 both set CSTOPB.
    TCommStopBits StopBit() const { return stopBit_; }
    void SetStopBit(TCommStopBits value);
    TCommFlowCtrls FlowCtrl() const { return flow_; }
    void SetFlowCtrl(TCommFlowCtrls value);
    // ms: a chunk that can't go out for this long is dropped; ClearTransBuf waits this long.
    int TimeOutTrans() const { return timeOutTrans_; }
    void SetTimeOutTrans(int value);
    // ms: how long ReceiveBlock waits for the first byte.
    int TimeOutReceive() const { return timeOutReceive_; }
    void SetTimeOutReceive(int value);
    char XonChar() const { return xonChar_; }
    void SetXonChar(char value);
    char XoffChar() const { return xoffChar_; }
    void SetXoffChar(char value);
    // The largest transmit chunk.
    int BufLenTrans() const { return bufLenTrans_; }
    void SetBufLenTrans(int value);
    // The most bytes kept waiting for ReceiveBlock; the driver holds the rest meanwhile.
    int BufLenReceive() const { return bufLenReceive_; }
    void SetBufLenReceive(int value);

    // Valid (not -1) while the port is open.
    int Handle() const { return handle_; }
    bool HandleValid() const { return handle_ != -1; }

    // --- events, run on the GUI thread ---

    std::function<void(TCommX &sender, int receiveSize)> OnReceive;
    std::function<void(TCommX &sender)> OnBreak;
    // errorState: CommErrorOverrun, CommErrorParity, CommErrorFraming; or CommErrorLineGone.
    std::function<void(TCommX &sender, unsigned errorState)> OnError;

    // --- operations ---

    // Raises ECommError when the port can't be opened or a setting is refused; the port is then
    // closed.
    void PortOpen();
    void PortClose();
    // Queues the bytes for sending and returns once they are queued (waiting, with the event
    // loop running, while 32 chunks wait); false when the port is closed.
    bool TransBlock(const void *data, int count);
    bool TransChar(char c);
    bool TransString(const QByteArray &text);
    // Takes up to count received bytes; waits, with the event loop running, at most
    // TimeOutReceive for the first one (0 when none came). -1 when the port is closed or the
    // line failed (its errors are reported first). Bytes that arrived before the device went
    // away stay readable on the closed port until it is opened again.
    int ReceiveBlock(void *buffer, int count);
    // The next byte, or -1.
    int ReceiveChar();
    void ClearTransBuf();
    void ClearReceiveBuf();
    // Bytes queued and not yet written (0 when closed).
    int GetTransLength() const;
    // Bytes waiting for ReceiveBlock.
    int GetReceiveLength() const;

    void SetRtsSignal(bool on);
    void SetDtrSignal(bool on);
    bool IsCtsSignal();
    bool IsDsrSignal();
    bool IsRingSignal();
    bool IsRlsdSignal();
    // A break of 300 ms (the event loop runs meanwhile).
    void SendBreak();

private:
    void applyBitRate();
    void applyCharSize();
    void applyParity();
    void applyStopBits();
    void applyFlow();
    void applyTimeouts();
    void applyControlChar(int index, char value, const QString &error);
    void writeRecord(const termios &record, const QString &error);
    void startThreads();
    void stopThreads();
    void closeLine();
    bool modemBit(int bit);

    void transmitLoop();
    void writeBlock(const std::vector<uint8_t> &block);
    void finishBlock(size_t size);
    void halfDuplexStart();
    void halfDuplexEnd();
    void transmitPause(int ms);
    void receiveLoop();
    unsigned takeLineErrors(int *breaks);
    void queueEvents(unsigned errors, int breaks);
    void postToGui();
    void deliverEvents();
    int takeReceived(uint8_t *buffer, int count);

    std::unique_ptr<TermiosLine> line_;
    termios record_{}; // the line's settings while open, rewritten by every setter
    int handle_ = -1;

    int portNo_ = 1;
    int bitRate_ = 9600;
    int charSize_ = 8;
    TCommParityBits parity_ = cpbNone;
    TCommStopBits stopBit_ = csb1;
    std::atomic<TCommFlowCtrls> flow_{cfcRtsCts};
    std::atomic<int> timeOutTrans_{3000};
    int timeOutReceive_ = 3000;
    char xonChar_ = 0x11;
    char xoffChar_ = 0x13;
    int bufLenTrans_ = 2048;
    std::atomic<int> bufLenReceive_{2048};

    // Transmit bookkeeping: the chunk queue and the pending counts under countLock_, every
    // write to the line (and ClearTransBuf's flush) under writeLock_.
    mutable std::mutex countLock_;
    std::mutex writeLock_;
    std::condition_variable transmitWake_; // a chunk queued, clearing or terminate (countLock_)
    std::condition_variable transmitDone_; // a chunk finished (countLock_)
    std::deque<std::vector<uint8_t>> transmitQueue_;
    int pendingBytes_ = 0;
    int pendingBlocks_ = 0;
    bool senderWaiting_ = false; // TransBlock waits for room: post an event when a chunk is done
    std::atomic<bool> clearing_{false};
    std::atomic<bool> terminateTransmit_{false};
    std::atomic<int> charTimeMs_{2};
    int transmitWakeFd_ = -1; // eventfd: ends a write's wait for room
    std::thread transmitThread_;

    // Received bytes and the events not yet delivered, under eventLock_.
    mutable std::mutex eventLock_;
    std::deque<uint8_t> received_;
    unsigned pendingErrors_ = 0;
    int pendingBreaks_ = 0;
    bool eventPosted_ = false;
    bool lineFailed_ = false;
    bool lineGone_ = false; // the device went away: the GUI thread closes the port
    std::atomic<bool> terminateReceive_{false};
    int receiveWakeFd_ = -1; // eventfd: close, or room again in the queue
    std::thread receiveThread_;

    std::mutex counterLock_;
    bool haveCounters_ = false;
    LineCounters baseline_;
};

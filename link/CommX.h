#pragma once

#include <stdexcept>
#include <string>

#include <QString>

// The serial port component of the hub (transport kind 0). This header holds what the hub
// keeps of it (the line settings and the open/close/send calls); the termios port with its
// transmit and receive threads is not built yet: until it is, CommXSeam.cpp makes every
// open fail with "ポートをオープンできませんでした", so the hub reports the port as unusable.

enum TCommParityBits { cpbNone, cpbOdd, cpbEven };
enum TCommStopBits { csb1, csb1p5, csb2 };
enum TCommFlowCtrls { cfcRtsCts, cfcDtrDsr, cfcXonXoff, cfcHalfHigh, cfcHalfLow, cfcNone };

class ECommError : public std::runtime_error
{
public:
    explicit ECommError(const QString &text) : std::runtime_error(text.toStdString()), text_(text) {}
    QString text() const { return text_; }

private:
    QString text_;
};

class TCommX
{
public:
    TCommX() = default;
    ~TCommX();
    TCommX(const TCommX &) = delete;
    TCommX &operator=(const TCommX &) = delete;

    int PortNo = 1;
    int BitRate = 9600;
    int CharSize = 8;
    TCommParityBits ParityBit = cpbNone;
    TCommStopBits StopBit = csb1;
    TCommFlowCtrls FlowCtrl = cfcRtsCts;

    // Valid (not -1) while the port is open.
    int Handle() const { return handle_; }
    bool HandleValid() const { return handle_ != -1; }

    // Raises ECommError when the port can't be opened.
    void PortOpen();
    void PortClose();
    // Queues the bytes for sending; false when the port is closed.
    bool TransBlock(const void *data, int count);

private:
    int handle_ = -1;
};

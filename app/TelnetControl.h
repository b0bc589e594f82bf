#pragma once

#include "platform/Tick.h"

#include <QByteArray>
#include <QDialog>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>

class MemoSink;
class QPushButton;
class TelnetClient;

// The telnet connection to a LAN board's console ("テルネットの制御"): connects and logs in when
// created, then offers the steps of a console dialogue (send a line, wait for a prompt, read
// a reply line). Its events and time-outs go to the log memo it is given. Every wait pumps
// the event loop on a stopwatch of its own and gives up when the program closes.
class TTelNetCont1Dlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr int TelnetRxSize = 16000;

    // Connects to host:port (waiting up to 5000 ms) and logs in (2000 ms). Reports nothing: a
    // connection or log-in that failed shows later as time-outs of the steps.
    TTelNetCont1Dlg(QWidget *owner, MemoSink *logMemo, const QString &host, quint16 port);
    ~TTelNetCont1Dlg() override;

    QPushButton *OKBtn;
    QPushButton *CancelBtn;
    TelnetClient *IdTelnet1;

    MemoSink *LogMemo;
    // The bytes received since the last clear: the first TelnetRxSize of them, the rest dropped.
    std::array<char, TelnetRxSize> TelnetRx{};
    int TelnetRxCount = 0;
    QString TelnetReply;
    bool TelnetTrace = false; // the hub's fDispRecInfo when created

    void TelnetClearRx() { TelnetRxCount = 0; }
    bool TelnetSend(const QByteArray &text);
    // A '>' searched from the length of the sent text on (the board echoes what it gets), then
    // the expected text compared from that '>' once as many bytes are there.
    bool TelnetExpect(const QByteArray &sent, const QByteArray &expected);
    // The characters after the first '>' up to a CR, into TelnetReply.
    bool TelnetReadPromptLine();
    // Once the echo of the sent text is in: the characters after a '>' that is directly followed
    // by '0' (the MAC's first octet) up to a CR, into TelnetReply.
    bool TelnetReadOkLine(const QByteArray &sent);
    void TelnetLog(const QString &text);
    // The dialogue's stopwatch: mode 0 starts it, mode 1 asks whether ms have passed.
    bool TelnetTimeout(int mode, uint32_t ms);
    bool isConnected() const;

    void IdTelnet1Connect();
    void IdTelnet1Connected();
    void IdTelnet1Disconnected();
    void IdTelnet1DataAvailable(const QByteArray &data);
    void FormClose();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Pumps events until done() or the 2000 ms of the step have passed (a time-out line then).
    bool waitStep(const std::function<bool()> &done);
    // What is left of ms on the stopwatch.
    int timeLeft(uint32_t ms) const;
    void logIn();
    QByteArrayView received() const { return QByteArrayView(TelnetRx.data(), TelnetRxCount); }

    TickStopwatch timeout_;
};

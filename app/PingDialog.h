#pragma once

#include "controls/RadixDialog.h"
#include "platform/IcmpEcho.h"
#include "platform/Tick.h"

#include <QPalette>

#include <cstdint>

class QCheckBox;
class QFrame;
class QPlainTextEdit;
class QPushButton;
class TFmtEdit;
class TIntEdit;

// The ping scan of LAN boards ("Pingの実行"): one ICMP echo to each of a.b.c.START .. a.b.c.END
// in turn, one line per address in its own log. "Search" scans without closing the dialog;
// every way of closing it stops a running scan at once.
class TPingDlg : public RadixDialog
{
    Q_OBJECT

public:
    explicit TPingDlg(QWidget *owner);

    QPushButton *OKBtn;
    QPushButton *CancelBtn;
    QPushButton *BtBoard;
    QPushButton *BtReset;
    EchoClient *IdIcmpClient1;
    TFmtEdit *EdTCPIP1_1;
    TFmtEdit *EdTCPIP1_2;
    TFmtEdit *EdTCPIP1_3;
    TFmtEdit *EdSTART;
    TFmtEdit *EdEnd;
    TIntEdit *EdTime;
    QFrame *Panel1;
    QPlainTextEdit *Memo1;
    QCheckBox *CheckBox1;

    bool PingDetails = false;
    int PingReplied = 0;
    int PingStop = 0;
    EchoReply::Status PingStatus = EchoReply::Error;
    int PingSequence = 0;
    int PingRoundTrip = 0;
    int PingWait = 200;

    // Replaces the echo client (the dialog takes it); tests give their own.
    void UseEchoClient(EchoClient *client);

    void OKBtnClick();
    void CancelBtnClick();
    void BtBoardClick();
    void BtResetClick();
    void IdIcmpClient1Reply(const EchoReply &reply);
    void PingLog(const QString &text);
    bool PingTimeout(int mode, uint32_t ms);

    void done(int result) override;

private:
    void setOctets(const int network[3]);
    // Waits, pumping events, until a reply came, the scan was stopped or ms have passed
    // (false then).
    bool waitReply(uint32_t ms);

    bool scanning_ = false;
    TickStopwatch timeout_;
    QPalette startPalette_;
    QPalette memoPalette_;
};

#pragma once

#include "app/NetAdapters.h"
#include "controls/DialogKit.h"
#include "controls/RadixDialog.h"
#include "link/LinkParams.h"

#include <QDialog>

class QCheckBox;
class QFrame;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTableWidget;
class TFmtEdit;
class TIntEdit;

// The progress box of the long waits. Shown modeless; the waiting loop polls fRun, which only
// the "&Cancel" button clears: Escape and the close box do nothing, so a wait can't be left
// half-way by accident.
class TGuage1Dlg : public QDialog
{
    Q_OBJECT
public:
    explicit TGuage1Dlg(QWidget *owner);

    QLabel *Label1;
    QPushButton *Button1;
    QFrame *Panel2;
    QProgressBar *ProgressBar1;
    int fRun = 1;

    void Button1Click() { fRun = 0; }

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
};

// The hub's box for a USB reader that can't be opened: retry (1), use the serial port (5) or
// cancel (2, Escape too). No default button: Enter presses the focused one.
class TPortCheck1 : public QDialog
{
    Q_OBJECT
public:
    explicit TPortCheck1(QWidget *owner);
    QPushButton *RetryBtn;
    QPushButton *ComPortBtn;
    QPushButton *CancelBtn;
};

// The PC-adapter dialog of the LAN start-up: the adapters of the PC and the board's address
// on the chosen adapter's network, the mode and the two ports.
class TSetIPAddr1Dlg : public RadixDialog
{
    Q_OBJECT
public:
    TSetIPAddr1Dlg(QWidget *owner, const tagTCPIPPara &param, const QList<AdapterEntry> &adapters);
    TSetIPAddr1Dlg(QWidget *owner, const tagTCPIPPara &param);

    tagTCPIPPara Param;
    QList<AdapterEntry> Adapters;
    int SelectedRow = 0;

    ChoiceGroup *RGIPMode;
    TIntEdit *Ed_CIP[4];
    TIntEdit *Ed_CPortNum;
    TIntEdit *Ed_SPortNum;
    QTableWidget *StringGrid1;
    QPushButton *BtNetwork;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;

    void RGIPModeClick();
    void StringGrid1Click();
    void BtNetworkClick();
    void OKBtnClick();

    void done(int result) override;

private:
    void paintSelection();
};

// The LAN address dialog: mode, listening port, and the board's address and port.
class TSetTCPIPDlg : public RadixDialog
{
    Q_OBJECT
public:
    explicit TSetTCPIPDlg(QWidget *owner);

    ChoiceGroup *RadioGroup1;
    TIntEdit *EdTCPPort;
    TFmtEdit *EdTCPIP1[4];
    TIntEdit *EdTCPServPort;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;

    int Mode() const;
    void SetMode(int index);
    void RadioGroup1Click();
    // Fills the four octet edits from a dotted text (edits past the text keep theirs).
    void SetAddressText(const QString &text);
    // The four octets in plain decimal, an empty octet counting as 0.
    QString AddressText() const;
};

// The serial start-up dialog: a port and a speed, or a search over every port.
class TOpenCom1Dlg : public QDialog
{
    Q_OBJECT
public:
    explicit TOpenCom1Dlg(QWidget *owner);

    QListWidget *LBComPort;
    QLabel *STComPort;
    ChoiceGroup *RGComSpeed;
    QCheckBox *CBAutoCheck;
    QPushButton *Button1;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;

    int SpeedIndex() const;
    void SetSpeedIndex(int index);
    void LBComPortClick();
    void Button1Click();
    // "Open" needs a port to open.
    void UpdateOpenButton();
};

// Starts the desktop's own tool of the given kind ("network" or "devices"); a clear message
// where none is installed.
void openSystemTool(const QString &kind, QWidget *parent);

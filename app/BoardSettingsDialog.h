#pragma once

#include "app/LanBoardText.h"
#include "controls/RadixDialog.h"

class ChoiceGroup;
class QCheckBox;
class QComboBox;
class QPushButton;
class TFmtEdit;
class TIntEdit;

// The LAN board's settings ("ネットワークボードの設定"): filled from the board's replies one key at
// a time, read back into the settings record on "設定".
class TParaSet1Dlg : public RadixDialog
{
    Q_OBJECT

public:
    explicit TParaSet1Dlg(QWidget *owner);

    TFmtEdit *EdTCPIP1[4]; // EdTCPIP1_1 .. EdTCPIP1_4: the board's own address
    TIntEdit *EdPort1;
    TFmtEdit *EdTCPIP2[4]; // EdTCPIP2_1 .. EdTCPIP2_4: the peer's address
    TIntEdit *EdPort2;
    TIntEdit *Edmask;
    QCheckBox *CBAutoConnect;
    QComboBox *ComboBox1;
    TIntEdit *EdTxTiming;
    TIntEdit *EdMacAdr0[3]; // EdMacAdr01 .. EdMacAdr03: MAC octets 1-3 (hex)
    TIntEdit *EdMacAdr[3];  // EdMacAdr1 .. EdMacAdr3: MAC octets 4-6 (hex)
    TIntEdit *EdChkTimer;
    ChoiceGroup *RGKeep;
    QPushButton *BtDefault;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;

    // The board's reply to one console key into its fields; false when the reply is not what
    // the key gives (a number that isn't one), the fields then keep what they had.
    bool SetFromReply(const QByteArray &key, const QString &reply);
    // The fields into the record (the MAC is the board's own and stays as it is).
    void ReadInto(NetBoardRecord &settings) const;
    void BtDefaultClick();
};

#pragma once

#include "controls/RadixDialog.h"

#include <QDialog>

#include <cstdint>

class ChoiceGroup;
class QCheckBox;
class QPushButton;
class TIntEdit;

// "タグの動作モードの設定": the tag-interface byte (S6700Conf) as tag speed, modulation depth
// and sub-carrier.
class TModeSet2Dlg : public QDialog
{
    Q_OBJECT

public:
    explicit TModeSet2Dlg(QWidget *owner = nullptr);

    // Speed "ISO15693(1/4)" when bits 1-3 hold 2, else "ISO15693(1/256)"; bits 4 and 5.
    void ShowMode(uint8_t mode);
    // Bits 1-3 = 2 or 6, bits 4 and 5 from the groups, bit 6 set, through ModeByteParity.
    uint8_t Mode() const;

    ChoiceGroup *RGTag1;
    ChoiceGroup *RGModul;
    ChoiceGroup *RGAmFm;
    QCheckBox *CBWriteEEPROM;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
};

// "EASモードの設定": the AFI values of an armed and a disarmed tag.
class TSetEAS1Dlg : public RadixDialog
{
    Q_OBJECT

public:
    explicit TSetEAS1Dlg(QWidget *owner = nullptr);

    TIntEdit *IntEdit1; // armed
    TIntEdit *IntEdit2; // disarmed
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
};

// "検査パラメータの設定": the tag test's parameters in EEPROM areas 1 and 2.
class TKensaParaDlg : public RadixDialog
{
    Q_OBJECT

public:
    explicit TKensaParaDlg(QWidget *owner = nullptr);

    TIntEdit *EdAFIValue;
    TIntEdit *EdOUTPTime;
    TIntEdit *EdInputChkTime;
    ChoiceGroup *RGCheckMode;
    ChoiceGroup *RGWriteData;
    TIntEdit *EdRdStAddr;
    TIntEdit *EdDataLen;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
};

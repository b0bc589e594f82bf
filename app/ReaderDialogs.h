#pragma once

#include "controls/RadixDialog.h"

#include <array>
#include <cstdint>

class ChoiceGroup;
class DialogKit;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TIntEdit;

// Dialogs of the general reader commands. Each only builds its form; the handler that runs it
// fills and reads the controls.

// The current UID as eight hex bytes, from the upper byte (IntEdit1, left) to the lower
// byte (IntEdit8, right).
class TSetUIDDlg : public RadixDialog
{
    Q_OBJECT

public:
    explicit TSetUIDDlg(QWidget *owner = nullptr);

    std::array<TIntEdit *, 8> IntEdit{}; // IntEdit1 .. IntEdit8
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
};

// What the 16-slot inventory and the two read loops share: the AFI with its check box, and a
// group of eight two-choice radio groups RGMemSW0 .. RGMemSW7, group i holding bit i of a
// mode byte as its item index.
class LoopDialog : public RadixDialog
{
    Q_OBJECT

public:
    TIntEdit *EdAFI = nullptr;
    QCheckBox *CBUseAFI = nullptr;
    std::array<ChoiceGroup *, 8> RGMemSW{};
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    void setModeBits(uint8_t bits);
    // Bit i is the item index of group i & 1.
    uint8_t modeBits() const;

    // One radio group's title and its two items.
    struct BitChoice {
        const char *title;
        const char *clear;
        const char *set;
    };

protected:
    explicit LoopDialog(QWidget *owner) : RadixDialog(owner) {}
    // Makes EdAFI, CBUseAFI and the titled box of the eight groups.
    QGroupBox *buildLoopFields(const DialogKit &kit, const QString &modeTitle, const std::array<BitChoice, 8> &bits);
};

class TInv16SDlg : public LoopDialog
{
    Q_OBJECT

public:
    explicit TInv16SDlg(QWidget *owner = nullptr);

    std::array<TIntEdit *, 8> IntEdit{}; // mask bytes, IntEdit1 the upper
    QLabel *MaskHighLabel;
    QLabel *MaskLowLabel;
    QLabel *MaskLenLabel;
    TIntEdit *EdMasklen;
};

class TRFLoopDlg : public LoopDialog
{
    Q_OBJECT

public:
    explicit TRFLoopDlg(QWidget *owner = nullptr);

    TIntEdit *EdBlockNum;
    TIntEdit *EdLen;
};

class TRDLoopPol1Dlg : public LoopDialog
{
    Q_OBJECT

public:
    explicit TRDLoopPol1Dlg(QWidget *owner = nullptr);

    TIntEdit *EdBlockNum;
    TIntEdit *EdLen;
    TIntEdit *EdTime; // units of 10 ms
};

// A whole frame typed in hex.
class TCmdOutpDlg : public RadixDialog
{
    Q_OBJECT

public:
    explicit TCmdOutpDlg(QWidget *owner = nullptr);

    QLineEdit *Edit1;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
};

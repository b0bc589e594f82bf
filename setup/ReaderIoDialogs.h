#pragma once

#include "controls/RadixDialog.h"

class ChoiceGroup;
class QComboBox;
class QPushButton;
class TIntEdit;

// The small dialogs of the reader's LED, buzzer and antenna-port commands. Each only builds
// its form; the handler that runs it fills and reads the controls.

// One LED switched: which LED, how, and for how long (units of 50 ms, or 1 on / 0 off).
// Opens on the green LED, the first mode and a time of 5.
class TLEDContDlg : public RadixDialog
{
    Q_OBJECT

public:
    explicit TLEDContDlg(QWidget *owner = nullptr);

    ChoiceGroup *RadioGroup1;
    QComboBox *ComboBox1;
    TIntEdit *EdTime;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
};

// The LEDs of one port and the buzzer together: port, LED mode (the modes of TLEDContDlg),
// LED time, buzzer sound and buzzer time, each 0..255 (times in units of 200 ms).
class TSetLEDBUZDlg : public RadixDialog
{
    Q_OBJECT

public:
    explicit TSetLEDBUZDlg(QWidget *owner = nullptr);

    TIntEdit *EdPort;
    QComboBox *ComboBox1;
    TIntEdit *EdTime;
    TIntEdit *EdBuzMode;
    TIntEdit *EdBuzTime;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
};

// One of eight antennas on the switch board.
class TRYSelDlg : public RadixDialog
{
    Q_OBJECT

public:
    explicit TRYSelDlg(QWidget *owner = nullptr);

    ChoiceGroup *RadioGroup1;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
};

#pragma once

#include "controls/RadixDialog.h"

#include <cstdint>

class ChoiceGroup;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class TIntEdit;

// The antenna-switching and I/O-port dialog of EEPROM area 1: the I/O ports (byte 30 bits 0, 1,
// 2 and 6, bytes 32 and 33) on TabSheet7, the output mode (byte 6 bits 0-1) and memory switch 6
// (byte 39) on TabSheet8. Each handler that opens it hides or disables what its board lacks.
// BtSetCascade edits the antenna counts of two cascaded switch boards (EEPROM area 2).
class TSetAnt1Rom1Dlg : public RadixDialog
{
    Q_OBJECT

public:
    explicit TSetAnt1Rom1Dlg(QWidget *owner = nullptr);

    // Byte 30 (the port functions), byte 32 (directions) and byte 33 (initial levels).
    void ShowPorts(uint8_t functions, uint8_t directions, uint8_t levels);
    // The same back: in functions only bits 0, 1, 2 and 6 change.
    void ReadPorts(uint8_t &functions, uint8_t &directions, uint8_t &levels) const;
    // The output mode from bits 0-1 of byte 6 and memory switch 6 from byte 39.
    void ShowSwitches(uint8_t memSw1, uint8_t memSw6);
    // Byte 6 with bits 0-1 from CBMode2, and byte 39 with all eight bits from its controls.
    uint8_t MemSw1(uint8_t read) const;
    uint8_t MemSw6() const;

    // A page's tab hidden; the other page is shown.
    void hidePage(QWidget *page);

    // The cascade set-up: area-2 words 1-3 read, their eight antenna counts (a nibble each, odd
    // antennas in the low nibble) edited in the area-2 form and written back with bytes 0-1 as
    // read. A failed read shows nothing and writes nothing. This dialog is left as it was.
    void BtSetCascadeClick();

    QTabWidget *PageControl1;
    QWidget *TabSheet7;
    QWidget *TabSheet8;
    ChoiceGroup *RGPORTSEL1;
    ChoiceGroup *RGPORTSEL2;
    ChoiceGroup *RGPORTSEL3;
    ChoiceGroup *RGPORTSEL7;
    ChoiceGroup *RGPORTIO[8];
    ChoiceGroup *RGPORTDefault[8];
    QComboBox *CBMode2;
    ChoiceGroup *RGMemSW60;
    TIntEdit *EdSelAntena;
    ChoiceGroup *RGMemSW64;
    ChoiceGroup *RGMemSW65;
    ChoiceGroup *RGMemSW66;
    ChoiceGroup *RGMemSW67;
    QLabel *Label43; // CBMode2
    QLabel *Label55; // RGMemSW60
    QLabel *Label88; // EdSelAntena
    QLabel *Label59; // RGMemSW64
    QLabel *Label60; // RGMemSW65
    QLabel *Label61; // RGMemSW66
    QLabel *Label62; // RGMemSW67
    QPushButton *BtSetCascade;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;

private:
    // The operator's click on RGMemSW65 shows the cascade button for "する" and hides it otherwise.
    void RGMemSW65Click(int index);
};

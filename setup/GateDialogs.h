#pragma once

// The gate set-up dialogs. The handler that opens one reads the gate, fills the dialog from
// the image (fillFields), runs it and on OK packs it back (packFields) and writes the gate;
// the field dialogs have no code of their own beyond their layout. The two raw EEPROM dialogs
// read and write gate EEPROM words from their own buttons.

#include "controls/RadixDialog.h"
#include "setup/GateFieldDialog.h"

#include <cstdint>
#include <optional>

class QLineEdit;
class QPushButton;
class TIntEdit;
class TTComXDlg;

// The gate operating mode: one byte.
class TGDousaModeDlg : public GateFieldDialog
{
    Q_OBJECT
public:
    explicit TGDousaModeDlg(QWidget *owner);
};

// The gate EEPROM memory switches 1-7; the seventh page is for the M750.
class TGEEPROMDlg : public GateFieldDialog
{
    Q_OBJECT
public:
    explicit TGEEPROMDlg(QWidget *owner);
};

// The display and output state: two bytes on the M740, three on the M750 (third page).
class TGDispOutStateDlg : public GateFieldDialog
{
    Q_OBJECT
public:
    explicit TGDispOutStateDlg(QWidget *owner);
};

// The sensor state, shown only.
class TSensorStateDlg : public GateFieldDialog
{
    Q_OBJECT
public:
    explicit TSensorStateDlg(QWidget *owner);
};

// The people-count mode words 1-3; the third page is for the M750.
class TMCountSetDlg : public GateFieldDialog
{
    Q_OBJECT
public:
    explicit TMCountSetDlg(QWidget *owner);
};

// The count values: page "M740" (GateCountRecord) or "M750" (GateCount2Record).
class TMCountValue : public GateFieldDialog
{
    Q_OBJECT
public:
    explicit TMCountValue(QWidget *owner);
};

// The melody and lamp command (sub-code 2A).
class TGBuzLedDlg : public GateFieldDialog
{
    Q_OBJECT
public:
    explicit TGBuzLedDlg(QWidget *owner);
};

// The raw gate EEPROM dialogs: a word address (IntEd1), a word count (IntEd2), both 0..14 and
// starting at 0, the words as hex text (EdString) and the action button.
class GateEepromRawDlg : public RadixDialog
{
    Q_OBJECT
public:
    TIntEdit *IntEd1;
    TIntEdit *IntEd2;
    QLineEdit *EdString;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;

protected:
    // The action button is named actionName and captioned actionText.
    GateEepromRawDlg(QWidget *owner, TTComXDlg &hub, const QString &caption, const QString &countTitle,
                     const QString &dataTitle, const QString &actionName, const QString &actionText);
    TTComXDlg &hub_;
    QPushButton *action_;
};

class TEEPROM_ReadDlg : public GateEepromRawDlg
{
    Q_OBJECT
public:
    TEEPROM_ReadDlg(QWidget *owner, TTComXDlg &hub);
    QPushButton *Bt_EEPROM_Read;
    // The words at IntEd1, IntEd2 of them, into EdString: each byte as it came (each word low
    // byte first) as two hex digits and a blank. A failed read changes nothing.
    void Bt_EEPROM_ReadClick();
};

class TEEPROM_WriteDlg : public GateEepromRawDlg
{
    Q_OBJECT
public:
    TEEPROM_WriteDlg(QWidget *owner, TTComXDlg &hub);
    QPushButton *Bt_EEPROM_Write;
    // IntEd2 words at IntEd1, each set to the value of EdString (1 to 4 hex digits; anything
    // else beeps and sends nothing).
    void Bt_EEPROM_WriteClick();
};

// EdString as one 16-bit word: 1 to 4 hex digits, blanks around them ignored.
std::optional<uint16_t> rawEepromWord(const QString &text);

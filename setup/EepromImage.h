#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <span>

// The reader keeps its power-on parameters in two EEPROM areas addressed in 16-bit words.
// The program moves them as byte images: word w holds image bytes 2(w-1) and 2(w-1)+1, in
// wire order, and numbers wider than a byte are stored low byte first.
constexpr int EepromArea1Size = 40; // area 1: words 1..20, sub-code 0x70
constexpr int EepromArea2Size = 20; // area 2: words 1..10, sub-code 0x72
using EepromData = std::array<uint8_t, EepromArea1Size>;
using EepromData2 = std::array<uint8_t, EepromArea2Size>;

// The editors that show a field (a field may sit in several).
enum EepromEditor : unsigned {
    EditorAllSetRom = 1,  // TAllSetRom1Dlg, the whole-image editor
    EditorSetRom = 2,     // TSetRom1Dlg, the single dialog
    EditorSetEeprom2 = 4, // TSetEEPROM2Dlg, the area-2 form
    EditorDousaMode = 8,  // TDousaMode1Dlg, the operating-mode dialog (bytes 8 and 9 of area 1)
};

enum class FieldControl { Radio, Combo, Edit };

// How a field's value and its bits convert. Bits: the value is the field's bits (a radio
// group's or combo's item index, an edit's number), packed as its low bits without a range
// check, so an index of -1 packs as all ones. ModeCode: a combo index through the mode-code
// table. Speed: a combo index through the line-speed bits 6-7.
enum class FieldRule { Bits, ModeCode, Speed };

// One field of an image: the bits [shift, shift + bits) of the little-endian number that
// starts at image byte `byte`, and the control that edits them.
struct EepromField {
    int area; // 1 or 2
    int byte;
    int shift;
    int bits;
    const char *control; // objectName
    FieldControl kind;
    FieldRule rule;
    unsigned editors;
    const char *page;    // page caption (of the whole-image editor where it shows the field)
    const char *caption; // group title or label text
    const char *items;   // radio and combo items, '|' between them (Speed and ModeCode: none)
    int radix;           // edits: 10 or 16
    int64_t minValue;    // edits: the range the field accepts (unsigned view)
    int64_t maxValue;
    bool enabled; // false: shown, but the operator can't change it
};

// Every field of both areas, in image order. Bits without a control: area 1 byte 4 bit 0
// (always 0) and bit 7 (parity), byte 8 bits 0-1 (from SysMode), byte 30 bits 3-5 and 7
// (carried), area 2 byte 0 (Eep2Byte0).
std::span<const EepromField> eepromFields();
const EepromField *eepromField(const QString &control);
QStringList fieldItems(const EepromField &field, bool ver121);

// A value per control name: a radio group's or combo's item index (-1: none), an edit's number.
using FieldValues = QMap<QString, int64_t>;

// What packing and unpacking take from the main window, and give back to it.
struct EepromWindowValues {
    uint8_t SysMode = 0;     // area 1 byte 8 bits 0-1 come from here
    uint8_t TagAFI = 0;      // area 1 byte 5, both ways
    uint8_t Eep2Byte0 = 0;   // area 2 byte 0, both ways
    uint8_t MemSw78[2] = {}; // area 2 bytes 8-9, both ways
    int fVER121 = 0;         // the 38400 bit/s entry of the speed list
};

// Bit n of a byte set or cleared, the other bits kept.
void setBit(uint8_t &byte, int n, bool on);

// Clears bit 0 and sets bit 7 when bits 1-6 hold an odd number of ones (clears it when even).
uint8_t ModeByteParity(uint8_t mode);

// The operating-mode codes in list order ("コマンドモード" 0x00 ... "RFLOOPモード２" 0x59).
QStringList dousaModeNames();
int modeIndexOfCode(uint8_t code);  // any other code: 0
uint8_t modeCodeOfIndex(int index); // any other index (-1 included): 0x00

// The line-speed list and the mode-flag bits 6-7: "19.2Kbps", "9600bps", and "38.4kbps" only
// with ver121. Bit 7 wins over bit 6; an index the list doesn't have is -1 (nothing selected).
QStringList speedItems(bool ver121);
int speedIndexOfFlags(uint8_t flags, bool ver121);
uint8_t flagsWithSpeed(uint8_t flags, int index); // 2: bit 7; 1: bit 6; else neither

// The fields of one area that an editor shows, read from an image, or packed into it (the
// fields without a value in `values` and the bits without a field keep their value).
FieldValues unpackFields(int area, unsigned editor, std::span<const uint8_t> image, bool ver121);
void packFields(int area, unsigned editor, const FieldValues &values, std::span<uint8_t> image);
// The controls of an editor whose bits differ between two images of one area.
QStringList differingFields(int area, unsigned editor, std::span<const uint8_t> a, std::span<const uint8_t> b);

// The whole-image editor's conversions with the main window's share. Showing area 1 sets
// TagAFI from byte 5; showing area 2 sets Eep2Byte0 and MemSw78. Packing area 1 starts from
// `base` (only byte 30's bits without a control survive), puts byte 4 through ModeByteParity,
// takes TagAFI from EdAFIValue and byte 8 bits 0-1 from SysMode. Packing area 2 starts from
// zeros, puts Eep2Byte0 in byte 0 and sets MemSw78 from its memory-switch groups.
FieldValues EepromImageToFields1(const EepromData &image, EepromWindowValues &window);
FieldValues EepromImageToFields2(const EepromData2 &image, EepromWindowValues &window);
EepromData FieldsToEepromImage1(const FieldValues &values, const EepromData &base, EepromWindowValues &window);
EepromData2 FieldsToEepromImage2(const FieldValues &values, EepromWindowValues &window);

// The operating mode's flags and code as the mode controls show them, and back; bits 0-1
// of the flags keep their value.
FieldValues ModeBytesToFields(uint8_t flags, uint8_t code, bool ver121);
void FieldsToModeBytes(const FieldValues &values, uint8_t &flags, uint8_t &code);

// The factory defaults of "デフォルト(&I)".
EepromData factoryDefaults1();
EepromData2 factoryDefaults2();

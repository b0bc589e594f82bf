#pragma once

// The gate settings as byte images, and the one table of fields that every gate dialog is
// filled from and packed back with. An image is what the gate sender carries: the operating
// mode byte, the seven EEPROM words (memory switches 1-7), the display and output bytes, the
// sensor answers, the three people-count mode words, a count record, the melody command.

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

#include <cstdint>
#include <span>

enum class GateControl {
    Radio,   // ChoiceGroup: the value is the item index
    Combo,   // QComboBox: the value is the item index
    Check,   // QCheckBox: one bit
    Edit,    // TIntEdit: the value
    Text,    // QLabel: decimal, a 32-bit field signed, a narrower one unsigned
    HexText, // QLabel: two upper-case hex digits
};

// Where a selection field's items come from.
enum class GateItems {
    Listed,     // the field's own items
    Multiplier, // "0" to "15"
    VoiceA,     // voice list A (16 entries on an M750, else 8)
    VoiceB,     // voice list B (16 entries on an M750, else 4)
};

// One field: the bits [shift, shift + width) of the little-endian number that starts at image
// byte 2 (word - 1) + byte of a word image (word 1 is the first), or at byte `byte` when word
// is 0. Bits that no field names keep their value when a dialog is packed.
struct GateField {
    int word;
    int byte;
    int shift;
    int width;
    const char *control; // objectName
    GateControl kind;
    const char *caption; // group title, check-box text, or the label beside the control
    const char *items = "";
    GateItems list = GateItems::Listed;
    const char *before = ""; // texts around a combo or edit ("ベースタイム　×" n "（秒）")
    const char *after = "";
    const char *notes = ""; // lines under it, '|' between them
    int32_t min = 0;        // edits; a positive radix shows the 32 bits unsigned
    int32_t max = 2147483647;
    int radix = -10;
};

int fieldOffset(const GateField &field);
// The field lies inside an image of that size (the M740 has no third display byte).
bool fieldFits(const GateField &field, qsizetype imageSize);
uint32_t fieldValue(const GateField &field, QByteArrayView image);
// The value is cut to the field's width; the other bits of the image stay.
void setFieldValue(const GateField &field, QByteArray &image, uint32_t value);
// A selection field's items.
QStringList fieldItems(const GateField &field, bool m750);

// The fields of each image, in the order their dialogs show them.
std::span<const GateField> gateModeFields();      // 1 byte (sub-codes 00/20)
std::span<const GateField> gateEepromFields();    // 14 bytes, words 1-7 (01/21)
std::span<const GateField> gateDispOutFields();   // 2 bytes on an M740 (02/22), 3 on an M750 (08/26)
std::span<const GateField> gateSensorFields();    // switch, DIP switch, in/out and person bytes
std::span<const GateField> countModeFields();     // 6 bytes, words 1-3 (06/23)
std::span<const GateField> countValueFields740(); // GateCountRecord (07/24)
std::span<const GateField> countValueFields750(); // GateCount2Record (0B/28)
std::span<const GateField> buzLedFields();        // the 7 DATA bytes of sub-code 2A
std::span<const GateField> countMonitorFields740();
std::span<const GateField> countMonitorFields750();

// The fields of one image split into runs of equal word (word images) or byte (byte images):
// one page each.
QList<std::span<const GateField>> fieldPages(std::span<const GateField> fields);

constexpr int GateEepromWords = 7;
// The melody command as its dialog opens: melody, no lamp, 1.5 s.
QByteArray buzLedDefaults();

#pragma once

#include <QByteArray>
#include <QList>

#include <array>
#include <cstdint>

// One ISO 15693 tag in the reader's field.
struct ModelTag {
    QByteArray uid; // 8 bytes in wire order: least significant first, E0 last
    uint8_t dsfid = 0;
    uint8_t afi = 0;
    uint8_t icRef = 0x01;
    QList<QByteArray> blocks; // each of the reader's block size
    QList<bool> locked;       // one per block
    bool afiLocked = false;
    bool dsfidLocked = false;
    bool quiet = false; // answers only addressed requests until reset to ready or selected
    bool selected = false;
};

// A reader that keeps the state the program writes and answers its reads from it: the two
// EEPROM areas, the operating mode, the tag-interface byte, the reader parameters, the antenna,
// the LED and buzzer settings, the ports, its current UID, and a field of ISO 15693 tags that inventories, block reads,
// writes and locks act on. A request it keeps no state for is acknowledged with its sub-code
// echoed (a read with eight zero bytes after its parameters). In auto-scan and continuous
// inventory it also has a report of its field ready, which the stand-in sends by itself.
// Pure logic: frames in, frames out.
class ReaderModel
{
public:
    // EEPROM areas zero but for the power-on mode, which is also the current one (mode 00,
    // buzzer on); two tags of 28 blocks in the field, the window's usual test UID first.
    ReaderModel();

    // The frames the reader sends for one request frame, in order; none is silence.
    QList<QByteArray> answer(const QByteArray &request);

    // Whether the current mode is one in which the reader reports its field by itself:
    // auto-scan (0x01) or continuous inventory (0x50).
    bool reportsByItself() const;
    // The frames of one such report, none in any other mode: in auto-scan a scan read per tag
    // (its UID, then its first block), in continuous inventory one list of the UIDs. Tags kept
    // quiet don't answer. They carry the ID of the last request.
    QList<QByteArray> fieldReport() const;

    // Adds a tag of blockCount blocks of blockSize bytes, byte j of block i holding
    // i * blockSize + j, nothing locked. The reference holds until the next tag is added.
    ModelTag &addTag(const QByteArray &uid, int blockCount);
    // The tag with this UID (wire order), or null.
    ModelTag *findTag(const QByteArray &uid);
    // Reader parameter 0xA0 .. 0xB1 (std::out_of_range for any other number).
    uint8_t &param(uint8_t number) { return params.at(static_cast<size_t>(number) - ParamFirst); }

    static constexpr uint8_t ParamFirst = 0xA0;
    static constexpr uint8_t ParamLast = 0xB1;

    struct Led {
        uint8_t mode = 0;
        uint8_t time = 0;
    };
    struct LedBuzzer {
        uint8_t port = 0;
        uint8_t ledMode = 0;
        uint8_t ledTime = 0;
        uint8_t buzzerSound = 0;
        uint8_t buzzerTime = 0;
    };

    // --- the state, for tests to seed and read back ---
    QByteArray eeprom1;                        // area 1: word w in bytes 2(w-1) and 2(w-1)+1
    QByteArray eeprom2 = QByteArray(20, '\0'); // area 2, the same way
    std::array<uint8_t, 3> mode{};             // operating mode in wire order: code, second byte, flags
    uint8_t s6700 = 0;                         // tag-interface configuration byte
    std::array<uint8_t, ParamLast - ParamFirst + 1> params{};
    uint8_t antenna = 0;       // antenna 1 = 0
    std::array<Led, 2> leds{}; // green, red
    LedBuzzer ledBuzzer;
    uint8_t buzzer = 0;    // the last buzzer sound asked for
    uint8_t port = 0;      // the general-purpose port (0x9F): the last value written
    uint8_t extPort = 0;   // the extension port (0x56)
    QByteArray currentUid; // the reader's current UID (0x50), wire order; the first tag's at start
    uint8_t readerId = 0;  // the ID of the last request, which the reader's own reports carry
    QByteArray romVersion = "125";
    int blockSize = 4; // bytes per block, the same for every tag (set it before adding tags)
    QList<ModelTag> tags;

private:
    struct Reply {
        uint8_t code;
        QByteArray data;
    };
    using Replies = QList<Reply>;
    QList<const ModelTag *> readyTags() const;
    Replies get(const QByteArray &data);
    Replies set(const QByteArray &data);
    Replies tagCommand(const QByteArray &data);
    Replies tagBlockCommand(uint8_t code, ModelTag &tag, const QByteArray &params, uint8_t flags);
    QByteArray *eepromArea(uint8_t subCode);
};

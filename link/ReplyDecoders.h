#pragma once

#include "link/Frame.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The reply side of the reader protocol as pure functions: a checked reply frame goes in,
// its log lines and the values it stores come out. The hub applies the result to its own
// fields, the main window and the read table. No widgets, no I/O.

// Exactly the bytes of one frame (STX .. CR). Every accessor reads inside it only.
class ReplyFrame
{
public:
    explicit ReplyFrame(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    uint8_t id() const { return bytes_[1]; }
    uint8_t code() const { return bytes_[2]; }
    int len() const { return bytes_[3]; }
    // True when DATA holds at least n bytes.
    bool has(int n) const { return n <= len(); }
    uint8_t data(int i) const { return bytes_[static_cast<size_t>(4 + i)]; }
    // n DATA bytes from DATA[first]; the caller has checked has(first + n).
    std::span<const uint8_t> data(int first, int n) const
    {
        return bytes_.subspan(static_cast<size_t>(4 + first), static_cast<size_t>(n));
    }
    std::span<const uint8_t> whole() const { return bytes_; }

private:
    std::span<const uint8_t> bytes_;
};

// What the router reads from the rest of the program to decode a reply.
struct DecodeContext {
    uint8_t lastCmd = 0;
    bool optionFlag = false;
    uint32_t tagBlockSize = 0;
    uint8_t s6700Conf = 0;
};

// One read for the read table: text a (data) and text b (identifier), both as wire bytes.
// A simple read matches on text a alone.
struct ReadEntry {
    QByteArray textA;
    QByteArray textB;
    bool matchTextAOnly = false;
    bool operator==(const ReadEntry &) const = default;
};

// A gate count event for the main window: identifier 10 or 11 and the bytes after the sub-code.
struct GateEvent {
    int dwData = 0;
    QByteArray bytes;
    bool operator==(const GateEvent &) const = default;
};

// Where a decoded value is stored: fields of the main window, then fields of the hub.
enum class ReplyField {
    CurrentUid,
    CurrentSid,
    MydData,
    TagDSFID,
    TagAFI,
    TagICRef,
    TagInfoFlags,
    TagMemSize,
    RomVersion,
    PortData,
    LastBlockSecSt,
    LastBlockData,
};

// One decoded value and its destination; a one-byte field holds one byte.
struct FieldWrite {
    ReplyField field;
    QByteArray bytes;
    bool operator==(const FieldWrite &) const = default;
};

struct ReplyOutcome {
    int replyState = ReplyStateFrame;
    bool copyToLastReply = false;
    bool copyToLastGateFrame = false;
    QStringList lines;
    // In decode order: an 'i' list writes CurrentUid once per UID, the last one stays.
    std::vector<FieldWrite> writes;
    std::vector<ReadEntry> reads;
    std::optional<GateEvent> gateEvent;

    bool stores(ReplyField field) const;
};

// The log line of a reply that lacks the form its code needs (too short, or an unknown code).
inline const QString kFormatErrorLine = QStringLiteral("レスポンスフォーマットエラー");

// True when the tag-interface byte selects TAG-IT tags (its 3-bit speed/protocol field is 4).
constexpr bool isTagItReader(uint8_t s6700Conf)
{
    return ((s6700Conf >> 1) & 7) == 4;
}

// Each byte as two upper-case hex digits and a blank, in the given order.
QString hexBytesText(std::span<const uint8_t> bytes);
// Each byte as two upper-case hex digits and a blank, last byte first (the way a UID is written).
QByteArray reversedHexText(std::span<const uint8_t> bytes);
// Wire bytes as text bytes: zero bytes are skipped, or the text ends at the first one.
QByteArray textSkippingZeros(std::span<const uint8_t> bytes);
QByteArray textUpToZero(std::span<const uint8_t> bytes);

QString dsfidLine(uint8_t value);
QString uidHexLine(std::span<const uint8_t> uid);
QString uidLine(std::span<const uint8_t> uid);
QString dataTextLine(std::span<const uint8_t> bytes);

// The log text of a NACK by its error class and, for class 5, its ISO 15693 error code.
QString nackText(uint8_t errorClass, uint8_t isoCode);

// Decodes one checked frame by its reply code (and, for an ACK, by the last command sent).
ReplyOutcome decodeReply(const ReplyFrame &frame, const DecodeContext &ctx);

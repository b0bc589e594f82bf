#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// One frame on the wire, in both directions and over every transport:
//   02, ID, CMD, LEN, DATA[LEN], 03, SUM, 0D
// There is no escaping: the receiver finds the end from LEN alone.
constexpr uint8_t FrameStx = 0x02;
constexpr uint8_t FrameEtx = 0x03;
constexpr uint8_t FrameCr = 0x0D;
constexpr int FrameOverhead = 7;
constexpr int FrameMaxData = 255;
constexpr int FrameMaxSize = FrameMaxData + FrameOverhead;

// Offsets inside a frame.
constexpr int FrameIdIndex = 1;
constexpr int FrameCmdIndex = 2;
constexpr int FrameLenIndex = 3;
constexpr int FrameDataIndex = 4;

// Command bytes sent to the reader.
constexpr uint8_t CmdQuit = 'Q';
constexpr uint8_t CmdBuzzer = 'B';
constexpr uint8_t CmdSimpleRead = 'R';
constexpr uint8_t CmdSetMode = 'J';
constexpr uint8_t CmdGet = 'O';
constexpr uint8_t CmdSet = 'N';
constexpr uint8_t CmdTag = 'x';
constexpr uint8_t CmdTagIt = 'u';
constexpr uint8_t CmdGate = 'G';
constexpr uint8_t CmdV = 'v';

// Reply codes (in the command position of a reply).
constexpr uint8_t ReplyAck = '0';
constexpr uint8_t ReplyNack = '1';
constexpr uint8_t ReplyReadData = 'D';
constexpr uint8_t ReplyScanRead = 'd';
constexpr uint8_t ReplyInventory = 'i';
constexpr uint8_t ReplyUid = 'I';
constexpr uint8_t ReplyReadWithUid = 'L';
constexpr uint8_t ReplyGate = 'G';

// Follows one byte stream as the hub's frame collector does (a frame begins at STX and ends by
// its LEN alone), to tell where the stream stands between frames. The TCP transport uses it to
// let a board's bytes into the shared receive ring only in whole frames.
class FrameScanner
{
public:
    // Takes one byte; true when the stream is between frames after it.
    bool take(uint8_t b);
    void take(const char *bytes, qsizetype count);
    // How many of these next bytes end between frames: all of them, or the ones before an
    // unfinished frame at their end. The scanner itself does not move.
    qsizetype wholeLength(const char *bytes, qsizetype count) const;
    bool inFrame() const { return inFrame_; }
    void reset() { *this = FrameScanner(); }

private:
    bool inFrame_ = false;
    int index_ = 0;
    int end_ = 0;
};

// Values of the hub's ReplyState.
enum ReplyStateValue : int {
    ReplyStateNone = 0,
    ReplyStateFrame = 1,
    ReplyStateAck = 2,
    ReplyStateReadData = 3,
    ReplyStateScanRead = 4,
    ReplyStateInventory = 5,
    ReplyStateNack = 6,
    ReplyStateUid = 7,
    ReplyStateReadWithUid = 8,
    ReplyStateGate = 9,
};

// Sum modulo 256 of the LEN + 5 bytes from STX through ETX; LEN is read at offset 3, so the
// caller must hold at least LEN + 5 bytes.
uint8_t FrameChecksum(const uint8_t *frame);
// The same over a frame held in a byte array; bytes missing at its end count as absent.
uint8_t FrameChecksum(const QByteArray &frame);

// The one frame builder of every sender family. Returns the whole frame (LEN + 7 bytes), or an
// empty array when the DATA would not fit the one-byte LEN (more than 255 bytes): such a
// command is never sent.
QByteArray buildFrame(uint8_t id, uint8_t cmd, const uint8_t *data, int count);
QByteArray buildFrame(uint8_t id, uint8_t cmd, const QByteArray &data);

// Two upper-case hex digits of one byte.
QString byteHex(uint8_t value);
// Appends the byte as two upper-case hex digits and a blank (the form of every hex log line).
void appendHexByte(QByteArray &text, uint8_t value);
// The log-line form of bytes: two upper-case hex digits and a blank per byte ("02 00 52 ").
QString hexLine(const uint8_t *data, int count);
QString hexLine(const QByteArray &data);

// Operator hex input: ASCII hex digits and blanks, at least one pair of digits, every
// blank-separated group an even number of digits ("00 01 02 03", "0A0B").
bool IsHexString(const QString &text);

// Reads the text from its last character to its first with weights 1, 16, 256, ...; a
// character that is no hex digit adds nothing but keeps its place; wraps modulo 2^32.
uint32_t HexToInt(const QString &text);

// Converts pairs of characters into bytes, skipping blanks and control characters before
// and between pairs; a single character left over is dropped. Returns the number of bytes
// written; out must have room for half the text's length.
int HexToBytes(const QString &text, uint8_t *out);
QByteArray HexToBytes(const QString &text);

// ISO/IEC 15693 CRC (CRC-16/X-25: reflected polynomial 0x8408, preset 0xFFFF, complemented).
// Requests carry it low byte first.
uint16_t Crc16Iso15693(const uint8_t *data, uint8_t count);

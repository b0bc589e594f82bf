#pragma once

// DATA fields of the reader ('Q', 'B', 'R', 'J', 'O', 'N') and ISO 15693 ('x') requests, built
// without the hub so that tests compare bytes. Callers hand data as spans with their length:
// a layout takes the bytes it needs, sends 00 for any the caller did not supply, and never
// reads past the span.

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>

using ByteSpan = std::span<const uint8_t>;

// LEN is one byte.
constexpr uint64_t maxDataLength = 255;

QByteArray dataBytes(std::initializer_list<uint8_t> values);
void appendPadded(QByteArray &out, ByteSpan src, uint64_t count);

// --- reader commands ---------------------------------------------------------------------

QByteArray buzzerData(uint8_t number, uint8_t first);
QByteArray ramReadData(uint16_t address, uint8_t count);
// Empty when n is outside 1..4.
std::optional<QByteArray> ramWriteData(uint16_t address, uint8_t n, uint32_t value);
// The reader takes at most 250 bytes after the four zero bytes when asked for more than 254.
uint8_t dousaModeSetJCount(uint8_t n);
std::optional<QByteArray> dousaModeSetJData(uint8_t n, ByteSpan data);
const char *dousaModeGetTag(uint8_t subCode);
// blockNo is the window's block number: it replaces the polling time in the write-test mode.
QByteArray txDousaModeData(uint8_t modeCode, uint8_t second, uint8_t flags, uint16_t pollingTime, bool alsoEeprom,
                           uint8_t blockNo);

struct PolWriteArgs {
    uint8_t modeCode = 0;
    uint8_t second = 0;
    uint8_t flags = 0;
    uint16_t pollingTime = 0;
    bool alsoEeprom = false;
    uint8_t windowBlockNo = 0;
    uint8_t blockNo = 0;
    uint8_t n = 0;
    ByteSpan data;
    uint8_t requestFlags = 0;
    ByteSpan uid;
};
std::optional<QByteArray> polWriteData(const PolWriteArgs &a);
std::optional<QByteArray> eepromWriteData(uint8_t subCode, uint8_t wordAddress, uint8_t n, ByteSpan bytes);
QByteArray uidWriteData(ByteSpan uid);

// --- ISO 15693 tag commands --------------------------------------------------------------

// Only the UID mode value 1 means addressed; 2 and 3 go out without a UID.
inline bool isAddressed(uint8_t requestFlags)
{
    return (requestFlags & 3) == 1;
}

// code, params, dataLength bytes of data, flags, and the UID when the flags say addressed.
// Empty when the result would not fit LEN.
std::optional<QByteArray> tagCommandData(uint8_t code, QByteArrayView params, ByteSpan data, uint64_t dataLength,
                                         uint8_t requestFlags, ByteSpan uid);
// Data bytes of the block writes: blockSize x blocks. Empty for a negative block size.
std::optional<uint64_t> blockDataLength(int64_t blockSize, uint64_t blocks);
// Stay quiet and Select: the flags, then always the argument's UID.
QByteArray tagUidCommandData(uint8_t code, uint8_t requestFlags, ByteSpan uid);

// --- custom tag commands ('x') -----------------------------------------------------------

// The TI password commands: code, flags, always the 8 bytes of the UID given, the 4-byte
// password; the block write then adds the block number and 4 data bytes.
QByteArray tiKillData(uint8_t flags, ByteSpan uid, ByteSpan password);
QByteArray tiWriteBlockPswData(uint8_t flags, ByteSpan uid, ByteSpan password, uint8_t block, ByteSpan data);
// F1: mode, flags, AFI, mask length and the 8 mask bytes; never a UID.
QByteArray inventory16SlotsData(uint8_t mode, uint8_t flags, uint8_t afi, uint8_t maskLength, ByteSpan mask);
// F2: mode before flags, and always the UID.
QByteArray readLoopData(uint8_t mode, uint8_t flags, uint8_t startBlock, uint8_t length, uint8_t afi, ByteSpan uid);
// F4: flags before mode, the polling time low byte first, and the UID when the flags say
// addressed.
QByteArray rdLoopPolData(uint8_t flags, uint8_t mode, uint16_t pollingTime, uint8_t startBlock, uint8_t length,
                         uint8_t afi, ByteSpan uid);

// --- TAG-IT commands ('u') ---------------------------------------------------------------

// code, params, flags, and the 4-byte SID when the flags say addressed.
QByteArray tagItCommandData(uint8_t code, QByteArrayView params, uint8_t flags, ByteSpan sid);
// 0A: flags before the mask length, the mask least significant byte first; never a SID.
QByteArray tagItSidPollData(uint8_t maskLength, uint32_t mask, uint8_t flags);

// --- gate commands ('G') -----------------------------------------------------------------

// first, then n bytes of data. Empty when it would not fit LEN.
std::optional<QByteArray> prefixedData(uint8_t first, ByteSpan data, uint64_t n);
// The three people-count mode words, each low byte first, after the sub-code.
QByteArray gateCountModeData(uint8_t subCode, uint16_t word1, uint16_t word2, uint16_t word3);

// --- answers of the read senders ---------------------------------------------------------

enum class AnswerCheck { Ok, EchoMismatch, Short };

// frame is a whole reply frame from STX; only bytes inside its DATA are looked at. The echo
// is compared with DATA[0..], the answer is the answerLength bytes that follow it.
AnswerCheck checkAnswer(QByteArrayView frame, QByteArrayView echo, int answerLength);
// DATA[from .. from+count) of a frame that checkAnswer accepted.
QByteArray answerBytes(QByteArrayView frame, int from, int count);
uint32_t answerU32LowFirst(QByteArrayView frame, int from);

// The first three characters of a ROM version read as decimal; 0 when they are not all digits.
int romVersionNumber(QByteArrayView text);

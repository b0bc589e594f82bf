#include "link/SendData.h"

#include <algorithm>

namespace
{

void put(QByteArray &out, uint8_t b)
{
    out.append(static_cast<char>(b));
}

uint8_t dataByte(QByteArrayView frame, int i)
{
    return static_cast<uint8_t>(frame[4 + i]);
}

// LEN of a frame, or -1 when the frame is too short to hold what its LEN claims.
int frameDataLength(QByteArrayView frame)
{
    if (frame.size() < 4)
        return -1;
    const int len = static_cast<uint8_t>(frame[3]);
    return frame.size() < 4 + len ? -1 : len;
}

// The request flags, then the tag's UID or SID when they address it.
void putFlagsAndAddress(QByteArray &out, uint8_t flags, ByteSpan id, uint64_t idLength)
{
    put(out, flags);
    if (isAddressed(flags))
        appendPadded(out, id, idLength);
}

// The TI password commands' head: code, flags, always the 8 UID bytes given, the password.
QByteArray tiPasswordData(uint8_t code, uint8_t flags, ByteSpan uid, ByteSpan password)
{
    QByteArray d = tagUidCommandData(code, flags, uid);
    appendPadded(d, password, 4);
    return d;
}

} // namespace

QByteArray dataBytes(std::initializer_list<uint8_t> values)
{
    QByteArray out;
    for (uint8_t v : values)
        out.append(static_cast<char>(v));
    return out;
}

void appendPadded(QByteArray &out, ByteSpan src, uint64_t count)
{
    const uint64_t have = std::min<uint64_t>(count, src.size());
    out.append(reinterpret_cast<const char *>(src.data()), static_cast<qsizetype>(have));
    out.append(static_cast<qsizetype>(count - have), '\0');
}

QByteArray buzzerData(uint8_t number, uint8_t first)
{
    return dataBytes({first, number});
}

QByteArray ramReadData(uint16_t address, uint8_t count)
{
    QByteArray d = dataBytes({0x91, static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address & 0xFF), count});
    d.append(6, '\0');
    return d;
}

std::optional<QByteArray> ramWriteData(uint16_t address, uint8_t n, uint32_t value)
{
    if (n < 1 || n > 4)
        return std::nullopt;
    QByteArray d = dataBytes({0x92, static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address & 0xFF), n});
    // The caller left-aligned the value, so its top n bytes are the ones to send.
    for (int i = 0; i < n; ++i)
        put(d, static_cast<uint8_t>(value >> (24 - 8 * i)));
    d.append(10 - d.size(), '\0');
    return d;
}

uint8_t dousaModeSetJCount(uint8_t n)
{
    return n > 254 ? 250 : n;
}

std::optional<QByteArray> dousaModeSetJData(uint8_t n, ByteSpan data)
{
    const uint64_t count = dousaModeSetJCount(n);
    if (count + 4 > maxDataLength)
        return std::nullopt;
    QByteArray d(4, '\0');
    appendPadded(d, data, count);
    return d;
}

const char *dousaModeGetTag(uint8_t subCode)
{
    switch (subCode) {
    case 0x00:
        return "DousaModeSet(N): ";
    case 0x09:
        return "S6700ModeSet(N): ";
    default:
        return "??? command(N): ";
    }
}

QByteArray txDousaModeData(uint8_t modeCode, uint8_t second, uint8_t flags, uint16_t pollingTime, bool alsoEeprom,
                           uint8_t blockNo)
{
    QByteArray d = dataBytes({static_cast<uint8_t>(alsoEeprom ? 0x10 : 0x00), modeCode, second, flags, 0x01});
    // The write-test mode asks for a block number where the other modes take a polling
    // time; the polling time goes high byte first.
    if (modeCode == 0x51) {
        put(d, blockNo);
        put(d, 0x00);
    } else {
        put(d, pollingTime >> 8);
        put(d, pollingTime & 0xFF);
    }
    return d;
}

std::optional<QByteArray> polWriteData(const PolWriteArgs &a)
{
    const bool addressed = isAddressed(a.requestFlags);
    if (uint64_t(a.n) + (addressed ? 18 : 10) > maxDataLength)
        return std::nullopt;
    QByteArray d = txDousaModeData(a.modeCode, a.second, a.flags, a.pollingTime, a.alsoEeprom, a.windowBlockNo);
    put(d, a.blockNo);
    put(d, a.n);
    appendPadded(d, a.data, a.n);
    putFlagsAndAddress(d, a.requestFlags, a.uid, 8);
    return d;
}

std::optional<QByteArray> eepromWriteData(uint8_t subCode, uint8_t wordAddress, uint8_t n, ByteSpan bytes)
{
    const uint64_t count = 2 * uint64_t(n);
    if (count + 3 > maxDataLength)
        return std::nullopt;
    QByteArray d = dataBytes({subCode, wordAddress, n});
    appendPadded(d, bytes, count);
    return d;
}

QByteArray uidWriteData(ByteSpan uid)
{
    QByteArray d = dataBytes({0x50});
    appendPadded(d, uid, 8);
    return d;
}

std::optional<QByteArray> tagCommandData(uint8_t code, QByteArrayView params, ByteSpan data, uint64_t dataLength,
                                         uint8_t requestFlags, ByteSpan uid)
{
    const bool addressed = isAddressed(requestFlags);
    const uint64_t params64 = static_cast<uint64_t>(params.size());
    // Each term is at most 255 or a 64-bit product of two 32-bit values, so the sum can't wrap.
    if (dataLength > maxDataLength || 1 + params64 + dataLength + 1 + (addressed ? 8 : 0) > maxDataLength)
        return std::nullopt;
    QByteArray d = dataBytes({code}).append(params);
    appendPadded(d, data, dataLength);
    putFlagsAndAddress(d, requestFlags, uid, 8);
    return d;
}

std::optional<uint64_t> blockDataLength(int64_t blockSize, uint64_t blocks)
{
    if (blockSize < 0)
        return std::nullopt;
    // Any block size above the LEN limit is too long already; saturating keeps the product from wrapping.
    if (blocks != 0 && static_cast<uint64_t>(blockSize) > maxDataLength)
        return maxDataLength + 1;
    return static_cast<uint64_t>(blockSize) * blocks;
}

QByteArray tagUidCommandData(uint8_t code, uint8_t requestFlags, ByteSpan uid)
{
    QByteArray d = dataBytes({code, requestFlags});
    appendPadded(d, uid, 8);
    return d;
}

QByteArray tiKillData(uint8_t flags, ByteSpan uid, ByteSpan password)
{
    return tiPasswordData(0xA8, flags, uid, password);
}

QByteArray tiWriteBlockPswData(uint8_t flags, ByteSpan uid, ByteSpan password, uint8_t block, ByteSpan data)
{
    QByteArray d = tiPasswordData(0xA9, flags, uid, password);
    put(d, block);
    appendPadded(d, data, 4);
    return d;
}

QByteArray inventory16SlotsData(uint8_t mode, uint8_t flags, uint8_t afi, uint8_t maskLength, ByteSpan mask)
{
    QByteArray d = dataBytes({0xF1, mode, flags, afi, maskLength});
    appendPadded(d, mask, 8);
    return d;
}

QByteArray readLoopData(uint8_t mode, uint8_t flags, uint8_t startBlock, uint8_t length, uint8_t afi, ByteSpan uid)
{
    QByteArray d = dataBytes({0xF2, mode, flags, startBlock, length, afi});
    appendPadded(d, uid, 8);
    return d;
}

QByteArray rdLoopPolData(uint8_t flags, uint8_t mode, uint16_t pollingTime, uint8_t startBlock, uint8_t length,
                         uint8_t afi, ByteSpan uid)
{
    QByteArray d = dataBytes({0xF4, flags, mode, static_cast<uint8_t>(pollingTime & 0xFF),
                              static_cast<uint8_t>(pollingTime >> 8), startBlock, length, afi});
    if (isAddressed(flags))
        appendPadded(d, uid, 8);
    return d;
}

QByteArray tagItCommandData(uint8_t code, QByteArrayView params, uint8_t flags, ByteSpan sid)
{
    QByteArray d = dataBytes({code}).append(params);
    putFlagsAndAddress(d, flags, sid, 4);
    return d;
}

QByteArray tagItSidPollData(uint8_t maskLength, uint32_t mask, uint8_t flags)
{
    QByteArray d = dataBytes({0x0A, flags, maskLength});
    for (int i = 0; i < 4; ++i)
        put(d, static_cast<uint8_t>(mask >> (8 * i)));
    return d;
}

std::optional<QByteArray> prefixedData(uint8_t first, ByteSpan data, uint64_t n)
{
    if (n + 1 > maxDataLength)
        return std::nullopt;
    QByteArray d = dataBytes({first});
    appendPadded(d, data, n);
    return d;
}

QByteArray gateCountModeData(uint8_t subCode, uint16_t word1, uint16_t word2, uint16_t word3)
{
    QByteArray d = dataBytes({subCode});
    for (uint16_t w : {word1, word2, word3}) {
        put(d, w & 0xFF);
        put(d, w >> 8);
    }
    return d;
}

AnswerCheck checkAnswer(QByteArrayView frame, QByteArrayView echo, int answerLength)
{
    const int len = frameDataLength(frame);
    if (len < echo.size())
        return AnswerCheck::Short;
    for (int i = 0; i < echo.size(); ++i)
        if (dataByte(frame, i) != static_cast<uint8_t>(echo[i]))
            return AnswerCheck::EchoMismatch;
    if (len < echo.size() + answerLength)
        return AnswerCheck::Short;
    return AnswerCheck::Ok;
}

QByteArray answerBytes(QByteArrayView frame, int from, int count)
{
    return frame.sliced(4 + from, count).toByteArray();
}

uint32_t answerU32LowFirst(QByteArrayView frame, int from)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | dataByte(frame, from + i);
    return v;
}

int romVersionNumber(QByteArrayView text)
{
    int v = 0;
    for (qsizetype i = 0; i < std::min<qsizetype>(3, text.size()); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return 0;
        v = v * 10 + (c - '0');
    }
    return v;
}

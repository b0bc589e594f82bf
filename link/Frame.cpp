#include "link/Frame.h"

#include <array>

uint8_t FrameChecksum(const uint8_t *frame)
{
    const int end = frame[FrameLenIndex] + 5;
    unsigned sum = 0;
    for (int i = 0; i < end; ++i)
        sum += frame[i];
    return static_cast<uint8_t>(sum);
}

uint8_t FrameChecksum(const QByteArray &frame)
{
    if (frame.size() <= FrameLenIndex)
        return 0;
    const auto *bytes = reinterpret_cast<const uint8_t *>(frame.constData());
    const int end = std::min<int>(bytes[FrameLenIndex] + 5, static_cast<int>(frame.size()));
    unsigned sum = 0;
    for (int i = 0; i < end; ++i)
        sum += bytes[i];
    return static_cast<uint8_t>(sum);
}

bool FrameScanner::take(uint8_t b)
{
    if (!inFrame_) {
        if (b == FrameStx) {
            inFrame_ = true;
            index_ = 1;
            end_ = FrameOverhead;
        }
        return !inFrame_;
    }
    if (index_ == FrameLenIndex)
        end_ = b + FrameOverhead - 1;
    else if (index_ == end_)
        inFrame_ = false;
    ++index_;
    return !inFrame_;
}

void FrameScanner::take(const char *bytes, qsizetype count)
{
    for (qsizetype i = 0; i < count; ++i)
        take(static_cast<uint8_t>(bytes[i]));
}

qsizetype FrameScanner::wholeLength(const char *bytes, qsizetype count) const
{
    FrameScanner probe = *this;
    qsizetype whole = 0;
    for (qsizetype i = 0; i < count; ++i) {
        if (probe.take(static_cast<uint8_t>(bytes[i])))
            whole = i + 1;
    }
    return whole;
}

QByteArray buildFrame(uint8_t id, uint8_t cmd, const uint8_t *data, int count)
{
    if (count < 0 || count > FrameMaxData || (count > 0 && !data))
        return {};
    QByteArray frame;
    frame.reserve(count + FrameOverhead);
    frame.append(static_cast<char>(FrameStx));
    frame.append(static_cast<char>(id));
    frame.append(static_cast<char>(cmd));
    frame.append(static_cast<char>(count));
    if (count > 0)
        frame.append(reinterpret_cast<const char *>(data), count);
    frame.append(static_cast<char>(FrameEtx));
    frame.append(static_cast<char>(FrameChecksum(frame)));
    frame.append(static_cast<char>(FrameCr));
    return frame;
}

QByteArray buildFrame(uint8_t id, uint8_t cmd, const QByteArray &data)
{
    return buildFrame(id, cmd, reinterpret_cast<const uint8_t *>(data.constData()), static_cast<int>(data.size()));
}

namespace
{

constexpr char hexDigits[] = "0123456789ABCDEF";

} // namespace

QString byteHex(uint8_t value)
{
    const QChar pair[2] = {QLatin1Char(hexDigits[value >> 4]), QLatin1Char(hexDigits[value & 0x0F])};
    return QString(pair, 2);
}

void appendHexByte(QByteArray &text, uint8_t value)
{
    text.append(hexDigits[value >> 4]);
    text.append(hexDigits[value & 0x0F]);
    text.append(' ');
}

QString hexLine(const uint8_t *data, int count)
{
    QByteArray line;
    line.reserve(count * 3);
    for (int i = 0; i < count; ++i)
        appendHexByte(line, data[i]);
    return QString::fromLatin1(line);
}

QString hexLine(const QByteArray &data)
{
    return hexLine(reinterpret_cast<const uint8_t *>(data.constData()), static_cast<int>(data.size()));
}

namespace
{

int hexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

bool isBlankOrControl(QChar c)
{
    return c.unicode() <= 0x20;
}

} // namespace

bool IsHexString(const QString &text)
{
    int pairs = 0;
    int groupDigits = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char(' ')) {
            if (groupDigits % 2 != 0)
                return false;
            pairs += groupDigits / 2;
            groupDigits = 0;
        } else if (hexDigitValue(c) >= 0) {
            ++groupDigits;
        } else {
            return false;
        }
    }
    if (groupDigits % 2 != 0)
        return false;
    pairs += groupDigits / 2;
    return pairs > 0;
}

uint32_t HexToInt(const QString &text)
{
    uint32_t value = 0;
    uint32_t weight = 1;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        const int digit = hexDigitValue(text.at(i));
        if (digit > 0)
            value += static_cast<uint32_t>(digit) * weight;
        weight *= 16;
    }
    return value;
}

int HexToBytes(const QString &text, uint8_t *out)
{
    qsizetype pos = 0;
    const qsizetype size = text.size();
    // Leading blanks are skipped too, so " 01 02" gives the same bytes as "01 02".
    while (pos < size && isBlankOrControl(text.at(pos)))
        ++pos;
    int written = 0;
    while (size - pos >= 2) {
        out[written++] = static_cast<uint8_t>(HexToInt(text.mid(pos, 2)));
        pos += 2;
        while (pos < size && isBlankOrControl(text.at(pos)))
            ++pos;
    }
    return written;
}

QByteArray HexToBytes(const QString &text)
{
    QByteArray bytes(text.size() / 2 + 1, '\0');
    const int count = HexToBytes(text, reinterpret_cast<uint8_t *>(bytes.data()));
    bytes.truncate(count);
    return bytes;
}

namespace
{

constexpr std::array<uint16_t, 256> makeCrcTable()
{
    std::array<uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        uint16_t crc = static_cast<uint16_t>(i);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0x8408) : static_cast<uint16_t>(crc >> 1);
        table[i] = crc;
    }
    return table;
}

constexpr std::array<uint16_t, 256> crcTable = makeCrcTable();

} // namespace

uint16_t Crc16Iso15693(const uint8_t *data, uint8_t count)
{
    uint16_t crc = 0xFFFF;
    for (unsigned i = 0; i < count; ++i)
        crc = static_cast<uint16_t>(crcTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8));
    return static_cast<uint16_t>(~crc);
}

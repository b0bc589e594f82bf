#include "link/Frame.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(FrameTest, BuiltFramesCarryLengthEtxAndAWrappingChecksum)
{
    // ID, command, DATA and the frame. 02 + FF + 78 + 02 + 01 + 26 + 03 = 0x1A5: only the low byte is kept.
    const struct {
        uint8_t id;
        char cmd;
        const char *data, *frame;
    } rows[] = {
        {0x00, 'R', "", "02 00 52 00 03 57 0D"},
        {0x00, 'O', "90", "02 00 4F 01 90 03 E5 0D"},
        {0xFF, 'x', "01 26", "02 FF 78 02 01 26 03 A5 0D"},
        {0x01, 'N', "02 03 0D", "02 01 4E 03 02 03 0D 03 69 0D"}, // control bytes inside DATA
    };
    for (const auto &row : rows) {
        const QByteArray frame = buildFrame(row.id, static_cast<uint8_t>(row.cmd), QByteArray::fromHex(row.data));
        EXPECT_EQ(hexOf(frame), row.frame);
        const auto *bytes = reinterpret_cast<const uint8_t *>(frame.constData());
        EXPECT_EQ(FrameChecksum(bytes), static_cast<uint8_t>(frame.at(frame.size() - 2))) << row.frame;
    }
}

TEST(FrameTest, OverlongDataBuildsNoFrameAShortArraySumsOnlyItsBytesAndLogHexIsUpperCase)
{
    const QByteArray frame = buildFrame(0, 'x', QByteArray(255, '\x11'));
    ASSERT_EQ(frame.size(), 262);
    EXPECT_EQ(static_cast<uint8_t>(frame.at(3)), 255);
    EXPECT_TRUE(buildFrame(0, 'x', QByteArray(256, '\x11')).isEmpty());
    // LEN claims 200 bytes; only the bytes present are summed.
    EXPECT_EQ(FrameChecksum(bytesOf({0x02, 0x00, 0x30, 0xC8, 0x01})), 0xFB);
    EXPECT_EQ(FrameChecksum(QByteArray()), 0);
    // Log lines show each byte as two upper-case digits and a blank.
    EXPECT_EQ(hexLine(bytesOf({0x02, 0xab, 0x0d})), QStringLiteral("02 AB 0D "));
    EXPECT_EQ(hexLine(QByteArray()), QString());
    EXPECT_EQ(byteHex(0x0F), QStringLiteral("0F"));
}

TEST(HexTextTest, HexToIntReadsFromTheRightAndSkipsTheWeightOfOtherCharacters)
{
    const std::pair<const char *, uint32_t> rows[] = {
        {"1A", 26}, {"1a", 26}, {"1Z", 16}, {"", 0}, {"FFFFFFFF", 0xFFFFFFFFu}, {"100000000", 0}, {"1 2", 0x102}};
    for (const auto &[text, value] : rows)
        EXPECT_EQ(HexToInt(QString::fromLatin1(text)), value) << text;
}

TEST(HexTextTest, HexToBytesSkipsBlanksAndControlCharactersAroundPairs)
{
    // Blanks before the first pair are skipped as well (not read as " 0").
    // clang-format off
    const std::pair<const char *, const char *> rows[] = {
        {"0102A", "01 02"}, {"01  02", "01 02"}, {"00 01 02 03", "00 01 02 03"}, {"00010203", "00 01 02 03"},
        {"  \t0A 0B", "0A 0B"}, {"0A\r\n0B\r\n", "0A 0B"}, {"F", ""}, {"", ""}};
    // clang-format on
    for (const auto &[text, bytes] : rows)
        EXPECT_EQ(hexOf(HexToBytes(QString::fromLatin1(text))), bytes) << '"' << text << '"';
    uint8_t out[4] = {};
    EXPECT_EQ(HexToBytes(QStringLiteral("0102A"), out), 2);
}

TEST(HexTextTest, IsHexStringWantsEvenGroupsOfHexDigitsSeparatedByBlanks)
{
    for (const char *good : {"00 01 02 03", "0A0b", " FF ", "0102 03"})
        EXPECT_TRUE(IsHexString(QString::fromLatin1(good))) << good;
    for (const char *bad : {"", "   ", "0", "00 1", "012 03", "0G", "00,01", "00\t01"})
        EXPECT_FALSE(IsHexString(QString::fromLatin1(bad))) << bad;
    EXPECT_FALSE(IsHexString(QStringLiteral("０１")));
}

TEST(CrcTest, MatchesPublishedX25Values)
{
    // The last row is an inventory request (flags 26, command 01, mask length 00): CRC bytes F6 0A on the wire.
    const std::pair<QByteArray, uint16_t> rows[] = {
        {"123456789", 0x906E}, {"abc", 0x9E25}, {{}, 0x0000}, {bytesOf({0x26, 0x01, 0x00}), 0x0AF6}};
    for (const auto &[data, crc] : rows) {
        const auto *bytes = reinterpret_cast<const uint8_t *>(data.constData());
        EXPECT_EQ(Crc16Iso15693(bytes, static_cast<uint8_t>(data.size())), crc) << hexOf(data);
    }
}

#include "link/Frame.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace
{

struct FrameRow {
    const char *name;
    uint8_t id;
    uint8_t cmd;
    QByteArray data;
    QByteArray expected;
};

} // namespace

TEST(FrameTest, BuiltFramesCarryLengthEtxAndAWrappingChecksum)
{
    const FrameRow rows[] = {
        {"simple read, ID 0", 0x00, 'R', {}, bytesOf({0x02, 0x00, 0x52, 0x00, 0x03, 0x57, 0x0D})},
        {"ROM version", 0x00, 'O', bytesOf({0x90}), bytesOf({0x02, 0x00, 0x4F, 0x01, 0x90, 0x03, 0xE5, 0x0D})},
        // 02 + FF + 78 + 02 + 01 + 26 + 03 = 0x1A5: only the low byte is kept.
        {"inventory, ID FF", 0xFF, 'x', bytesOf({0x01, 0x26}),
         bytesOf({0x02, 0xFF, 0x78, 0x02, 0x01, 0x26, 0x03, 0xA5, 0x0D})},
        {"control bytes inside DATA", 0x01, 'N', bytesOf({0x02, 0x03, 0x0D}),
         bytesOf({0x02, 0x01, 0x4E, 0x03, 0x02, 0x03, 0x0D, 0x03, 0x69, 0x0D})},
    };
    for (const FrameRow &row : rows) {
        const QByteArray frame = buildFrame(row.id, row.cmd, row.data);
        EXPECT_EQ(frame, row.expected) << row.name << ": expected " << hexOf(row.expected) << ", got " << hexOf(frame);
        EXPECT_EQ(FrameChecksum(reinterpret_cast<const uint8_t *>(frame.constData())),
                  static_cast<uint8_t>(frame.at(frame.size() - 2)))
            << row.name;
    }
}

TEST(FrameTest, DataOfMoreThan255BytesBuildsNoFrameAndAShortArraySumsOnlyItsBytes)
{
    const QByteArray frame = buildFrame(0, 'x', QByteArray(255, '\x11'));
    ASSERT_EQ(frame.size(), 262);
    EXPECT_EQ(static_cast<uint8_t>(frame.at(3)), 255);
    EXPECT_TRUE(buildFrame(0, 'x', QByteArray(256, '\x11')).isEmpty());
    // LEN claims 200 bytes; only the bytes present are summed.
    EXPECT_EQ(FrameChecksum(bytesOf({0x02, 0x00, 0x30, 0xC8, 0x01})), 0xFB);
    EXPECT_EQ(FrameChecksum(QByteArray()), 0);
}

TEST(FrameTest, LogLinesShowEachByteAsTwoUpperCaseDigitsAndABlank)
{
    EXPECT_EQ(hexLine(bytesOf({0x02, 0xab, 0x0d})), QStringLiteral("02 AB 0D "));
    EXPECT_EQ(hexLine(QByteArray()), QString());
    EXPECT_EQ(byteHex(0x0F), QStringLiteral("0F"));
}

TEST(HexTextTest, HexToIntReadsFromTheRightAndSkipsTheWeightOfOtherCharacters)
{
    const struct {
        const char *text;
        uint32_t value;
    } rows[] = {
        {"1A", 26}, {"1a", 26}, {"1Z", 16}, {"", 0}, {"FFFFFFFF", 0xFFFFFFFFu}, {"100000000", 0}, {"1 2", 0x102},
    };
    for (const auto &row : rows)
        EXPECT_EQ(HexToInt(QString::fromLatin1(row.text)), row.value) << row.text;
}

TEST(HexTextTest, HexToBytesSkipsBlanksAndControlCharactersAroundPairs)
{
    const struct {
        const char *text;
        QByteArray bytes;
    } rows[] = {
        {"0102A", bytesOf({0x01, 0x02})},
        {"01  02", bytesOf({0x01, 0x02})},
        {"00 01 02 03", bytesOf({0x00, 0x01, 0x02, 0x03})},
        {"00010203", bytesOf({0x00, 0x01, 0x02, 0x03})},
        // Blanks before the first pair are skipped as well (not read as " 0").
        {"  \t0A 0B", bytesOf({0x0A, 0x0B})},
        {"0A\r\n0B\r\n", bytesOf({0x0A, 0x0B})},
        {"F", {}},
        {"", {}},
    };
    for (const auto &row : rows) {
        const QByteArray got = HexToBytes(QString::fromLatin1(row.text));
        EXPECT_EQ(got, row.bytes) << '"' << row.text << "\": expected " << hexOf(row.bytes) << ", got " << hexOf(got);
    }
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
    const struct {
        QByteArray data;
        uint16_t crc;
    } rows[] = {
        {QByteArray("123456789"), 0x906E},
        {QByteArray("abc"), 0x9E25},
        {QByteArray(), 0x0000},
        // An inventory request (flags 26, command 01, mask length 00): CRC bytes F6 0A on the wire.
        {bytesOf({0x26, 0x01, 0x00}), 0x0AF6},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(Crc16Iso15693(reinterpret_cast<const uint8_t *>(row.data.constData()),
                                static_cast<uint8_t>(row.data.size())),
                  row.crc)
            << hexOf(row.data);
    }
}

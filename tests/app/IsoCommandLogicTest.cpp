#include "app/ElapsedTime.h"
#include "app/FixedBytes.h"
#include "app/RequestFlags.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace
{

struct FlagCase {
    const char *what;
    FlagRule rule;
    RequestFlagSettings settings;
    int expected;
};

RequestFlagSettings settings(int uid, int readOpt, int readUid, int writeOpt, int writeUid, int useProg, int prog)
{
    return {uid, readOpt, readUid, writeOpt, writeUid, useProg, static_cast<uint8_t>(prog)};
}

std::vector<uint8_t> fixedBytes(const QString &text, int count)
{
    std::vector<uint8_t> buffer(static_cast<size_t>(count) + 4, 0xEE);
    StrToFixedBytes(text, buffer.data(), count);
    return buffer;
}

} // namespace

TEST(RequestFlagsTest, EachRuleTakesItsBitsFromTheRightSettings)
{
    const RequestFlagSettings defaults;
    const FlagCase cases[] = {
        {"16 slots by default", FlagRule::Inventory16Slots, defaults, 0x00},
        {"1 slot by default", FlagRule::Inventory1Slot, defaults, 0x40},
        {"1 slot takes only the AFI bit", FlagRule::Inventory1Slot, settings(0, 0, 0, 0, 0, 1, 0x3F), 0x60},
        {"16 slots takes only the AFI bit", FlagRule::Inventory16Slots, settings(0, 0, 0, 0, 0, 1, 0x20), 0x20},
        {"1 slot keeps its slot bit", FlagRule::Inventory1Slot, settings(0, 0, 0, 0, 0, 1, 0x00), 0x40},
        {"inventory2 AFI bit", FlagRule::Inventory2, settings(0, 0, 0, 0, 0, 1, 0xFF), 0x20},
        {"read rule", FlagRule::R, settings(3, 3, 6, 0, 3, 0, 0), 0x12},
        {"write rule default option", FlagRule::W, defaults, 0x10},
        {"write rule addressed", FlagRule::WP, settings(0, 1, 0, 2, 5, 0, 0x99), 0x01},
        {"uid rule keeps two bits", FlagRule::U, settings(0xFF, 1, 1, 1, 1, 0, 0), 0x03},
        {"R+P takes the whole byte", FlagRule::RP, settings(0, 1, 1, 1, 1, 1, 0x99), 0x99},
        {"U+P takes the whole byte", FlagRule::UP, settings(1, 0, 0, 0, 0, 1, 0x04), 0x04},
        {"R without P ignores it", FlagRule::R, settings(0, 1, 1, 0, 0, 1, 0x99), 0x11},
        {"two blocks force the option", FlagRule::TwoBlocks, settings(0, 0, 0, 0, 1, 1, 0x00), 0x11},
        {"select read", FlagRule::SelectRead, settings(0, 1, 2, 0, 0, 1, 0x00), 0x16},
        {"select write", FlagRule::SelectWrite, settings(0, 0, 0, 0, 1, 1, 0x00), 0x05},
    };
    for (const FlagCase &c : cases)
        EXPECT_EQ(requestFlags(c.rule, c.settings), c.expected) << c.what;
}

TEST(RequestFlagsTest, BlockWritesRefuseDataBeyondWhatOneFrameCarries)
{
    EXPECT_EQ(maxSingleBlockData(0x00), 252u);
    EXPECT_EQ(maxSingleBlockData(0x11), 244u);
    EXPECT_EQ(maxSingleBlockData(0x13), 252u); // only mode 1 sends the UID
    EXPECT_EQ(maxMultiBlockData(0x10), 251u);
    EXPECT_EQ(maxMultiBlockData(0x01), 243u);
    EXPECT_EQ(multiBlockDataLength(4, 1), 8u);
    EXPECT_EQ(multiBlockDataLength(4, 255), 1024u);
    // A block size that a 32-bit product would wrap to zero is still seen as huge.
    EXPECT_EQ(multiBlockDataLength(0x80000000u, 1), 0x100000000ull);
    EXPECT_EQ(singleBlockDataLength(0xFFFFFFFFu), 0xFFFFFFFFull);
}

TEST(FixedBytesTest, TextIsPaddedWithZerosOrCutAtExactlyCountBytes)
{
    EXPECT_EQ(hexOf(fixedBytes("AB", 4)), hexOf(bytesOf({0x41, 0x42, 0, 0, 0xEE, 0xEE, 0xEE, 0xEE})));
    EXPECT_EQ(hexOf(fixedBytes("ABCDEF", 4)), hexOf(bytesOf({0x41, 0x42, 0x43, 0x44, 0xEE, 0xEE, 0xEE, 0xEE})));
    EXPECT_EQ(hexOf(fixedBytes(QString::fromUtf8("\xE3\x81\x82"
                                                 "A"),
                               1)), // "あ" is 82 A0 in CP932
              hexOf(bytesOf({0x82, 0xEE, 0xEE, 0xEE, 0xEE})));
    EXPECT_EQ(hexOf(fixedBytes(QString::fromUtf8("\xE3\x81\x82"), 3)),
              hexOf(bytesOf({0x82, 0xA0, 0, 0xEE, 0xEE, 0xEE, 0xEE})));
    EXPECT_EQ(hexOf(fixedBytes(QString::fromUtf8("\xF0\x9F\x98\x80"), 2)),
              hexOf(bytesOf({'?', 0, 0xEE, 0xEE, 0xEE, 0xEE})));
    EXPECT_EQ(hexOf(fixedBytes(QString::fromLatin1("A\0B", 3), 3)),
              hexOf(bytesOf({'A', 0, 'B', 0xEE, 0xEE, 0xEE, 0xEE})));
    EXPECT_EQ(hexOf(fixedBytes("ABC", 0)), hexOf(bytesOf({0xEE, 0xEE, 0xEE, 0xEE})));
}

TEST(ElapsedTimeTest, ElapsedTimeShowsMinutesSecondsAndAtLeastTwoMillisecondDigits)
{
    EXPECT_EQ(elapsedTimeText(int64_t{5}), "00:00:05");
    EXPECT_EQ(elapsedTimeText(int64_t{250}), "00:00:250");
    EXPECT_EQ(elapsedTimeText(int64_t{61050}), "01:01:50");
    EXPECT_EQ(elapsedTimeText(int64_t{3600000 + 7}), "00:00:07"); // the hour is not shown
    const double start = 45000.5;
    EXPECT_EQ(elapsedTimeText(start, start + 1234.0 / 86400000.0), "00:01:234");
    const double now = currentDateTime();
    EXPECT_GT(now, 45000.0); // after the year 2023
}

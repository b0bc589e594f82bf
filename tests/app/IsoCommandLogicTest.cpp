#include "app/ElapsedTime.h"
#include "app/FixedBytes.h"
#include "app/RequestFlags.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

// The menu tests cover every rule that a menu row uses; these are the plain rules that the
// other command families use.
TEST(RequestFlagsTest, PlainRulesMaskTheirSettingsAndIgnoreTheProgramFlags)
{
    const struct {
        FlagRule rule;
        RequestFlagSettings settings;
        int expected;
    } cases[] = {
        {FlagRule::R, {.ReadOptionFlag = 3, .ReadUidFlag = 6, .fUSESetOption = 1, .Prog15693FLAG = 0x99}, 0x12},
        {FlagRule::W, {.WriteOptionFlag = 2, .WriteUidFlag = 5, .fUSESetOption = 1, .Prog15693FLAG = 0x99}, 0x01},
        {FlagRule::U, {.UidFlag = 0xFF, .fUSESetOption = 1, .Prog15693FLAG = 0x99}, 0x03},
        {FlagRule::ReadUid, {.ReadOptionFlag = 1, .ReadUidFlag = 6, .fUSESetOption = 1}, 0x02},
        {FlagRule::WriteUid, {.WriteOptionFlag = 1, .WriteUidFlag = 7, .fUSESetOption = 1}, 0x03},
        {FlagRule::OptionWriteUid, {.WriteOptionFlag = 0, .WriteUidFlag = 5, .fUSESetOption = 1}, 0x11},
    };
    for (const auto &c : cases)
        EXPECT_EQ(requestFlags(c.rule, c.settings), c.expected) << static_cast<int>(c.rule);
}

TEST(FixedBytesTest, TextIsPaddedWithZerosOrCutAtExactlyCountBytes)
{
    const struct {
        QString text;
        int count;
        QByteArray expected; // the count bytes, then the untouched guard bytes
    } cases[] = {
        {"AB", 4, bytesOf({0x41, 0x42, 0, 0, 0xEE})},
        {"ABCDEF", 4, bytesOf({0x41, 0x42, 0x43, 0x44, 0xEE})},
        {QString::fromUtf8("\xE3\x81\x82") + "A", 1, bytesOf({0x82, 0xEE})}, // "あ" is 82 A0, cut inside
        {QString::fromUtf8("\xE3\x81\x82"), 3, bytesOf({0x82, 0xA0, 0, 0xEE})},
        {QString::fromUtf8("\xF0\x9F\x98\x80"), 2, bytesOf({'?', 0, 0xEE})}, // no CP932 form
        {QString::fromLatin1("A\0B", 3), 3, bytesOf({'A', 0, 'B', 0xEE})},
        {"ABC", 0, bytesOf({0xEE})},
    };
    for (const auto &c : cases) {
        std::vector<uint8_t> buffer(static_cast<size_t>(c.count) + 1, 0xEE);
        StrToFixedBytes(c.text, buffer.data(), c.count);
        EXPECT_EQ(hexOf(buffer), hexOf(c.expected)) << c.text.toStdString();
    }
}

TEST(ElapsedTimeTest, ElapsedTimeShowsMinutesSecondsAndAtLeastTwoMillisecondDigits)
{
    EXPECT_EQ(elapsedTimeText(int64_t{5}), "00:00:05");
    EXPECT_EQ(elapsedTimeText(int64_t{250}), "00:00:250");
    EXPECT_EQ(elapsedTimeText(int64_t{61050}), "01:01:50");
    EXPECT_EQ(elapsedTimeText(int64_t{3600000 + 7}), "00:00:07"); // the hour is not shown
    const double start = 45000.5;
    EXPECT_EQ(elapsedTimeText(start, start + 1234.0 / 86400000.0), "00:01:234");
    EXPECT_GT(currentDateTime(), 45000.0); // after the year 2023
}

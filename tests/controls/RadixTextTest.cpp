#include "controls/RadixText.h"

#include <gtest/gtest.h>

#include <tuple>

#include <cstring>

namespace
{

// text, radix, value, index of the stop character (-1: the terminating NUL)
using StolCase = std::tuple<const char *, int, uint32_t, int>;
const StolCase stolCases[] = {
    {"  -7F", 16, 0xFFFFFF81u, -1},
    {"0x1A", 0, 26, -1},
    {"017", 0, 15, -1},
    {"$ff", -16, 255, -1},
    {"$ff", 0, 255, -1},
    {"12G", 16, 0x12, 2},
    {"4294967296", 10, 0xFFFFFFFFu, 9},
    {"4294967295", 10, 0xFFFFFFFFu, -1},
    {"2147483648", -10, 0x7FFFFFFFu, 9},
    {"-2147483648", -10, static_cast<uint32_t>(-2147483647), 10},
    {"-1", 16, 0xFFFFFFFFu, -1},
    {"", 10, 0, -1},
    {"123", 37, 0, 0},
    {"123", 1, 0, 0},
    {"101012", 2, 21, 5},
    {"zz", 36, 1295, -1},
    {"-ZZ", -36, static_cast<uint32_t>(-1295), -1},
    {"+77", -8, 63, -1},
    {"ffffffff", 16, 0xFFFFFFFFu, -1},
    {"7fffffff", -16, 0x7FFFFFFFu, -1},
    {"80000000", -16, 0x7FFFFFFFu, 7},
    {"-123", INT32_MIN, 0, 1},
};

} // namespace

TEST(RadixTextTest, StolReadsEachRadixSaturatesAndReportsWhereItStopped)
{
    for (const auto &[text, radix, value, stop] : stolCases) {
        const char *end = nullptr;
        EXPECT_EQ(static_cast<uint32_t>(stol(text, &end, radix)), value) << text << " radix " << radix;
        EXPECT_EQ(end - text, stop < 0 ? static_cast<int>(std::strlen(text)) : stop) << text << " radix " << radix;
    }
}

TEST(RadixTextTest, OnlyAsciiLettersAndDigitsAreDigits)
{
    int stop = -1;
    // Full-width digits and Latin-1 letters end the number instead of being read as digits.
    EXPECT_EQ(stol(QStringLiteral("1２3"), 10, &stop), 1);
    EXPECT_EQ(stop, 1);
    EXPECT_EQ(stol(QStringLiteral("1\u00C93"), 36, &stop), 1);
    EXPECT_EQ(stop, 1);
    EXPECT_EQ(stol(QStringLiteral("-ff"), -16, &stop), -255);
    EXPECT_EQ(stop, 3);
}

TEST(RadixTextTest, LtosWritesSignedAndUnsignedTextInEveryRadix)
{
    using Case = std::tuple<int32_t, int, const char *>;
    const Case cases[] = {{-1, -10, "-1"},
                          {-1, 16, "FFFFFFFF"},
                          {0, 2, "0"},
                          {255, 36, "73"},
                          {42, 2, "101010"},
                          {-42, -2, "-101010"},
                          {static_cast<int32_t>(0x80000000u), -10, "-2147483648"},
                          {static_cast<int32_t>(0x80000000u), 10, "2147483648"},
                          {2147483647, -16, "7FFFFFFF"},
                          {-255, -16, "-FF"},
                          {1295, 36, "ZZ"},
                          {5, 37, ""},
                          {-5, -37, "-"},
                          {-5, INT32_MIN, "-"},
                          {5, INT32_MIN, ""}};
    for (const auto &[value, radix, text] : cases)
        EXPECT_EQ(ltos(value, radix).toStdString(), text) << value << " radix " << radix;
}

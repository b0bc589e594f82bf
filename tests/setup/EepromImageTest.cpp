#include "setup/EepromImage.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace
{

template <size_t N> QByteArray bytes(const std::array<uint8_t, N> &image)
{
    return QByteArray(reinterpret_cast<const char *>(image.data()), N);
}

// The bits each field of an area and editor covers, by packing all ones into zeros.
std::vector<uint8_t> fieldMask(const EepromField &f, int size)
{
    std::vector<uint8_t> image(static_cast<size_t>(size));
    FieldValues all{{QLatin1String(f.control), f.rule == FieldRule::Bits ? -1 : 0}};
    if (f.rule == FieldRule::Speed) // no single index sets both speed bits: OR index 1 and 2
        for (int index : {1, 2}) {
            std::vector<uint8_t> one(static_cast<size_t>(size));
            packFields(f.area, f.editors, {{QLatin1String(f.control), index}}, one);
            for (int i = 0; i < size; ++i)
                image[static_cast<size_t>(i)] |= one[static_cast<size_t>(i)];
        }
    else if (f.rule == FieldRule::ModeCode)
        image[static_cast<size_t>(f.byte)] = 0xFF;
    else
        packFields(f.area, f.editors, all, image);
    return image;
}

} // namespace

TEST(EepromImageTest, EveryBitBelongsToOneFieldOrToTheListOfBitsWithoutAControl)
{
    const struct {
        int area;
        unsigned editor;
        int size;
        int controls;
        std::vector<std::pair<int, int>> uncontrolled; // byte, bits that no control edits
    } areas[] = {
        {1, EditorAllSetRom, EepromArea1Size, 89, {{4, 0x81}, {8, 0x03}, {30, 0xB8}}},
        {2, EditorAllSetRom, EepromArea2Size, 32, {{0, 0xFF}}},
        // The single dialog reads words 1-2, 4, 12-14, 16, 17 and 20; byte 23 goes back as read.
        {1,
         EditorSetRom,
         EepromArea1Size,
         0,
         {{4, 0xFF}, {5, 0xFF}, {8, 0xFF}, {9, 0xFF}, {23, 0xFF}, {28, 0xFF}, {29, 0xFF}, {30, 0xB8}}},
        {2, EditorSetEeprom2, EepromArea2Size, 0, {{0, 0xFF}}},
    };
    for (const auto &a : areas) {
        std::vector<uint8_t> covered(static_cast<size_t>(a.size));
        for (auto [byte, bits] : a.uncontrolled)
            covered[static_cast<size_t>(byte)] = static_cast<uint8_t>(bits);
        int count = 0;
        for (const EepromField &f : eepromFields()) {
            if (f.area != a.area || !(f.editors & a.editor))
                continue;
            ++count;
            const std::vector<uint8_t> mask = fieldMask(f, a.size);
            for (int i = 0; i < a.size; ++i) {
                EXPECT_EQ(covered[static_cast<size_t>(i)] & mask[static_cast<size_t>(i)], 0)
                    << f.control << " overlaps at byte " << i;
                covered[static_cast<size_t>(i)] |= mask[static_cast<size_t>(i)];
            }
        }
        if (a.controls) {
            EXPECT_EQ(count, a.controls) << "area " << a.area;
        }
        const bool editsTheWholeArea = a.editor != EditorSetRom || a.area != 1;
        for (int i = 0; i < a.size; ++i) {
            const bool unread = (i >= 10 && i <= 21) || (i >= 34 && i <= 37); // not read by the single dialog
            if (editsTheWholeArea || !unread) {
                EXPECT_EQ(covered[static_cast<size_t>(i)], 0xFF)
                    << "area " << a.area << " editor " << a.editor << " byte " << i;
            }
        }
    }
}

TEST(EepromImageTest, FieldsPackIntoHandComputedBytesAndReadBack)
{
    const struct {
        const char *control;
        int64_t value;
        int byte;
        QByteArray expected; // the bytes from `byte` on; the rest of the image stays zero
    } rows[] = {
        {"EdTagId", 0xA5, 0, bytesOf({0xA5})},
        {"EdUserCode", 0xBEEF, 2, bytesOf({0xEF, 0xBE})},
        {"RGTag", 6, 4, bytesOf({0x0C})},
        {"RGSpeed", 1, 4, bytesOf({0x40})},
        {"EdAFIValue", 0x1FF, 5, bytesOf({0xFF})}, // low 8 bits, no range check
        {"CBMode2", 3, 6, bytesOf({0x03})},
        {"RGTWICECHK", 1, 6, bytesOf({0x80})},
        {"RGD_NOCHK", -1, 7, bytesOf({0x01})}, // a group with nothing selected packs as 1
        {"RGMemSw15", 1, 7, bytesOf({0x80})},
        {"RGAntiCol", 1, 8, bytesOf({0x04})},
        {"RGTxData", 1, 8, bytesOf({0x20})},
        {"CBSpeed", 1, 8, bytesOf({0x40})},
        {"CBSpeed", 2, 8, bytesOf({0x80})},
        {"ComboBox1", 5, 9, bytesOf({0x24})},
        {"ComboBox1", 13, 9, bytesOf({0x59})},
        {"EdTimer1", 0x12345678, 10, bytesOf({0x78, 0x56, 0x34, 0x12})},
        {"EdTimer3", 0xFFFFFFFF, 18, bytesOf({0xFF, 0xFF, 0xFF, 0xFF})},
        {"EdRetry", 7, 22, bytesOf({0x07})},
        {"EdScanM_mode", 0xF, 23, bytesOf({0x0F})},
        {"RGEdScanM_bit7", 1, 23, bytesOf({0x80})},
        {"EdChkDataNum", 0x0102, 24, bytesOf({0x02, 0x01})},
        {"EdChkDataTime", 9, 29, bytesOf({0x09})},
        {"RGPORTSEL3", 1, 30, bytesOf({0x04})},
        {"RGPORTSEL7", 1, 30, bytesOf({0x40})},
        {"RGMemSW47", 1, 31, bytesOf({0x80})},
        {"RGPORTIO8", 1, 32, bytesOf({0x80})},
        {"RGPORTDefault1", 1, 33, bytesOf({0x01})},
        {"EdmydBlockSize", 8, 37, bytesOf({0x08})},
        {"RGMemSW57", 1, 38, bytesOf({0x80})},
        {"EdSelAntena", 7, 39, bytesOf({0x0E})},
        {"RGMemSW64", 1, 39, bytesOf({0x10})},
    };
    const struct {
        const char *control;
        int64_t value;
        int byte;
        QByteArray expected;
    } rows2[] = {
        {"EdChgWaitTime", 8, 1, bytesOf({0x08})},       {"EdANT1_SELNUM", 5, 2, bytesOf({0x05})},
        {"EdANT2_SELNUM", 5, 2, bytesOf({0x50})},       {"EdANT7_SELNUM", 0x13, 5, bytesOf({0x03})},
        {"EdANT8_SELNUM", 8, 5, bytesOf({0x80})},       {"EdDataLen", 4, 7, bytesOf({0x04})},
        {"RGMemSW71", 1, 8, bytesOf({0x02})},           {"RGMemSW87", 1, 9, bytesOf({0x80})},
        {"EdMem7", 0x1234, 12, bytesOf({0x34, 0x12})},  {"EdBuzFreq", 0x3F, 16, bytesOf({0x3F, 0x00})},
        {"EdMem10", 0xA55A, 18, bytesOf({0x5A, 0xA5})}, {"RGCheckMode", 3, 18, bytesOf({0x03})},
        {"RBKensa1_bit5", 1, 18, bytesOf({0x20})},      {"IntEdit1", 0x7F, 19, bytesOf({0x7F})},
    };
    auto check = [](int area, int size, const char *control, int64_t value, int byte, const QByteArray &expected) {
        const EepromField *f = eepromField(QLatin1String(control));
        ASSERT_TRUE(f) << control;
        std::vector<uint8_t> image(static_cast<size_t>(size));
        packFields(area, f->editors, {{QLatin1String(control), value}}, image);
        QByteArray want(size, '\0');
        want.replace(byte, expected.size(), expected);
        const QByteArray got(reinterpret_cast<const char *>(image.data()), size);
        EXPECT_EQ(got, want) << control << "\n got " << hexOf(got) << "\nwant " << hexOf(want);
        const int64_t bits = f->bits >= 32 ? value : value & ((1LL << f->bits) - 1);
        EXPECT_EQ(unpackFields(area, f->editors, image, true).value(QLatin1String(control)), bits) << control;
    };
    for (const auto &r : rows)
        check(1, EepromArea1Size, r.control, r.value, r.byte, r.expected);
    for (const auto &r : rows2)
        check(2, EepromArea2Size, r.control, r.value, r.byte, r.expected);
}

TEST(EepromImageTest, ModeByteParityClearsBitZeroAndMakesBitsOneToSevenEven)
{
    for (auto [in, out] : {std::pair{0xD4, 0xD4},
                           {0x02, 0x82},
                           {0x01, 0x00},
                           {0x80, 0x00},
                           {0xFF, 0x7E},
                           {0xD5, 0xD4},
                           {0x7F, 0x7E},
                           {0x06, 0x06},
                           {0x0E, 0x8E}})
        EXPECT_EQ(ModeByteParity(static_cast<uint8_t>(in)), out) << std::hex << in;
}

TEST(EepromImageTest, WholeImagePackingTakesTheWindowsShareAndKeepsByteThirtysFreeBits)
{
    EepromWindowValues window;
    window.SysMode = 0xFF; // bits 0-1 reach byte 8; the controls decide bits 2-7
    window.Eep2Byte0 = 0x5C;
    EepromData base{};
    base[30] = 0xFF;
    FieldValues values = EepromImageToFields1(EepromData{}, window);
    values["RGTag"] = 2;
    values["RGModul"] = 1;
    values["RGAmFm"] = 0;
    values["RGSpeed"] = 1;
    values["EdAFIValue"] = 0x3C;
    values["RGAntiCol"] = 1;
    values["CBSpeed"] = 0;
    values["ComboBox1"] = 4;
    const EepromData image = FieldsToEepromImage1(values, base, window);
    EXPECT_EQ(image[4], 0xD4);
    EXPECT_EQ(image[5], 0x3C);
    EXPECT_EQ(window.TagAFI, 0x3C);
    EXPECT_EQ(image[8], 0x07);
    EXPECT_EQ(image[9], 0x50);
    EXPECT_EQ(image[30], 0xB8); // the four port groups are 0, bits 3-5 and 7 come from the base

    // The factory defaults show as their table says and pack back unchanged but for byte 4's bit 0.
    window.SysMode = 0x18;
    const FieldValues defaults = EepromImageToFields1(factoryDefaults1(), window);
    EXPECT_EQ(defaults.value("RGTag"), 2);
    EXPECT_EQ(defaults.value("RGModul"), 1);
    EXPECT_EQ(defaults.value("EdTimer1"), 4375);
    EXPECT_EQ(defaults.value("EdTimer2"), 1562);
    EXPECT_EQ(defaults.value("EdTimRegData"), 0x18);
    EXPECT_EQ(defaults.value("RGPORTDefault8"), 1);
    EXPECT_EQ(defaults.value("GbBuzzer"), 1);
    EXPECT_EQ(defaults.value("CBSpeed"), 0);
    EepromData expected = factoryDefaults1();
    expected[4] = 0xD4;
    EXPECT_EQ(bytes(FieldsToEepromImage1(defaults, factoryDefaults1(), window)), bytes(expected));

    // Area 2: byte 0 from the window, the rest from the controls, MemSw78 from the groups.
    EepromData2 area2{};
    area2[0] = 0x11;
    area2[8] = 0xA5;
    area2[9] = 0x3C;
    area2[18] = 0x7E;
    FieldValues fields2 = EepromImageToFields2(area2, window);
    EXPECT_EQ(window.Eep2Byte0, 0x11);
    fields2["RGMemSW70"] = 0;
    fields2["RGMemSW87"] = 1;
    window.Eep2Byte0 = 0x22;
    const EepromData2 packed2 = FieldsToEepromImage2(fields2, window);
    EXPECT_EQ(hexOf(bytes(packed2)), "22 00 00 00 00 00 00 00 A4 BC 00 00 00 00 00 00 00 00 7E 00");
    EXPECT_EQ(window.MemSw78[0], 0xA4);
    EXPECT_EQ(window.MemSw78[1], 0xBC);
}

TEST(EepromImageTest, ModeCodesAndSpeedBitsMapThroughTheirLists)
{
    EXPECT_EQ(dousaModeNames().size(), 14);
    for (auto [code, index] :
         {std::pair{0x00, 0}, {0x03, 3}, {0x50, 4}, {0x24, 5}, {0x54, 9}, {0x56, 10}, {0x59, 13}, {0x55, 0}, {0xFF, 0}})
        EXPECT_EQ(modeIndexOfCode(static_cast<uint8_t>(code)), index) << std::hex << code;
    for (auto [index, code] : {std::pair{0, 0x00}, {4, 0x50}, {12, 0x58}, {-1, 0x00}, {14, 0x00}})
        EXPECT_EQ(modeCodeOfIndex(index), code) << index;

    // flags, ver121, index shown, flags packed back from that index (bits 0-5 kept)
    for (auto [flags, ver121, index, packed] : {std::tuple{0x00, false, 0, 0x00},
                                                {0x40, false, 1, 0x40},
                                                {0xC0, true, 2, 0x80},
                                                {0x80, true, 2, 0x80},
                                                {0x83, false, -1, 0x03},
                                                {0xFF, false, -1, 0x3F}}) {
        const FieldValues shown = ModeBytesToFields(static_cast<uint8_t>(flags), 0x55, ver121);
        EXPECT_EQ(shown.value("CBSpeed"), index) << std::hex << flags;
        EXPECT_EQ(shown.value("ComboBox1"), 0);
        uint8_t f = static_cast<uint8_t>(flags), code = 0x55;
        FieldsToModeBytes(shown, f, code);
        EXPECT_EQ(f, packed) << std::hex << flags;
        EXPECT_EQ(code, 0x00);
    }
    EXPECT_EQ(speedItems(false), (QStringList{"19.2Kbps", "9600bps"}));
    EXPECT_EQ(speedItems(true).value(2), "38.4kbps");
}

TEST(EepromImageTest, ComparisonLooksAtTheBitsEachControlShowsOnly)
{
    const EepromData a = factoryDefaults1();
    const struct {
        int byte;
        int xorMask;
        QStringList differing;
    } rows[] = {
        {4, 0x81, {}}, // bit 0 and the parity bit
        {8, 0x03, {}},
        {30, 0xB8, {}},
        {4, 0x02, {"RGTag"}},
        {8, 0xC0, {"CBSpeed"}},
        {9, 0x55, {"ComboBox1"}}, // 0x55 shows as command mode too, yet the bytes differ
        {23, 0x10, {"RGEdScanM_bit4"}},
        {39, 0x0F, {"RGMemSW60", "EdSelAntena"}},
        {13, 0x01, {"EdTimer1"}},
    };
    for (const auto &r : rows) {
        EepromData b = a;
        b[static_cast<size_t>(r.byte)] ^= static_cast<uint8_t>(r.xorMask);
        EXPECT_EQ(differingFields(1, EditorAllSetRom, a, b), r.differing) << r.byte;
    }
    EepromData2 x{}, y{};
    y[0] = 0xFF;
    y[3] = 0x10;
    EXPECT_EQ(differingFields(2, EditorAllSetRom, x, y), QStringList{"EdANT4_SELNUM"});
}

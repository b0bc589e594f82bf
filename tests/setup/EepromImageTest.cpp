#include "setup/EepromImage.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace
{

template <size_t N> std::string hexOfImage(const std::array<uint8_t, N> &image)
{
    return hexOf(std::vector<uint8_t>(image.begin(), image.end()));
}

} // namespace

TEST(EepromImageTest, EveryBitBelongsToOneFieldOrToTheListOfBitsWithoutAControl)
{
    // area, size, controls of the whole-image editor, the bits no control edits (byte, bits)
    for (auto [area, size, controls, free] :
         {std::tuple{1, EepromArea1Size, 89, std::vector<std::pair<int, int>>{{4, 0x81}, {8, 0x03}, {30, 0xB8}}},
          {2, EepromArea2Size, 32, {{0, 0xFF}}}}) {
        std::vector<uint8_t> covered(static_cast<size_t>(size));
        for (auto [byte, bits] : free)
            covered[static_cast<size_t>(byte)] = static_cast<uint8_t>(bits);
        int count = 0;
        for (const EepromField &f : eepromFields()) {
            if (f.area != area || !(f.editors & EditorAllSetRom))
                continue;
            ++count;
            // The field's bits: all ones packed into zeros (both speed indexes for the speed bits).
            std::vector<uint8_t> mask(static_cast<size_t>(size));
            for (int64_t value : {int64_t{-1}, int64_t{1}, int64_t{2}}) {
                std::vector<uint8_t> one(static_cast<size_t>(size));
                packFields(area, EditorAllSetRom, {{QLatin1String(f.control), value}}, one);
                for (int i = 0; i < size; ++i)
                    mask[size_t(i)] |= f.rule == FieldRule::ModeCode && i == f.byte ? 0xFF : one[size_t(i)];
            }
            for (int i = 0; i < size; ++i) {
                EXPECT_EQ(covered[size_t(i)] & mask[size_t(i)], 0) << f.control << " overlaps at byte " << i;
                covered[size_t(i)] |= mask[size_t(i)];
            }
        }
        EXPECT_EQ(count, controls) << "area " << area;
        EXPECT_EQ(hexOf(covered), hexOf(std::vector<uint8_t>(size_t(size), 0xFF))) << "area " << area;
    }
}

TEST(EepromImageTest, FieldsPackIntoHandComputedBytesAndReadBack)
{
    const struct {
        int area;
        const char *control;
        int64_t value;
        int byte;
        QByteArray expected; // the bytes from `byte` on; the rest of the image stays zero
    } rows[] = {
        {1, "EdUserCode", 0xBEEF, 2, bytesOf({0xEF, 0xBE})},
        {1, "RGTag", 6, 4, bytesOf({0x0C})},
        {1, "EdAFIValue", 0x1FF, 5, bytesOf({0xFF})}, // low 8 bits, no range check
        {1, "RGD_NOCHK", -1, 7, bytesOf({0x01})},     // a group with nothing selected packs as 1
        {1, "RGTxData", 1, 8, bytesOf({0x20})},
        {1, "CBSpeed", 1, 8, bytesOf({0x40})},
        {1, "ComboBox1", 5, 9, bytesOf({0x24})},
        {1, "EdTimer1", 0x12345678, 10, bytesOf({0x78, 0x56, 0x34, 0x12})},
        {1, "EdScanM_mode", 0x1F, 23, bytesOf({0x0F})},
        {1, "RGPORTSEL7", 1, 30, bytesOf({0x40})},
        {1, "RGPORTDefault8", 1, 33, bytesOf({0x80})},
        {1, "EdSelAntena", 7, 39, bytesOf({0x0E})},
        {2, "EdANT2_SELNUM", 5, 2, bytesOf({0x50})},
        {2, "EdANT7_SELNUM", 0x13, 5, bytesOf({0x03})},
        {2, "RGMemSW87", 1, 9, bytesOf({0x80})},
        {2, "EdMem10", 0xA55A, 18, bytesOf({0x5A, 0xA5})},
        {2, "RGCheckMode", 3, 18, bytesOf({0x03})},
        {2, "IntEdit1", 0x7F, 19, bytesOf({0x7F})},
    };
    for (const auto &r : rows) {
        const EepromField *f = eepromField(QLatin1String(r.control));
        ASSERT_TRUE(f) << r.control;
        const int size = r.area == 1 ? EepromArea1Size : EepromArea2Size;
        std::vector<uint8_t> image(static_cast<size_t>(size));
        packFields(r.area, f->editors, {{QLatin1String(r.control), r.value}}, image);
        QByteArray want(size, '\0');
        want.replace(r.byte, r.expected.size(), r.expected);
        EXPECT_EQ(hexOf(image), hexOf(want)) << r.control;
        const int64_t shown = f->bits >= 32 ? r.value : r.value & ((1LL << f->bits) - 1);
        EXPECT_EQ(unpackFields(r.area, f->editors, image, true).value(QLatin1String(r.control)), shown) << r.control;
    }
}

TEST(EepromImageTest, ModeByteParityClearsBitZeroAndMakesBitsOneToSevenEven)
{
    for (auto [in, out] : {std::pair{0xD4, 0xD4}, {0x02, 0x82}, {0x01, 0x00}, {0xFF, 0x7E}, {0xD5, 0xD4}, {0x0E, 0x8E}})
        EXPECT_EQ(ModeByteParity(static_cast<uint8_t>(in)), out) << std::hex << in;
}

TEST(EepromImageTest, WholeImagePackingTakesTheWindowsShareAndKeepsByteThirtysFreeBits)
{
    EepromWindowValues window;
    window.SysMode = 0xFF; // bits 0-1 reach byte 8; the controls decide bits 2-7
    EepromData base{};
    base[30] = 0xFF;
    FieldValues values = EepromImageToFields1(EepromData{}, window);
    values["RGTag"] = 2;
    values["RGModul"] = 1;
    values["RGSpeed"] = 1;
    values["EdAFIValue"] = 0x3C;
    values["RGAntiCol"] = 1;
    values["ComboBox1"] = 4;
    const EepromData image = FieldsToEepromImage1(values, base, window);
    EXPECT_EQ(hexOf(std::vector<uint8_t>(image.begin() + 4, image.begin() + 10)), "D4 3C 00 00 07 50");
    EXPECT_EQ(window.TagAFI, 0x3C);
    EXPECT_EQ(image[30], 0xB8); // the port groups are 0; bits 3-5 and 7 come from the base

    // Area 2: byte 0 from the window, the rest from the controls, MemSw78 from the groups.
    EepromData2 area2{};
    area2[0] = 0x11;
    area2[8] = 0xA5;
    area2[18] = 0x7E;
    FieldValues fields2 = EepromImageToFields2(area2, window);
    EXPECT_EQ(window.Eep2Byte0, 0x11);
    fields2["RGMemSW70"] = 0;
    fields2["RGMemSW87"] = 1;
    window.Eep2Byte0 = 0x22;
    EXPECT_EQ(hexOfImage(FieldsToEepromImage2(fields2, window)),
              "22 00 00 00 00 00 00 00 A4 80 00 00 00 00 00 00 00 00 7E 00");
    EXPECT_EQ(window.MemSw78[0] << 8 | window.MemSw78[1], 0xA480);
}

TEST(EepromImageTest, ModeCodesAndSpeedBitsMapThroughTheirLists)
{
    for (auto [code, index] : {std::pair{0x00, 0}, {0x50, 4}, {0x24, 5}, {0x56, 10}, {0x59, 13}, {0x55, 0}})
        EXPECT_EQ(modeIndexOfCode(static_cast<uint8_t>(code)), index) << std::hex << code;
    EXPECT_EQ(modeCodeOfIndex(-1), 0x00);
    EXPECT_EQ(modeCodeOfIndex(14), 0x00);

    // flags, ver121, index shown, flags packed back from that index (bits 0-5 kept)
    for (auto [flags, ver121, index, packed] :
         {std::tuple{0x00, false, 0, 0x00}, {0x40, false, 1, 0x40}, {0xC0, true, 2, 0x80}, {0x83, false, -1, 0x03}}) {
        const FieldValues shown = ModeBytesToFields(static_cast<uint8_t>(flags), 0x55, ver121);
        EXPECT_EQ(shown.value("CBSpeed"), index) << std::hex << flags;
        uint8_t f = static_cast<uint8_t>(flags), code = 0x55;
        FieldsToModeBytes(shown, f, code);
        EXPECT_EQ(f, packed) << std::hex << flags;
        EXPECT_EQ(code, 0x00);
    }
}

TEST(EepromImageTest, ComparisonLooksAtTheBitsEachControlShowsOnly)
{
    const EepromData a = factoryDefaults1();
    for (auto [byte, flip, differing] : {std::tuple{4, 0x81, QStringList{}},
                                         {8, 0x03, {}},
                                         {30, 0xB8, {}},
                                         {8, 0xC0, {"CBSpeed"}},
                                         {9, 0x55, {"ComboBox1"}},
                                         {39, 0x0F, {"RGMemSW60", "EdSelAntena"}}}) {
        EepromData b = a;
        b[static_cast<size_t>(byte)] ^= static_cast<uint8_t>(flip);
        EXPECT_EQ(differingFields(1, EditorAllSetRom, a, b), differing) << byte;
    }
}

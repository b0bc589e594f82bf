#include "link/SendData.h"
#include "link/GateRecords.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

TEST(SendDataTest, LayoutsThatWouldOverflowLenAreRefused)
{
    PolWriteArgs pol;
    pol.n = 245;
    EXPECT_TRUE(polWriteData(pol));
    pol.n = 246;
    EXPECT_FALSE(polWriteData(pol));
    pol.n = 237;
    pol.requestFlags = 1;
    EXPECT_TRUE(polWriteData(pol));

    EXPECT_TRUE(eepromWriteData(0x70, 1, 126, {}));

    // 255 becomes 250 before the test; 252..254 do not fit beside the four zero bytes.
    EXPECT_EQ(dousaModeSetJData(255, {})->size(), 254);
    EXPECT_EQ(dousaModeSetJData(251, {})->size(), 255);
    EXPECT_FALSE(dousaModeSetJData(252, {}));
    EXPECT_FALSE(dousaModeSetJData(254, {}));

    EXPECT_FALSE(ramWriteData(0, 0, 0));

    const std::vector<uint8_t> uid(8, 0xE0);
    EXPECT_TRUE(tagCommandData(0x24, "\x01\x02", {}, 251, 0x00, uid));
    EXPECT_FALSE(tagCommandData(0x24, "\x01\x02", {}, 251, 0x01, uid));
    EXPECT_TRUE(tagCommandData(0x24, "\x01\x02", {}, 243, 0x01, uid));
    // A block size taken from a file may be anything: the product is computed without wrapping.
    EXPECT_FALSE(blockDataLength(-4, 1));
    EXPECT_EQ(*blockDataLength(4, 256), 1024u);
    EXPECT_GT(*blockDataLength(0x100000000LL, 256), maxDataLength);
    EXPECT_GT(*blockDataLength(0x7FFFFFFF, 1), maxDataLength);
}

TEST(SendDataTest, AnswerChecksReadOnlyInsideData)
{
    const QByteArray eeprom = bytesOf({0x02, 0x00, 0x30, 0x05, 0x70, 0x01, 0x02, 0xB1, 0xB2, 0x03, 0x00, 0x0D});
    EXPECT_EQ(checkAnswer(eeprom, "\x70\x01\x02", 2), AnswerCheck::Ok);
    // Echo bytes that are missing make the answer short, not a wrong echo.
    EXPECT_EQ(checkAnswer(bytesOf({0x02, 0x00, 0x30, 0x01, 0x71, 0x03, 0x00, 0x0D}), "\x70\x01\x02", 0),
              AnswerCheck::Short);
    // LEN claiming more bytes than the frame holds is short, not a read past its end.
    EXPECT_EQ(checkAnswer(eeprom.left(8), "\x70", 0), AnswerCheck::Short);
}

TEST(SendDataTest, GateCountRecordsReadAndWriteTheirFieldsLowByteFirst)
{
    QByteArray bytes;
    for (int i = 1; i <= 37; ++i)
        bytes.append(static_cast<char>(i));
    const auto m750 = GateCount2Record::fromBytes(bytes);
    ASSERT_TRUE(m750);
    const GateCount2Record::Aisle &aisle2 = m750->aisles[1];
    EXPECT_EQ(
        QString::asprintf("%08X %08X %04X %04X", aisle2.personsIn, aisle2.personsOut, aisle2.alarmsIn, aisle2.alarmsOut)
            .toStdString(),
        "100F0E0D 14131211 1615 1817");
    EXPECT_EQ(hexOf(m750->toBytes()), hexOf(bytes.first(36)));
    EXPECT_EQ(hexOf(GateCountRecord::fromBytes(bytes)->toBytes()), hexOf(bytes.first(12)));
    // A count event shorter than its record is no record.
    EXPECT_FALSE(GateCount2Record::fromBytes(bytes.first(35)));
    EXPECT_FALSE(GateCountRecord::fromBytes(bytes.first(11)));
}

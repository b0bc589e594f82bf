#include "link/SendData.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

const std::vector<uint8_t> uid{0xE0, 0x07, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
const std::vector<uint8_t> data12{0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xAB, 0xAC};

QByteArray ackFrame(std::initializer_list<int> data)
{
    QByteArray f = bytesOf({0x02, 0x00, 0x30, static_cast<int>(data.size())});
    f += bytesOf(data);
    f += bytesOf({0x03, 0x00, 0x0D});
    return f;
}

struct LayoutRow {
    const char *what;
    QByteArray got;
    QByteArray expected;
};

} // namespace

TEST(SendDataTest, LayoutsPutArgumentsInWireOrder)
{
    const std::vector<uint8_t> three{0xD1, 0xD2, 0xD3};
    const LayoutRow rows[] = {
        {"buzzer: first before number", buzzerData(3, 0x44), bytesOf({0x44, 0x03})},
        {"RAM read: address high first, six 00", ramReadData(0x1234, 0x56),
         bytesOf({0x91, 0x12, 0x34, 0x56, 0, 0, 0, 0, 0, 0})},
        {"RAM write: top n bytes of the value", *ramWriteData(0x1234, 2, 0xABCD0000),
         bytesOf({0x92, 0x12, 0x34, 0x02, 0xAB, 0xCD, 0, 0, 0, 0})},
        {"RAM write: four bytes most significant first", *ramWriteData(0xBEEF, 4, 0x11223344),
         bytesOf({0x92, 0xBE, 0xEF, 0x04, 0x11, 0x22, 0x33, 0x44, 0, 0})},
        {"operating mode: polling time high first", txDousaModeData(0x01, 0x62, 0x73, 0x0105, false, 7),
         bytesOf({0x00, 0x01, 0x62, 0x73, 0x01, 0x01, 0x05})},
        {"operating mode: write test takes the block number", txDousaModeData(0x51, 0x62, 0x73, 0x0105, true, 7),
         bytesOf({0x10, 0x51, 0x62, 0x73, 0x01, 0x07, 0x00})},
        {"mode J: four zero bytes then the data, shortfall 00", *dousaModeSetJData(5, three),
         bytesOf({0, 0, 0, 0, 0xD1, 0xD2, 0xD3, 0x00, 0x00})},
        {"EEPROM write: 2n bytes as given", *eepromWriteData(0x70, 0x03, 2, three),
         bytesOf({0x70, 0x03, 0x02, 0xD1, 0xD2, 0xD3, 0x00})},
        {"UID write: eight bytes in stored order", uidWriteData(uid), bytesOf({0x50, 0xE0, 7, 1, 2, 3, 4, 5, 6})},
        {"tag command: params, data, flags, UID when addressed",
         *tagCommandData(0x24, QByteArrayView("\x02\x01", 2), data12, 8, 0x21, uid),
         bytesOf({0x24, 0x02, 0x01, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0x21, 0xE0, 7, 1, 2, 3, 4, 5, 6})},
        {"tag command: UID mode 3 is not addressed", *tagCommandData(0x20, QByteArrayView("\x05", 1), {}, 0, 0x13, uid),
         bytesOf({0x20, 0x05, 0x13})},
        {"stay quiet: UID from the argument whatever the flags", tagUidCommandData(0x02, 0x00, uid),
         bytesOf({0x02, 0x00, 0xE0, 7, 1, 2, 3, 4, 5, 6})},
        {"select: short UID filled with 00", tagUidCommandData(0x25, 0x01, std::span(uid).first(3)),
         bytesOf({0x25, 0x01, 0xE0, 0x07, 0x01, 0, 0, 0, 0, 0})},
    };
    for (const auto &r : rows)
        EXPECT_EQ(hexOf(r.got), hexOf(r.expected)) << r.what;
}

TEST(SendDataTest, PolWriteAppendsTheUidOnlyInAddressedMode)
{
    PolWriteArgs a;
    a.modeCode = 0x23;
    a.second = 0x62;
    a.flags = 0x73;
    a.pollingTime = 0x0A0B;
    a.windowBlockNo = 0x99;
    a.blockNo = 0x04;
    a.n = 2;
    a.data = data12;
    a.requestFlags = 0x01;
    a.uid = uid;
    EXPECT_EQ(hexOf(*polWriteData(a)), hexOf(bytesOf({0x00, 0x23, 0x62, 0x73, 0x01, 0x0A, 0x0B, 0x04, 0x02, 0xA1,
                                                      0xA2, 0x01, 0xE0, 7,    1,    2,    3,    4,    5,    6})));
    a.requestFlags = 0x02;
    EXPECT_EQ(polWriteData(a)->size(), 12);
}

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
    pol.n = 238;
    EXPECT_FALSE(polWriteData(pol));

    EXPECT_TRUE(eepromWriteData(0x70, 1, 126, {}));
    EXPECT_FALSE(eepromWriteData(0x70, 1, 127, {}));

    // 255 becomes 250 before the test; 252..254 do not fit beside the four zero bytes.
    EXPECT_EQ(dousaModeSetJData(255, {})->size(), 254);
    EXPECT_EQ(dousaModeSetJData(251, {})->size(), 255);
    EXPECT_FALSE(dousaModeSetJData(252, {}));
    EXPECT_FALSE(dousaModeSetJData(254, {}));

    EXPECT_FALSE(ramWriteData(0, 0, 0));
    EXPECT_FALSE(ramWriteData(0, 5, 0));

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
    const QByteArray eeprom = ackFrame({0x70, 0x01, 0x02, 0xB1, 0xB2, 0xB3, 0xB4});
    EXPECT_EQ(checkAnswer(eeprom, "\x70\x01\x02", 4), AnswerCheck::Ok);
    EXPECT_EQ(hexOf(answerBytes(eeprom, 3, 4)), "B1 B2 B3 B4");
    EXPECT_EQ(checkAnswer(eeprom, "\x70\x01\x03", 6), AnswerCheck::EchoMismatch);
    EXPECT_EQ(checkAnswer(eeprom, "\x70\x01\x02", 5), AnswerCheck::Short);
    EXPECT_EQ(checkAnswer(ackFrame({0x70}), "\x70\x01\x02", 0), AnswerCheck::Short);
    EXPECT_EQ(checkAnswer(ackFrame({0x71}), "\x70\x01\x02", 0), AnswerCheck::Short)
        << "echo bytes that are missing make the answer short";
    EXPECT_EQ(checkAnswer(ackFrame({}), {}, 1), AnswerCheck::Short);

    // LEN claiming more bytes than the frame holds is short, not a read past its end.
    QByteArray truncated = eeprom.left(8);
    EXPECT_EQ(checkAnswer(truncated, "\x70", 0), AnswerCheck::Short);

    const QByteArray rate = ackFrame({0x60, 0x01, 0x02, 0x03, 0x84, 0xFF, 0x00, 0x00, 0x00});
    EXPECT_EQ(checkAnswer(rate, "\x60", 8), AnswerCheck::Ok);
    EXPECT_EQ(answerU32LowFirst(rate, 1), 0x84030201u);
    EXPECT_EQ(answerU32LowFirst(rate, 5), 0xFFu);
}

TEST(SendDataTest, RomVersionNumberReadsUpToThreeDigits)
{
    const struct {
        QString text;
        int expected;
    } rows[] = {{"121", 121}, {"1215a", 121}, {"12", 12}, {"", 0}, {"1.2", 0}, {"V12", 0}, {"１２１", 0}, {" 12", 0}};
    for (const auto &r : rows) {
        EXPECT_EQ(romVersionNumber(r.text), r.expected) << r.text.toStdString();
        EXPECT_EQ(romVersionNumber(QByteArrayView(r.text.toUtf8())), r.expected) << r.text.toStdString();
    }
}

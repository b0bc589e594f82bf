#include "link/SendData.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

const std::vector<uint8_t> uid{0xE0, 0x07, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06};

QByteArray ackFrame(std::initializer_list<int> data)
{
    QByteArray f = bytesOf({0x02, 0x00, 0x30, static_cast<int>(data.size())});
    f += bytesOf(data);
    f += bytesOf({0x03, 0x00, 0x0D});
    return f;
}

} // namespace

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

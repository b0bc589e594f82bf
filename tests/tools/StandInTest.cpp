#include "platform/PendingMessages.h"
#include "tests/support/TestSupport.h"
#include "tools/standin/FrameSplitter.h"
#include "tools/standin/ReaderStandIn.h"

#include <QTcpSocket>

#include <gtest/gtest.h>

#include <tuple>

TEST(FrameSplitterTest, FramesAreCutByLenWhateverTheirBytesAndHowTheyArrive)
{
    FrameSplitter splitter;
    // Garbage, then a frame whose DATA holds 02, 03 and 0D, arriving in three pieces.
    const QByteArray frame = bytesOf({0x02, 0x00, 0x4E, 0x03, 0x02, 0x03, 0x0D, 0x03, 0x69, 0x0D});
    EXPECT_TRUE(splitter.feed(bytesOf({0x55, 0xAA}) + frame.left(2)).isEmpty());
    EXPECT_TRUE(splitter.feed(frame.mid(2, 5)).isEmpty());
    const QList<QByteArray> got = splitter.feed(frame.mid(7) + frame);
    ASSERT_EQ(got.size(), 2);
    EXPECT_EQ(hexOf(got.at(0)), hexOf(frame));
    EXPECT_EQ(hexOf(got.at(1)), hexOf(frame));
    EXPECT_EQ(splitter.pending(), 0);
}

namespace
{

// Reply frames as "code DATA" ("0 70 01 02 11 22 | i 02 00 00 ..."), the ID and sum checked.
std::string replyText(const QList<QByteArray> &frames, uint8_t id)
{
    std::string text;
    for (const QByteArray &frame : frames) {
        const QByteArray data = frame.mid(4, static_cast<uint8_t>(frame.at(3)));
        EXPECT_EQ(hexOf(frame), hexOf(peerFrame(id, static_cast<uint8_t>(frame.at(2)), data)));
        text += (text.empty() ? "" : " | ") + std::string(1, frame.at(2)) + (data.isEmpty() ? "" : " ") + hexOf(data);
    }
    return text;
}

} // namespace

// One reader over a sequence of requests: each row's answer depends on what the rows before
// it wrote.
TEST(ReaderModelTest, ReadsAnswerWhatWasWrittenAndTagsRefuseWhatTheyMust)
{
    ReaderModel model;
    const std::string tag1 = "01 02 03 04 05 06 07 E0", tag2 = "11 22 33 44 55 66 07 E0";
    const struct {
        char cmd;
        std::string data;
        std::string reply;
    } rows[] = {
        // EEPROM area 1 (words 1..20) and area 2 (words 1..10); the power-on mode flags in word 5.
        {'N', "70 02 02 11 22 33 44", "0 70"},
        {'O', "70 01 03", "0 70 01 03 00 00 11 22 33 44"},
        {'O', "70 05 01", "0 70 05 01 10 00"},
        {'O', "70 14 01", "0 70 14 01 00 00"},
        {'O', "70 14 02", "1 41 00"},
        {'N', "70 00 01 AA BB", "1 41 00"},
        {'N', "70 01 02 AA BB", "1 41 00"},
        {'N', "72 0A 01 5A A5", "0 72"},
        {'O', "72 09 02", "0 72 09 02 00 00 5A A5"},
        {'O', "72 0A 02", "1 41 00"},
        // Operating mode: stored as the power-on mode too (area 1: flags at byte 8, code at 9).
        {'N', "00 01 00 04 01 00 05", "0 00"},
        {'O', "00", "0 00 01 00 04"},
        {'N', "10 23 07 5C 01 00 05", "0 10"},
        {'O', "00", "0 00 23 07 5C"},
        {'O', "70 05 01", "0 70 05 01 5C 23"},
        // Reader parameters and the antenna.
        {'N', "AC 08", "0 AC"},
        {'O', "AC", "0 AC 08"},
        {'O', "B1", "0 B1 00"},
        {'N', "9C 02", "0 9C"},
        {'O', "9C", "0 9C 02"},
        {'N', "55 01 02 0A", "0 55"},
        {'N', "57 03 01 05 02 04", "0 57"},
        {'O', "90", "0 90 31 32 35"},
        // The ports, the current UID and the stored UIDs (those of the field); a polling write
        // switches the mode.
        {'N', "9F 07 05", "0 9F"},
        {'O', "9F", "0 9F 05"},
        {'N', "56 3C", "0 56"},
        {'O', "56", "0 56 3C"},
        {'O', "50", "0 50 " + tag1},
        {'N', "50 " + tag2, "0 50"},
        {'O', "50", "0 50 " + tag2},
        {'O', "53", "0 53 02"},
        {'O', "54 02", "0 54 02 00 " + tag2},
        {'O', "54 03", "1 41 00"},
        {'N', "00 23 00 00 01 00 05 01 02 41 42 10", "0 00"},
        {'N', "00 23 00 00 01 00 05 01 02 41 42 11", "1 41 00"},
        // Inventories of the field; a tag kept quiet answers them no more until reset.
        {'x', "01 00", "0 01 00 " + tag1},
        {'x', "F0 00 01", "0 F0 02 | i 02 00 00 " + tag1 + " " + tag2},
        {'x', "F0 00 00", "0 F0 02"},
        {'x', "02 00 " + tag1, "0 02"},
        {'x', "01 00", "0 01 00 " + tag2},
        {'x', "26 00", "0 26"},
        {'x', "01 00", "0 01 00 " + tag1},
        // Blocks: written and read back (unaddressed: the first tag; option: security byte first).
        {'x', "21 03 41 42 43 44 00", "0 21"},
        {'x', "20 03 11 " + tag1, "0 20 00 41 42 43 44"},
        {'x', "22 03 00", "0 22"},
        {'x', "22 03 00", "1 05 11"},
        {'x', "21 03 31 32 33 34 00", "1 05 12"},
        {'x', "20 03 10", "0 20 01 41 42 43 44"},
        {'x', "24 04 01 61 62 63 64 65 66 67 68 00", "0 24"},
        {'x', "23 04 01 00", "0 23 61 62 63 64 65 66 67 68"},
        {'x', "24 02 01 61 62 63 64 65 66 67 68 00", "1 05 12"},
        {'x', "23 02 00 00", "0 23 08 09 0A 0B"},
        {'x', "2C 02 02 00", "0 2C 00 01 00"},
        {'x', "20 1C 00", "1 05 10"},
        {'x', "20 00", "1 41 00"},
        {'x', "20 00 01 01 01 01 01 01 01 01 E0", "1 04 00"},
        {'x', "2B 01 " + tag2, "0 2B 0F " + tag2 + " 00 00 1B 03 01"},
        // What the model keeps nothing for is acknowledged; a quit asking for no answer gets none.
        {'N', "9D", "0 9D"},
        {'Q', "00", ""},
    };
    for (const auto &row : rows) {
        const QByteArray data = QByteArray::fromHex(QByteArray::fromStdString(row.data));
        EXPECT_EQ(replyText(model.answer(peerFrame(7, static_cast<uint8_t>(row.cmd), data)), 7), row.reply)
            << row.cmd << " " << row.data;
    }
    EXPECT_EQ(model.tags[0].blocks[3], QByteArray("ABCD"));
    EXPECT_EQ(model.param(0xAC), 8);
    EXPECT_EQ(std::tuple(model.leds[1].mode, model.leds[1].time, model.ledBuzzer.buzzerSound), std::tuple(2, 10, 2));
    QByteArray badSum = peerFrame(0, 'O', bytesOf({0x90}));
    badSum[5] = static_cast<char>(badSum[5] + 1);
    EXPECT_EQ(replyText(model.answer(badSum), 0), "1 42 00");
}

// Over loopback: a script entry answers first, the model every request no entry takes.
TEST(StandInTest, ScriptedAnswersComeBeforeTheModel)
{
    ReaderStandIn standIn;
    ASSERT_TRUE(standIn.listen(0));
    standIn.setDefaultResponder(standIn.modelReader());
    standIn.expect('O', 0x90, ReaderStandIn::ack(bytesOf({0x90, 0x39})));
    QTcpSocket program;
    program.connectToHost(QStringLiteral("127.0.0.1"), standIn.serverPort());
    ASSERT_TRUE(waitFor([&] { return standIn.isConnected(); }, 3000));
    const QByteArray rom = peerFrame(0, 'O', bytesOf({0x90}));
    QByteArray got;
    for (int i = 0; i < 2; ++i) {
        program.write(rom);
        waitFor([&] { return (got += program.readAll()).size() >= 9 + 11 * i; }, 2000);
    }
    const QByteArray scripted = peerFrame(0, '0', bytesOf({0x90, 0x39}));
    EXPECT_EQ(hexOf(got), hexOf(scripted + peerFrame(0, '0', bytesOf({0x90}) + "125")));
}

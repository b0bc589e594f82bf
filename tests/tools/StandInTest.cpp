#include "platform/PendingMessages.h"
#include "tests/support/TestSupport.h"
#include "tools/standin/FrameSplitter.h"
#include "tools/standin/ReaderStandIn.h"

#include <QTcpSocket>

#include <gtest/gtest.h>

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

// The hub's tests drive the scripted answers; this is the stand-in's own reader for trying the program.
TEST(StandInTest, PlausibleReaderAnswersTheRomVersionAndAnInventory)
{
    ReaderStandIn standIn;
    ASSERT_TRUE(standIn.listen(0));
    standIn.setDefaultResponder(ReaderStandIn::plausibleReader());
    QTcpSocket program;
    program.connectToHost(QStringLiteral("127.0.0.1"), standIn.serverPort());
    ASSERT_TRUE(waitFor([&] { return standIn.isConnected(); }, 3000));
    const auto answer = [&](const QByteArray &request, int size) {
        program.write(request);
        QByteArray bytes;
        waitFor([&] { return (bytes += program.readAll()).size() >= size; }, 2000);
        return bytes;
    };
    const QByteArray rom = answer(bytesOf({0x02, 0x07, 0x4F, 0x01, 0x90, 0x03, 0xEC, 0x0D}), 11);
    ASSERT_EQ(rom.size(), 11) << hexOf(rom);
    EXPECT_EQ(rom.at(2), '0');
    EXPECT_EQ(hexOf(rom.mid(4, 4)), "90 31 32 35");
    // Inventory: ACK with the command code, DSFID and an 8-byte UID.
    const QByteArray inventory = answer(bytesOf({0x02, 0x00, 0x78, 0x02, 0x01, 0x26, 0x03, 0xA6, 0x0D}), 17);
    ASSERT_EQ(inventory.size(), 17) << hexOf(inventory);
    EXPECT_EQ(static_cast<uint8_t>(inventory.at(4)), 0x01);
}

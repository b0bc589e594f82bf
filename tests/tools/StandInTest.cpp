#include "platform/PendingMessages.h"
#include "platform/Tick.h"
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
    EXPECT_EQ(got.at(0), frame) << hexOf(got.at(0));
    EXPECT_EQ(got.at(1), frame) << hexOf(got.at(1));
    EXPECT_EQ(splitter.pending(), 0);
}

namespace
{

// The program's side of the link: a plain socket connected to a listening stand-in.
class StandInTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(standIn.listen(0));
        program.connectToHost(QStringLiteral("127.0.0.1"), standIn.serverPort());
        ASSERT_TRUE(waitFor([&] { return standIn.isConnected(); }, 3000));
    }
    QByteArray readFor(int ms)
    {
        QByteArray bytes;
        waitFor(
            [&] {
                bytes += program.readAll();
                return false;
            },
            ms);
        return bytes + program.readAll();
    }

    ReaderStandIn standIn;
    QTcpSocket program;
};

const QByteArray romRequest = bytesOf({0x02, 0x07, 0x4F, 0x01, 0x90, 0x03, 0xEC, 0x0D});

} // namespace

TEST_F(StandInTest, ScriptAnswersMatchingRequestsInOrderAndRecordsEveryFrame)
{
    standIn.expect('O', 0x90, ReaderStandIn::ack(bytesOf({0x90, '1', '2', '5'})));
    standIn.expect('O', std::nullopt, ReaderStandIn::nack(5, 0x0F));
    standIn.expectAny(ReaderStandIn::silence());

    program.write(QByteArray("\xFF\xFE") + romRequest); // garbage before the frame is skipped
    QByteArray reply = readFor(200);
    EXPECT_EQ(reply, bytesOf({0x02, 0x07, 0x30, 0x04, 0x90, 0x31, 0x32, 0x35, 0x03, 0x68, 0x0D})) << hexOf(reply);

    program.write(romRequest);
    reply = readFor(200);
    EXPECT_EQ(reply, bytesOf({0x02, 0x07, 0x31, 0x02, 0x05, 0x0F, 0x03, 0x53, 0x0D})) << hexOf(reply);

    program.write(romRequest);
    EXPECT_TRUE(readFor(200).isEmpty());
    EXPECT_EQ(standIn.scriptLeft(), 0);
    EXPECT_EQ(standIn.received(), (QList<QByteArray>{romRequest, romRequest, romRequest}));
}

TEST_F(StandInTest, PlausibleReaderAnswersTheCommonCommands)
{
    standIn.setDefaultResponder(ReaderStandIn::plausibleReader());
    program.write(romRequest);
    const QByteArray reply = readFor(200);
    ASSERT_EQ(reply.size(), 11) << hexOf(reply);
    EXPECT_EQ(reply.at(2), '0');
    EXPECT_EQ(reply.mid(4, 4), bytesOf({0x90, '1', '2', '5'}));

    // Inventory: ACK with the command code, DSFID and an 8-byte UID.
    program.write(bytesOf({0x02, 0x00, 0x78, 0x02, 0x01, 0x26, 0x03, 0xA6, 0x0D}));
    const QByteArray inventory = readFor(200);
    ASSERT_EQ(inventory.size(), 17) << hexOf(inventory);
    EXPECT_EQ(static_cast<uint8_t>(inventory.at(4)), 0x01);
}

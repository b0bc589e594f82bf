#include "platform/PendingMessages.h"
#include "platform/Tick.h"
#include "tests/link/ReceiveFixture.h"
#include "tools/standin/ReaderStandIn.h"

#include <QTimer>

namespace
{

// The hub listening on loopback, the stand-in board connected to it, and a 100 ms timer that
// polls the collector as the main window's Timer1 does.
class WaitTest : public ReceiveTest
{
protected:
    void SetUp() override
    {
        ReceiveTest::SetUp();
        makeHub();
        board.connectTo(QStringLiteral("127.0.0.1"), static_cast<quint16>(hub->listeningPort()));
        ASSERT_TRUE(waitFor([&] { return board.isConnected() && hub->fConnected; }, 3000));
        QObject::connect(&timer1, &QTimer::timeout, [this] { hub->PollReceive(); });
        timer1.start(100);
        memo.clear();
    }
    void TearDown() override
    {
        timer1.stop();
        board.close();
        ReceiveTest::TearDown();
    }
    // What a sender does: record the command, clear the reply state, write the frame.
    void send(uint8_t cmd, const QByteArray &data)
    {
        hub->LastCmd = cmd;
        hub->ClearReplyState();
        ASSERT_GT(hub->SendFrame(buildFrame(0, cmd, data)), 0u);
    }
    // An earlier exchange that leaves this verdict in LastReply.
    void earlierExchange(const ReaderStandIn::Responder &answer)
    {
        board.expectAny(answer);
        send('N', bytesOf({0xA0, 1}));
        hub->WaitReply();
        memo.clear();
    }
    QString lastLine() const { return memo.lines.value(memo.lines.size() - 1); }

    ReaderStandIn board;
    QTimer timer1;
};

const QByteArray portAck = buildFrame(0, '0', bytesOf({0x9F, 0x5A}));
const QByteArray scanRead = buildFrame(0, 'd', bytesOf({1, 2, 3, 4, 5, 6, 7, 8}) + "tag");
const QByteArray gateCount = buildFrame(0, 'G', bytesOf({0x80, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 4, 0}));

} // namespace

TEST_F(WaitTest, AnAckOrANackEndsTheWaitAfterTheRouterTheDecoderAndThePollsTraceLine)
{
    board.expect('O', 0x9F, ReaderStandIn::ack(bytesOf({0x9F, 0x5A})));
    send('O', bytesOf({0x9F}));
    EXPECT_TRUE(hub->WaitReply());
    EXPECT_EQ(hub->PortData, 0x5A);
    EXPECT_EQ(logText(), "ServerSocket1ClientRead | PORTDATA: 0x5A | " + traceOf(portAck));

    memo.clear();
    board.expectAny(ReaderStandIn::nack(4));
    send('O', bytesOf({0x9F}));
    EXPECT_FALSE(hub->WaitReply());
    EXPECT_EQ(logText(), "ServerSocket1ClientRead | タグからの応答なし | " +
                             traceOf(buildFrame(0, '1', bytesOf({4, 0}))) + " | NACK 受信");
}

TEST_F(WaitTest, SilenceEndsTheWaitAfterTwoSecondsWithTheTimeOutLine)
{
    board.expectAny(ReaderStandIn::silence());
    send('O', bytesOf({0x9F}));
    const uint32_t start = systemTick();
    EXPECT_FALSE(hub->WaitReply());
    EXPECT_GE(ticksSince(start, systemTick()), 2000u);
    EXPECT_EQ(logText(), "レスポンス待ち　タイムオーバー");
}

TEST_F(WaitTest, AReplySplitOverSeveralPollsIsWaitedFor)
{
    board.expectAny(ReaderStandIn::split(portAck, {2, 3}, 250));
    send('O', bytesOf({0x9F}));
    EXPECT_TRUE(hub->WaitReply());
    EXPECT_EQ(memo.lines.count(QStringLiteral("PORTDATA: 0x5A")), 1);
    EXPECT_GE(memo.lines.size(), 3) << "one trace line per poll that brought bytes";
}

TEST_F(WaitTest, AFrameArrivingBeforeTheAckDoesNotEndTheWaitWithAnEarlierVerdict)
{
    for (const QByteArray &unsolicited : {scanRead, gateCount}) {
        SCOPED_TRACE(hexOf(unsolicited));
        earlierExchange(ReaderStandIn::nack(4));
        board.expectAny(ReaderStandIn::pieces({{unsolicited, 0}, {portAck, 400}}));
        send('O', bytesOf({0x9F}));
        EXPECT_TRUE(hub->WaitReply());
        EXPECT_EQ(hub->PortData, 0x5A);
        EXPECT_FALSE(memo.lines.contains(QStringLiteral("NACK 受信")));
    }
}

TEST_F(WaitTest, OnlyAnUnsolicitedFrameTimesOutWhileWaitAnyReplyTakesIt)
{
    earlierExchange(ReaderStandIn::ack(bytesOf({0xA0})));
    board.expectAny(ReaderStandIn::pieces({{scanRead, 0}}));
    send('O', bytesOf({0x9F}));
    EXPECT_FALSE(hub->WaitReply()) << "the old ACK must not answer for this command";
    EXPECT_EQ(lastLine(), "レスポンス待ち　タイムオーバー");
    EXPECT_EQ(hub->ReadCount, 1) << "the scan read is still routed";

    board.expectAny(ReaderStandIn::pieces({{scanRead, 0}}));
    send('O', bytesOf({0x9F}));
    EXPECT_TRUE(hub->WaitAnyReply());
    EXPECT_EQ(hub->ReplyState, ReplyStateScanRead);
}

TEST_F(WaitTest, WaitReplyStateSeesAStateThatALaterFrameOfThePollOverwrote)
{
    board.expectAny(ReaderStandIn::pieces({{portAck + scanRead, 0}}));
    send('O', bytesOf({0x9F}));
    EXPECT_TRUE(hub->WaitReplyState(ReplyStateAck));
    EXPECT_EQ(hub->ReplyState, ReplyStateScanRead);

    board.expectAny(ReaderStandIn::pieces({{scanRead, 0}}));
    send('O', bytesOf({0x9F}));
    EXPECT_FALSE(hub->WaitReplyState(ReplyStateScanRead)) << "the ACK before the send gives no verdict";
}

TEST_F(WaitTest, WaitsReturnFalseAtOnceWhenTheProgramIsClosing)
{
    board.expectAny(ReaderStandIn::silence());
    send('O', bytesOf({0x9F}));
    QTimer::singleShot(200, [] { setApplicationClosing(true); });
    const uint32_t start = systemTick();
    const bool result = hub->WaitReply();
    setApplicationClosing(false);
    EXPECT_FALSE(result);
    EXPECT_LT(ticksSince(start, systemTick()), 1500u);
    EXPECT_EQ(logText(), "") << "closing is no time-out";
}

#include "platform/Tick.h"
#include "tests/link/SenderFixture.h"

namespace
{

class WaitTest : public SenderHubTest
{
protected:
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
        standIn.expectAny(answer);
        send('N', bytesOf({0xA0, 1}));
        hub->WaitReply();
        memo.clear();
    }
};

const QByteArray portAck = buildFrame(0, '0', bytesOf({0x9F, 0x5A}));
const QByteArray scanRead = buildFrame(0, 'd', bytesOf({1, 2, 3, 4, 5, 6, 7, 8}) + "tag");
const QByteArray gateCount = buildFrame(0, 'G', bytesOf({0x80, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 4, 0}));

} // namespace

TEST_F(WaitTest, AnAckOrANackEndsTheWaitAfterTheRouterTheDecoderAndThePollsTraceLine)
{
    standIn.expect('O', 0x9F, ReaderStandIn::ack(bytesOf({0x9F, 0x5A})));
    send('O', bytesOf({0x9F}));
    EXPECT_TRUE(hub->WaitReply());
    EXPECT_EQ(hub->PortData, 0x5A);
    EXPECT_EQ(logText(), "ServerSocket1ClientRead | PORTDATA: 0x5A | " + traceOf(portAck));

    memo.clear();
    standIn.expectAny(ReaderStandIn::nack(4));
    send('O', bytesOf({0x9F}));
    EXPECT_FALSE(hub->WaitReply());
    EXPECT_EQ(logText(), "ServerSocket1ClientRead | タグからの応答なし | " +
                             traceOf(buildFrame(0, '1', bytesOf({4, 0}))) + " | NACK 受信");
}

TEST_F(WaitTest, SilenceEndsTheWaitAfterTwoSecondsAndASplitReplyIsWaitedFor)
{
    standIn.expectAny(ReaderStandIn::silence());
    send('O', bytesOf({0x9F}));
    const uint32_t start = systemTick();
    EXPECT_FALSE(hub->WaitReply());
    EXPECT_GE(ticksSince(start, systemTick()), 2000u);
    EXPECT_EQ(logText(), "レスポンス待ち　タイムオーバー");

    memo.clear();
    standIn.expectAny(ReaderStandIn::split(portAck, {2, 3}, 250));
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
        standIn.expectAny(ReaderStandIn::pieces({{unsolicited, 0}, {portAck, 400}}));
        send('O', bytesOf({0x9F}));
        EXPECT_TRUE(hub->WaitReply());
        EXPECT_EQ(hub->PortData, 0x5A);
        EXPECT_FALSE(memo.lines.contains(QStringLiteral("NACK 受信")));
    }
}

TEST_F(WaitTest, OnlyAnUnsolicitedFrameTimesOutWhileWaitAnyReplyTakesIt)
{
    earlierExchange(ReaderStandIn::ack(bytesOf({0xA0})));
    standIn.expectAny(ReaderStandIn::pieces({{scanRead, 0}}));
    send('O', bytesOf({0x9F}));
    EXPECT_FALSE(hub->WaitReply()) << "the old ACK must not answer for this command";
    EXPECT_EQ(memo.lines.value(memo.lines.size() - 1), "レスポンス待ち　タイムオーバー");
    EXPECT_EQ(hub->ReadCount, 1) << "the scan read is still routed";

    standIn.expectAny(ReaderStandIn::pieces({{scanRead, 0}}));
    send('O', bytesOf({0x9F}));
    EXPECT_TRUE(hub->WaitAnyReply());
    EXPECT_EQ(hub->ReplyState, ReplyStateScanRead);
}

TEST_F(WaitTest, WaitReplyStateSeesAStateThatALaterFrameOfThePollOverwrote)
{
    standIn.expectAny(ReaderStandIn::pieces({{portAck + scanRead, 0}}));
    send('O', bytesOf({0x9F}));
    EXPECT_TRUE(hub->WaitReplyState(ReplyStateAck));
    EXPECT_EQ(hub->ReplyState, ReplyStateScanRead);

    standIn.expectAny(ReaderStandIn::pieces({{scanRead, 0}}));
    send('O', bytesOf({0x9F}));
    EXPECT_FALSE(hub->WaitReplyState(ReplyStateScanRead)) << "the ACK before the send gives no verdict";
}

TEST_F(WaitTest, WaitsReturnFalseAtOnceWhenTheProgramIsClosing)
{
    standIn.expectAny(ReaderStandIn::silence());
    send('O', bytesOf({0x9F}));
    QTimer::singleShot(200, [] { setApplicationClosing(true); });
    const uint32_t start = systemTick();
    const bool result = hub->WaitReply();
    setApplicationClosing(false);
    EXPECT_FALSE(result);
    EXPECT_LT(ticksSince(start, systemTick()), 1500u);
    EXPECT_EQ(logText(), "") << "closing is no time-out";
}

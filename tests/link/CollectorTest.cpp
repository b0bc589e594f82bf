#include "tests/link/ReceiveFixture.h"

namespace
{

class CollectorTest : public ReceiveTest
{
protected:
    void SetUp() override
    {
        ReceiveTest::SetUp();
        makeHub();
        hub->fDispRecInfo = 0; // no trace lines unless a test asks for them
    }
};

// ACK to the port read: 02 00 30 02 9F 5A 03 SUM 0D.
const QByteArray portAck = buildFrame(0, '0', bytesOf({0x9F, 0x5A}));
// ACK to the mode set, no byte 02 after its STX: 02 00 30 01 00 03 36 0D.
const QByteArray modeAck = bytesOf({0x02, 0x00, 0x30, 0x01, 0x00, 0x03, 0x36, 0x0D});

} // namespace

TEST_F(CollectorTest, FrameSplitAcrossPollsIsDecodedOnce)
{
    hub->fDispRecInfo = 1;
    hub->LastCmd = 'O';
    hub->ClearReplyState();
    pushAndPoll(portAck.left(3));
    EXPECT_EQ(hub->ReplyState, 0);
    pushAndPoll(portAck.mid(3));
    hub->PollReceive();
    EXPECT_EQ(hub->ReplyState, ReplyStateAck);
    EXPECT_EQ(hub->PortData, 0x5A);
    EXPECT_EQ(logText(), traceOf(portAck.left(3)) + " | PORTDATA: 0x5A | " + traceOf(portAck.mid(3)));
}

TEST_F(CollectorTest, GarbageBeforeTheStartByteIsSkippedAndControlBytesInsideDataAreData)
{
    pushAndPoll(bytesOf({0x00, 0x0D, 0x03, 0xFF}) + reply('D', bytesOf({0x02, 0x03, 0x0D, 'A'})) + reply('D', "B"));
    ASSERT_EQ(hub->ReadCount, 2);
    EXPECT_EQ(hexOf(hub->ReadTable[0].textA), "02 03 0D 41");
    EXPECT_EQ(hub->ReadTable[1].textA, "B");
    EXPECT_EQ(logText(), "") << "no message for the garbage";
}

TEST_F(CollectorTest, DamagedFramesAreReportedDroppedAndTheNextFrameIsStillFound)
{
    struct Case {
        const char *name;
        int index; // byte of modeAck to change
        uint8_t value;
        const char *line;
    };
    const Case cases[] = {
        {"bad CR", 7, 0x0A, "ERROR： NO CR_CODE"},
        {"bad SUM", 6, 0x37, "SUM EEROR"},
        {"bad ETX", 5, 0x04, "SUM EEROR"},
    };
    hub->LastCmd = 'N';
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        memo.clear();
        hub->ClearReplyState();
        QByteArray bad = modeAck;
        bad[1] = 0x07;
        bad[6] = static_cast<char>(bad[6] + 7);
        bad[c.index] = static_cast<char>(c.value);
        if (c.index == 5)
            bad[6] = static_cast<char>(FrameChecksum(bad)); // only the ETX is wrong
        pushAndPoll(bad);
        EXPECT_EQ(hub->ReplyState, 0);
        EXPECT_EQ(hub->LastReplyId, c.index == 7 ? 0 : 7) << "taken from every frame with its CR";
        pushAndPoll(modeAck);
        EXPECT_EQ(logText(), std::string(c.line) + " | DousaModeSet_CMD受信");
        EXPECT_EQ(hub->ReplyState, ReplyStateAck);
    }
}

TEST_F(CollectorTest, HalfFrameSurvivesAHundredIdlePollsAndIsDroppedAtTheNext)
{
    hub->LastCmd = 'N';
    for (int idle : {100, 101}) {
        SCOPED_TRACE(idle);
        memo.clear();
        hub->ClearReplyState();
        pushAndPoll(modeAck.left(2));
        for (int i = 0; i < idle; ++i)
            hub->PollReceive();
        pushAndPoll(modeAck.mid(2));
        EXPECT_EQ(logText(), idle == 100 ? "DousaModeSet_CMD受信" : "");
    }
}

TEST_F(CollectorTest, OneTraceLinePerPollFollowsTheDecoderLinesOfThatPoll)
{
    hub->fDispRecInfo = 1;
    hub->LastCmd = 'N';
    pushAndPoll(modeAck + "A" + modeAck);
    EXPECT_EQ(logText(), "DousaModeSet_CMD受信 | DousaModeSet_CMD受信 | " + traceOf(modeAck + "A" + modeAck));
    memo.clear();
    hub->PollReceive();
    EXPECT_EQ(logText(), "") << "a poll without bytes writes no trace line";
}

TEST_F(CollectorTest, ShortFramesAndUnknownCodesSetTheirStateAndCopyButWriteNoField)
{
    hub->LastCmd = 'O';
    window->uid.fill(0xEE);
    for (const auto &[frame, state] :
         {std::pair{reply('0', bytesOf({0x50, 1, 2, 3})), ReplyStateAck}, {reply('Z', "xy"), ReplyStateFrame}}) {
        memo.clear();
        hub->ClearReplyState();
        pushAndPoll(frame);
        EXPECT_EQ(hub->ReplyState, state);
        EXPECT_EQ(logText(), "レスポンスフォーマットエラー");
    }
    const QByteArray shortUid = reply('0', bytesOf({0x50, 1, 2, 3}));
    EXPECT_EQ(hexOf(QByteArray(reinterpret_cast<const char *>(hub->LastReply.data()), shortUid.size())),
              hexOf(shortUid));
    EXPECT_EQ(hexOf(window->uid), "EE EE EE EE EE EE EE EE");
}

TEST_F(CollectorTest, DecodedValuesReachTheWindowAndTheHub)
{
    hub->LastCmd = 'x';
    const QByteArray uid = bytesOf({1, 2, 3, 4, 5, 6, 7, 8});
    pushAndPoll(reply('0', bytesOf({0x2B, 0x0F}) + uid + bytesOf({0x05, 0x06, 0x1F, 0x03, 0x09})));
    EXPECT_EQ(hexOf(window->uid), hexOf(uid));
    EXPECT_EQ((std::vector<int>{window->dsfid, window->afi, window->icRef, window->infoFlags}),
              (std::vector<int>{5, 6, 9, 15}));
    EXPECT_EQ(hexOf(window->memSize), "1F 03");

    pushAndPoll(reply('0', bytesOf({0xB0}) + "abcdefgh"));
    EXPECT_EQ(std::string(window->myd.begin(), window->myd.end()), "abcdefgh");
    hub->OptionFlag = 1;
    pushAndPoll(reply('0', bytesOf({0x20, 0x01}) + "wxyz"));
    EXPECT_EQ(hub->LastBlockSecSt, 1);
    EXPECT_EQ(std::string(hub->LastBlockData.begin(), hub->LastBlockData.begin() + 4), "wxyz");

    window->s6700 = 0x08; // TAG-IT
    pushAndPoll(reply('d', bytesOf({0xA1, 0xA2, 0xA3, 0xA4}) + "t"));
    EXPECT_EQ(hexOf(window->sid), "A1 A2 A3 A4");
}

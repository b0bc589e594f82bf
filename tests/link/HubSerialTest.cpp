#include "platform/PendingMessages.h"
#include "tests/link/ReceiveFixture.h"
#include "tools/standin/ReaderStandIn.h"

#include <QTimer>

namespace
{

// A hub on COM1, a pseudo-terminal with the reader stand-in at its far end.
class HubSerialTest : public HubFixture
{
protected:
    void SetUp() override
    {
        HubFixture::SetUp();
        const QString slave = standIn.openPseudoTerminal();
        ASSERT_FALSE(slave.isEmpty());
        ASSERT_TRUE(QFile::link(slave, dir.filePath(QStringLiteral("ttyS0"))));
        hub = std::make_unique<TTComXDlg>(nullptr, &memo, 1, 1, TransportSerial, TcpLinkParam{}, &window);
        memo.clear();
    }
    QByteArray ringBytes() const
    {
        QByteArray bytes;
        for (int i = hub->RxReadIndex; i != hub->RxWriteIndex; i = (i + 1) % RxRingSize)
            bytes.append(static_cast<char>(hub->RxRing[i]));
        return bytes;
    }
    // Leaves the ring 100 bytes of room and sends 300: 200 wait in the port.
    QByteArray overfillRing()
    {
        hub->fDispRecInfo = 0;
        hub->RxReadIndex = (hub->RxWriteIndex + 101) % RxRingSize;
        QByteArray bytes(300, '\0');
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>(i + 3);
        standIn.send(bytes);
        EXPECT_TRUE(waitFor([&] { return hub->CommX1.GetReceiveLength() == 200 && hub->RxRingFree() == 0; }, 3000));
        return bytes;
    }

    ReceiveTestWindow window;
    ReaderStandIn standIn;
};

} // namespace

TEST_F(HubSerialTest, ReaderAnswersOverTheSerialPort)
{
    ASSERT_TRUE(hub->IsTransportOpen());
    EXPECT_EQ(hub->fConnected, 1);
    EXPECT_EQ(lineBitRate(standIn.pseudoTerminalMaster()), 9600);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [this] { hub->PollReceive(); });
    poll.start(100);
    standIn.expect('O', 0x90,
                   ReaderStandIn::ack(QByteArray("\x90"
                                                 "125")));
    hub->GetRomVersionCmd();
    EXPECT_TRUE(hub->WaitReply()) << logText();
    EXPECT_EQ(hub->RomVersion, QByteArray("125"));
    EXPECT_EQ(standIn.received().size(), 1);
}

TEST_F(HubSerialTest, BytesTheRingCannotTakeWaitInThePortUntilThePollHasEmptiedIt)
{
    const QByteArray bytes = overfillRing();
    ASSERT_FALSE(HasFailure());
    EXPECT_EQ(ringBytes().right(100), bytes.left(100));
    hub->PollReceive();
    EXPECT_EQ(ringBytes(), bytes.mid(100));
    EXPECT_EQ(hub->CommX1.GetReceiveLength(), 0);
    EXPECT_TRUE(memo.lines.isEmpty()) << logText();
}

TEST_F(HubSerialTest, LineErrorsAreLoggedOneLineEachInAFixedOrder)
{
    const std::pair<unsigned, QStringList> rows[] = {
        {0x0E, {"CommX1Error", "フレーミングエラー", "バッファオーバーラン", "パリティエラー"}},
        {0x06, {"CommX1Error", "バッファオーバーラン", "パリティエラー"}},
        {0x08, {"CommX1Error", "フレーミングエラー"}},
    };
    for (const auto &[errors, lines] : rows) {
        memo.clear();
        hub->CommX1Error(errors);
        EXPECT_EQ(memo.lines, lines) << errors;
    }
}

TEST_F(HubSerialTest, APortWhoseDeviceGoesAwayIsLoggedOnceAndClosedAndItsLastBytesReachTheRing)
{
    const QByteArray bytes = overfillRing();
    ASSERT_FALSE(HasFailure());
    standIn.close();
    ASSERT_TRUE(waitFor([&] { return !memo.lines.isEmpty(); }, 3000));
    EXPECT_FALSE(hub->IsTransportOpen());
    EXPECT_FALSE(hub->CommX1.HandleValid());
    EXPECT_EQ(hub->SendFrame(buildFrame(0, 'R', QByteArray())), 0u);
    hub->PollReceive();
    EXPECT_EQ(ringBytes(), bytes.mid(100));
    hub->CommX1.PortClose();
    hub->CloseTransport();
    processPendingMessages(0);
    ASSERT_EQ(memo.lines.size(), 1) << logText();
    EXPECT_TRUE(memo.lines[0].contains(QStringLiteral("COM1"))) << logText();
}

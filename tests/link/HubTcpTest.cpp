#include "platform/PendingMessages.h"
#include "platform/Tick.h"
#include "tests/link/ReceiveFixture.h"
#include "tools/standin/ReaderStandIn.h"

#include <QSet>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace
{

class HubTcpTest : public HubFixture
{
protected:
    void makeClientHub(quint16 port)
    {
        TcpLinkParam tcp;
        tcp.fTCPServer = 0;
        tcp.TCPServAddr = QStringLiteral("127.0.0.1");
        tcp.TCPServPort = port;
        hub = std::make_unique<TTComXDlg>(nullptr, &memo, 0, 1, TransportTcp, tcp);
    }
    bool boardConnects(ReaderStandIn &board)
    {
        board.connectTo(QStringLiteral("127.0.0.1"), static_cast<quint16>(hub->listeningPort()));
        return waitFor([&] { return board.isConnected() && hub->fConnected; }, 3000);
    }
    QByteArray ringBytes() const
    {
        QByteArray bytes;
        for (int i = hub->RxReadIndex; i != hub->RxWriteIndex; i = (i + 1) % RxRingSize)
            bytes.append(static_cast<char>(hub->RxRing[i]));
        return bytes;
    }
    bool ringHolds(int count)
    {
        return waitFor([&] { return ringBytes().size() >= count; }, 3000);
    }
};

QByteArray burst(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7);
    return bytes;
}

} // namespace

TEST_F(HubTcpTest, ServerTakesABoardSendsByteExactAndLogsEachEvent)
{
    makeServerHub();
    ASSERT_NE(hub->listeningPort(), 0);
    EXPECT_EQ(memo.lines, QStringList{"ServerSocket1Listen"});
    EXPECT_EQ(hub->SendFrame(buildFrame(0, 'R', QByteArray())), 0u) << "no board yet: nothing is sent";

    ReaderStandIn board;
    ASSERT_TRUE(boardConnects(board));
    EXPECT_EQ(memo.lines, (QStringList{"ServerSocket1Listen", "ServerSocket1ClientConnect", "ActiveConnections: 1"}));
    EXPECT_TRUE(hub->IsTransportOpen());

    const QByteArray frame = buildFrame(0x05, 'O', bytesOf({0x90}));
    EXPECT_EQ(hub->SendFrame(frame), 8u);
    ASSERT_TRUE(board.waitForFrames(1));
    EXPECT_EQ(hexOf(board.receivedBytes()), hexOf(frame));

    // The board closes: a disconnect, not an error; then it comes back.
    // Its last bytes are taken before the disconnect line.
    memo.lines.clear();
    board.send(QByteArray("XY"));
    board.disconnectPeer();
    ASSERT_TRUE(waitFor([&] { return !hub->fConnected; }, 3000));
    EXPECT_EQ(memo.lines, (QStringList{"ServerSocket1ClientRead", "ServerSocket1ClientDisconnect"}));
    EXPECT_EQ(ringBytes(), QByteArray("XY"));
    EXPECT_FALSE(hub->IsTransportOpen());
    EXPECT_EQ(hub->SendFrame(frame), 0u);

    memo.lines.clear();
    ASSERT_TRUE(boardConnects(board));
    EXPECT_EQ(memo.lines, (QStringList{"ServerSocket1ClientConnect", "ActiveConnections: 1"}));
}

TEST_F(HubTcpTest, SecondBoardBecomesTheTargetAndBothAreHeard)
{
    makeServerHub();
    ReaderStandIn first, second;
    ASSERT_TRUE(boardConnects(first));
    ASSERT_TRUE(boardConnects(second));
    EXPECT_EQ(memo.lines.last(), QStringLiteral("ActiveConnections: 2"));

    const QByteArray frame = buildFrame(0, 'R', QByteArray());
    EXPECT_EQ(hub->SendFrame(frame), 7u);
    ASSERT_TRUE(second.waitForFrames(1));
    processPendingMessages(20);
    EXPECT_TRUE(first.received().isEmpty());

    first.send(QByteArray("AB"));
    second.send(QByteArray("CD"));
    ASSERT_TRUE(ringHolds(4));
    EXPECT_TRUE(ringBytes() == "ABCD" || ringBytes() == "CDAB") << ringBytes().toStdString();
}

TEST_F(HubTcpTest, ServerBurstIsTakenIn256BytePortionsAndWaitsWhileTheRingIsFull)
{
    makeServerHub();
    ReaderStandIn board;
    ASSERT_TRUE(boardConnects(board));

    const QByteArray first = burst(600);
    memo.lines.clear();
    board.send(first);
    ASSERT_TRUE(ringHolds(600));
    EXPECT_EQ(ringBytes(), first);
    EXPECT_GE(memo.lines.count(QStringLiteral("ServerSocket1ClientRead")), 3);

    // A full ring takes nothing more: the bytes wait in the socket, not over unread ones.
    hub->RxReadIndex = (hub->RxWriteIndex + 1) % RxRingSize;
    ASSERT_EQ(hub->RxRingFree(), 0);
    memo.lines.clear();
    const QByteArray second = burst(600).toUpper();
    board.send(second);
    const auto held = [&] {
        qint64 n = 0;
        for (QTcpSocket *socket : hub->findChildren<QTcpSocket *>())
            n += socket->bytesAvailable();
        return n;
    };
    ASSERT_TRUE(waitFor([&] { return held() == 600; }, 3000));
    EXPECT_TRUE(memo.lines.isEmpty());

    // Once the receive path has emptied the ring, the drain takes them in three portions.
    hub->RxReadIndex = hub->RxWriteIndex;
    hub->DrainTransports();
    EXPECT_EQ(ringBytes(), second);
    EXPECT_EQ(memo.lines, QStringList(3, QStringLiteral("ServerSocket1ClientRead")));
}

TEST_F(HubTcpTest, CloseTransportStopsTheListenerAndLetsTheLastFrameGoOut)
{
    makeServerHub();
    const quint16 port = static_cast<quint16>(hub->listeningPort());
    ReaderStandIn board;
    ASSERT_TRUE(boardConnects(board));

    memo.lines.clear();
    const QByteArray restart = buildFrame(0, 'G', bytesOf({0x01}));
    EXPECT_EQ(hub->SendFrame(restart), restart.size());
    hub->CloseTransport();
    EXPECT_FALSE(hub->IsTransportOpen());
    EXPECT_EQ(hub->listeningPort(), 0);
    EXPECT_EQ(hub->serverConnectionCount(), 0);
    ASSERT_TRUE(board.waitForFrames(1));
    EXPECT_EQ(board.received().first(), restart);
    ASSERT_TRUE(waitFor([&] { return !board.isConnected(); }, 3000));
    EXPECT_TRUE(memo.lines.isEmpty()) << "a deliberate close writes no disconnect line";

    QTcpSocket probe;
    probe.connectToHost(QStringLiteral("127.0.0.1"), port);
    EXPECT_FALSE(probe.waitForConnected(1000)) << "no stale listener on the old port";

    // An idle server (no board yet) is stopped too, so a reopen on another port works.
    hub->OpenTransport();
    EXPECT_NE(hub->listeningPort(), 0);
    hub->CloseTransport();
    EXPECT_EQ(hub->listeningPort(), 0);
}

TEST_F(HubTcpTest, ClientConnectsSendsReadsAndReconnects)
{
    ReaderStandIn board;
    ASSERT_TRUE(board.listen(0));
    makeClientHub(board.serverPort());
    EXPECT_EQ(memo.lines, QStringList{"ClientSocket1Connect"});
    ASSERT_TRUE(hub->IsTransportOpen());

    board.expect('x', 0x01, ReaderStandIn::split(burst(600), {100, 200}, 20));
    const QByteArray frame = buildFrame(0, 'x', bytesOf({0x01, 0x26}));
    EXPECT_EQ(hub->SendFrame(frame), 9u);
    ASSERT_TRUE(board.waitForFrames(1));
    EXPECT_EQ(board.received().first(), frame) << hexOf(board.received().first());
    ASSERT_TRUE(ringHolds(600));
    EXPECT_EQ(ringBytes(), burst(600));
    EXPECT_EQ(memo.lines, QStringList{"ClientSocket1Connect"}) << "client reads write no line";

    board.disconnectPeer();
    ASSERT_TRUE(waitFor([&] { return !hub->fConnected; }, 3000));
    EXPECT_EQ(memo.lines, (QStringList{"ClientSocket1Connect", "ClientSocket1Disconnect"}));
    EXPECT_EQ(hub->SendFrame(frame), 0u);

    hub->OpenTransport();
    EXPECT_TRUE(hub->IsTransportOpen());
    EXPECT_EQ(memo.lines.last(), QStringLiteral("ClientSocket1Connect"));
    EXPECT_EQ(hub->RxWriteIndex, 0) << "a reopen empties the ring";
}

TEST_F(HubTcpTest, ClientGivesUpAfterFiveSecondsWhenTheBoardRefuses)
{
    quint16 refusedPort = 0;
    {
        QTcpServer closed;
        ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
        refusedPort = closed.serverPort();
    }
    const uint32_t start = systemTick();
    makeClientHub(refusedPort);
    EXPECT_GE(ticksSince(start, systemTick()), 5000u);
    EXPECT_EQ(memo.lines, (QStringList{"ClientSocket1Error", "コネクト待ち　タイムオーバー"}));
    EXPECT_FALSE(hub->IsTransportOpen());
    EXPECT_EQ(hub->SendFrame(buildFrame(0, 'R', QByteArray())), 0u);
}

TEST_F(HubTcpTest, EveryReadABoardSentBeforeItClosedIsCountedInOrder)
{
    writeSettings("MAX_REC_NO=3000\r\n");
    makeServerHub();
    hub->fDispRecInfo = 0;
    ReaderStandIn board;
    ASSERT_TRUE(boardConnects(board));
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [this] { hub->PollReceive(); });
    poll.start(100);

    QByteArray reads;
    for (int i = 0; i < 3000; ++i)
        reads += buildFrame(0, 'D', QByteArray::number(i).rightJustified(8, '0'));
    board.send(reads);
    board.disconnectPeer();
    ASSERT_TRUE(waitFor([&] { return hub->ReadCount == 3000 && !hub->fConnected; }, 10000)) << hub->ReadCount;
    int misplaced = 0;
    for (int i = 0; i < 3000; ++i)
        misplaced +=
            hub->ReadTable[i].textA != QByteArray::number(i).rightJustified(8, '0') || hub->ReadTable[i].count != 1;
    EXPECT_EQ(misplaced, 0);
}

// A board that closes in the middle of a frame: the next connection's first frame is routed
// whether the half frame was collected before it arrived or is still in the ring with it.
TEST_F(HubTcpTest, AFrameCutOffByACloseLeavesTheNextConnectionsFirstFrameWhole)
{
    for (const bool halfCollectedFirst : {true, false}) {
        makeServerHub();
        hub->fDispRecInfo = 0;
        memo.clear();
        ReaderStandIn first, second;
        ASSERT_TRUE(boardConnects(first));
        first.send(buildFrame(0, 'D', "TAG-0001").left(6));
        first.disconnectPeer();
        ASSERT_TRUE(waitFor([&] { return !hub->fConnected; }, 3000));
        if (halfCollectedFirst) {
            hub->PollReceive();
            ASSERT_EQ(hub->InFrame, 1);
        }
        ASSERT_TRUE(boardConnects(second));
        second.send(buildFrame(0, 'D', "TAG-0002"));
        ASSERT_TRUE(ringHolds(halfCollectedFirst ? 15 : 21));
        hub->PollReceive();
        EXPECT_EQ(hub->ReadCount, 1) << halfCollectedFirst << " " << logText();
        EXPECT_EQ(hub->ReadTable[0].textA, QByteArray("TAG-0002")) << halfCollectedFirst;
        EXPECT_FALSE(memo.lines.contains(QStringLiteral("ERROR： NO CR_CODE"))) << logText();
    }
}

TEST_F(HubTcpTest, TheHubStaysConnectedWhileAnyBoardIsAndSendsToTheNewestLeft)
{
    for (const bool newestLeaves : {false, true}) {
        makeServerHub();
        ReaderStandIn older, newer;
        ASSERT_TRUE(boardConnects(older));
        ASSERT_TRUE(boardConnects(newer));
        ReaderStandIn &leaving = newestLeaves ? newer : older;
        ReaderStandIn &staying = newestLeaves ? older : newer;
        leaving.disconnectPeer();
        ASSERT_TRUE(waitFor([&] { return hub->serverConnectionCount() == 1; }, 3000));
        EXPECT_EQ(hub->fConnected, 1) << newestLeaves;
        EXPECT_TRUE(hub->IsTransportOpen());

        const QByteArray frame = buildFrame(0, 'R', QByteArray());
        EXPECT_EQ(hub->SendFrame(frame), 7u) << newestLeaves;
        ASSERT_TRUE(staying.waitForFrames(1));
        EXPECT_EQ(staying.received().first(), frame);

        staying.disconnectPeer();
        ASSERT_TRUE(waitFor([&] { return !hub->fConnected; }, 3000)) << newestLeaves;
        EXPECT_EQ(hub->SendFrame(frame), 0u);
    }
}

namespace
{

QByteArray tagRead(char board, int n)
{
    return buildFrame(0, 'D', board + QByteArray::number(n).rightJustified(7, '0'));
}

} // namespace

// Each board's read events end inside a frame, and the other's come in between: every frame of
// both is still routed whole.
TEST_F(HubTcpTest, ReadEventsOfTwoBoardsThatMeetInsideFramesLoseNoFrame)
{
    makeServerHub();
    hub->fDispRecInfo = 0;
    ReaderStandIn first, second;
    ASSERT_TRUE(boardConnects(first));
    ASSERT_TRUE(boardConnects(second));

    // Every piece finishes its board's last frame and begins the next one (the first begins
    // with a byte outside any frame), so that each read event puts something into the ring.
    constexpr int frames = 5;
    constexpr int cut = 6;
    const auto piece = [&](char board, int n) {
        QByteArray bytes = n == 0 ? QByteArray("-") : tagRead(board, n - 1).mid(cut);
        if (n < frames)
            bytes += tagRead(board, n).left(cut);
        return bytes;
    };
    for (int n = 0; n <= frames; ++n) {
        for (ReaderStandIn *board : {&first, &second}) {
            const int written = hub->RxWriteIndex;
            board->send(piece(board == &first ? 'A' : 'B', n));
            ASSERT_TRUE(waitFor([&] { return hub->RxWriteIndex != written; }, 3000)) << n;
        }
    }
    hub->PollReceive();
    ASSERT_EQ(hub->ReadCount, 2 * frames) << logText();
    QSet<QByteArray> seen;
    for (int i = 0; i < hub->ReadCount; ++i)
        seen.insert(hub->ReadTable[i].textA);
    for (int n = 0; n < frames; ++n) {
        EXPECT_TRUE(seen.contains('A' + QByteArray::number(n).rightJustified(7, '0'))) << n;
        EXPECT_TRUE(seen.contains('B' + QByteArray::number(n).rightJustified(7, '0'))) << n;
    }
}

// A board alone had begun a frame when a second connected: the second's bytes wait until that
// frame is whole, or until the collector gives it up after its idle polls.
TEST_F(HubTcpTest, ASecondBoardWaitsForTheFrameTheFirstHadBegun)
{
    for (const bool firstFinishes : {true, false}) {
        makeServerHub();
        hub->fDispRecInfo = 0;
        ReaderStandIn first, second;
        ASSERT_TRUE(boardConnects(first));
        first.send(tagRead('A', 1).left(5));
        ASSERT_TRUE(ringHolds(5)) << "a board alone puts every byte into the ring at once";
        hub->PollReceive();
        ASSERT_EQ(hub->InFrame, 1);

        ASSERT_TRUE(boardConnects(second));
        second.send(tagRead('B', 2));
        processPendingMessages(50);
        if (firstFinishes) {
            first.send(tagRead('A', 1).mid(5));
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, [this] { hub->PollReceive(); });
            poll.start(20);
            ASSERT_TRUE(waitFor([&] { return hub->ReadCount == 2; }, 3000)) << logText();
            EXPECT_EQ(hub->ReadTable[0].textA, QByteArray("A0000001"));
            EXPECT_EQ(hub->ReadTable[1].textA, QByteArray("B0000002"));
        } else {
            for (int i = 0; i <= 101 && hub->ReadCount == 0; ++i)
                hub->PollReceive();
            ASSERT_EQ(hub->ReadCount, 1) << logText();
            EXPECT_EQ(hub->ReadTable[0].textA, QByteArray("B0000002"));
        }
    }
}

// Two boards flood the hub at once, in read events that cut their frames anywhere.
TEST_F(HubTcpTest, TwoBoardsSendingAtOnceHaveEveryReadCounted)
{
    writeSettings("MAX_REC_NO=6000\r\n");
    makeServerHub();
    hub->fDispRecInfo = 0;
    ReaderStandIn first, second;
    ASSERT_TRUE(boardConnects(first));
    ASSERT_TRUE(boardConnects(second));
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [this] { hub->PollReceive(); });
    poll.start(20);

    QByteArray fromFirst, fromSecond;
    for (int i = 0; i < 3000; ++i) {
        fromFirst += tagRead('A', i);
        fromSecond += tagRead('B', i);
    }
    first.send(fromFirst);
    second.send(fromSecond);
    ASSERT_TRUE(waitFor([&] { return hub->ReadCount == 6000; }, 20000)) << hub->ReadCount;
    int recounted = 0;
    for (int i = 0; i < hub->ReadCount; ++i)
        recounted += hub->ReadTable[i].count != 1;
    EXPECT_EQ(recounted, 0);
    EXPECT_FALSE(memo.lines.contains(QStringLiteral("ERROR： NO CR_CODE"))) << logText();
}

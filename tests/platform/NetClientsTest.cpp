#include "platform/IcmpEcho.h"
#include "platform/PendingMessages.h"
#include "platform/TelnetClient.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace
{

QByteArray cmd(int verb, int option)
{
    return bytesOf({0xFF, verb, option});
}

} // namespace

// Each row feeds the filter its chunks in order (one filter per row) and compares the data
// bytes and the negotiation answers of all of them.
TEST(TelnetFilterTest, NegotiatesLikeAPlainClientAndKeepsItsStateAcrossReads)
{
    using namespace Telnet;
    const QByteArray sbSend = bytesOf({IAC, SB, OptTerminalType, TermTypeSend, IAC, SE});
    const QByteArray sbIsDumb = bytesOf({IAC, SB, OptTerminalType, TermTypeIs}) + "dumb" + bytesOf({IAC, SE});
    struct Row {
        const char *what;
        QList<QByteArray> chunks;
        QByteArray data;
        QByteArray replies;
    } rows[] = {
        {"echo and go-ahead accepted",
         {cmd(WILL, OptEcho) + cmd(WILL, OptSuppressGoAhead)},
         {},
         cmd(DO, OptEcho) + cmd(DO, OptSuppressGoAhead)},
        {"a request for a state it is in is not answered",
         {cmd(WILL, OptEcho), cmd(WILL, OptEcho) + cmd(DO, OptTerminalType) + cmd(DO, OptTerminalType)},
         {},
         cmd(DO, OptEcho) + cmd(WILL, OptTerminalType)},
        {"other options refused", {cmd(WILL, 5) + cmd(DO, 31)}, {}, cmd(DONT, 5) + cmd(WONT, 31)},
        {"WONT and DONT never answered",
         {cmd(WILL, OptEcho) + cmd(WONT, OptEcho) + cmd(DONT, 24) + cmd(WONT, 9)},
         {},
         cmd(DO, OptEcho)},
        {"terminal type sent when asked",
         {cmd(DO, OptTerminalType) + sbSend},
         {},
         cmd(WILL, OptTerminalType) + sbIsDumb},
        {"terminal type not sent unless agreed", {sbSend}, {}, {}},
        {"IAC split between reads",
         {"ab" + bytesOf({IAC}), bytesOf({WILL}), bytesOf({OptEcho}) + "c"},
         "abc",
         cmd(DO, OptEcho)},
        {"IAC IAC is one data byte; SB dropped whole, doubled IAC inside too",
         {bytesOf({'x', IAC, IAC, IAC, SB, 99, IAC, IAC, 'q'}), bytesOf({IAC, SE, 'y'})},
         bytesOf({'x', 0xFF, 'y'}),
         {}},
        {"two-byte commands dropped", {bytesOf({'>', IAC, 241, IAC, 249, 'O', 'K'})}, ">OK", {}},
    };
    for (const Row &row : rows) {
        TelnetFilter filter;
        QByteArray data;
        QByteArray replies;
        for (const QByteArray &chunk : row.chunks)
            data += filter.feed(chunk, replies);
        EXPECT_EQ(hexOf(data), hexOf(row.data)) << row.what;
        EXPECT_EQ(hexOf(replies), hexOf(row.replies)) << row.what;
    }
    EXPECT_EQ(hexOf(TelnetFilter::escape(bytesOf({'a', 0xFF, 'b'}))), "61 FF FF 62");
}

TEST(IcmpEchoTest, ChecksumFollowsTheInternetRule)
{
    // An echo request with a zero checksum field, and its sum as a packet capture shows it.
    const QByteArray packet = bytesOf({0x08, 0x00, 0x00, 0x00, 0x12, 0x34, 0x00, 0x01, 'a', 'b', 'c'});
    const uint16_t sum = internetChecksum(reinterpret_cast<const uint8_t *>(packet.data()), int(packet.size()));
    EXPECT_EQ(sum, 0x2168);
    QByteArray filled = packet;
    filled[2] = char(sum >> 8);
    filled[3] = char(sum);
    EXPECT_EQ(internetChecksum(reinterpret_cast<const uint8_t *>(filled.data()), int(filled.size())), 0);
}

TEST(IcmpEchoTest, LoopbackAnswersCarryTheMessageSizeAndRunningSequenceNumbers)
{
    IcmpEchoClient client;
    QString cause;
    if (!client.open(cause))
        GTEST_SKIP() << cause.toStdString();
    QList<EchoReply> replies;
    QObject::connect(&client, &EchoClient::replied, [&](const EchoReply &r) { replies << r; });
    for (const char *address : {"127.0.0.1", "127.0.0.2"}) {
        const auto count = replies.size();
        ASSERT_TRUE(client.send(QString::fromLatin1(address), 1000));
        ASSERT_TRUE(waitFor([&] { return replies.size() > count; }, 3000));
    }
    ASSERT_EQ(replies.size(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(replies[i].status, EchoReply::Echo);
        EXPECT_EQ(replies[i].bytesReceived, EchoMessageSize);
        EXPECT_EQ(replies[i].sequence, i + 1);
        EXPECT_EQ(replies[i].fromAddress, QStringLiteral("127.0.0.%1").arg(i + 1));
        EXPECT_GT(replies[i].ttl, 0);
    }
    // Refused (outside loopback in the test build) or malformed: nothing goes out, no reply.
    EXPECT_FALSE(client.send(QStringLiteral("192.168.0.1"), 100));
    EXPECT_FALSE(client.send(QStringLiteral("127.0.0"), 100));
    EXPECT_FALSE(waitFor([&] { return replies.size() > 2; }, 300));
}

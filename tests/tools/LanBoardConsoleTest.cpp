#include "tools/standin/LanBoardConsole.h"
#include "platform/PendingMessages.h"
#include "platform/TelnetClient.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

// Our telnet client against the stand-in console: the negotiation both ways, the log-in, and the
// console's echo and answers, including garbage and silence where a test asks for them.
TEST(LanBoardConsoleTest, ClientNegotiatesLogsInAndGetsEchoedAnswers)
{
    LanBoardConsole board;
    ASSERT_TRUE(board.listen());
    board.setAnswer("timv", "x>1?\r\n");
    board.setAnswer("keep", {});
    TelnetClient client;
    client.Host = QStringLiteral("127.0.0.1");
    client.Port = board.port();
    QByteArray got;
    QObject::connect(&client, &TelnetClient::dataAvailable, [&](const QByteArray &d) { got += d; });
    ASSERT_TRUE(client.connectToHost());
    ASSERT_TRUE(waitFor([&] { return got.endsWith("PASSWORD:") && !board.terminalType().isEmpty(); }, 3000));
    EXPECT_EQ(got, "\r\nPASSWORD:");
    EXPECT_EQ(board.terminalType(), "dumb");
    EXPECT_EQ(hexOf(board.negotiation()), "FF FD 01 FF FD 03 FF FB 18 FF FA 18 00 64 75 6D 62 FF F0");

    const auto exchange = [&](const QByteArray &line, const QByteArray &until, int timeoutMs = 1000) {
        got.clear();
        client.sendData(line);
        waitFor([&] { return got.endsWith(until); }, timeoutMs);
        return got;
    };
    EXPECT_EQ(exchange("VQJ\r\n", ">"), "\r\n>");
    EXPECT_EQ(exchange("\r\n", ">"), "\r\n>");
    EXPECT_EQ(exchange("l_pt\r\n", "\r\n>10777\r\n"), "l_pt\r\n>10777\r\n");
    EXPECT_EQ(exchange("mask=24\r\n", "OK\r\n"), "mask=24\r\n>OK\r\n");
    EXPECT_EQ(board.settings.value("mask"), "24");
    EXPECT_EQ(exchange("nope=1\r\n", "NG\r\n"), "nope=1\r\n>NG\r\n");
    EXPECT_EQ(exchange("timv\r\n", "?\r\n"), "timv\r\nx>1?\r\n");
    EXPECT_EQ(exchange("keep\r\n", ">", 200), "keep\r\n");
    EXPECT_EQ(exchange("save\r\n", "OK\r\n"), "save\r\n>OK\r\n");
    EXPECT_EQ(board.saveCount, 1);
    // A data byte 0xFF goes out doubled and arrives as one.
    board.clearReceived();
    exchange(bytesOf({'a', 0xFF, '\r', '\n'}), "NG\r\n");
    EXPECT_EQ(hexOf(board.received()), "61 FF 0D 0A");
}

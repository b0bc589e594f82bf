#pragma once

// The sender tests' hub, window and the frames they expect.

#include "platform/PendingMessages.h"
#include "tests/link/ReceiveFixture.h"
#include "tools/standin/ReaderStandIn.h"

#include <QTimer>

// DATA bytes written as hex text ("90 00").
inline QByteArray hx(const char *text)
{
    return QByteArray::fromHex(text);
}

// The frame a sender must write, built here byte by byte.
inline QByteArray goldenFrame(uint8_t id, uint8_t cmd, const QByteArray &data)
{
    QByteArray f = bytesOf({0x02, id, cmd, static_cast<int>(data.size())}) + data + bytesOf({0x03});
    unsigned sum = 0;
    for (char c : f)
        sum += static_cast<uint8_t>(c);
    return f + bytesOf({static_cast<int>(sum & 0xFF), 0x0D});
}

// The TX trace's hex line: every byte followed by one blank.
inline QString traceLine(const QByteArray &frame)
{
    return QString::fromStdString(hexOf(frame) + " ");
}

// Log lines as one text, so that a failing comparison prints them readably.
inline std::string linesOf(const QStringList &lines)
{
    return lines.join(QLatin1Char('\n')).toStdString();
}

// A hub listening on a loopback port, its window holding a current UID, SID and block number, and the
// reader stand-in connected to it as the LAN board connects; a 100 ms timer polls the receive path
// as the main window's does.
class SenderHubTest : public ReceiveTest
{
protected:
    void SetUp() override
    {
        ReceiveTest::SetUp();
        makeHub();
        window->uid = {0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8};
        window->sid = {0xD1, 0xD2, 0xD3, 0xD4};
        window->blockNo = 0x37;
        ASSERT_NE(hub->listeningPort(), 0);
        ASSERT_TRUE(standIn.connectTo(QStringLiteral("127.0.0.1"), static_cast<quint16>(hub->listeningPort())));
        ASSERT_TRUE(standIn.waitConnected());
        ASSERT_TRUE(waitFor([this] { return hub->fConnected != 0; }, 5000));
        QObject::connect(&poll, &QTimer::timeout, [this] { hub->PollReceive(); });
        poll.start(100);
        memo.clear();
    }
    void TearDown() override
    {
        poll.stop();
        ReceiveTest::TearDown();
    }

    ReaderStandIn standIn;
    QTimer poll;
};

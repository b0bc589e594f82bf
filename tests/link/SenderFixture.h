#pragma once

// A hub listening on a loopback port with a peer connected to it, for the sender tests: the
// peer reads back every frame a sender wrote.

#include "link/HubWindow.h"
#include "link/TTComXDlg.h"
#include "platform/AppPaths.h"
#include "platform/MemoSink.h"
#include "platform/PendingMessages.h"
#include "tests/support/TestSupport.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <memory>

class SenderTestWindow : public HubWindow
{
public:
    std::array<uint8_t, 8> uid{0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8};
    std::array<uint8_t, 4> sid{};
    std::array<uint8_t, 8> myd{};
    uint8_t tagByte = 0;
    int blockSize = 4;
    int blockNo = 0x37;

    uint8_t *CurrentUid() override { return uid.data(); }
    uint8_t *CurrentSid() override { return sid.data(); }
    uint8_t *MydData() override { return myd.data(); }
    uint8_t &TagDSFID() override { return tagByte; }
    uint8_t &TagAFI() override { return tagByte; }
    uint8_t &TagICRef() override { return tagByte; }
    uint8_t &TagInfoFlags() override { return tagByte; }
    uint8_t *TagMemSize() override { return myd.data(); }
    QTableWidget *ResultGrid() override { return nullptr; }
    void SetStatusPanelText(int, const QString &) override {}
    void GateCountEvent(int, const QByteArray &) override {}
    int S6700Conf() const override { return 0; }
    int TagBlockSize() const override { return blockSize; }
    int BlockNo() const override { return blockNo; }
    bool fUseInOutFormat() const override { return false; }
    int InOutMode() const override { return 0; }
    QString InString() const override { return {}; }
    QString OutString() const override { return {}; }
    int InCode() const override { return 0; }
    int OutCode() const override { return 0; }
};

// The frame a sender must write, built here byte by byte.
inline QByteArray goldenFrame(uint8_t id, uint8_t cmd, const QByteArray &data)
{
    QByteArray f = bytesOf({0x02, id, cmd, static_cast<int>(data.size())}) + data + bytesOf({0x03});
    unsigned sum = 0;
    for (char c : f)
        sum += static_cast<uint8_t>(c);
    return f + bytesOf({static_cast<int>(sum & 0xFF), 0x0D});
}

// "02 00 51 ": the TX trace's hex line.
inline QString traceLine(const QByteArray &frame)
{
    QString s;
    for (char c : frame)
        s += QStringLiteral("%1 ").arg(static_cast<uint8_t>(c), 2, 16, QLatin1Char('0')).toUpper();
    return s;
}

// Log lines as one text, so that a failing comparison prints them readably.
inline std::string linesOf(const QStringList &lines)
{
    return lines.join(QLatin1Char('\n')).toStdString();
}

class SenderHubTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        setProgramPathForTest(dir.filePath(QStringLiteral("kv8demo")));
        TcpLinkParam tcp;
        tcp.TCPPort = 0;
        tcp.fTCPServer = 1;
        hub = std::make_unique<TTComXDlg>(nullptr, &memo, 0, 1, TransportTcp, tcp, &window);
        ASSERT_NE(hub->listeningPort(), 0);
        peer.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(hub->listeningPort()));
        ASSERT_TRUE(waitFor([this] { return hub->fConnected != 0; }, 5000));
        memo.clear();
    }

    void TearDown() override
    {
        peer.abort();
        hub.reset();
    }

    // The next whole frame the peer received, or empty after a second without one.
    QByteArray nextFrame()
    {
        auto complete = [this] {
            pending += peer.readAll();
            return pending.size() >= 4 && pending.size() >= static_cast<uint8_t>(pending[3]) + 7;
        };
        if (!waitFor(complete, 1000))
            return {};
        const int size = static_cast<uint8_t>(pending[3]) + 7;
        const QByteArray frame = pending.left(size);
        pending.remove(0, size);
        return frame;
    }

    // Nothing more arrived at the peer within a short while.
    bool peerSilent()
    {
        waitFor([] { return false; }, 100);
        pending += peer.readAll();
        return pending.isEmpty();
    }

    QTemporaryDir dir;
    MemoryMemoSink memo;
    SenderTestWindow window;
    std::unique_ptr<TTComXDlg> hub;
    QTcpSocket peer;
    QByteArray pending;
};

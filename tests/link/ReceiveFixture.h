#pragma once

#include "link/Frame.h"
#include "link/HubWindow.h"
#include "link/ResultGrid.h"
#include "link/TTComXDlg.h"
#include "platform/AppPaths.h"
#include "platform/MemoSink.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <vector>

// The main window as the hub sees it, with a real grid of 20 rows (title row included).
class ReceiveTestWindow : public HubWindow
{
public:
    explicit ReceiveTestWindow(int columns = 4) : grid(GridDesignRowCount - 1, columns) {}

    uint8_t *CurrentUid() override { return uid.data(); }
    uint8_t *CurrentSid() override { return sid.data(); }
    uint8_t *MydData() override { return myd.data(); }
    uint8_t &TagDSFID() override { return dsfid; }
    uint8_t &TagAFI() override { return afi; }
    uint8_t &TagICRef() override { return icRef; }
    uint8_t &TagInfoFlags() override { return infoFlags; }
    uint8_t *TagMemSize() override { return memSize.data(); }
    QTableWidget *ResultGrid() override { return &grid; }
    void SetStatusPanelText(int panel, const QString &text) override { status[panel] = text; }
    void GateCountEvent(int identifier, const QByteArray &record) override
    {
        gateEvents.push_back({identifier, record});
        if (onGateEvent)
            onGateEvent();
    }
    int S6700Conf() const override { return s6700; }
    int TagBlockSize() const override { return tagBlockSize; }
    int BlockNo() const override { return 0; }
    bool fUseInOutFormat() const override { return useInOut; }
    int InOutMode() const override { return inOutMode; }
    QString InString() const override { return QStringLiteral("IN"); }
    QString OutString() const override { return QStringLiteral("OUT"); }
    int InCode() const override { return 0; }
    int OutCode() const override { return 1; }

    std::array<uint8_t, 8> uid{}, myd{};
    std::array<uint8_t, 4> sid{};
    std::array<uint8_t, 2> memSize{};
    uint8_t dsfid = 0, afi = 0, icRef = 0, infoFlags = 0;
    QTableWidget grid;
    std::map<int, QString> status;
    std::vector<std::pair<int, QByteArray>> gateEvents;
    std::function<void()> onGateEvent;
    int s6700 = 0xD4;
    int tagBlockSize = 4;
    bool useInOut = false;
    int inOutMode = 0;
};

// A hub on an idle loopback TCP server with its settings in a temporary folder, a test window,
// and its log in memory. Tests push bytes through the ring writer and poll by hand.
class ReceiveTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        setProgramPathForTest(dir.filePath(QStringLiteral("kv8demo")));
    }
    void TearDown() override
    {
        hub.reset();
        setProgramPathForTest(QString());
    }

    void writeSettings(const QByteArray &comDebug)
    {
        QFile file(dir.filePath(QStringLiteral("kv8demo.ini")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[ComDebug]\r\n" + comDebug);
    }
    void makeHub(int gridColumns = 4)
    {
        window = std::make_unique<ReceiveTestWindow>(gridColumns);
        TcpLinkParam tcp;
        tcp.TCPPort = 0;
        tcp.fTCPServer = 1;
        hub = std::make_unique<TTComXDlg>(nullptr, &memo, 0, 1, TransportTcp, tcp, window.get());
        memo.clear();
    }
    void push(const QByteArray &bytes)
    {
        ASSERT_EQ(hub->WriteRxRing(reinterpret_cast<const uint8_t *>(bytes.constData()), bytes.size()), bytes.size());
    }
    void pushAndPoll(const QByteArray &bytes)
    {
        push(bytes);
        hub->PollReceive();
    }
    static QByteArray reply(uint8_t code, const QByteArray &data, uint8_t id = 0) { return buildFrame(id, code, data); }
    // The poll's trace line for these bytes.
    static std::string traceOf(const QByteArray &bytes) { return "RX:" + hexOf(bytes) + " "; }
    std::string logText() const { return memo.lines.join(QStringLiteral(" | ")).toStdString(); }

    QTemporaryDir dir;
    MemoryMemoSink memo;
    std::unique_ptr<ReceiveTestWindow> window;
    std::unique_ptr<TTComXDlg> hub;
};

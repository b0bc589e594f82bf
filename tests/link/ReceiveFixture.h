#pragma once

#include "link/Frame.h"
#include "link/TTComXDlg.h"
#include "platform/AppPaths.h"
#include "platform/MemoSink.h"
#include "platform/SerialPorts.h"
#include "platform/UsbPipes.h"
#include "tests/link/ReceiveTestWindow.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// A hub with its settings file in a temporary folder and its log in memory.
class HubFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        setProgramPathForTest(dir.filePath(QStringLiteral("kv8demo")));
        // No serial port or USB reader of the machine: only devices in the temporary folder.
        setSerialRootsForTest(dir.path(), dir.path());
        setUsbBaseDirectoryForTest(dir.path());
    }
    void TearDown() override
    {
        hub.reset();
        setProgramPathForTest(QString());
        setSerialRootsForTest(QString(), QString());
        setUsbBaseDirectoryForTest(QString());
    }
    // A hub listening on a loopback port of the system's choice.
    void makeServerHub(HubWindow *window = nullptr, int comSpeed = 0, int comPort = 1)
    {
        TcpLinkParam tcp;
        tcp.TCPPort = 0;
        tcp.fTCPServer = 1;
        hub = std::make_unique<TTComXDlg>(nullptr, &memo, comSpeed, comPort, TransportTcp, tcp, window);
    }

    QString iniPath() const { return dir.filePath(QStringLiteral("kv8demo.ini")); }
    void writeIni(const QByteArray &text)
    {
        QFile file(iniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    void writeSettings(const QByteArray &comDebug) { writeIni("[ComDebug]\r\n" + comDebug); }
    std::string logText() const { return memo.lines.join(QStringLiteral(" | ")).toStdString(); }

    QTemporaryDir dir;
    MemoryMemoSink memo;
    std::unique_ptr<TTComXDlg> hub;
};

// A hub on an idle loopback TCP server with a test window. Tests push bytes through the ring
// writer and poll by hand.
class ReceiveTest : public HubFixture
{
protected:
    void makeHub(int gridColumns = 4)
    {
        window = std::make_unique<ReceiveTestWindow>(gridColumns);
        makeServerHub(window.get());
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

    std::unique_ptr<ReceiveTestWindow> window;
};

template <size_t N> std::string hexOf(const std::array<uint8_t, N> &bytes)
{
    return hexOf(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

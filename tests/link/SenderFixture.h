#pragma once

// The sender tests' hub, window and the frames they expect.

#include "platform/PendingMessages.h"
#include "tests/link/ReceiveFixture.h"
#include "tools/standin/ReaderStandIn.h"

#include <QTimer>

#include <functional>

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

// --- senders that wait for their own answer ---

// What a waiting sender handed back: its result and its outputs (EE before the call) as hex.
struct SenderResult {
    bool ok = false;
    std::string outputs;
};
using SenderCall = std::function<SenderResult(TTComXDlg &)>;

// A read of one byte through a pointer.
inline SenderCall byteOut(std::function<bool(TTComXDlg &, uint8_t *)> read)
{
    return [read](TTComXDlg &h) {
        uint8_t v = 0xEE;
        const bool ok = read(h, &v);
        return SenderResult{ok, hexOf(std::vector<uint8_t>{v})};
    };
}

// A gate count event that nobody asked for.
inline QByteArray gateCountEvent()
{
    QByteArray data = hx("80");
    data.append(12, '\x01');
    return goldenFrame(0, 'G', data);
}

inline const QString timeoutLine = QStringLiteral("レスポンス待ち　タイムオーバー");
inline const QString nackLine = QStringLiteral("NACK 受信");
inline const QString formatLine = QStringLiteral("レスポンスフォーマットエラー");

// One answer of the stand-in to a waiting sender's request: whether the sender succeeds, and the
// one failure line it logs, if any.
struct WaitScenario {
    const char *name;
    QList<ReaderStandIn::Piece> answer;
    bool ok;
    const QString *line;
};

class SenderWaitTest : public SenderHubTest
{
protected:
    static QByteArray ack(const QByteArray &data) { return goldenFrame(0, '0', data); }

    // Calls the sender once per scenario, the hub's ID 00 the first time and 5A after. Each time
    // the stand-in receives the one frame request(id) and answers as the scenario says; the sender
    // hands back goodOutputs when it succeeds, else unchanged, and logs the scenario's failure
    // line alone. Where a tag is given, the log begins with it and the request's TX trace.
    void expectScenarios(const std::vector<WaitScenario> &scenarios, const SenderCall &call,
                         const std::function<QByteArray(uint8_t id)> &request, const char *tag,
                         const std::string &goodOutputs, const std::string &unchanged)
    {
        uint8_t id = 0x00;
        for (const WaitScenario &s : scenarios) {
            SCOPED_TRACE(s.name);
            hub->IDNo = id;
            standIn.clearReceived();
            standIn.expectAny(ReaderStandIn::pieces(s.answer));
            memo.clear();
            const SenderResult r = call(*hub);
            const QByteArray frame = request(id);
            EXPECT_TRUE(standIn.waitForFrames(1));
            // Late pieces arrive before the log is checked and the next exchange begins.
            waitFor([] { return false; }, 200);
            EXPECT_EQ(hexOf(standIn.received().value(0)), hexOf(frame));
            if (tag) {
                EXPECT_EQ(linesOf(memo.lines.mid(0, 2)), linesOf({QString::fromUtf8(tag), traceLine(frame)}));
            }
            EXPECT_EQ(hub->LastCmd, static_cast<uint8_t>(frame[2]));
            EXPECT_EQ(r.ok, s.ok) << linesOf(memo.lines);
            EXPECT_EQ(r.outputs, s.ok ? goodOutputs : unchanged);
            for (const QString *line : {&formatLine, &nackLine, &timeoutLine})
                EXPECT_EQ(memo.lines.count(*line), line == s.line ? 1 : 0) << line->toStdString();
            id = 0x5A;
        }
    }
};

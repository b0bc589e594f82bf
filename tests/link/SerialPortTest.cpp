#include "link/Frame.h"
#include "platform/PendingMessages.h"
#include "tests/link/SerialFixture.h"
#include "tests/support/TestSupport.h"

#include <functional>

namespace
{

using SerialPortTest = SerialFixture;

QString errorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const ECommError &e) {
        return e.text();
    }
    return QString();
}

// A port on COM1, over a recording line if asked, gathering what it receives.
struct Port {
    explicit Port(bool recording = false)
        : line(recording ? new RecordingLine : nullptr), port(std::unique_ptr<TermiosLine>(line))
    {
        port.SetFlowCtrl(cfcNone);
        port.OnReceive = [this](TCommX &p, int n) {
            QByteArray bytes(n, '\0');
            received += bytes.left(p.ReceiveBlock(bytes.data(), n));
        };
        port.OnError = [this](TCommX &, unsigned errors) { errors_.push_back(errors); };
        port.OnBreak = [this](TCommX &) { ++breaks; };
    }
    bool receives(int count)
    {
        return waitFor([&] { return received.size() >= count; }, 3000);
    }
    bool send(const QByteArray &bytes) { return port.TransBlock(bytes.constData(), static_cast<int>(bytes.size())); }

    RecordingLine *line; // owned by the port
    TCommX port;
    QByteArray received;
    std::vector<unsigned> errors_;
    int breaks = 0;
};

std::vector<std::string> whats(const std::vector<RecordingLine::Event> &events)
{
    std::vector<std::string> out;
    for (const auto &e : events)
        out.push_back(e.what);
    return out;
}

long long msBetween(const RecordingLine::Event &a, const RecordingLine::Event &b)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(b.at - a.at).count();
}

} // namespace

TEST_F(SerialPortTest, OpensRawAtEachSpeedAndCarriesFramesBothWaysByteExact)
{
    // CR, LF, XON, XOFF and 0xFF in DATA: a cooked line would change or swallow them.
    const QByteArray request = buildFrame(0, 'x', bytesOf({0x0D, 0x0A, 0x11, 0x13, 0xFF, 0x00}));
    const QByteArray answer = buildFrame(0, '0', bytesOf({0x13, 0x11, 0x0D, 0x0A, 0x7F}));
    const int master = standIn.pseudoTerminalMaster();
    for (int rate : {9600, 38400, 115200, 250000}) {
        SCOPED_TRACE(rate);
        Port p;
        p.port.SetBitRate(rate);
        p.port.PortOpen();
        termios t;
        ASSERT_EQ(tcgetattr(master, &t), 0);
        EXPECT_EQ(lineBitRate(master), rate);
        EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | CLOCAL | CREAD), tcflag_t(CS8 | CLOCAL | CREAD));
        EXPECT_EQ(t.c_iflag & (INPCK | ICRNL | IXON | IXOFF | ISTRIP | IGNBRK | BRKINT), tcflag_t(IGNBRK));
        EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
        EXPECT_EQ(t.c_oflag & OPOST, 0u);

        standIn.clearReceived();
        standIn.expectAny(ReaderStandIn::pieces({{answer, 0}}));
        ASSERT_TRUE(p.send(request));
        ASSERT_TRUE(standIn.waitForFrames(1));
        EXPECT_EQ(hexOf(standIn.receivedBytes()), hexOf(request));
        ASSERT_TRUE(p.receives(static_cast<int>(answer.size())));
        EXPECT_EQ(hexOf(p.received), hexOf(answer));
    }
}

TEST_F(SerialPortTest, LineSettingsAndModemLinesFollowTheProperties)
{
    struct Row {
        int charSize;
        TCommParityBits parity;
        TCommStopBits stop;
        TCommFlowCtrls flow;
        tcflag_t cflag;
        tcflag_t iflag;
        const char *rts;
    };
    const Row rows[] = {
        {8, cpbNone, csb1, cfcRtsCts, CS8 | CRTSCTS, 0, "RTS on"},
        {7, cpbEven, csb2, cfcXonXoff, CS7 | PARENB | CSTOPB, IXON | IXOFF, "RTS on"},
        {5, cpbOdd, csb1p5, cfcHalfHigh, CS5 | PARENB | PARODD | CSTOPB, 0, "RTS off"},
        {6, cpbNone, csb1, cfcHalfLow, CS6, 0, "RTS on"},
        {8, cpbNone, csb1, cfcDtrDsr, CS8, 0, "RTS on"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.charSize);
        Port p(true);
        RecordingLine &line = *p.line;
        TCommX &port = p.port;
        port.SetCharSize(row.charSize);
        port.SetParityBit(row.parity);
        port.SetStopBit(row.stop);
        port.SetFlowCtrl(row.flow);
        port.SetXonChar(0x21);
        port.PortOpen();
        const termios t = line.lastAsked();
        EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS), row.cflag);
        EXPECT_EQ(t.c_iflag & (IXON | IXOFF | INPCK), row.iflag);
        EXPECT_EQ(t.c_cc[VSTART], 0x21);
        EXPECT_EQ(t.c_cc[VSTOP], 0x13);
        EXPECT_EQ(whats(line.taken()), (std::vector<std::string>{"DTR on", row.rts}));
        // A setter on an open port writes the settings at once.
        port.SetParityBit(cpbEven);
        EXPECT_EQ(line.lastAsked().c_cflag & (PARENB | PARODD), tcflag_t(PARENB));
    }
}

TEST_F(SerialPortTest, RefusedSettingsRaiseTheirTextAndLeaveAFailedOpenClosed)
{
    const QString speed = QStringLiteral("通信速度の設定でエラーが発生しました");
    struct Row {
        QString text;
        std::function<void(TCommX &)> set;
        bool closesOpenPort;
    };
    const Row rows[] = {
        {speed, [](TCommX &p) { p.SetBitRate(9); }, false},
        {QStringLiteral("通信ビット数の設定でエラーが発生しました"), [](TCommX &p) { p.SetCharSize(9); }, false},
        {QStringLiteral("通信パリティチェックの設定でエラーが発生しました"),
         [](TCommX &p) { p.SetParityBit(TCommParityBits(7)); }, false},
        {QStringLiteral("通信ストップビット数の設定でエラーが発生しました"), [](TCommX &p) { p.SetStopBit(csb1p5); },
         false},
        {QStringLiteral("通信フロー制御の設定で失敗しました"), [](TCommX &p) { p.SetFlowCtrl(TCommFlowCtrls(9)); },
         false},
        {QStringLiteral("通信タイムアウト時間の設定で失敗しました"), [](TCommX &p) { p.SetTimeOutReceive(-1); }, false},
        {QStringLiteral("通信用ポートのバッファを準備できませんでした"), [](TCommX &p) { p.SetBufLenReceive(0); },
         false},
        {QStringLiteral("ポートをオープンできませんでした"), [](TCommX &p) { p.SetPortNo(2); }, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.text.toStdString());
        TCommX closed;
        EXPECT_EQ(errorOf([&] { row.set(closed); }), QString()) << "a closed port only stores";
        EXPECT_EQ(errorOf([&] { closed.PortOpen(); }), row.text);
        EXPECT_FALSE(closed.HandleValid());

        TCommX open;
        open.PortOpen();
        EXPECT_EQ(errorOf([&] { row.set(open); }), row.text);
        EXPECT_EQ(open.HandleValid(), !row.closesOpenPort);
    }
    TCommX port;
    port.SetBitRate(9);
    EXPECT_EQ(port.BitRate(), 9);
    port.SetBitRate(38400);
    port.PortOpen();
    EXPECT_EQ(errorOf([&] { port.SetBitRate(9); }), speed);
    EXPECT_EQ(port.BitRate(), 38400) << "the open port keeps its rate";
    EXPECT_EQ(lineBitRate(standIn.pseudoTerminalMaster()), 38400);

    EXPECT_EQ(errorOf([&] { port.PortOpen(); }), QStringLiteral("ポートは、すでにオープンされています"));
    EXPECT_TRUE(port.HandleValid());
    TCommX second; // refused by flock even for root, whom TIOCEXCL lets through
    EXPECT_EQ(errorOf([&] { second.PortOpen(); }), QStringLiteral("ポートをオープンできませんでした"));
    port.PortClose();
    EXPECT_EQ(second.ReceiveChar(), -1);
    second.PortOpen();
    EXPECT_TRUE(second.HandleValid());
}

TEST_F(SerialPortTest, BlocksAreSentInChunksOfBufLenTransAndArriveWhole)
{
    QByteArray data(5000, '\0');
    for (int i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 13 + 1);
    Port p(true);
    RecordingLine &line = *p.line;
    line.swallowWrites = true;
    p.port.PortOpen();
    line.taken();
    ASSERT_TRUE(p.send(data));
    ASSERT_TRUE(waitFor([&] { return p.port.GetTransLength() == 0; }, 3000));
    EXPECT_EQ(whats(line.taken()), (std::vector<std::string>{"write 2048", "write 2048", "write 904"}));

    line.swallowWrites = false;
    ASSERT_TRUE(p.send(data));
    ASSERT_TRUE(waitFor([&] { return standIn.receivedBytes().size() >= data.size(); }, 3000));
    EXPECT_EQ(standIn.receivedBytes(), data);
}

TEST_F(SerialPortTest, ClosingDuringATransmitReturnsAtOnceAndThePortOpensAgain)
{
    Port p;
    p.port.SetBufLenTrans(8192);
    p.port.PortOpen();
    // 32 chunks of 8 KiB, more than the pseudo-terminal holds while nobody reads it.
    const QByteArray flood(32 * 8192, '\x55');
    ASSERT_TRUE(p.send(flood));
    const auto start = std::chrono::steady_clock::now();
    p.port.PortClose();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
    EXPECT_FALSE(p.port.HandleValid());
    EXPECT_EQ(p.port.GetTransLength(), 0);
    EXPECT_FALSE(p.send("x"));

    p.port.PortOpen();
    const QByteArray frame = buildFrame(0, 'R', QByteArray());
    standIn.clearReceived();
    ASSERT_TRUE(p.send(frame));
    ASSERT_TRUE(standIn.waitForFrames(1));
    EXPECT_EQ(hexOf(standIn.received().last()), hexOf(frame));
}

TEST_F(SerialPortTest, LineErrorsAndBreaksFromTheDriversCountersReachTheGuiThread)
{
    struct Row {
        LineCounters counters;
        std::vector<unsigned> errors;
        int breaks;
    };
    const Row rows[] = {
        {{1, 0, 0, 0, 0}, {0x08}, 0}, {{0, 1, 0, 0, 0}, {0x02}, 0}, {{0, 0, 0, 0, 2}, {0x02}, 0},
        {{0, 0, 1, 0, 0}, {0x04}, 0}, {{1, 1, 1, 0, 0}, {0x0E}, 0}, {{0, 0, 0, 2, 0}, {}, 2},
    };
    for (const Row &row : rows) {
        Port p(true);
        RecordingLine &line = *p.line;
        p.port.PortOpen();
        line.setCounters(row.counters);
        standIn.send("A");
        ASSERT_TRUE(p.receives(1));
        EXPECT_EQ(p.received, "A");
        EXPECT_EQ(p.errors_, row.errors);
        EXPECT_EQ(p.breaks, row.breaks);
    }
    // A read that fails reports the errors and gives -1 without waiting out TimeOutReceive.
    Port p(true);
    RecordingLine &line = *p.line;
    p.port.OnReceive = nullptr;
    p.port.PortOpen();
    line.failReads = true;
    line.setCounters({1, 0, 0, 0, 0});
    standIn.send("B");
    char c = 0;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(p.port.ReceiveBlock(&c, 1), -1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2000));
    processPendingMessages(0);
    EXPECT_EQ(p.errors_, std::vector<unsigned>{0x08});
}

TEST_F(SerialPortTest, ModemLinesBreakAndHalfDuplexRtsGoToTheLine)
{
    Port p(true);
    RecordingLine &line = *p.line;
    line.swallowWrites = true;
    p.port.PortOpen();
    line.status = TIOCM_CTS | TIOCM_CAR;
    EXPECT_EQ(
        (std::vector<bool>{p.port.IsCtsSignal(), p.port.IsDsrSignal(), p.port.IsRingSignal(), p.port.IsRlsdSignal()}),
        (std::vector<bool>{true, false, false, true}));
    line.taken();
    p.port.SetRtsSignal(false);
    p.port.SetDtrSignal(true);
    p.port.SendBreak();
    const auto events = line.taken();
    ASSERT_EQ(whats(events), (std::vector<std::string>{"RTS off", "DTR on", "break on", "break off"}));
    EXPECT_GE(msBetween(events[2], events[3]), 300);

    // At 9600 bit/s one character takes 2 ms.
    for (TCommFlowCtrls flow : {cfcHalfHigh, cfcHalfLow}) {
        const bool high = flow == cfcHalfHigh;
        p.port.SetFlowCtrl(flow);
        line.taken();
        const RecordingLine::Event sent{"", std::chrono::steady_clock::now()};
        ASSERT_TRUE(p.send("abc"));
        std::vector<RecordingLine::Event> burst;
        waitFor(
            [&] {
                for (auto &e : line.taken())
                    burst.push_back(e);
                return burst.size() >= 4;
            },
            3000);
        ASSERT_EQ(whats(burst), (std::vector<std::string>{high ? "RTS on" : "RTS off", "write 3", "drain",
                                                          high ? "RTS off" : "RTS on"}));
        EXPECT_GE(msBetween(sent, burst[0]), 50);
        EXPECT_GE(msBetween(burst[0], burst[1]), 2);
        EXPECT_GE(msBetween(burst[2], burst[3]), 2);
    }
}

#include "tests/link/SenderFixture.h"
#include "tools/standin/ReaderStandIn.h"

#include <QTimer>

#include <functional>

namespace
{

using Piece = ReaderStandIn::Piece;

// What a read sender handed back: its result and its outputs as text.
struct ReadResult {
    bool ok = false;
    std::string outputs;
};

std::string hexByte(unsigned v)
{
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02X", v & 0xFF);
    return buf;
}

struct ReadSenderCase {
    const char *name;
    const char *tag;
    QByteArray request; // DATA of the 'O' frame
    QByteArray good;    // DATA of a good ACK
    std::string goodOutputs;
    QByteArray otherEcho; // an ACK echoing something else: refused only where the read tests its echo
    QByteArray shortAnswer;
    std::string unchanged; // outputs of a failed read
    std::function<ReadResult(TTComXDlg &)> call;
    bool echoTested = true;
};

void PrintTo(const ReadSenderCase &c, std::ostream *os)
{
    *os << c.name;
}

QByteArray b(std::initializer_list<int> v)
{
    return bytesOf(v);
}

std::vector<ReadSenderCase> readSenderCases()
{
    return {
        {"RxDousaMode", "DousaModeSet: ", b({0x00}), b({0x00, 0x01, 0x62, 0x73}), "01 62 73",
         b({0x5F, 0x01, 0x62, 0x73}), b({0x00, 0x01, 0x62}), "EE EE EE",
         [](TTComXDlg &h) {
             uint8_t m = 0xEE, s = 0xEE, f = 0xEE;
             const bool ok = h.RxDousaMode(&m, &s, &f);
             return ReadResult{ok, hexByte(m) + " " + hexByte(s) + " " + hexByte(f)};
         },
         false},
        {"AFI_RDWR_ReadCmd", "AFI_RDWR_CMD RX: ", b({0x51}), b({0x51, 0xC3}), "C3", b({0x5E, 0xC3}), b({0x51}), "EE",
         [](TTComXDlg &h) {
             uint8_t afi = 0xEE;
             const bool ok = h.AFI_RDWR_ReadCmd(&afi);
             return ReadResult{ok, hexByte(afi)};
         }},
        {"ERR_RATE_ReadCmd", "ERR_RATE_CMD RX: ", b({0x60}), b({0x60, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08}),
         "04030201 08070605", b({0x61, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08}),
         b({0x60, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07}), "EEEEEEEE EEEEEEEE",
         [](TTComXDlg &h) {
             uint32_t good = 0xEEEEEEEE, failed = 0xEEEEEEEE;
             const bool ok = h.ERR_RATE_ReadCmd(&good, &failed);
             char buf[24];
             std::snprintf(buf, sizeof buf, "%08X %08X", good, failed);
             return ReadResult{ok, buf};
         }},
        {"RxEepromData", "EEPROM_RDWR_CMD RX: ", b({0x70, 0x01, 0x02}), b({0x70, 0x01, 0x02, 0xB1, 0xB2, 0xB3, 0xB4}),
         "B1 B2 B3 B4", b({0x70, 0x01, 0x03, 0xB1, 0xB2, 0xB3, 0xB4}), b({0x70, 0x01, 0x02, 0xB1, 0xB2, 0xB3}),
         "EE EE EE EE",
         [](TTComXDlg &h) {
             std::array<uint8_t, 4> out;
             out.fill(0xEE);
             const bool ok = h.RxEepromData(1, 2, out);
             return ReadResult{ok, hexOf(std::vector<uint8_t>(out.begin(), out.end()))};
         }},
        {"RxEepromData2", "EEPROM_RDWR_CMD2 RX: ", b({0x72, 0x03, 0x01}), b({0x72, 0x03, 0x01, 0xC1, 0xC2}), "C1 C2",
         b({0x70, 0x03, 0x01, 0xC1, 0xC2}), b({0x72, 0x03, 0x01, 0xC1}), "EE EE",
         [](TTComXDlg &h) {
             std::array<uint8_t, 2> out;
             out.fill(0xEE);
             const bool ok = h.RxEepromData2(3, 1, out);
             return ReadResult{ok, hexOf(std::vector<uint8_t>(out.begin(), out.end()))};
         }},
        {"RxS6700Mode", "RX S6700ModeSet: ", b({0x09}), b({0x09, 0x48}), "48", b({0x5F, 0x48}), b({0x09}), "EE",
         [](TTComXDlg &h) {
             uint8_t mode = 0xEE;
             const bool ok = h.RxS6700Mode(&mode);
             return ReadResult{ok, hexByte(mode)};
         },
         false},
        {"RXParamData", "RXParamData: ", b({0xAB}), b({0xAB, 0x3C}), "3C", b({0xAC, 0x3C}), b({0xAB}), "EE",
         [](TTComXDlg &h) {
             uint8_t value = 0xEE;
             const bool ok = h.RXParamData(0xAB, &value);
             return ReadResult{ok, hexByte(value)};
         }},
        {"SELANTENA_ReadCmd", "SELANTENA_CMD: ", b({0x9C}), b({0x9C, 0x02}), "02", b({0x9D, 0x02}), b({0x9C}), "EE",
         [](TTComXDlg &h) {
             uint8_t antenna = 0xEE;
             const bool ok = h.SELANTENA_ReadCmd(&antenna);
             return ReadResult{ok, hexByte(antenna)};
         }},
        {"PortReadCommand", "Port Read Command: ", b({0x9F}), b({0x9F, 0x5A}), "5A", b({0x9E, 0x5A}), b({0x9F}), "00",
         [](TTComXDlg &h) {
             const uint8_t v = h.PortReadCommand();
             return ReadResult{v != 0, hexByte(v)};
         }},
        {"CNT_EXT2PORT_ReadCmd", "CNT_EXT2PORT: ", b({0x56}), b({0x56, 0x7E}), "7E", b({0x5F, 0x7E}), b({0x56}), "00",
         [](TTComXDlg &h) {
             const uint8_t v = h.CNT_EXT2PORT_ReadCmd();
             return ReadResult{v != 0, hexByte(v)};
         },
         false},
    };
}

const QString timeoutLine = QStringLiteral("レスポンス待ち　タイムオーバー");
const QString nackLine = QStringLiteral("NACK 受信");
const QString formatLine = QStringLiteral("レスポンスフォーマットエラー");

} // namespace

// The stand-in connects to the hub's listening port as the LAN board does; a 100 ms timer
// polls the receive path as the main window's does.
class StandInSenderTest : public SenderHubTest
{
protected:
    void SetUp() override
    {
        SenderHubTest::SetUp();
        ASSERT_TRUE(standIn.connectTo(QStringLiteral("127.0.0.1"), static_cast<quint16>(hub->listeningPort())));
        ASSERT_TRUE(standIn.waitConnected());
        // The stand-in's connection is the newest: frames go to it.
        ASSERT_TRUE(waitFor([this] { return hub->serverConnectionCount() == 2; }, 5000));
        QObject::connect(&poll, &QTimer::timeout, [this] { hub->PollReceive(); });
        poll.start(100);
    }

    ReaderStandIn standIn;
    QTimer poll;
};

class ReadSenderWaitTest : public StandInSenderTest, public ::testing::WithParamInterface<ReadSenderCase>
{
protected:
    static QByteArray ack(const QByteArray &data) { return goldenFrame(0, '0', data); }

    ReadResult run(const QList<Piece> &answer, uint8_t id = 0x5A)
    {
        hub->IDNo = id;
        standIn.clearReceived();
        standIn.expectAny(ReaderStandIn::pieces(answer));
        memo.clear();
        const ReadResult r = GetParam().call(*hub);
        EXPECT_TRUE(standIn.waitForFrames(1));
        EXPECT_EQ(hexOf(standIn.received().value(0)), hexOf(goldenFrame(id, 'O', GetParam().request)));
        // Let late pieces arrive before the next exchange.
        waitFor([] { return false; }, 300);
        return r;
    }

    int count(const QString &line) const { return static_cast<int>(memo.lines.count(line)); }

    // A scan read and a gate count event that nobody asked for.
    static QList<Piece> unsolicited()
    {
        const QByteArray uidAndText = b({0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0xE0, 0x41, 0x42});
        QByteArray gate = b({0x80});
        gate.append(12, '\x01');
        return {{goldenFrame(0, 'd', uidAndText), 0}, {goldenFrame(0, 'G', gate), 150}};
    }
};

TEST_P(ReadSenderWaitTest, GoodAnswerFillsTheOutputs)
{
    const ReadResult r = run({{ack(GetParam().good), 0}}, 0x00);
    EXPECT_TRUE(r.ok);
    const QByteArray frame = goldenFrame(0, 'O', GetParam().request);
    EXPECT_EQ(linesOf(memo.lines.mid(0, 2)), linesOf({QString::fromUtf8(GetParam().tag), traceLine(frame)}));
    EXPECT_EQ(hub->LastCmd, 'O');
    EXPECT_EQ(r.outputs, GetParam().goodOutputs);
    EXPECT_EQ(count(formatLine) + count(nackLine) + count(timeoutLine), 0);
}

TEST_P(ReadSenderWaitTest, OtherEchoFailsSilentlyWhereTheEchoIsTested)
{
    const ReadResult r = run({{ack(GetParam().otherEcho), 0}});
    const bool echoTested = GetParam().echoTested;
    EXPECT_EQ(r.ok, !echoTested);
    EXPECT_EQ(r.outputs, echoTested ? GetParam().unchanged : GetParam().goodOutputs);
    EXPECT_EQ(count(formatLine) + count(nackLine) + count(timeoutLine), 0);
}

TEST_P(ReadSenderWaitTest, ShortAnswerIsAFormatErrorLoggedOnce)
{
    const ReadResult r = run({{ack(GetParam().shortAnswer), 0}});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.outputs, GetParam().unchanged);
    EXPECT_EQ(count(formatLine), 1) << linesOf(memo.lines);
}

TEST_P(ReadSenderWaitTest, NackFails)
{
    const ReadResult r = run({{goldenFrame(0, '1', b({0x04})), 0}});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.outputs, GetParam().unchanged);
    EXPECT_EQ(count(nackLine), 1) << linesOf(memo.lines);
}

TEST_P(ReadSenderWaitTest, SilenceTimesOut)
{
    const ReadResult r = run({});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.outputs, GetParam().unchanged);
    EXPECT_EQ(count(timeoutLine), 1) << linesOf(memo.lines);
}

TEST_P(ReadSenderWaitTest, AnswerComesFromTheAckAfterUnsolicitedFrames)
{
    QList<Piece> answer = unsolicited();
    answer.append({ack(GetParam().good), 150});
    const ReadResult r = run(answer);
    EXPECT_TRUE(r.ok) << linesOf(memo.lines);
    EXPECT_EQ(r.outputs, GetParam().goodOutputs);
    EXPECT_EQ(window.uid[0], 0x01) << "the scan read was routed as usual";
}

TEST_P(ReadSenderWaitTest, UnsolicitedFramesAloneNeverEndTheWaitWithAnEarlierAck)
{
    // An earlier exchange leaves a good answer in LastReply.
    ASSERT_TRUE(run({{ack(GetParam().good), 0}}).ok);
    const ReadResult r = run(unsolicited());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.outputs, GetParam().unchanged);
    EXPECT_EQ(count(timeoutLine), 1) << linesOf(memo.lines);
}

INSTANTIATE_TEST_SUITE_P(ReadSenders, ReadSenderWaitTest, ::testing::ValuesIn(readSenderCases()),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(StandInSenderTest, ExtPortWriteAndRomVersionCompareWaitForTheirAck)
{
    memo.clear();
    standIn.expect('N', 0x56, ReaderStandIn::ack(b({0x56})));
    EXPECT_TRUE(hub->CNT_EXT2PORT_WriteCmd(0x03));
    standIn.expect('N', 0x56, ReaderStandIn::nack(4));
    EXPECT_FALSE(hub->CNT_EXT2PORT_WriteCmd(0x03));
    ASSERT_TRUE(standIn.waitForFrames(2));
    const QByteArray frame = goldenFrame(0, 'N', b({0x56, 0x03}));
    EXPECT_EQ(hexOf(standIn.received().value(0)), hexOf(frame));
    EXPECT_EQ(linesOf(memo.lines.mid(0, 2)), linesOf({QStringLiteral("CNT_EXT2PORT: "), traceLine(frame)}));

    // The version's first three digits against 121; one that can't be read counts as 0.
    const struct {
        QByteArray version;
        int expected;
    } versions[] = {{"121", 0}, {"1205", -1}, {"13", -1}, {"130", 1}, {"V1.2", -1}, {"999x", 1}};
    for (const auto &v : versions) {
        standIn.expect('O', 0x90, ReaderStandIn::ack(b({0x90}) + v.version));
        EXPECT_EQ(hub->CompareRomVersion(121), v.expected) << v.version.toStdString();
    }
    standIn.expect('O', 0x90, ReaderStandIn::nack(4));
    EXPECT_EQ(hub->CompareRomVersion(0), 0) << "a failed read compares as version 0";
}

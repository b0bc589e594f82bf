#include "tests/link/SenderFixture.h"
#include "tools/standin/ReaderStandIn.h"

#include <QTimer>

#include <functional>

namespace
{

using Piece = ReaderStandIn::Piece;

// What a read sender handed back: its result and its outputs as hex.
struct ReadResult {
    bool ok = false;
    std::string outputs;
};

std::string hexBytes(std::initializer_list<uint8_t> v)
{
    return hexOf(std::vector<uint8_t>(v));
}

using ReadCall = std::function<ReadResult(TTComXDlg &)>;

ReadCall oneByte(bool (TTComXDlg::*read)(uint8_t *))
{
    return [read](TTComXDlg &h) {
        uint8_t v = 0xEE;
        const bool ok = (h.*read)(&v);
        return ReadResult{ok, hexBytes({v})};
    };
}

ReadCall byteResult(uint8_t (TTComXDlg::*read)())
{
    return [read](TTComXDlg &h) {
        const uint8_t v = (h.*read)();
        return ReadResult{v != 0, hexBytes({v})};
    };
}

// DATA as hex text: the request, a good answer, one echoing something else (refused only where
// the echo is tested; the answer bytes stay those of the good one) and a short one.
struct ReadSenderCase {
    const char *name;
    const char *tag;
    const char *request, *good, *otherEcho, *shortAnswer;
    std::string goodOutputs, unchanged;
    ReadCall call;
    bool echoTested = true;
};

void PrintTo(const ReadSenderCase &c, std::ostream *os)
{
    *os << c.name;
}

std::vector<ReadSenderCase> readSenderCases()
{
    return {
        {"RxDousaMode", "DousaModeSet: ", "00", "00 01 62 73", "5F 01 62 73", "00 01 62", "01 62 73", "EE EE EE",
         [](TTComXDlg &h) {
             uint8_t m = 0xEE, s = 0xEE, f = 0xEE;
             const bool ok = h.RxDousaMode(&m, &s, &f);
             return ReadResult{ok, hexBytes({m, s, f})};
         },
         false},
        {"AFI_RDWR_ReadCmd", "AFI_RDWR_CMD RX: ", "51", "51 C3", "5E C3", "51", "C3", "EE",
         oneByte(&TTComXDlg::AFI_RDWR_ReadCmd)},
        // The counters arrive least significant byte first.
        {"ERR_RATE_ReadCmd", "ERR_RATE_CMD RX: ", "60", "60 01 02 03 04 05 06 07 08", "61 01 02 03 04 05 06 07 08",
         "60 01 02 03 04 05 06 07", "04030201 08070605", "EEEEEEEE EEEEEEEE",
         [](TTComXDlg &h) {
             uint32_t good = 0xEEEEEEEE, failed = 0xEEEEEEEE;
             const bool ok = h.ERR_RATE_ReadCmd(&good, &failed);
             return ReadResult{ok, QStringLiteral("%1 %2")
                                       .arg(good, 8, 16, QLatin1Char('0'))
                                       .arg(failed, 8, 16, QLatin1Char('0'))
                                       .toUpper()
                                       .toStdString()};
         }},
        {"RxEepromData", "EEPROM_RDWR_CMD RX: ", "70 01 02", "70 01 02 B1 B2 B3 B4", "70 01 03 B1 B2 B3 B4",
         "70 01 02 B1 B2 B3", "B1 B2 B3 B4", "EE EE EE EE",
         [](TTComXDlg &h) {
             std::vector<uint8_t> out(4, 0xEE);
             const bool ok = h.RxEepromData(1, 2, out);
             return ReadResult{ok, hexOf(out)};
         }},
        {"RxEepromData2", "EEPROM_RDWR_CMD2 RX: ", "72 03 01", "72 03 01 C1 C2", "70 03 01 C1 C2", "72 03 01 C1",
         "C1 C2", "EE EE",
         [](TTComXDlg &h) {
             std::vector<uint8_t> out(2, 0xEE);
             const bool ok = h.RxEepromData2(3, 1, out);
             return ReadResult{ok, hexOf(out)};
         }},
        {"RxS6700Mode", "RX S6700ModeSet: ", "09", "09 48", "5F 48", "09", "48", "EE", oneByte(&TTComXDlg::RxS6700Mode),
         false},
        {"RXParamData", "RXParamData: ", "AB", "AB 3C", "AC 3C", "AB", "3C", "EE",
         [](TTComXDlg &h) {
             uint8_t value = 0xEE;
             const bool ok = h.RXParamData(0xAB, &value);
             return ReadResult{ok, hexBytes({value})};
         }},
        {"SELANTENA_ReadCmd", "SELANTENA_CMD: ", "9C", "9C 02", "9D 02", "9C", "02", "EE",
         oneByte(&TTComXDlg::SELANTENA_ReadCmd)},
        {"PortReadCommand", "Port Read Command: ", "9F", "9F 5A", "9E 5A", "9F", "5A", "00",
         byteResult(&TTComXDlg::PortReadCommand)},
        {"CNT_EXT2PORT_ReadCmd", "CNT_EXT2PORT: ", "56", "56 7E", "5F 7E", "56", "7E", "00",
         byteResult(&TTComXDlg::CNT_EXT2PORT_ReadCmd), false},
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
    static QByteArray ack(const char *data) { return goldenFrame(0, '0', hx(data)); }

    // Runs the read against the stand-in's answer; checks the request frame and its trace.
    ReadResult run(const QList<Piece> &answer, uint8_t id)
    {
        hub->IDNo = id;
        standIn.clearReceived();
        standIn.expectAny(ReaderStandIn::pieces(answer));
        memo.clear();
        const ReadResult r = GetParam().call(*hub);
        const QByteArray request = goldenFrame(id, 'O', hx(GetParam().request));
        EXPECT_TRUE(standIn.waitForFrames(1));
        EXPECT_EQ(hexOf(standIn.received().value(0)), hexOf(request));
        EXPECT_EQ(linesOf(memo.lines.mid(0, 2)), linesOf({QString::fromUtf8(GetParam().tag), traceLine(request)}));
        EXPECT_EQ(hub->LastCmd, 'O');
        // Let late pieces arrive before the next exchange.
        waitFor([] { return false; }, 300);
        return r;
    }

    // A scan read and a gate count event that nobody asked for.
    static QList<Piece> unsolicited()
    {
        QByteArray gate = hx("80");
        gate.append(12, '\x01');
        return {{goldenFrame(0, 'd', hx("01 02 03 04 05 06 07 E0 41 42")), 0}, {goldenFrame(0, 'G', gate), 150}};
    }
};

TEST_P(ReadSenderWaitTest, TakesItsAnswerOnlyFromAGoodAckThatFollowsItsRequest)
{
    const ReadSenderCase &c = GetParam();
    QList<Piece> lateAck = unsolicited();
    lateAck.append({ack(c.good), 150});
    const struct {
        const char *name;
        QList<Piece> answer;
        bool ok;
        const QString *line; // the one failure line expected, if any
    } scenarios[] = {
        {"good answer", {{ack(c.good), 0}}, true, nullptr},
        {"other echo", {{ack(c.otherEcho), 0}}, !c.echoTested, nullptr},
        {"short answer", {{ack(c.shortAnswer), 0}}, false, &formatLine},
        {"NACK", {{goldenFrame(0, '1', hx("04")), 0}}, false, &nackLine},
        {"silence", {}, false, &timeoutLine},
        {"ACK after unsolicited frames", lateAck, true, nullptr},
        // LastReply still holds the good ACK of the scenario before.
        {"unsolicited frames alone", unsolicited(), false, &timeoutLine},
    };
    uint8_t id = 0x00;
    for (const auto &s : scenarios) {
        SCOPED_TRACE(s.name);
        const ReadResult r = run(s.answer, id);
        id = 0x5A;
        EXPECT_EQ(r.ok, s.ok) << linesOf(memo.lines);
        EXPECT_EQ(r.outputs, s.ok ? c.goodOutputs : c.unchanged);
        for (const QString *line : {&formatLine, &nackLine, &timeoutLine})
            EXPECT_EQ(memo.lines.count(*line), line == s.line ? 1 : 0) << line->toStdString();
    }
    EXPECT_EQ(window.uid[0], 0x01) << "the scan read was routed as usual";
}

INSTANTIATE_TEST_SUITE_P(ReadSenders, ReadSenderWaitTest, ::testing::ValuesIn(readSenderCases()),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(StandInSenderTest, ExtPortWriteAndRomVersionCompareWaitForTheirAck)
{
    memo.clear();
    standIn.expect('N', 0x56, ReaderStandIn::ack(hx("56")));
    EXPECT_TRUE(hub->CNT_EXT2PORT_WriteCmd(0x03));
    standIn.expect('N', 0x56, ReaderStandIn::nack(4));
    EXPECT_FALSE(hub->CNT_EXT2PORT_WriteCmd(0x03));
    ASSERT_TRUE(standIn.waitForFrames(2));
    const QByteArray frame = goldenFrame(0, 'N', hx("56 03"));
    EXPECT_EQ(hexOf(standIn.received().value(0)), hexOf(frame));
    EXPECT_EQ(linesOf(memo.lines.mid(0, 2)), linesOf({QStringLiteral("CNT_EXT2PORT: "), traceLine(frame)}));

    // The version's first three characters against 121, when they are all ASCII digits; else 0.
    const struct {
        QByteArray version;
        int expected;
    } versions[] = {{"121", 0}, {"1215a", 0}, {"13", -1},
                    {"130", 1}, {"999x", 1},  {"V1.2", -1},
                    {"", -1},   {" 12", -1},  {"\x82\x50\x82\x51\x82\x50", -1}};
    for (const auto &v : versions) {
        standIn.expect('O', 0x90, ReaderStandIn::ack(hx("90") + v.version));
        EXPECT_EQ(hub->CompareRomVersion(121), v.expected) << v.version.toStdString();
    }
    standIn.expect('O', 0x90, ReaderStandIn::nack(4));
    EXPECT_EQ(hub->CompareRomVersion(0), 0) << "a failed read compares as version 0";
}

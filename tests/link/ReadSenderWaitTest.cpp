#include "tests/link/SenderFixture.h"

#include <functional>

namespace
{

using Piece = ReaderStandIn::Piece;

// What a read sender handed back: its result and its outputs as hex.
struct ReadResult {
    bool ok = false;
    std::string outputs;
};

using ReadCall = std::function<ReadResult(TTComXDlg &)>;

ReadCall oneByte(std::function<bool(TTComXDlg &, uint8_t *)> read)
{
    return [read](TTComXDlg &h) {
        uint8_t v = 0xEE;
        const bool ok = read(h, &v);
        return ReadResult{ok, hexOf(std::vector<uint8_t>{v})};
    };
}

ReadCall byteResult(uint8_t (TTComXDlg::*read)())
{
    return [read](TTComXDlg &h) {
        const uint8_t v = (h.*read)();
        return ReadResult{v != 0, hexOf(std::vector<uint8_t>{v})};
    };
}

// DATA as hex text: the request and a good answer. A failed read leaves the outputs as
// `unchanged` says; where the echo is not tested an answer echoing something else is good.
struct ReadSenderCase {
    const char *name;
    const char *tag;
    const char *request, *good;
    std::string goodOutputs, unchanged;
    ReadCall call;
    bool echoTested = true;
};

ReadCall eeprom(bool (TTComXDlg::*read)(uint8_t, uint8_t, std::span<uint8_t>), uint8_t address, uint8_t n)
{
    return [=](TTComXDlg &h) {
        std::vector<uint8_t> out(2 * n, 0xEE);
        const bool ok = (h.*read)(address, n, out);
        return ReadResult{ok, hexOf(out)};
    };
}

std::vector<ReadSenderCase> readSenderCases()
{
    return {
        {"RxDousaMode", "DousaModeSet: ", "00", "00 01 62 73", "01 62 73", "EE EE EE",
         [](TTComXDlg &h) {
             uint8_t m = 0xEE, s = 0xEE, f = 0xEE;
             const bool ok = h.RxDousaMode(&m, &s, &f);
             return ReadResult{ok, hexOf(std::vector<uint8_t>{m, s, f})};
         },
         false},
        {"AFI_RDWR_ReadCmd", "AFI_RDWR_CMD RX: ", "51", "51 C3", "C3", "EE", oneByte(&TTComXDlg::AFI_RDWR_ReadCmd)},
        // The counters arrive least significant byte first.
        {"ERR_RATE_ReadCmd", "ERR_RATE_CMD RX: ", "60", "60 01 02 03 04 05 06 07 08", "04030201 08070605",
         "EEEEEEEE EEEEEEEE",
         [](TTComXDlg &h) {
             uint32_t good = 0xEEEEEEEE, failed = 0xEEEEEEEE;
             const bool ok = h.ERR_RATE_ReadCmd(&good, &failed);
             return ReadResult{ok, QString::asprintf("%08X %08X", good, failed).toStdString()};
         }},
        {"RxEepromData", "EEPROM_RDWR_CMD RX: ", "70 01 02", "70 01 02 B1 B2 B3 B4", "B1 B2 B3 B4", "EE EE EE EE",
         eeprom(&TTComXDlg::RxEepromData, 1, 2)},
        {"RxEepromData2", "EEPROM_RDWR_CMD2 RX: ", "72 03 01", "72 03 01 C1 C2", "C1 C2", "EE EE",
         eeprom(&TTComXDlg::RxEepromData2, 3, 1)},
        {"RxS6700Mode", "RX S6700ModeSet: ", "09", "09 48", "48", "EE", oneByte(&TTComXDlg::RxS6700Mode), false},
        {"RXParamData", "RXParamData: ", "AB", "AB 3C", "3C", "EE",
         oneByte([](TTComXDlg &h, uint8_t *v) { return h.RXParamData(0xAB, v); })},
        {"SELANTENA_ReadCmd", "SELANTENA_CMD: ", "9C", "9C 02", "02", "EE", oneByte(&TTComXDlg::SELANTENA_ReadCmd)},
        {"PortReadCommand", "Port Read Command: ", "9F", "9F 5A", "5A", "00", byteResult(&TTComXDlg::PortReadCommand)},
        {"CNT_EXT2PORT_ReadCmd", "CNT_EXT2PORT: ", "56", "56 7E", "7E", "00",
         byteResult(&TTComXDlg::CNT_EXT2PORT_ReadCmd), false},
    };
}

const QString timeoutLine = QStringLiteral("レスポンス待ち　タイムオーバー");
const QString nackLine = QStringLiteral("NACK 受信");
const QString formatLine = QStringLiteral("レスポンスフォーマットエラー");

} // namespace

class ReadSenderWaitTest : public SenderHubTest, public ::testing::WithParamInterface<ReadSenderCase>
{
protected:
    static QByteArray ack(const QByteArray &data) { return goldenFrame(0, '0', data); }

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
    const QByteArray good = hx(c.good);
    // The last echoed byte changed (DATA[0] where the echo is not tested), and the last byte cut off.
    QByteArray otherEcho = good;
    otherEcho[hx(c.request).size() - 1] ^= 0x80;
    const QByteArray shortAnswer = good.first(good.size() - 1);
    QList<Piece> lateAck = unsolicited();
    lateAck.append({ack(good), 150});
    const struct {
        const char *name;
        QList<Piece> answer;
        bool ok;
        const QString *line; // the one failure line expected, if any
    } scenarios[] = {
        {"good answer", {{ack(good), 0}}, true, nullptr},
        {"other echo", {{ack(otherEcho), 0}}, !c.echoTested, nullptr},
        {"short answer", {{ack(shortAnswer), 0}}, false, &formatLine},
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
    EXPECT_EQ(window->uid[0], 0x01) << "the scan read was routed as usual";
}

INSTANTIATE_TEST_SUITE_P(ReadSenders, ReadSenderWaitTest, ::testing::ValuesIn(readSenderCases()),
                         [](const auto &info) { return std::string(info.param.name); });

using StandInSenderTest = SenderHubTest;

TEST_F(StandInSenderTest, ExtPortWriteAndRomVersionCompareWaitForTheirAck)
{
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

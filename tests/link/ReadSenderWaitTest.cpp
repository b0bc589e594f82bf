#include "tests/link/SenderFixture.h"

namespace
{

using Piece = ReaderStandIn::Piece;

SenderCall byteResult(uint8_t (TTComXDlg::*read)())
{
    return [read](TTComXDlg &h) {
        const uint8_t v = (h.*read)();
        return SenderResult{v != 0, hexOf(std::vector<uint8_t>{v})};
    };
}

SenderCall eeprom(bool (TTComXDlg::*read)(uint8_t, uint8_t, std::span<uint8_t>), uint8_t address, uint8_t n)
{
    return [=](TTComXDlg &h) {
        std::vector<uint8_t> out(2 * n, 0xEE);
        const bool ok = (h.*read)(address, n, out);
        return SenderResult{ok, hexOf(out)};
    };
}

// DATA as hex text: the request and a good answer. A failed read leaves the outputs as
// `unchanged` says; where the echo is not tested an answer echoing something else is good.
struct ReadSenderCase {
    const char *name;
    const char *tag;
    const char *request, *good;
    std::string goodOutputs, unchanged;
    SenderCall call;
    bool echoTested = true;
};

// ctest lists each case with its parameter: the name, not a dump of the struct's bytes.
void PrintTo(const ReadSenderCase &c, std::ostream *os)
{
    *os << c.name;
}

std::vector<ReadSenderCase> readSenderCases()
{
    return {
        {"RxDousaMode", "DousaModeSet: ", "00", "00 01 62 73", "01 62 73", "EE EE EE",
         [](TTComXDlg &h) {
             uint8_t m = 0xEE, s = 0xEE, f = 0xEE;
             const bool ok = h.RxDousaMode(&m, &s, &f);
             return SenderResult{ok, hexOf(std::vector<uint8_t>{m, s, f})};
         },
         false},
        {"AFI_RDWR_ReadCmd", "AFI_RDWR_CMD RX: ", "51", "51 C3", "C3", "EE", byteOut(&TTComXDlg::AFI_RDWR_ReadCmd)},
        // The counters arrive least significant byte first.
        {"ERR_RATE_ReadCmd", "ERR_RATE_CMD RX: ", "60", "60 01 02 03 04 05 06 07 08", "04030201 08070605",
         "EEEEEEEE EEEEEEEE",
         [](TTComXDlg &h) {
             uint32_t good = 0xEEEEEEEE, failed = 0xEEEEEEEE;
             const bool ok = h.ERR_RATE_ReadCmd(&good, &failed);
             return SenderResult{ok, QString::asprintf("%08X %08X", good, failed).toStdString()};
         }},
        {"RxEepromData", "EEPROM_RDWR_CMD RX: ", "70 01 02", "70 01 02 B1 B2 B3 B4", "B1 B2 B3 B4", "EE EE EE EE",
         eeprom(&TTComXDlg::RxEepromData, 1, 2)},
        {"RxEepromData2", "EEPROM_RDWR_CMD2 RX: ", "72 03 01", "72 03 01 C1 C2", "C1 C2", "EE EE",
         eeprom(&TTComXDlg::RxEepromData2, 3, 1)},
        {"RxS6700Mode", "RX S6700ModeSet: ", "09", "09 48", "48", "EE", byteOut(&TTComXDlg::RxS6700Mode), false},
        {"RXParamData", "RXParamData: ", "AB", "AB 3C", "3C", "EE",
         byteOut([](TTComXDlg &h, uint8_t *v) { return h.RXParamData(0xAB, v); })},
        {"SELANTENA_ReadCmd", "SELANTENA_CMD: ", "9C", "9C 02", "02", "EE", byteOut(&TTComXDlg::SELANTENA_ReadCmd)},
        {"PortReadCommand", "Port Read Command: ", "9F", "9F 5A", "5A", "00", byteResult(&TTComXDlg::PortReadCommand)},
        {"CNT_EXT2PORT_ReadCmd", "CNT_EXT2PORT: ", "56", "56 7E", "7E", "00",
         byteResult(&TTComXDlg::CNT_EXT2PORT_ReadCmd), false},
    };
}

} // namespace

class ReadSenderWaitTest : public SenderWaitTest, public ::testing::WithParamInterface<ReadSenderCase>
{
};

TEST_P(ReadSenderWaitTest, TakesItsAnswerOnlyFromAGoodAckThatFollowsItsRequest)
{
    const ReadSenderCase &c = GetParam();
    const QByteArray good = hx(c.good);
    // The last echoed byte changed (DATA[0] where the echo is not tested), and the last byte cut off.
    QByteArray otherEcho = good;
    otherEcho[hx(c.request).size() - 1] ^= 0x80;
    // A scan read and a gate count event that nobody asked for.
    const QList<Piece> unsolicited = {{goldenFrame(0, 'd', hx("01 02 03 04 05 06 07 E0 41 42")), 0},
                                      {gateCountEvent(), 150}};
    expectScenarios(
        {
            {"good answer", {{ack(good), 0}}, true, nullptr},
            {"other echo", {{ack(otherEcho), 0}}, !c.echoTested, nullptr},
            {"short answer", {{ack(good.first(good.size() - 1)), 0}}, false, &formatLine},
            {"NACK", {{goldenFrame(0, '1', hx("04")), 0}}, false, &nackLine},
            {"silence", {}, false, &timeoutLine},
            {"ACK after unsolicited frames", unsolicited + QList<Piece>{{ack(good), 150}}, true, nullptr},
            // LastReply still holds the good ACK of the scenario before.
            {"unsolicited frames alone", unsolicited, false, &timeoutLine},
        },
        c.call, [&c](uint8_t id) { return goldenFrame(id, 'O', hx(c.request)); }, c.tag, c.goodOutputs, c.unchanged);
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

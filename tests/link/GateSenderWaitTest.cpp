#include "link/GateRecords.h"
#include "tests/link/SenderFixture.h"

namespace
{

SenderCall bytesOut(size_t n, std::function<bool(TTComXDlg &, std::vector<uint8_t> &)> read)
{
    return [n, read](TTComXDlg &h) {
        std::vector<uint8_t> out(n, 0xEE);
        const bool ok = read(h, out);
        return SenderResult{ok, hexOf(out)};
    };
}

SenderCall writeOnly(std::function<bool(TTComXDlg &)> send)
{
    return [send](TTComXDlg &h) { return SenderResult{send(h), ""}; };
}

SenderCall countValues2()
{
    return [](TTComXDlg &h) {
        std::vector<uint8_t> out(49, 0xEE);
        uint8_t n = 0xEE;
        const bool ok = h.GateRmcountvaluCmd2(out, &n);
        return SenderResult{ok, hexOf(out) + " n" + std::to_string(n)};
    };
}

QByteArray counting(int from, int count)
{
    QByteArray b;
    for (int i = 0; i < count; ++i)
        b.append(static_cast<char>(from + i));
    return b;
}

std::string ee(int count)
{
    return hexOf(std::vector<uint8_t>(count, 0xEE));
}

// NoEcho: an answer echoing another sub-code is good too. IdZero: sent to ID 0 whatever IDNo
// is. AckOnly: a NACK leaves the sender waiting on an ACK until the time-out. Silence: the
// reader's silence is tried too (every sender waits by the same call, which takes its 2 s).
enum Trait { NoEcho = 1, IdZero = 2, AckOnly = 4, Silence = 8 };

// DATA as hex text for the request; the DATA of a good ACK and the least LEN accepted (0: any
// ACK will do).
struct GateCase {
    const char *name;
    const char *request;
    QByteArray good;
    int minLength;
    std::string goodOutputs, unchanged;
    SenderCall call;
    int traits = 0;
};

// ctest lists each case with its parameter: the name, not a dump of the struct's bytes.
void PrintTo(const GateCase &c, std::ostream *os)
{
    *os << c.name;
}

std::vector<GateCase> gateCases()
{
    const GateCountRecord record{0x04030201, 0x08070605, 0x0A09, 0x0C0B};
    return {
        {"G_GetModeCmd", "00", hx("00 5A"), 2, "5A", "EE", byteOut(&TTComXDlg::G_GetModeCmd), NoEcho | Silence},
        {"GateGetEEPROMCmd", "01 03 02", hx("01 03 02 B1 B2 B3 B4"), 7, "B1 B2 B3 B4", ee(4),
         bytesOut(4, [](TTComXDlg &h, std::vector<uint8_t> &out) { return h.GateGetEEPROMCmd(3, 2, out); })},
        {"GateGetDispOutStateCmd", "02", hx("02 11 22"), 3, "11 22", ee(2),
         bytesOut(2, [](TTComXDlg &h, auto &out) { return h.GateGetDispOutStateCmd(std::span<uint8_t, 2>(out)); }),
         NoEcho},
        {"GateGetSwSensorCmd", "03", hx("03 33 44"), 3, "33 44", ee(2),
         bytesOut(2, [](TTComXDlg &h, auto &out) { return h.GateGetSwSensorCmd(&out[0], &out[1]); }), NoEcho},
        {"GateGetIoSensorCmd", "04", hx("04 55"), 2, "55", "EE", byteOut(&TTComXDlg::GateGetIoSensorCmd), NoEcho},
        {"GateGetPersonSensorCmd", "05", hx("05 66"), 2, "66", "EE", byteOut(&TTComXDlg::GateGetPersonSensorCmd),
         NoEcho},
        // Words and counts arrive low byte first.
        {"GateRmcountmodeCmd", "06", hx("06 01 02 03 04 05 06"), 7, "0201 0403 0605", "EEEE EEEE EEEE",
         [](TTComXDlg &h) {
             uint16_t w[3] = {0xEEEE, 0xEEEE, 0xEEEE};
             const bool ok = h.GateRmcountmodeCmd(&w[0], &w[1], &w[2]);
             return SenderResult{ok, QString::asprintf("%04X %04X %04X", w[0], w[1], w[2]).toStdString()};
         }},
        {"GateRmcountvaluCmd", "07", hx("07") + counting(1, 12), 13, "04030201 08070605 0A09 0C0B",
         "EEEEEEEE EEEEEEEE EEEE EEEE",
         [](TTComXDlg &h) {
             GateCountRecord r{0xEEEEEEEE, 0xEEEEEEEE, 0xEEEE, 0xEEEE};
             const bool ok = h.GateRmcountvaluCmd(&r);
             return SenderResult{
                 ok,
                 QString::asprintf("%08X %08X %04X %04X", r.persons1, r.persons2, r.alarms1, r.alarms2).toStdString()};
         }},
        {"GateGetDispOutStateCmd2", "08", hx("08 77 88 99"), 4, "77 88 99", ee(3),
         bytesOut(3, [](TTComXDlg &h, auto &out) { return h.GateGetDispOutStateCmd2(std::span<uint8_t, 3>(out)); }),
         NoEcho},
        // The record alone, and a longer answer of which no more than 49 bytes are taken.
        {"GateRmcountvaluCmd2Record", "0B", hx("0B") + counting(1, 36), 37,
         hexOf(counting(1, 36)) + " " + ee(13) + " n36", ee(49) + " n238", countValues2()},
        {"GateRmcountvaluCmd2Capped", "0B", hx("0B") + counting(1, 59), 37, hexOf(counting(1, 49)) + " n49",
         ee(49) + " n238", countValues2()},
        {"GateGetSPKVolumeCmd", "0C", hx("0C 08"), 2, "08", "EE", byteOut(&TTComXDlg::GateGetSPKVolumeCmd)},
        {"GateGetBPSSpeedComad", "9E", hx("9E 02"), 2, "02", "EE", byteOut(&TTComXDlg::GateGetBPSSpeedComad), IdZero},
        // The writes that test the ACK's echo.
        {"GateWmcountmodeCmd", "23 01 02 03 04 05 06", hx("23"), 1, "", "",
         writeOnly([](TTComXDlg &h) { return h.GateWmcountmodeCmd(0x0201, 0x0403, 0x0605); })},
        {"GateWmcountvaluCmd", "24 01 02 03 04 05 06 07 08 09 0A 0B 0C", hx("24"), 1, "", "",
         writeOnly([record](TTComXDlg &h) { return h.GateWmcountvaluCmd(record); })},
        {"GateWadjusttimeCmd", "25", hx("25"), 1, "", "", writeOnly(&TTComXDlg::GateWadjusttimeCmd)},
        {"GateWmcountmodeCmd2", "28 A1 A2", hx("28"), 1, "", "", writeOnly([](TTComXDlg &h) {
             return h.GateWmcountmodeCmd2(std::vector<uint8_t>{0xA1, 0xA2}, 2);
         })},
        {"GateSetSPKVolumeCmd", "29 05", hx("29"), 1, "", "",
         writeOnly([](TTComXDlg &h) { return h.GateSetSPKVolumeCmd(5); })},
        {"GateSetDispOutStateCmd2", "26 01 02 03", hx("26"), 0, "", "",
         writeOnly([](TTComXDlg &h) { return h.GateSetDispOutStateCmd2(1, 2, 3); }), NoEcho | AckOnly},
    };
}

} // namespace

class GateSenderWaitTest : public SenderWaitTest, public ::testing::WithParamInterface<GateCase>
{
};

TEST_P(GateSenderWaitTest, TakesItsAnswerOnlyFromInsideTheAckThatEndedItsWait)
{
    const GateCase &c = GetParam();
    QByteArray otherEcho = c.good;
    otherEcho[0] = static_cast<char>(otherEcho[0] ^ 0x80);
    std::vector<WaitScenario> scenarios = {
        {"good answer", {{ack(c.good), 0}}, true, nullptr},
        {"other echo", {{ack(otherEcho), 0}}, (c.traits & NoEcho) != 0, nullptr},
        // A short answer fails without a line of its own: the monitors poll every second.
        {"short answer", {{ack(c.good.first(std::max(c.minLength - 1, 0))), 0}}, c.minLength == 0, nullptr},
        {"NACK", {{goldenFrame(0, '1', hx("04")), 0}}, false, c.traits & AckOnly ? &timeoutLine : &nackLine},
        {"count event before the ACK", {{gateCountEvent(), 0}, {ack(c.good), 150}}, true, nullptr},
    };
    if (c.traits & Silence)
        scenarios.insert(scenarios.end() - 1, {"silence", {}, false, &timeoutLine});
    expectScenarios(
        scenarios, c.call, [&c](uint8_t id) { return goldenFrame(c.traits & IdZero ? 0 : id, 'G', hx(c.request)); },
        nullptr, c.goodOutputs, c.unchanged);
    EXPECT_EQ(window->gateEvents.size(), 1u) << "the count event was forwarded as usual";
}

INSTANTIATE_TEST_SUITE_P(GateSenders, GateSenderWaitTest, ::testing::ValuesIn(gateCases()),
                         [](const auto &info) { return std::string(info.param.name); });

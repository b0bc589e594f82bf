// Gate command senders of the hub: 'G' requests to the M740 and M750 gates. Each waits for the
// gate's answer itself (the restart excepted) and writes no line beyond its TX trace and the
// wait's own: the people-count monitor polls every second, and a failed poll must not fill the
// log. Outputs are written only from inside the DATA of the ACK that ended the wait.

#include "link/GateRecords.h"
#include "link/SendData.h"
#include "link/TTComXDlg.h"

#include <algorithm>

namespace
{

// The program-mode, restart, line-speed and generic gate commands go to ID 0 whatever IDNo is.
constexpr uint8_t GateCommonId = 0;

bool answered(TTComXDlg &hub, QByteArrayView echo, int answerLength)
{
    return checkAnswer(hub.lastReplyFrame(), echo, answerLength) == AnswerCheck::Ok;
}

// Sends a request and waits for its ACK or NACK; true for an ACK.
bool exchange(TTComXDlg &hub, const std::optional<QByteArray> &data, const QString &tag,
              std::optional<uint8_t> id = std::nullopt)
{
    return hub.sendCommand(CmdGate, data, tag, true, id) && hub.WaitReply();
}

// The reads whose answer is out.size() bytes from DATA[1]. DATA[0] must echo the sub-code only
// where the read tests it, but must be there in any case.
bool readGateBytes(TTComXDlg &hub, uint8_t subCode, const QString &tag, bool echoTested, std::span<uint8_t> out,
                   std::optional<uint8_t> id = std::nullopt)
{
    const QByteArray request = dataBytes({subCode});
    const int n = static_cast<int>(out.size());
    if (!exchange(hub, request, tag, id) || !(echoTested ? answered(hub, request, n) : answered(hub, {}, n + 1)))
        return false;
    const QByteArray answer = answerBytes(hub.lastReplyFrame(), 1, n);
    std::copy(answer.begin(), answer.end(), out.begin());
    return true;
}

bool readGateByte(TTComXDlg &hub, uint8_t subCode, const QString &tag, bool echoTested, uint8_t *out,
                  std::optional<uint8_t> id = std::nullopt)
{
    uint8_t value = 0;
    if (!readGateBytes(hub, subCode, tag, echoTested, std::span<uint8_t>(&value, 1), id))
        return false;
    if (out)
        *out = value;
    return true;
}

// A write whose ACK must echo its sub-code.
bool writeGateEchoed(TTComXDlg &hub, const std::optional<QByteArray> &data, const QString &tag)
{
    return exchange(hub, data, tag) && answered(hub, data->first(1), 0);
}

} // namespace

bool TTComXDlg::G_GetModeCmd(uint8_t *mode)
{
    return readGateByte(*this, 0x00, QStringLiteral("G_GetModeCmd: "), false, mode);
}

bool TTComXDlg::G_SetModeCmd(uint8_t mode)
{
    return exchange(*this, dataBytes({0x20, mode}), QStringLiteral("G_SetModeCmd: "));
}

bool TTComXDlg::GateGetEEPROMCmd(uint8_t wordAddress, uint8_t n, std::span<uint8_t> bytes)
{
    const QByteArray request = dataBytes({0x01, wordAddress, n});
    if (!exchange(*this, request, QStringLiteral("GateGetEEPROMCmd: ")) || !answered(*this, request, 2 * n))
        return false;
    const QByteArray words = answerBytes(lastReplyFrame(), 3, 2 * n);
    std::copy_n(words.constData(), std::min<size_t>(bytes.size(), size_t(words.size())), bytes.begin());
    return true;
}

bool TTComXDlg::GateSetEEPROMCmd(uint8_t wordAddress, uint8_t n, ByteSpan bytes)
{
    return exchange(*this, eepromWriteData(0x21, wordAddress, n, bytes), QStringLiteral("GateSetEEPROMCmd: "));
}

bool TTComXDlg::GateGetDispOutStateCmd(std::span<uint8_t, 2> state)
{
    return readGateBytes(*this, 0x02, QStringLiteral("GateGetDispOutStateCmd: "), false, state);
}

bool TTComXDlg::GateSetDispOutStateCmd(uint8_t byte0, uint8_t byte1)
{
    return exchange(*this, dataBytes({0x22, byte0, byte1}), QStringLiteral("GateSetDispOutStateCmd: "));
}

bool TTComXDlg::GateGetSwSensorCmd(uint8_t *releaseSwitch, uint8_t *dipSwitch)
{
    std::array<uint8_t, 2> answer{};
    if (!readGateBytes(*this, 0x03, QStringLiteral("GateGetSwSensorCmd: "), false, answer))
        return false;
    if (releaseSwitch)
        *releaseSwitch = answer[0];
    if (dipSwitch)
        *dipSwitch = answer[1];
    return true;
}

bool TTComXDlg::GateGetIoSensorCmd(uint8_t *sensors)
{
    return readGateByte(*this, 0x04, QStringLiteral("GateGetIoSensorCmd: "), false, sensors);
}

bool TTComXDlg::GateGetPersonSensorCmd(uint8_t *sensor)
{
    return readGateByte(*this, 0x05, QStringLiteral("GateGetPersonSensorCmd: "), false, sensor);
}

bool TTComXDlg::GateRmcountmodeCmd(uint16_t *word1, uint16_t *word2, uint16_t *word3)
{
    std::array<uint8_t, 6> answer{};
    if (!readGateBytes(*this, 0x06, QStringLiteral("GateRmcountmodeCmd: "), true, answer))
        return false;
    uint16_t *const words[] = {word1, word2, word3};
    for (int i = 0; i < 3; ++i)
        if (words[i])
            *words[i] = static_cast<uint16_t>(answer[2 * i] | (answer[2 * i + 1] << 8));
    return true;
}

bool TTComXDlg::GateWmcountmodeCmd(uint16_t word1, uint16_t word2, uint16_t word3)
{
    return writeGateEchoed(*this, gateCountModeData(0x23, word1, word2, word3), QStringLiteral("GateWmcountmodeCmd: "));
}

bool TTComXDlg::GateRmcountvaluCmd(GateCountRecord *record)
{
    std::array<uint8_t, GateCountRecord::Size> answer{};
    if (!readGateBytes(*this, 0x07, QStringLiteral("GateRmcountvaluCmd: "), true, answer))
        return false;
    if (record)
        *record = *GateCountRecord::fromBytes(QByteArrayView(answer.data(), answer.size()));
    return true;
}

bool TTComXDlg::GateWmcountvaluCmd(const GateCountRecord &record)
{
    return writeGateEchoed(*this, dataBytes({0x24}) + record.toBytes(), QStringLiteral("GateWmcountvaluCmd: "));
}

bool TTComXDlg::GateWadjusttimeCmd()
{
    return writeGateEchoed(*this, dataBytes({0x25}), QStringLiteral("GateWadjusttimeCmd: "));
}

bool TTComXDlg::GateGetDispOutStateCmd2(std::span<uint8_t, 3> state)
{
    return readGateBytes(*this, 0x08, QStringLiteral("GateGetDispOutStateCmd2: "), false, state);
}

bool TTComXDlg::GateSetDispOutStateCmd2(uint8_t byte0, uint8_t byte1, uint8_t byte2)
{
    // Same tag as the two-byte write.
    return sendCommand(CmdGate, dataBytes({0x26, byte0, byte1, byte2}), QStringLiteral("GateSetDispOutStateCmd: ")) &&
           WaitReplyState(ReplyStateAck);
}

bool TTComXDlg::GateRmcountvaluCmd2(std::span<uint8_t> bytes, uint8_t *count)
{
    const QByteArray request = dataBytes({0x0B});
    if (!exchange(*this, request, QStringLiteral("GateRmcountvaluCmd2: ")) ||
        !answered(*this, request, GateCount2Record::Size))
        return false;
    // The record and whatever follows it, never more than 49 bytes.
    const int n = std::min<int>(static_cast<uint8_t>(lastReplyFrame()[FrameLenIndex]), 50) - 1;
    const QByteArray answer = answerBytes(lastReplyFrame(), 1, n);
    std::copy_n(answer.constData(), std::min<size_t>(bytes.size(), size_t(n)), bytes.begin());
    if (count)
        *count = static_cast<uint8_t>(n);
    return true;
}

bool TTComXDlg::GateWmcountmodeCmd2(ByteSpan data, uint8_t n)
{
    return writeGateEchoed(*this, prefixedData(0x28, data, n), QStringLiteral("GateWmcountmodeCmd2: "));
}

bool TTComXDlg::GateGetSPKVolumeCmd(uint8_t *volume)
{
    return readGateByte(*this, 0x0C, QStringLiteral("GateGetSPKVolumeCmd: "), true, volume);
}

bool TTComXDlg::GateSetSPKVolumeCmd(uint8_t volume)
{
    return writeGateEchoed(*this, dataBytes({0x29, volume}), QStringLiteral("GateSetSPKVolumeCmd: "));
}

void TTComXDlg::GateGetRomVersionCmd()
{
    // Written on an ACK whether or not the TX trace is on; the answer itself shows only in the RX trace.
    if (exchange(*this, dataBytes({0x90, 0x00}), QStringLiteral("ＲＯＭのバージョン情報")))
        AppendLog(QStringLiteral("ＲＯＭのバージョン情報 取得ＯＫ"));
}

void TTComXDlg::GateGetModelNameCmd()
{
    if (exchange(*this, dataBytes({0x93}), QStringLiteral("機種名（ModelName）の取得")))
        AppendLog(QStringLiteral("機種名（ModelName）の取得ＯＫ"));
}

void TTComXDlg::GateProgModeComad()
{
    // The fixed access code of the firmware-write mode, as ASCII digits; the outcome is not reported.
    exchange(*this, dataBytes({0x9B}) + QByteArrayLiteral("703518294"), QStringLiteral("GateProgModeComad: "),
             GateCommonId);
}

void TTComXDlg::GateReStartComad()
{
    sendCommand(CmdGate, dataBytes({0x9D}), QStringLiteral("GateReStartComad: "), true, GateCommonId);
}

bool TTComXDlg::GateGetBPSSpeedComad(uint8_t *speedCode)
{
    return readGateByte(*this, 0x9E, QStringLiteral("GateGetBPSSpeedComad: "), true, speedCode, GateCommonId);
}

bool TTComXDlg::GateSetBPSSpeedComad(uint8_t speedCode)
{
    return exchange(*this, dataBytes({0x9C, speedCode}), QStringLiteral("GateSetBPSSpeedComad: "), GateCommonId);
}

bool TTComXDlg::GateCommCmd(uint8_t n, ByteSpan bytes)
{
    QByteArray d;
    appendPadded(d, bytes, n);
    return exchange(*this, d, QStringLiteral("GateCommCmd: "), GateCommonId);
}

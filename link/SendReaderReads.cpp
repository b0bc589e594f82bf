// The reader's read senders that wait for their own answer, and the ROM version test.

#include "link/ReplyDecoders.h"
#include "link/SendData.h"
#include "link/TTComXDlg.h"

#include <algorithm>
#include <optional>

namespace
{

bool readEeprom(TTComXDlg &hub, uint8_t subCode, uint8_t wordAddress, uint8_t n, std::span<uint8_t> out,
                const QString &tag)
{
    const QByteArray request = dataBytes({subCode, wordAddress, n});
    hub.sendCommand(CmdGet, request, tag);
    if (!hub.waitForAnswer(request, 2 * n))
        return false;
    const QByteArray words = answerBytes(hub.lastReplyFrame(), 3, 2 * n);
    std::copy_n(words.constData(), std::min<size_t>(out.size(), size_t(words.size())), out.begin());
    return true;
}

// The reads whose answer is one byte after the sub-code: DATA[1] of the ACK that ended the
// wait. Where the echo is not tested, DATA[0] only has to be there.
std::optional<uint8_t> readByte(TTComXDlg &hub, uint8_t subCode, bool echoTested, const QString &tag)
{
    const QByteArray request = dataBytes({subCode});
    hub.sendCommand(CmdGet, request, tag);
    const bool ok = echoTested ? hub.waitForAnswer(request, 1) : hub.waitForAnswer({}, 2);
    if (!ok)
        return std::nullopt;
    return hub.LastReply[FrameDataIndex + 1];
}

bool storeTo(std::optional<uint8_t> value, uint8_t *out)
{
    if (!value)
        return false;
    if (out)
        *out = *value;
    return true;
}

} // namespace

bool TTComXDlg::waitForAnswer(QByteArrayView echo, int answerLength)
{
    if (!WaitReply())
        return false;
    switch (checkAnswer(lastReplyFrame(), echo, answerLength)) {
    case AnswerCheck::Ok:
        return true;
    case AnswerCheck::EchoMismatch:
        return false;
    case AnswerCheck::Short:
        break;
    }
    AppendLog(kFormatErrorLine);
    return false;
}

uint8_t TTComXDlg::PortReadCommand()
{
    sendCommand(CmdGet, dataBytes({0x9F}), QStringLiteral("Port Read Command: "));
    if (!WaitReply())
        return 0;
    // PortData may still hold an earlier read: only a value this ACK carried is returned. A
    // short 0x9F answer has been reported by its decoder already.
    const QByteArrayView frame = lastReplyFrame();
    if (checkAnswer(frame, "\x9F", 1) != AnswerCheck::Ok)
        return 0;
    return static_cast<uint8_t>(frame[FrameDataIndex + 1]);
}

bool TTComXDlg::RxDousaMode(uint8_t *modeCode, uint8_t *second, uint8_t *flags)
{
    sendCommand(CmdGet, dataBytes({0x00}), QStringLiteral("DousaModeSet: "));
    // No echo test: DATA[0] is only counted, DATA[1..3] are the record.
    if (!waitForAnswer({}, 4))
        return false;
    const QByteArray record = answerBytes(lastReplyFrame(), 1, 3);
    if (modeCode)
        *modeCode = static_cast<uint8_t>(record[0]);
    if (second)
        *second = static_cast<uint8_t>(record[1]);
    if (flags)
        *flags = static_cast<uint8_t>(record[2]);
    return true;
}

bool TTComXDlg::AFI_RDWR_ReadCmd(uint8_t *afi)
{
    return storeTo(readByte(*this, 0x51, true, QStringLiteral("AFI_RDWR_CMD RX: ")), afi);
}

bool TTComXDlg::ERR_RATE_ReadCmd(uint32_t *good, uint32_t *failed)
{
    sendCommand(CmdGet, dataBytes({0x60}), QStringLiteral("ERR_RATE_CMD RX: "));
    if (!waitForAnswer("\x60", 8))
        return false;
    // The counters arrive least significant byte first.
    if (good)
        *good = answerU32LowFirst(lastReplyFrame(), 1);
    if (failed)
        *failed = answerU32LowFirst(lastReplyFrame(), 5);
    return true;
}

bool TTComXDlg::RxEepromData(uint8_t wordAddress, uint8_t n, std::span<uint8_t> bytes)
{
    return readEeprom(*this, 0x70, wordAddress, n, bytes, QStringLiteral("EEPROM_RDWR_CMD RX: "));
}

bool TTComXDlg::RxEepromData2(uint8_t wordAddress, uint8_t n, std::span<uint8_t> bytes)
{
    return readEeprom(*this, 0x72, wordAddress, n, bytes, QStringLiteral("EEPROM_RDWR_CMD2 RX: "));
}

bool TTComXDlg::RxS6700Mode(uint8_t *mode)
{
    return storeTo(readByte(*this, 0x09, false, QStringLiteral("RX S6700ModeSet: ")), mode);
}

bool TTComXDlg::RXParamData(uint8_t paramNo, uint8_t *value)
{
    return storeTo(readByte(*this, paramNo, true, QStringLiteral("RXParamData: ")), value);
}

bool TTComXDlg::SELANTENA_ReadCmd(uint8_t *antenna)
{
    return storeTo(readByte(*this, 0x9C, true, QStringLiteral("SELANTENA_CMD: ")), antenna);
}

bool TTComXDlg::CNT_EXT2PORT_WriteCmd(uint8_t value)
{
    sendCommand(CmdSet, dataBytes({0x56, value}), QStringLiteral("CNT_EXT2PORT: "));
    return WaitReply();
}

uint8_t TTComXDlg::CNT_EXT2PORT_ReadCmd()
{
    // No echo test: any ACK that carries DATA[1] answers.
    return readByte(*this, 0x56, false, QStringLiteral("CNT_EXT2PORT: ")).value_or(0);
}

int TTComXDlg::CompareRomVersion(int reference)
{
    GetRomVersionCmd();
    const int v = WaitReply() ? romVersionNumber(QByteArrayView(RomVersion)) : 0;
    return v < reference ? -1 : (v == reference ? 0 : 1);
}

// The reader's read senders that wait for their own answer, and the ROM version test.

#include "link/SendData.h"
#include "link/TTComXDlg.h"

#include <algorithm>

namespace
{

const char *const formatErrorLine = "レスポンスフォーマットエラー";

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
    AppendLog(QString::fromUtf8(formatErrorLine));
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
    sendCommand(CmdGet, dataBytes({0x51}), QStringLiteral("AFI_RDWR_CMD RX: "));
    if (!waitForAnswer("\x51", 1))
        return false;
    if (afi)
        *afi = LastReply[FrameDataIndex + 1];
    return true;
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
    sendCommand(CmdGet, dataBytes({0x09}), QStringLiteral("RX S6700ModeSet: "));
    if (!waitForAnswer({}, 2))
        return false;
    if (mode)
        *mode = LastReply[FrameDataIndex + 1];
    return true;
}

bool TTComXDlg::RXParamData(uint8_t paramNo, uint8_t *value)
{
    const QByteArray request = dataBytes({paramNo});
    sendCommand(CmdGet, request, QStringLiteral("RXParamData: "));
    if (!waitForAnswer(request, 1))
        return false;
    if (value)
        *value = LastReply[FrameDataIndex + 1];
    return true;
}

bool TTComXDlg::SELANTENA_ReadCmd(uint8_t *antenna)
{
    sendCommand(CmdGet, dataBytes({0x9C}), QStringLiteral("SELANTENA_CMD: "));
    if (!waitForAnswer("\x9C", 1))
        return false;
    if (antenna)
        *antenna = LastReply[FrameDataIndex + 1];
    return true;
}

bool TTComXDlg::CNT_EXT2PORT_WriteCmd(uint8_t value)
{
    sendCommand(CmdSet, dataBytes({0x56, value}), QStringLiteral("CNT_EXT2PORT: "));
    return WaitReply();
}

uint8_t TTComXDlg::CNT_EXT2PORT_ReadCmd()
{
    sendCommand(CmdGet, dataBytes({0x56}), QStringLiteral("CNT_EXT2PORT: "));
    if (!waitForAnswer({}, 2))
        return 0;
    return LastReply[FrameDataIndex + 1];
}

int TTComXDlg::CompareRomVersion(int reference)
{
    GetRomVersionCmd();
    const int v = WaitReply() ? romVersionNumber(QByteArrayView(RomVersion)) : 0;
    return v < reference ? -1 : (v == reference ? 0 : 1);
}

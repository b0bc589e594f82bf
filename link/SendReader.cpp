// Reader command senders of the hub: 'Q', 'B', 'R', 'J', 'O' and 'N' requests.

#include "link/HubWindow.h"
#include "link/SendData.h"
#include "link/TTComXDlg.h"

bool TTComXDlg::sendCommand(uint8_t cmd, const std::optional<QByteArray> &data, const QString &tag, bool recordsLastCmd,
                            std::optional<uint8_t> id)
{
    const QByteArray frame = data ? buildFrame(id.value_or(IDNo), cmd, *data) : QByteArray();
    if (frame.isEmpty()) {
        ClearReplyState();
        AppendLog(tag + QStringLiteral("DATA長オーバー"));
        return false;
    }
    if (recordsLastCmd)
        LastCmd = cmd;
    if (fDispTxInfo) {
        AppendLog(tag);
        AppendLog(hexLine(frame));
    }
    ClearReplyState();
    SendFrame(frame);
    return true;
}

QByteArrayView TTComXDlg::lastReplyFrame() const
{
    return QByteArrayView(reinterpret_cast<const char *>(LastReply.data()), static_cast<qsizetype>(LastReply.size()));
}

void TTComXDlg::QuitCommand(uint8_t value)
{
    sendCommand(CmdQuit, dataBytes({value}), QStringLiteral("QUIT_command: "), false);
}

void TTComXDlg::BuzzerCommand(uint8_t number, uint8_t first)
{
    sendCommand(CmdBuzzer, buzzerData(number, first), QStringLiteral("Buzzer Command: "), false);
}

void TTComXDlg::SimpleReadCommand()
{
    sendCommand(CmdSimpleRead, QByteArray(), QStringLiteral("Simple Read Command: "), false);
}

void TTComXDlg::GetRomVersionCmd()
{
    sendCommand(CmdGet, dataBytes({0x90, 0x00}), QStringLiteral("ＲＯＭのバージョン情報"));
}

void TTComXDlg::GetModelNameCmd()
{
    sendCommand(CmdGet, dataBytes({0x93}), QStringLiteral("機種名（ModelName）の取得"));
}

void TTComXDlg::RamReadCommand(uint16_t address, uint8_t count)
{
    sendCommand(CmdGet, ramReadData(address, count), QStringLiteral("RAM Read Command: "));
}

bool TTComXDlg::RamWriteCommand(uint16_t address, uint8_t n, uint32_t value)
{
    return sendCommand(CmdSet, ramWriteData(address, n, value), QStringLiteral("RAM Write Command: "), false);
}

void TTComXDlg::PortWriteCommand(uint8_t select, uint8_t value)
{
    sendCommand(CmdSet, dataBytes({0x9F, select, value}), QStringLiteral("Port Write Command: "));
}

bool TTComXDlg::DousaModeSetJCmd(uint8_t n, ByteSpan data)
{
    return sendCommand(CmdSetMode, dousaModeSetJData(n, data), QStringLiteral("DousaModeSet: "));
}

void TTComXDlg::DousaModeGetNoWait(uint8_t subCode)
{
    sendCommand(CmdGet, dataBytes({subCode}), QString::fromUtf8(dousaModeGetTag(subCode)));
}

void TTComXDlg::TxDousaMode(uint8_t modeCode, uint8_t second, uint8_t flags, uint16_t pollingTime, bool alsoEeprom)
{
    const uint8_t blockNo = window() ? static_cast<uint8_t>(window()->BlockNo()) : 0;
    sendCommand(CmdSet, txDousaModeData(modeCode, second, flags, pollingTime, alsoEeprom, blockNo),
                QStringLiteral("DousaModeSet: "));
}

bool TTComXDlg::PolWrite(uint8_t modeCode, uint8_t second, uint8_t flags, uint16_t pollingTime, bool alsoEeprom,
                         uint8_t blockNo, uint8_t n, ByteSpan data, uint8_t requestFlags)
{
    PolWriteArgs a;
    a.modeCode = modeCode;
    a.second = second;
    a.flags = flags;
    a.pollingTime = pollingTime;
    a.alsoEeprom = alsoEeprom;
    a.windowBlockNo = window() ? static_cast<uint8_t>(window()->BlockNo()) : 0;
    a.blockNo = blockNo;
    a.n = n;
    a.data = data;
    a.requestFlags = requestFlags;
    a.uid = currentUidBytes();
    return sendCommand(CmdSet, polWriteData(a), QStringLiteral("PolWrite: "));
}

void TTComXDlg::AFI_RDWR_WriteCmd(uint8_t afi)
{
    sendCommand(CmdSet, dataBytes({0x51, afi}), QStringLiteral("AFI_RDWR_CMD TX: "));
}

void TTComXDlg::ERR_RATE_ClearCmd()
{
    sendCommand(CmdSet, dataBytes({0x60}), QStringLiteral("ERR_RATE_CMD TX: "));
}

bool TTComXDlg::TxEepromData(uint8_t wordAddress, uint8_t n, ByteSpan bytes)
{
    return sendCommand(CmdSet, eepromWriteData(0x70, wordAddress, n, bytes), QStringLiteral("EEPROM_RDWR_CMD TX: "));
}

bool TTComXDlg::TxEepromData2(uint8_t wordAddress, uint8_t n, ByteSpan bytes)
{
    return sendCommand(CmdSet, eepromWriteData(0x72, wordAddress, n, bytes), QStringLiteral("EEPROM_RDWR_CMD2 TX: "));
}

void TTComXDlg::TxS6700Mode(uint8_t mode, bool alsoEeprom)
{
    sendCommand(CmdSet, dataBytes({static_cast<uint8_t>(alsoEeprom ? 0x19 : 0x09), mode}),
                QStringLiteral("S6700ModeSet: "));
}

void TTComXDlg::TxSetParamData(uint8_t paramNo, uint8_t value)
{
    sendCommand(CmdSet, dataBytes({paramNo, value}), QStringLiteral("TxSetParamData: "));
}

void TTComXDlg::RESTART_Cmd()
{
    sendCommand(CmdSet, dataBytes({0x9D}), QStringLiteral("RESTART_CMD: "));
}

void TTComXDlg::TXON_OFF_Cmd(uint8_t value)
{
    sendCommand(CmdSet, dataBytes({0x9E, value}), QStringLiteral("TXON_OFF_CMD: "));
}

void TTComXDlg::POWERDOWN_WriteCmd()
{
    sendCommand(CmdSet, dataBytes({0x52}), QStringLiteral("POWERDOWN_CMD: "));
}

void TTComXDlg::POWERDOWN_ReadCmd()
{
    sendCommand(CmdGet, dataBytes({0x52}), QStringLiteral("POWERDOWN_CMD: "));
}

void TTComXDlg::SELANTENA_WriteCmd(uint8_t antenna)
{
    sendCommand(CmdSet, dataBytes({0x9C, antenna}), QStringLiteral("SELANTENA_CMD: "));
}

void TTComXDlg::SET_LEDCONT_Cmd(uint8_t led, uint8_t mode, uint8_t time)
{
    sendCommand(CmdSet, dataBytes({0x55, led, mode, time}), QStringLiteral("SET_LEDCONT: "));
}

void TTComXDlg::CNT_LEDBUZ_Cmd(uint8_t port, uint8_t ledMode, uint8_t ledTime, uint8_t buzzerSound, uint8_t buzzerTime)
{
    sendCommand(CmdSet, dataBytes({0x57, port, ledMode, ledTime, buzzerSound, buzzerTime}),
                QStringLiteral("CNT_LEDBUZ_CMD: "));
}

void TTComXDlg::GetErrorStatusCmd()
{
    sendCommand(CmdGet, dataBytes({0x80}), QStringLiteral("Get ERROR STATUS: "));
}

void TTComXDlg::GETUIDNUMBER_Cmd()
{
    sendCommand(CmdGet, dataBytes({0x53}), QStringLiteral("GETUIDNUMBER_CMD: "));
}

void TTComXDlg::GETUIDDATA_Cmd(uint8_t index)
{
    sendCommand(CmdGet, dataBytes({0x54, index}), QStringLiteral("GETUIDDATA_CMD: "));
}

void TTComXDlg::EEPROM_INIT_Cmd()
{
    sendCommand(CmdSet, dataBytes({0x71}), QStringLiteral("EEPROM_INIT_CMD: "));
}

void TTComXDlg::UID_RDWR_ReadCmd()
{
    sendCommand(CmdGet, dataBytes({0x50}), QStringLiteral("UID_RDWR_CMD: "));
}

void TTComXDlg::UID_RDWR_WriteCmd(ByteSpan uid)
{
    sendCommand(CmdSet, uidWriteData(uid), QStringLiteral("UID_RDWR_CMD: "));
}

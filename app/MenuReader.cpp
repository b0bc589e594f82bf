// Handlers of the reader's own commands: the menu "汎用コマンド", "コマンド" > "モード受信" and
// the tool button "データ書込". Most send one command and leave the reply to the hub's
// decoders; the simple read, the tag-data write and the EEPROM initialisation log their own
// result. The restart and the EEPROM initialisation run with the window disabled and the log
// suspended.

#include "app/BusyGuards.h"
#include "app/FixedBytes.h"
#include "app/HandlerKit.h"
#include "app/KV8AppForm.h"
#include "app/ReaderDialogs.h"
#include "controls/DialogKit.h"
#include "link/Frame.h"
#include "link/ReplyDecoders.h"
#include "link/SendData.h"
#include "link/TTComXDlg.h"
#include "platform/Cp932.h"
#include "platform/PendingMessages.h"
#include "setup/ReaderIoDialogs.h"

#include <QLineEdit>
#include <QPlainTextEdit>

#include <algorithm>
#include <memory>

namespace
{

bool senderIs(const QObject *Sender, const char *name)
{
    return Sender && Sender->objectName() == QLatin1String(name);
}

ByteSpan spanOf(const QByteArray &bytes)
{
    return ByteSpan(reinterpret_cast<const uint8_t *>(bytes.constData()), static_cast<size_t>(bytes.size()));
}

// A text's byte count held to TagWriteNum, a negative setting counting as 0.
int capAtWriteNum(int count, int writeNum)
{
    return std::min(count, std::max(writeNum, 0));
}

// What the request around the data takes of the 255 DATA bytes: the tag-data write's four
// zero bytes; the polling write's seven mode bytes, block, count and flags, and the UID when
// addressed; the byte write's code, start, count and flags, and the UID when addressed.
constexpr int maxTagDataWrite = static_cast<int>(maxDataLength) - 4;
int maxPolWrite(uint8_t flags)
{
    return static_cast<int>(maxDataLength) - 10 - (isAddressed(flags) ? 8 : 0);
}
int maxBytesWrite(uint8_t flags)
{
    return static_cast<int>(maxDataLength) - 4 - (isAddressed(flags) ? 8 : 0);
}

// A raw ISO 15693 request passed through the reader: three bytes the reader takes as they
// are, then the request from its flags byte on, and the request's CRC low byte first.
void sendRawRequest(TKV8AppForm &form, QByteArray bytes, const QByteArray &request)
{
    const uint16_t crc =
        Crc16Iso15693(reinterpret_cast<const uint8_t *>(request.constData()), static_cast<uint8_t>(request.size()));
    bytes += request;
    bytes += static_cast<char>(crc & 0xFF);
    bytes += static_cast<char>(crc >> 8);
    runReaderSender(form, TagSteps::SendOnly, &TTComXDlg::ISO15693_CommCmd, static_cast<uint8_t>(bytes.size()),
                    spanOf(bytes));
}

// The simple read's own lines for the frame that ended its wait. Only bytes inside the
// frame's DATA are read.
QStringList simpleReadLines(const ReplyFrame &f)
{
    switch (f.code()) {
    case ReplyNack:
        return {QStringLiteral("NAK 受信")};
    case ReplyReadData:
        return {QStringLiteral("D_command 受信"), cp932ToUnicode(textSkippingZeros(f.data(0, f.len())))};
    case ReplyScanRead:
        if (!f.has(8))
            return {QStringLiteral("d_command 受信"), kFormatErrorLine};
        // The UID most significant byte first, then the data after it (an empty line when none).
        return {QStringLiteral("d_command 受信"), QString::fromLatin1(reversedHexText(f.data(0, 8))),
                cp932ToUnicode(textSkippingZeros(f.data(8, f.len() - 8)))};
    default:
        return {QStringLiteral("コマンドエラー")};
    }
}

// The AFI and its check box, shared by the 16-slot inventory and the read loops.
void showLoopAfi(const TKV8AppForm &form, LoopDialog &dlg)
{
    dlg.EdAFI->SetValue(form.LoopAFIValue);
    dlg.CBUseAFI->setChecked(form.LoopUseAFI != 0);
}

void readLoopAfi(TKV8AppForm &form, const LoopDialog &dlg)
{
    form.LoopAFIValue = dlg.EdAFI->GetValue();
    form.LoopUseAFI = dlg.CBUseAFI->isChecked() ? 1 : 0;
}

// The first block and data length of the two read loops, then the AFI.
template <class Dialog> void showReadRange(const TKV8AppForm &form, Dialog &dlg)
{
    dlg.EdBlockNum->SetValue(form.LoopStartBlock);
    dlg.EdLen->SetValue(form.LoopDataLen);
    showLoopAfi(form, dlg);
}

template <class Dialog> void readReadRange(TKV8AppForm &form, const Dialog &dlg)
{
    form.LoopStartBlock = dlg.EdBlockNum->GetValue();
    form.LoopDataLen = dlg.EdLen->GetValue();
    readLoopAfi(form, dlg);
}

// The read loops' flags: the read rule, and the AFI bit when an AFI goes with the request.
uint8_t loopReadFlags(const TKV8AppForm &form)
{
    return static_cast<uint8_t>(requestFlags(FlagRule::R, form.requestFlagSettings()) |
                                (form.LoopUseAFI ? AfiFlagBit : 0));
}

} // namespace

void TKV8AppForm::RegisterReaderHandlers()
{
    const std::pair<const char *, MenuHandler> table[] = {
        {"MnGetMode", &TKV8AppForm::MnGetModeClick},
        {"MnGetS6700Mode", &TKV8AppForm::MnGetS6700ModeClick},
        {"MnGetRomVer", &TKV8AppForm::MnGetRomVerClick},
        {"MnGetModelName", &TKV8AppForm::MnGetModelNameClick},
        {"MnGetErrStatus", &TKV8AppForm::MnGetErrStatusClick},
        {"MnSetBuz1", &TKV8AppForm::MnSetBuz1Click},
        {"MnSetBuz2", &TKV8AppForm::MnSetBuz1Click},
        {"MnLED1", &TKV8AppForm::MnLED1Click},
        {"MnLEDBUZ1", &TKV8AppForm::MnLEDBUZ1Click},
        {"MnIOPORT1In", &TKV8AppForm::MnIOPORT1InClick},
        {"MnIOPORT2In", &TKV8AppForm::MnIOPORT2InClick},
        {"MnWriteEXT1", &TKV8AppForm::MnWriteEXT1Click},
        {"MnSelRy", &TKV8AppForm::MnSelRyClick},
        {"MnReadRAM1", &TKV8AppForm::MnReadRAM1Click},
        {"MnWriteRAM1", &TKV8AppForm::MnWriteRAM1Click},
        {"MnTxON", &TKV8AppForm::MnTxONClick},
        {"MnTxOFF", &TKV8AppForm::MnTxONClick},
        {"MnTxOFFON", &TKV8AppForm::MnTxONClick},
        {"MnPowerDown", &TKV8AppForm::MnPowerDownClick},
        {"MnGetPWMode", &TKV8AppForm::MnGetPWModeClick},
        {"MnGetUIDNum", &TKV8AppForm::MnGetUIDNumClick},
        {"GetUIDData", &TKV8AppForm::GetUIDDataClick},
        {"MnGetCUID", &TKV8AppForm::MnGetCUIDClick},
        {"MnSetCUID", &TKV8AppForm::MnSetCUIDClick},
        {"MnQUIT_Cmd1", &TKV8AppForm::MnQUIT_Cmd1Click},
        {"MnQUIT_Cmd2", &TKV8AppForm::MnQUIT_Cmd1Click},
        {"MnQUIT_Cmd3", &TKV8AppForm::MnQUIT_Cmd1Click},
        {"MnPolWrite1", &TKV8AppForm::MnPolWrite1Click},
        {"ReadBytes1", &TKV8AppForm::ReadBytes1Click},
        {"WriteBytes1", &TKV8AppForm::WriteBytes1Click},
        {"MnLockBytes1", &TKV8AppForm::MnLockBytes1Click},
        {"Inventory16Slots1", &TKV8AppForm::Inventory16Slots1Click},
        {"ReadLoop1", &TKV8AppForm::ReadLoop1Click},
        {"MnRDLoopPolCmd", &TKV8AppForm::MnRDLoopPolCmdClick},
        {"MnRDLoopPolGet", &TKV8AppForm::MnRDLoopPolGetClick},
        {"MnCommRead1", &TKV8AppForm::MnCommRead1Click},
        {"MnCommWrite1", &TKV8AppForm::MnCommWrite1Click},
        {"MnTransmit1", &TKV8AppForm::MnTransmit1Click},
        {"MnSimpleRead", &TKV8AppForm::MnSimpleReadClick},
        {"MnCmdOutp", &TKV8AppForm::MnCmdOutpClick},
        {"MnDataWrite", &TKV8AppForm::MnDataWriteClick},
        {"TBtDataWrite", &TKV8AppForm::MnDataWriteClick},
        {"MnRestart", &TKV8AppForm::MnRestartClick},
        {"MnEEPROM1", &TKV8AppForm::MnEEPROM1Click},
    };
    for (const auto &[name, handler] : table)
        RegisterHandler(QLatin1String(name), handler);
}

// --- no dialog: each only sends (the port read waits inside its sender) ---

void TKV8AppForm::MnGetModeClick(QObject *)
{
    runReaderSender(*this, TagSteps::SendOnly, &TTComXDlg::DousaModeGetNoWait, uint8_t{0x00});
}

void TKV8AppForm::MnGetS6700ModeClick(QObject *)
{
    runReaderSender(*this, TagSteps::SendOnly, &TTComXDlg::DousaModeGetNoWait, uint8_t{0x09});
}

void TKV8AppForm::MnGetRomVerClick(QObject *)
{
    runReaderSender(*this, TagSteps::SendOnly, &TTComXDlg::GetRomVersionCmd);
}

void TKV8AppForm::MnGetModelNameClick(QObject *)
{
    runReaderSender(*this, TagSteps::SendOnly, &TTComXDlg::GetModelNameCmd);
}

void TKV8AppForm::MnGetErrStatusClick(QObject *)
{
    runReaderSender(*this, TagSteps::SendOnly, &TTComXDlg::GetErrorStatusCmd);
}

void TKV8AppForm::MnIOPORT1InClick(QObject *)
{
    runReaderSender(*this, TagSteps::SendOnly, &TTComXDlg::PortReadCommand);
}

void TKV8AppForm::MnTxONClick(QObject *Sender)
{
    const uint8_t value = senderIs(Sender, "MnTxON") ? 1 : senderIs(Sender, "MnTxOFFON") ? 2 : 0;
    runReaderSender(*this, TagSteps::SendOnly, &TTComXDlg::TXON_OFF_Cmd, value);
}

void TKV8AppForm::MnPowerDownClick(QObject *)
{
    runReaderSender(*this, TagSteps::SendOnly, &TTComXDlg::POWERDOWN_WriteCmd);
}

void TKV8AppForm::MnGetPWModeClick(QObject *)
{
    runReaderSender(*this, TagSteps::SendOnly, &TTComXDlg::POWERDOWN_ReadCmd);
}

void TKV8AppForm::MnGetUIDNumClick(QObject *)
{
    runReaderSender(*this, TagSteps::SendOnly, &TTComXDlg::GETUIDNUMBER_Cmd);
}

void TKV8AppForm::MnGetCUIDClick(QObject *)
{
    runReaderSender(*this, TagSteps::SendOnly, &TTComXDlg::UID_RDWR_ReadCmd);
}

void TKV8AppForm::MnQUIT_Cmd1Click(QObject *Sender)
{
    // The answer the reader is to give: none, always an ACK, or an ACK or a NACK.
    const uint8_t value = senderIs(Sender, "MnQUIT_Cmd2") ? 1 : senderIs(Sender, "MnQUIT_Cmd3") ? 2 : 0;
    runReaderSender(*this, TagSteps::SendOnly, &TTComXDlg::QuitCommand, value);
}

void TKV8AppForm::MnRDLoopPolGetClick(QObject *)
{
    runReaderSender(*this, TagSteps::SendOnly, &TTComXDlg::RDLoopPolGetCmd);
}

// --- buzzer, LEDs and ports ---

void TKV8AppForm::MnSetBuz1Click(QObject *Sender)
{
    int32_t number = 0;
    if (senderIs(Sender, "MnSetBuz2") && !askInt(*this, QStringLiteral("ブザーＮＯの設定"),
                                                 {QStringLiteral("ＮＯを入力してください"), number, 0, 8, 10}))
        return;
    runReaderSender(*this, TagSteps::SendOnly, &TTComXDlg::BuzzerCommand, static_cast<uint8_t>(number), uint8_t{0});
}

void TKV8AppForm::MnLED1Click(QObject *)
{
    uint8_t led = 0, mode = 0, time = 0;
    {
        auto dlg = std::make_unique<TLEDContDlg>(this);
        if (dlg->exec() != QDialog::Accepted)
            return;
        led = static_cast<uint8_t>(dlg->RadioGroup1->itemIndex());
        mode = static_cast<uint8_t>(dlg->ComboBox1->currentIndex());
        time = static_cast<uint8_t>(dlg->EdTime->GetValue());
    }
    runReaderSender(*this, TagSteps::SendOnly, &TTComXDlg::SET_LEDCONT_Cmd, led, mode, time);
}

void TKV8AppForm::MnLEDBUZ1Click(QObject *)
{
    uint8_t *const s = LedBuzSettings;
    {
        auto dlg = std::make_unique<TSetLEDBUZDlg>(this);
        dlg->EdPort->SetValue(s[0]);
        dlg->ComboBox1->setCurrentIndex(s[1]);
        dlg->EdTime->SetValue(s[2]);
        dlg->EdBuzMode->SetValue(s[3]);
        dlg->EdBuzTime->SetValue(s[4]);
        if (dlg->exec() != QDialog::Accepted)
            return;
        s[0] = static_cast<uint8_t>(dlg->EdPort->GetValue());
        s[1] = static_cast<uint8_t>(dlg->ComboBox1->currentIndex());
        s[2] = static_cast<uint8_t>(dlg->EdTime->GetValue());
        s[3] = static_cast<uint8_t>(dlg->EdBuzMode->GetValue());
        s[4] = static_cast<uint8_t>(dlg->EdBuzTime->GetValue());
    }
    runReaderSender(*this, TagSteps::WaitOnly, &TTComXDlg::CNT_LEDBUZ_Cmd, s[0], s[1], s[2], s[3], s[4]);
}

void TKV8AppForm::MnIOPORT2InClick(QObject *)
{
    int32_t select = 0, value = 0;
    if (askIntsAndText(*this, QStringLiteral("汎用ポートの設定"),
                       IntPair{QStringLiteral("ポートの指示(HEX)"), select, 0, 255, 16},
                       IntPair{QStringLiteral("ポートの設定値(HEX)"), value, 0, 255, 16}, std::nullopt))
        runReaderSender(*this, TagSteps::SendOnly, &TTComXDlg::PortWriteCommand, static_cast<uint8_t>(select),
                        static_cast<uint8_t>(value));
}

void TKV8AppForm::MnWriteEXT1Click(QObject *)
{
    if (!TComXDlg)
        return;
    // The port's value, or 0 when the reader didn't give it, is offered to be changed.
    int32_t value = TComXDlg->CNT_EXT2PORT_ReadCmd();
    if (applicationClosing() || !askInt(*this, QStringLiteral("書き込むデータ"),
                                        {QStringLiteral("データを入力してください(HEX)"), value, 0, 255, 16}))
        return;
    if (TComXDlg)
        TComXDlg->CNT_EXT2PORT_WriteCmd(static_cast<uint8_t>(value));
}

void TKV8AppForm::MnSelRyClick(QObject *)
{
    if (!TComXDlg)
        return;
    // Port 7's low three bits choose the antenna; a failed read offers antenna 1.
    const uint8_t port = TComXDlg->PortReadCommand();
    if (applicationClosing())
        return;
    int antenna = 0;
    {
        auto dlg = std::make_unique<TRYSelDlg>(this);
        dlg->RadioGroup1->setItemIndex(port & 7);
        if (dlg->exec() != QDialog::Accepted)
            return;
        antenna = dlg->RadioGroup1->itemIndex();
    }
    runReaderSender(*this, TagSteps::SendOnly, &TTComXDlg::PortWriteCommand, uint8_t{7}, static_cast<uint8_t>(antenna));
}

// --- RAM ---

void TKV8AppForm::MnReadRAM1Click(QObject *)
{
    int32_t address = 0, length = 1;
    if (askInts(*this, QStringLiteral("ＲＡＭデータの取得"),
                IntPair{QStringLiteral("アドレス(HEX)"), address, 0, 65535, 16}, std::nullopt,
                IntPair{QStringLiteral("データ長"), length, 1, 4, 10}))
        runReaderSender(*this, TagSteps::SendOnly, &TTComXDlg::RamReadCommand, static_cast<uint16_t>(address),
                        static_cast<uint8_t>(length));
}

void TKV8AppForm::MnWriteRAM1Click(QObject *)
{
    uint32_t address = 0, value = 0;
    int32_t length = 1;
    if (!askInts(*this, QStringLiteral("ＲＡＭデータの設定(HEX)"),
                 IntPair{QStringLiteral("アドレス（HEX）"), address, 0, -1, 16},
                 IntPair{QStringLiteral("書き込むデータ(HEX)"), value, 0, -1, 16},
                 IntPair{QStringLiteral("データ長"), length, 1, 4, 10}))
        return;
    // The sender sends the top `length` bytes: the value's low bytes are moved up there.
    const uint32_t aligned = length >= 1 && length <= 4 ? value << ((4 - length) * 8) : value;
    runReaderSender(*this, TagSteps::SendOnly, &TTComXDlg::RamWriteCommand, static_cast<uint16_t>(address),
                    static_cast<uint8_t>(length), aligned);
}

// --- UIDs ---

void TKV8AppForm::GetUIDDataClick(QObject *)
{
    int32_t number = 1;
    if (askInt(*this, QStringLiteral("ＵＩＤデータの取得"),
               {QStringLiteral("取得するUIDの番号を入力してください(１～)"), number, 1, 255, 10}))
        runReaderSender(*this, TagSteps::SendOnly, &TTComXDlg::GETUIDDATA_Cmd, static_cast<uint8_t>(number));
}

void TKV8AppForm::MnSetCUIDClick(QObject *)
{
    {
        auto dlg = std::make_unique<TSetUIDDlg>(this);
        if (dlg->exec() != QDialog::Accepted)
            return;
        // The upper byte on the form is the UID's first stored byte, the first one sent.
        for (int i = 0; i < 8; ++i)
            CurrentUid[i] = static_cast<uint8_t>(dlg->IntEdit[i]->GetValue());
    }
    runReaderSender(*this, TagSteps::SendOnly, &TTComXDlg::UID_RDWR_WriteCmd, ByteSpan(CurrentUid, 8));
}

// --- the reader's tag commands ---

void TKV8AppForm::MnPolWrite1Click(QObject *)
{
    int32_t pollingTime = 0;
    if (!askIntsAndText(*this, QStringLiteral("設定値の入力"), IntPair{QStringLiteral("ブロックＮＯ"), MultiBlockNo},
                        IntPair{QStringLiteral("ポーリング時間(*10ms)"), pollingTime}, rangeText(TagDataText)))
        return;
    const uint8_t flags = requestFlags(FlagRule::W, requestFlagSettings());
    const int n = std::min(capAtWriteNum(cp932Length(TagDataText), TagWriteNum), maxPolWrite(flags));
    DataBuffer data{};
    StrToFixedBytes(TagDataText, data.data(), n);
    RunTagCommand(
        flags,
        [&](TTComXDlg &hub, uint8_t byte) {
            return hub.PolWrite(0x23, 0, SysMode, static_cast<uint16_t>(pollingTime), false, MultiBlockNo,
                                static_cast<uint8_t>(n), ByteSpan(data.data(), static_cast<size_t>(n)), byte);
        },
        TagSteps::SendOnly);
}

void TKV8AppForm::ReadBytes1Click(QObject *)
{
    if (askIntsAndText(*this, QStringLiteral("読み取り範囲の入力"),
                       IntPair{QStringLiteral("ブロックＮＯ"), MultiBlockNo},
                       IntPair{QStringLiteral("データ数[1-255]"), MultiBlockCount, 1, 255}, std::nullopt))
        runSender(*this, FlagRule::R, TagSteps::WaitAndTime, &TTComXDlg::ISO15693_ReadBytes, MultiBlockNo,
                  MultiBlockCount);
}

void TKV8AppForm::WriteBytes1Click(QObject *)
{
    const uint8_t flags = requestFlags(FlagRule::W, requestFlagSettings());
    QByteArray bytes;
    if (fBinaryWrite) {
        QString text;
        if (!askBlockAndText(*this, MultiBlockNo,
                             TextPair{QStringLiteral("データ（Hex）[１バイト２桁 例：00 01 02 03]"), text}))
            return;
        if (!IsHexString(text)) {
            // Straight into the memo: the operator sees it even while the log is off.
            Memo1->appendPlainText(QStringLiteral("Input Error!! [NO Hex Data]"));
            return;
        }
        bytes = HexToBytes(text.left(255));
    } else {
        if (!askBlockAndText(*this, MultiBlockNo, QStringLiteral("データ（文字列）")))
            return;
        // Whole characters only, as many as one frame carries; the text kept is the text sent.
        TagDataText = cp932Prefix(TagDataText, maxBytesWrite(flags));
        bytes = unicodeToCp932(TagDataText);
    }
    MultiBlockCount = static_cast<uint8_t>(bytes.size());
    runSender(*this, flags, TagSteps::WaitAndTime, &TTComXDlg::ISO15693_WriteBytes, MultiBlockNo, MultiBlockCount,
              spanOf(bytes));
}

void TKV8AppForm::MnLockBytes1Click(QObject *)
{
    runRangeCommand(*this, FlagRule::RP, &TTComXDlg::ISO15693_LockBytes);
}

void TKV8AppForm::Inventory16Slots1Click(QObject *)
{
    {
        auto dlg = std::make_unique<TInv16SDlg>(this);
        for (QWidget *w :
             std::initializer_list<QWidget *>{dlg->MaskLenLabel, dlg->EdMasklen, dlg->MaskHighLabel, dlg->MaskLowLabel})
            w->setVisible(false);
        for (TIntEdit *edit : dlg->IntEdit)
            edit->setVisible(false);
        dlg->EdMasklen->SetValue(Inv16MaskLen);
        showLoopAfi(*this, *dlg);
        dlg->setModeBits(Inv16Mode);
        // The upper byte on the form is the mask's last byte.
        for (int i = 0; i < 8; ++i)
            dlg->IntEdit[i]->SetValue(Inv16Mask[7 - i]);
        if (dlg->exec() != QDialog::Accepted)
            return;
        Inv16MaskLen = dlg->EdMasklen->GetValue();
        readLoopAfi(*this, *dlg);
        Inv16Mode = dlg->modeBits();
        for (int i = 0; i < 8; ++i)
            Inv16Mask[7 - i] = static_cast<uint8_t>(dlg->IntEdit[i]->GetValue());
    }
    const uint8_t flags = LoopUseAFI ? AfiFlagBit : 0;
    RunCommand(
        [this, flags](TTComXDlg &hub) {
            hub.Inventory16SlotsCmd(Inv16Mode, flags, static_cast<uint8_t>(LoopAFIValue),
                                    static_cast<uint8_t>(Inv16MaskLen), ByteSpan(Inv16Mask, 8));
            return true;
        },
        TagSteps::SendOnly);
}

void TKV8AppForm::ReadLoop1Click(QObject *)
{
    {
        auto dlg = std::make_unique<TRFLoopDlg>(this);
        showReadRange(*this, *dlg);
        dlg->setModeBits(ReadLoopMode);
        if (dlg->exec() != QDialog::Accepted)
            return;
        readReadRange(*this, *dlg);
        ReadLoopMode = dlg->modeBits();
    }
    const uint8_t flags = loopReadFlags(*this);
    RunCommand(
        [this, flags](TTComXDlg &hub) {
            hub.ReadLoopCmd(ReadLoopMode, flags, static_cast<uint8_t>(LoopStartBlock),
                            static_cast<uint8_t>(LoopDataLen), static_cast<uint8_t>(LoopAFIValue));
            return true;
        },
        TagSteps::SendOnly);
}

void TKV8AppForm::MnRDLoopPolCmdClick(QObject *)
{
    // The polling time and the parameter bits start afresh on every opening.
    uint16_t pollingTime = 100;
    uint8_t param = 0;
    {
        auto dlg = std::make_unique<TRDLoopPol1Dlg>(this);
        showReadRange(*this, *dlg);
        dlg->EdTime->SetValue(pollingTime);
        dlg->setModeBits(param);
        if (dlg->exec() != QDialog::Accepted)
            return;
        readReadRange(*this, *dlg);
        pollingTime = static_cast<uint16_t>(dlg->EdTime->GetValue());
        param = dlg->modeBits();
    }
    const uint8_t flags = loopReadFlags(*this);
    RunCommand(
        [=, this](TTComXDlg &hub) {
            hub.RDLoopPolCmd(flags, param, pollingTime, static_cast<uint8_t>(LoopStartBlock),
                             static_cast<uint8_t>(LoopDataLen), static_cast<uint8_t>(LoopAFIValue));
            return true;
        },
        TagSteps::SendOnly);
}

// --- raw ISO 15693 requests: ISO request flags 0x01 sub-carrier, 0x02 data rate, 0x20
// address, 0x40 option ---

void TKV8AppForm::MnCommRead1Click(QObject *)
{
    if (askBlockNo(*this, BlockNo))
        sendRawRequest(*this, dataBytes({0x00, 0x01, 0x07}), dataBytes({0x03, 0x20, BlockNo}));
}

void TKV8AppForm::MnCommWrite1Click(QObject *)
{
    if (!askSingleBlockText(*this))
        return;
    // The text converted as a block of the reader's size (within the buffer); the request
    // carries its first four bytes.
    DataBuffer data{};
    StrToFixedBytes(TagDataText, data.data(), std::clamp(TagBlockSize, 0, static_cast<int>(data.size())));
    const auto flags = static_cast<uint8_t>(0x03 | ((WriteOptionFlag & 1) ? 0x40 : 0));
    sendRawRequest(*this, dataBytes({0x00, 0x02, 0x03}),
                   dataBytes({flags, 0x21, BlockNo, data[0], data[1], data[2], data[3]}));
}

void TKV8AppForm::MnTransmit1Click(QObject *)
{
    QByteArray request = dataBytes({0x23, 0x02});
    request.append(reinterpret_cast<const char *>(CurrentUid), 8);
    sendRawRequest(*this, dataBytes({0x00, 0x00, 0x00}), request);
}

// --- commands with a result of their own ---

void TKV8AppForm::MnSimpleReadClick(QObject *)
{
    if (!TComXDlg)
        return;
    TComXDlg->SimpleReadCommand();
    const bool replied = TComXDlg->WaitAnyReply();
    if (applicationClosing())
        return;
    if (!replied) {
        AddLog(QStringLiteral("コマンドエラー"));
        return;
    }
    const QByteArrayView frame = TComXDlg->routedFrame();
    const ReplyFrame reply(
        ByteSpan(reinterpret_cast<const uint8_t *>(frame.data()), static_cast<size_t>(frame.size())));
    for (const QString &line : simpleReadLines(reply))
        AddLog(line);
}

void TKV8AppForm::MnCmdOutpClick(QObject *)
{
    QString text;
    {
        auto dlg = std::make_unique<TCmdOutpDlg>(this);
        dlg->Edit1->setText(CmdOutpText);
        if (dlg->exec() != QDialog::Accepted)
            return;
        text = dlg->Edit1->text();
    }
    if (!IsHexString(text) || text.size() > 512) {
        AddLog(QStringLiteral("文字列が不正です。"));
        return;
    }
    CmdOutpText = text;
    // The operator typed the whole frame: it goes out as it is, with no trace and LastCmd
    // unchanged, so its reply is decoded as one to the last command a sender sent.
    const QByteArray frame = HexToBytes(text);
    RunCommand(
        [&frame](TTComXDlg &hub) {
            hub.ClearReplyState();
            hub.SendFrame(frame);
            return true;
        },
        TagSteps::WaitOnly);
}

void TKV8AppForm::MnDataWriteClick(QObject *)
{
    QString text = fBarCodeReader ? QString() : TagDataStr;
    if (!askIntsAndText(*this, QStringLiteral("タグデータの書き込み"), std::nullopt, std::nullopt,
                        TextPair{QStringLiteral("データ（文字列）"), text}, fBarCodeReader))
        return;
    TagDataStr = text;
    int count = cp932Length(TagDataStr);
    if (isTagItReader(S6700Conf) && count > 32)
        count = 32;
    else
        count = capAtWriteNum(count, TagWriteNum);
    count = std::min(count, maxTagDataWrite);
    TagDataNum = static_cast<uint16_t>(count);
    DataBuffer data{};
    StrToFixedBytes(TagDataStr, data.data(), count);
    const bool written =
        runReaderSender(*this, TagSteps::WaitOnly, &TTComXDlg::DousaModeSetJCmd, static_cast<uint8_t>(count),
                        ByteSpan(data.data(), static_cast<size_t>(count)));
    if (applicationClosing())
        return;
    // The reader's buzzer tells the operator how the write went.
    runReaderSender(*this, TagSteps::SendOnly, &TTComXDlg::BuzzerCommand, static_cast<uint8_t>(written ? 0 : 1),
                    uint8_t{0});
    AddLog(written ? QStringLiteral("書き込み成功！！") : QStringLiteral("書き込み失敗！！"));
}

void TKV8AppForm::MnRestartClick(QObject *)
{
    const BusyGuard busy(*this);
    fReloadMode = 1;
    runReaderSender(*this, TagSteps::SendOnly, &TTComXDlg::RESTART_Cmd);
}

void TKV8AppForm::MnEEPROM1Click(QObject *)
{
    bool done = false;
    {
        const BusyGuard busy(*this);
        done = runReaderSender(*this, TagSteps::WaitOnly, &TTComXDlg::EEPROM_INIT_Cmd);
    }
    if (!applicationClosing())
        AddLog(done ? QStringLiteral("Init EEPROM : OK") : QStringLiteral("Init EEPROM : NG"));
}

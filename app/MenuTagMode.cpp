// Settings of the reader's radio interface and of its test modes: the tag-interface byte
// (S6700Conf) with its dialog and the two-family switch, the EAS mode, the one-bit EEPROM
// toggles, the buzzer frequency, the RDLOOP parameters and the tag test mode. Each follows the
// setting pattern: read the reader's value, show or change it, write it back whole.

#include "app/BusyGuards.h"
#include "app/HandlerKit.h"
#include "app/KV8AppForm.h"
#include "app/SettingSteps.h"
#include "controls/DialogKit.h"
#include "link/TTComXDlg.h"
#include "platform/PendingMessages.h"
#include "setup/ReaderParams.h"
#include "setup/SetEeprom2Dlg.h"
#include "setup/TagModeDialogs.h"

#include <QTabWidget>

#include <algorithm>
#include <memory>

namespace
{

constexpr uint8_t commandMode = 0x00;
constexpr uint8_t easMode = 0x24;     // "EASモード１"
constexpr uint8_t tagTestMode = 0x54; // "テストモード５"
constexpr int readModeContinuous = 3; // mode flags: 0 single read, 1 continuous

// The reader's operating-mode record into the handler's locals; the window's SysMode follows a
// successful read.
bool readMode(TKV8AppForm &form, uint8_t &code, uint8_t &second, uint8_t &flags)
{
    if (hubGone() || !TComXDlg->RxDousaMode(&code, &second, &flags) || hubGone())
        return false;
    form.SysMode = flags;
    return true;
}

// An operating-mode write and its answer.
bool writeMode(uint8_t code, uint8_t second, uint8_t flags, uint16_t pollingTime, bool powerOn)
{
    if (hubGone())
        return false;
    TComXDlg->TxDousaMode(code, second, flags, pollingTime, powerOn);
    return TComXDlg->WaitReply() && !hubGone();
}

// One bit of an area-1 word set by the item pair's "on" item and cleared by the other; the
// word is written only when it could be read.
void toggleBit(TKV8AppForm &form, bool on, uint8_t word, int byteInWord, int bit)
{
    if (!TComXDlg)
        return;
    BusyGuard busy(form);
    area1Word(word).rewrite([=](std::array<uint8_t, 2> &bytes) { setBit(bytes[byteInWord], bit, on); }, true);
}

// The buzzer frequency register for a frequency in Hz (10 .. 20000): 10^8 / (Hz x 160) - 1,
// rounded by adding 0.5 and truncating.
uint16_t buzzerRegister(int32_t hz)
{
    return static_cast<uint16_t>(1e8 / (static_cast<double>(hz) * 160.0) - 1.0 + 0.5);
}

} // namespace

void TKV8AppForm::RegisterTagModeHandlers()
{
    const std::pair<const char *, MenuHandler> table[] = {
        {"MnSetMode2", &TKV8AppForm::MnSetMode2Click},
        {"MnModeSet3", &TKV8AppForm::MnSetMode2Click},
        {"MnSelTag1", &TKV8AppForm::MnSelTag1Click},
        {"MnSelTag2", &TKV8AppForm::MnSelTag1Click},
        {"MnEnableEAS1", &TKV8AppForm::MnEnableEAS1Click},
        {"MnInventoryAFI_ON", &TKV8AppForm::MnInventoryAFI_ONClick},
        {"MnInventoryAFI_OFF", &TKV8AppForm::MnInventoryAFI_ONClick},
        {"MnAFIOn", &TKV8AppForm::MnAFIOffClick},
        {"MnAFIOff", &TKV8AppForm::MnAFIOffClick},
        {"MnNoReadCmd_ON", &TKV8AppForm::MnNoReadCmd_ONClick},
        {"MnNoReadCmd_OFF", &TKV8AppForm::MnNoReadCmd_ONClick},
        {"MnSetBuz_2", &TKV8AppForm::MnSetBuz_1Click},
        {"MnSetBuz_1", &TKV8AppForm::MnSetBuz_1Click},
        {"MnBuzFreq5KHz", &TKV8AppForm::MnBuzFreq5KHzClick},
        {"MnBuzFreq2KHz", &TKV8AppForm::MnBuzFreq5KHzClick},
        {"MnBuzFreq2", &TKV8AppForm::MnBuzFreq2Click},
        {"MnRDLoop1", &TKV8AppForm::MnRDLoop1Click},
        {"MnTagTest1ON", &TKV8AppForm::MnTagTest1ONClick},
        {"MnTagTest1OFF", &TKV8AppForm::MnTagTest1ONClick},
        {"MnTagTest1Para", &TKV8AppForm::MnTagTest1ParaClick},
    };
    for (const auto &[name, handler] : table)
        RegisterHandler(QLatin1String(name), handler);
}

void TKV8AppForm::MnSetMode2Click(QObject *Sender)
{
    if (!TComXDlg)
        return;
    uint8_t mode = 0;
    if (TComXDlg->RxS6700Mode(&mode))
        S6700Conf = mode;
    if (hubGone())
        return;
    TModeSet2Dlg dialog(this);
    dialog.ShowMode(S6700Conf);
    dialog.CBWriteEEPROM->setChecked(isItem(Sender, "MnModeSet3"));
    if (dialog.exec() != QDialog::Accepted || hubGone())
        return;
    S6700Conf = dialog.Mode();
    TComXDlg->TxS6700Mode(S6700Conf, dialog.CBWriteEEPROM->isChecked());
}

void TKV8AppForm::MnSelTag1Click(QObject *Sender)
{
    if (!TComXDlg)
        return;
    // The second family (MnSelTag2) talks AM with 10% modulation, the first FSK with 100%.
    const bool second = isItem(Sender, "MnSelTag2");
    uint8_t mode = 0;
    if (!TComXDlg->RxS6700Mode(&mode)) {
        if (!hubGone())
            AddLog(QStringLiteral("Error: KV8GetTagMode"));
        return;
    }
    if (hubGone())
        return;
    S6700Conf = tagModeByte(mode, second);
    TComXDlg->TxS6700Mode(S6700Conf, true);
    const bool modeSet = TComXDlg->WaitReply();
    if (hubGone())
        return;
    bool done = false;
    if (modeSet) {
        BusyGuard busy(*this);
        done = area1Word(12).rewrite([=](auto &b) { b[0] = second ? 10 : 3; }) && // byte 22: retries
               area1Word(19).rewrite([=](auto &b) { b[0] = second ? 8 : 4; }) &&  // byte 36: block size
               area1Word(16).rewrite([](auto &b) { setBit(b[1], 6, true); }) &&   // byte 31: Timing Register
               area1Word(20).rewrite([=](auto &b) { setBit(b[0], 1, second); });  // byte 38 bit 1
        if (done) {
            // A pause before the restart, so that the reader has taken the last write.
            waitFor([] { return false; }, 100);
            if (hubGone())
                return;
            TComXDlg->RESTART_Cmd();
        }
    }
    // Logged once the log runs again, so that the operator sees it.
    if (!hubGone())
        AddLog(done ? QStringLiteral("OK: KV8SetTagMode") : QStringLiteral("Error: KV8SetTagMode"));
}

void TKV8AppForm::MnEnableEAS1Click(QObject *)
{
    if (!TComXDlg)
        return;
    TSetEAS1Dlg dialog(this);
    dialog.IntEdit1->SetValue(EAS_ON_VALUE);
    dialog.IntEdit2->SetValue(EAS_OFF_VALUE);
    if (dialog.exec() != QDialog::Accepted || hubGone())
        return;
    EAS_ON_VALUE = static_cast<uint8_t>(dialog.IntEdit1->GetValue());
    EAS_OFF_VALUE = static_cast<uint8_t>(dialog.IntEdit2->GetValue());
    TComXDlg->AFI_RDWR_WriteCmd(EAS_ON_VALUE);
    if (!TComXDlg->WaitReply())
        return;
    uint8_t code = Cmdmode;
    uint8_t second = 0;
    uint8_t flags = SysMode;
    if (readMode(*this, code, second, flags))
        writeMode(easMode, second, flags, PolingTime, true);
}

void TKV8AppForm::MnInventoryAFI_ONClick(QObject *Sender)
{
    toggleBit(*this, isItem(Sender, "MnInventoryAFI_ON"), 4, 1, 1); // byte 7 bit 1
}

void TKV8AppForm::MnAFIOffClick(QObject *Sender)
{
    toggleBit(*this, isItem(Sender, "MnAFIOn"), 4, 1, 1); // byte 7 bit 1, as above
}

void TKV8AppForm::MnNoReadCmd_ONClick(QObject *Sender)
{
    toggleBit(*this, isItem(Sender, "MnNoReadCmd_ON"), 4, 0, 4); // byte 6 bit 4
}

void TKV8AppForm::MnSetBuz_1Click(QObject *Sender)
{
    toggleBit(*this, isItem(Sender, "MnSetBuz_2"), 20, 0, 4); // byte 38 bit 4: self-oscillating buzzer
}

void TKV8AppForm::MnBuzFreq5KHzClick(QObject *Sender)
{
    EepromWord word = area2Word(5);
    if (!word.read())
        return;
    std::copy(word.bytes.begin(), word.bytes.end(), MemSw78);
    // Memory switch 7 bit 1: the frequency register in place of the fixed 5 kHz.
    setBit(MemSw78[0], 1, isItem(Sender, "MnBuzFreq2KHz"));
    word.bytes = {MemSw78[0], MemSw78[1]};
    word.write();
}

void TKV8AppForm::MnBuzFreq2Click(QObject *)
{
    // Below 10 Hz the register no longer fits 16 bits (and 0 Hz would divide by zero).
    int32_t hz = 2000;
    if (!TComXDlg ||
        !askInt(*this, QStringLiteral("ブザーの周波数"),
                {QStringLiteral("周波数を入力してください（Hz）"), hz, 10, 20000, 10}) ||
        hubGone())
        return;
    const uint16_t reg = buzzerRegister(std::clamp(hz, 10, 20000));
    AddLog(QStringLiteral("BUZ: %1Hz").arg(reg));
    EepromWord word = area2Word(9);
    word.bytes = {static_cast<uint8_t>(reg), static_cast<uint8_t>(reg >> 8)};
    word.write();
}

void TKV8AppForm::MnRDLoop1Click(QObject *)
{
    if (!TComXDlg)
        return;
    BusyGuard busy(*this);
    // A failed read leaves RdLoopParam as it was: the dialog shows it, and OK writes it.
    EepromWord loop = area2Word(4);
    if (loop.read())
        std::copy(loop.bytes.begin(), loop.bytes.end(), RdLoopParam);
    if (hubGone())
        return;
    auto dlg = std::make_unique<TSetEEPROM2Dlg>(this);
    dlg->setWindowTitle(QStringLiteral("RDLoopのパラメータの設定"));
    dlg->PageControl1->setCurrentWidget(dlg->TabSheet2);
    for (QWidget *page : {dlg->TabSheet1, dlg->TabSheet3, dlg->TabSheet4, dlg->TabSheet5, dlg->TabSheet6})
        dlg->hidePage(page);
    dlg->EdRdStAddr->SetValue(RdLoopParam[0]);
    dlg->EdDataLen->SetValue(RdLoopParam[1]);
    if (dlg->exec() != QDialog::Accepted || hubGone())
        return;
    RdLoopParam[0] = static_cast<uint8_t>(dlg->EdRdStAddr->GetValue());
    RdLoopParam[1] = static_cast<uint8_t>(dlg->EdDataLen->GetValue());
    dlg.reset();
    loop.bytes = {RdLoopParam[0], RdLoopParam[1]};
    loop.write();
}

void TKV8AppForm::MnTagTest1ONClick(QObject *Sender)
{
    if (!TComXDlg)
        return;
    const bool on = isItem(Sender, "MnTagTest1ON");
    uint8_t code = Cmdmode;
    uint8_t second = 0;
    uint8_t flags = SysMode;
    BusyGuard busy(*this);
    // Each step only after every earlier one succeeded; a failure leaves the reader in the mode
    // the last step set.
    if (!readMode(*this, code, second, flags) || !writeMode(commandMode, second, flags, PolingTime, false) ||
        !area1Word(16).rewrite([=](auto &b) { setBit(b[1], 0, on); }) || // byte 31 bit 0: IO3 as error output
        !area1Word(4).rewrite([=](auto &b) { setBit(b[0], 4, on); }) ||  // byte 6 bit 4: no-read command
        !readMode(*this, code, second, flags))
        return;
    if (on) {
        code = tagTestMode;
        setBit(SysMode, readModeContinuous, false);
        flags = SysMode;
    } else {
        code = commandMode;
    }
    writeMode(code, second, flags, PolingTime, true);
}

void TKV8AppForm::MnTagTest1ParaClick(QObject *)
{
    if (!TComXDlg)
        return;
    uint8_t code = Cmdmode;
    uint8_t second = 0;
    uint8_t flags = SysMode;
    BusyGuard busy(*this);
    if (!readMode(*this, code, second, flags))
        return;
    const uint8_t previous = code;
    EepromWord codes = area1Word(3);  // bytes 4-5: tag mode, AFI
    EepromWord times = area1Word(14); // bytes 26-27: output time, input check time
    EepromWord loop = area2Word(4);   // RDLOOP: read start block, read length
    EepromWord test = area2Word(10);  // tag test mode
    // Without every value there is no dialog, and the reader stays in command mode.
    if (!writeMode(commandMode, second, flags, PolingTime, false) || !codes.read(true) || !times.read(true) ||
        !loop.read() || !test.read())
        return;
    std::copy(loop.bytes.begin(), loop.bytes.end(), RdLoopParam);
    std::copy(test.bytes.begin(), test.bytes.end(), TagTestMode);
    {
        TKensaParaDlg dialog(this);
        dialog.EdAFIValue->SetValue(codes.bytes[1]);
        dialog.EdOUTPTime->SetValue(times.bytes[0]);
        dialog.EdInputChkTime->SetValue(times.bytes[1]);
        dialog.RGCheckMode->setItemIndex(TagTestMode[0] & 3);
        dialog.RGWriteData->setItemIndex((TagTestMode[0] >> 2) & 1);
        dialog.EdRdStAddr->SetValue(RdLoopParam[0]);
        dialog.EdDataLen->SetValue(RdLoopParam[1]);
        if (dialog.exec() == QDialog::Accepted && !hubGone()) {
            codes.bytes[1] = static_cast<uint8_t>(dialog.EdAFIValue->GetValue());
            times.bytes = {static_cast<uint8_t>(dialog.EdOUTPTime->GetValue()),
                           static_cast<uint8_t>(dialog.EdInputChkTime->GetValue())};
            RdLoopParam[0] = static_cast<uint8_t>(dialog.EdRdStAddr->GetValue());
            RdLoopParam[1] = static_cast<uint8_t>(dialog.EdDataLen->GetValue());
            loop.bytes = {RdLoopParam[0], RdLoopParam[1]};
            TagTestMode[0] = static_cast<uint8_t>((TagTestMode[0] & ~7) | (dialog.RGCheckMode->itemIndex() & 3) |
                                                  (dialog.RGWriteData->itemIndex() & 1) << 2);
            test.bytes = {TagTestMode[0], TagTestMode[1]};
            // Each written whatever the answer to the one before.
            for (const EepromWord *word : {&codes, &times, &loop, &test}) {
                word->write();
                if (hubGone())
                    return;
            }
        }
    }
    if (!hubGone())
        writeMode(previous, second, flags, PolingTime, false);
}

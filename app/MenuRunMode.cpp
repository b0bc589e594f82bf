// The reader's run mode and operating mode: the run-mode switch of the "モード設定" menu, the
// tool bar and the pop-up menu, the menu enabling that follows it, and "動作モードの設定...".
// The switch sends the new mode without waiting; the reader's answer reaches the log through
// the hub's decoders.

#include "app/BusyGuards.h"
#include "app/HandlerKit.h"
#include "app/KV8AppForm.h"
#include "link/TTComXDlg.h"
#include "platform/MessageService.h"
#include "platform/PendingMessages.h"
#include "setup/DousaModeDialog.h"

#include <QAction>
#include <QCheckBox>

namespace
{

constexpr uint8_t InvTxOffParam = 0xAB;
constexpr uint8_t InvTxOffBits = 0x18; // TXOFF at inventory commands and at anticollision

bool isSender(QObject *Sender, std::initializer_list<const char *> names)
{
    for (const char *name : names)
        if (Sender && Sender->objectName() == QLatin1String(name))
            return true;
    return false;
}

} // namespace

void TKV8AppForm::RegisterRunModeHandlers()
{
    for (const char *name : {"MnAutoScan", "MnSetCmdMode", "Test11", "Test21", "Test31", "Test41", "Test51",
                             "TBtSetCmdMode", "TBtSetATRMD", "TBtSetTest1Mode"})
        RegisterHandler(QLatin1String(name), &TKV8AppForm::MnSetCmdModeClick);
    RegisterHandler(QStringLiteral("MnSetCmd1"), &TKV8AppForm::MnSetCmd1Click);
    RegisterHandler(QStringLiteral("MnSetAuto1"), &TKV8AppForm::MnSetAuto1Click);
    RegisterHandler(QStringLiteral("MnSetInv1"), &TKV8AppForm::MnSetInv1Click);
    RegisterHandler(QStringLiteral("MnSetDousa"), &TKV8AppForm::MnSetDousaClick);
}

void TKV8AppForm::MnSetCmdModeClick(QObject *Sender)
{
    if (!TComXDlg)
        return;
    uint8_t code = Cmdmode;
    uint8_t second = 0;
    uint8_t flags = SysMode;
    if (fReloadMode) {
        // After a restart the reader may have come up in another mode: take its record.
        uint8_t readCode = 0, readSecond = 0, readFlags = 0;
        if (TComXDlg->RxDousaMode(&readCode, &readSecond, &readFlags)) {
            SysMode = flags = readFlags;
            code = readCode;
            second = readSecond;
        }
        fReloadMode = 0;
        if (applicationClosing() || !TComXDlg)
            return;
    }

    if (isSender(Sender, {"MnAutoScan", "TBtSetATRMD", "Test11", "TBtSetTest1Mode"})) {
        if (fInvTxOff)
            SetInvTxOffBits();
        code = isSender(Sender, {"MnAutoScan", "TBtSetATRMD"}) ? 0x01 : 0x50;
    } else if (isSender(Sender, {"Test21"})) {
        // The write test writes BlockNo; a cancelled dialog keeps the old one.
        askBlockNo(*this, BlockNo);
        code = 0x51;
    } else if (isSender(Sender, {"Test31"})) {
        code = 0x52;
    } else if (isSender(Sender, {"Test41"})) {
        code = 0x53;
    } else if (isSender(Sender, {"Test51"})) {
        code = 0x54;
    } else {
        code = 0x00;
    }
    if (applicationClosing() || !TComXDlg)
        return;
    EnableMenusForMode(code == 0x00);
    TComXDlg->TxDousaMode(code, second, flags, PolingTime, false);
}

void TKV8AppForm::SetInvTxOffBits()
{
    if (!TComXDlg)
        return;
    BusyGuard busy(*this);
    uint8_t value = 0;
    if (!TComXDlg->RXParamData(InvTxOffParam, &value) || applicationClosing() || !TComXDlg)
        return;
    TComXDlg->TxSetParamData(InvTxOffParam, value | InvTxOffBits);
    TComXDlg->WaitReply();
}

void TKV8AppForm::MnSetCmd1Click(QObject *)
{
    pressModeButton("TBtSetCmdMode");
}

void TKV8AppForm::MnSetAuto1Click(QObject *)
{
    pressModeButton("TBtSetATRMD");
}

void TKV8AppForm::MnSetInv1Click(QObject *)
{
    pressModeButton("TBtSetTest1Mode");
}

void TKV8AppForm::pressModeButton(const char *name)
{
    QAction *button = Item(QLatin1String(name));
    button->setChecked(true);
    MnSetCmdModeClick(button);
}

void TKV8AppForm::MnSetDousaClick(QObject *)
{
    if (!TComXDlg)
        return;
    uint8_t code = Cmdmode;
    uint8_t second = 0;
    uint8_t flags = SysMode;
    if (!TComXDlg->RxDousaMode(&code, &second, &flags)) {
        if (!applicationClosing())
            showMessage(QStringLiteral("リーダーライターとの通信が出来ません、接続を確認してください"), this);
        return;
    }
    Cmdmode = code;
    SysMode = flags;
    fReloadMode = 0;
    if (applicationClosing() || !TComXDlg)
        return;

    TDousaMode1Dlg dialog(this, SysMode, code, PolingTime, fVER121 != 0);
    if (dialog.exec() != QDialog::Accepted || applicationClosing() || !TComXDlg)
        return;
    Cmdmode = dialog.ModeCode;
    SysMode = dialog.ModeFlags;
    PolingTime = static_cast<uint16_t>(dialog.PollingTime());
    TComXDlg->TxDousaMode(Cmdmode, second, SysMode, PolingTime, dialog.CBWriteEEPROM->isChecked());
    EnableMenusForMode(Cmdmode == 0x00);
}

// "R/Wのパラメータ設定...": the handful of reader parameters an operator usually changes, read
// from the reader in command mode, written back whole, optionally with the tag family
// switched; then the reader restarts and the main window follows the mode it comes up in.

#include "app/BusyGuards.h"
#include "app/KV8AppForm.h"
#include "app/SettingSteps.h"
#include "controls/DialogKit.h"
#include "link/SendData.h"
#include "link/TTComXDlg.h"
#include "platform/MessageService.h"
#include "platform/PendingMessages.h"
#include "setup/ParamSet3Dlg.h"

#include <memory>

namespace
{

constexpr uint8_t CommandMode = 0x00;
constexpr uint8_t AutoScanMode = 0x01;
constexpr uint8_t ContinuousInventoryMode = 0x50;
constexpr int RestartPauseMs = 200;

} // namespace

void TKV8AppForm::RegisterParamSetHandlers()
{
    RegisterHandler(QStringLiteral("MnSetPara3"), &TKV8AppForm::MnSetPara3Click);
}

void TKV8AppForm::MnSetPara3Click(QObject *)
{
    if (!TComXDlg)
        return;
    bool ok = false;
    {
        BusyGuard busy(*this);
        ok = runParamSet();
    }
    AddLog(ok ? QStringLiteral("SET EEPROM : OK") : QStringLiteral("SET EEPROM : NG"));
}

bool TKV8AppForm::runParamSet()
{
    uint8_t code = 0;
    if (!TComXDlg->RxDousaMode(&code, nullptr, nullptr)) {
        if (!hubGone())
            showMessage(QStringLiteral("リーダーライターとの通信が出来ません、接続を確認してください"), this);
        return false;
    }
    if (hubGone())
        return true;
    if (code != CommandMode) {
        showMessage(QStringLiteral("コマンドモードに変更してから、再実行してください"), this);
        return true;
    }

    // ROMs before and after 1.21 alike get area-2 word 4 and the anticollision setting;
    // exactly 1.21 gets neither.
    const int v = TComXDlg->CompareRomVersion(121);
    const bool withArea2 = v != 0;
    EepromData area1{};
    // A form filled from an image that was never read would write it back: nothing is shown.
    if (hubGone() || !TComXDlg->RxEepromData(1, EepromArea1Size / 2, area1) || hubGone())
        return false;
    uint8_t rdLoop[2] = {};
    const bool area2Read = withArea2 && TComXDlg->RxEepromData2(4, 1, rdLoop);
    if (hubGone())
        return false;

    auto dlg = std::make_unique<TParamSet3Dlg>(this, v, 0);
    dlg->Hub = TComXDlg;
    dlg->Ver121 = fVER121 != 0;
    dlg->CBSelTag1->setChecked(false);
    dlg->CBSelTag1Click();
    dlg->EdRdStAddr->setEnabled(area2Read);
    dlg->EdDataLen->setEnabled(area2Read);
    dlg->RGAntic->setEnabled(withArea2);
    dlg->showValues(paramSetFromImage(area1, withArea2), withArea2);
    dlg->EdRdStAddr->SetValue(rdLoop[0]);
    dlg->EdDataLen->SetValue(rdLoop[1]);
    if (dlg->exec() != QDialog::Accepted || hubGone())
        return true;
    const bool tagStep = dlg->CBSelTag1->isChecked();
    const ParamSetValues values = dlg->values();
    rdLoop[0] = static_cast<uint8_t>(dlg->EdRdStAddr->GetValue());
    rdLoop[1] = static_cast<uint8_t>(dlg->EdDataLen->GetValue());
    dlg.reset();

    packParamSet(values, withArea2, tagStep, area1);
    // The closing line says OK only when every write that ran was acknowledged.
    const bool area1Written = TComXDlg->TxEepromData(1, EepromArea1Size / 2, area1) && TComXDlg->WaitReply();
    bool allWritten = area1Written;
    if (hubGone())
        return false;
    if (area1Written && area2Read) {
        allWritten = TComXDlg->TxEepromData2(4, 1, rdLoop) && TComXDlg->WaitReply();
        if (hubGone())
            return false;
    }
    if (tagStep) {
        const bool fujitsu = values.tagSel != 0;
        TagBlockSize = fujitsu ? 8 : 4;
        allWritten = CheckTagMode(fujitsu ? 1 : 0) != 0 && allWritten;
        if (hubGone())
            return false;
    }

    TComXDlg->RESTART_Cmd();
    waitFor([] { return false; }, RestartPauseMs);
    // A reader that does not answer after its restart has not shown that it took the settings.
    if (hubGone() || !TComXDlg->RxDousaMode(&code, nullptr, nullptr) || hubGone())
        return false;
    if (code != CommandMode) {
        UpdateMenuState(0);
        if (code == AutoScanMode)
            MnSetAuto1Click(Item(QStringLiteral("MnSetAuto1")));
        else if (code == ContinuousInventoryMode)
            MnSetInv1Click(Item(QStringLiteral("MnSetInv1")));
    }
    return allWritten;
}

int TKV8AppForm::CheckTagMode(int am)
{
    uint8_t mode = 0;
    if (!TComXDlg->RxS6700Mode(&mode)) {
        AddLog(QStringLiteral("Error: KV8GetTagMode"));
        return 0;
    }
    if (hubGone())
        return 0;
    S6700Conf = tagModeByte(mode, am != 0);
    TComXDlg->TxS6700Mode(S6700Conf, true);
    return TComXDlg->WaitReply() ? 1 : 0;
}

// Handlers of the program's own environment: the environment settings dialog (settings menu),
// the choice of the serial port (file menu) and the clearing of the result grid and the log
// (pop-up menu, F9). None of them talks to the reader.

#include "app/KV8AppForm.h"
#include "controls/DialogKit.h"
#include "link/TTComXDlg.h"
#include "platform/PendingMessages.h"
#include "setup/Config1Dlg.h"
#include "setup/PortSetDlg.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>

#include <array>

namespace
{

void tick(QCheckBox *box, int flag)
{
    box->setChecked(flag != 0);
}

int ticked(const QCheckBox *box)
{
    return box->isChecked() ? 1 : 0;
}

// A value from the settings file that names no item shows no choice; a choice left empty on OK
// keeps the field as it was, so such a value is never turned into another one.
void choose(QComboBox *combo, int index)
{
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

template <class Field> void keepChoice(Field &field, int index)
{
    if (index >= 0)
        field = static_cast<Field>(index);
}

// Bits 2 to 7 of the request-flag byte, one group each.
std::array<ChoiceGroup *, 6> flagBitGroups(const TConfig1Dlg &d)
{
    return {d.RGSelect, d.RGAddress, d.RGOption, d.RGAFI, d.RGNBSlots, d.RBDummy1};
}

// The items that the extension switch shows or hides. The start-up rule names one more
// (MnSetRWIDNUM), which the dialog leaves as it is.
const char *const extensionItems[] = {"MnInventoryAFI1", "MnSetBuz",  "MnNoReadCmd", "MnSetRetry",
                                      "MnRDLoop1",       "MnSetAnci", "MnSetAFI",    "MnAFI1"};

} // namespace

void TKV8AppForm::RegisterEnvironmentHandlers()
{
    RegisterHandler(QStringLiteral("MnConfig1"), &TKV8AppForm::MnConfig1Click);
    RegisterHandler(QStringLiteral("MnSetCOMPort"), &TKV8AppForm::MnSetCOMPortClick);
    RegisterHandler(QStringLiteral("MnGridClr"), &TKV8AppForm::MnGridClrClick);
}

void TKV8AppForm::MnConfig1Click(QObject *)
{
    if (!TComXDlg)
        return;
    TConfig1Dlg d(this);
    d.PageControl1->setTabVisible(d.PageControl1->indexOf(d.TabSheet2), false);
    d.PageControl1->setTabVisible(d.PageControl1->indexOf(d.TabSheet4), false);
    d.CBProgSetFlag->hide();
    d.CBGateCmd->show();
    // Opening the dialog switches the gate commands on, whichever way it closes.
    fGateCmd = 1;

    const TTComXDlg &hub = *TComXDlg;
    tick(d.CBEnabLockBlock, EnabLockBlock);
    choose(d.CBSelUID, UidFlag);
    d.RGReadOption->setItemIndex(ReadOptionFlag);
    choose(d.CBReadSelUID, ReadUidFlag);
    d.RGWriteOption->setItemIndex(WriteOptionFlag);
    choose(d.CBWriteSelUID, WriteUidFlag);
    tick(d.CBProgSetFlag, fUSESetOption);
    d.IntEdEASON->SetValue(EAS_ON_VALUE);
    d.IntEdEASOFF->SetValue(EAS_OFF_VALUE);
    tick(d.CBfDispRecInfo, hub.fDispRecInfo);
    tick(d.CBfDispTxInfo, hub.fDispTxInfo);
    tick(d.CBfWrDebug1, hub.fWrDebug1);
    tick(d.CBDispCont1, hub.fDispCont1);
    d.EdRWID->SetValue(hub.IDNo);
    d.EdBlockSize->SetValue(TagBlockSize);
    tick(d.CBInventory2, fInventory2);
    tick(d.CBUseInOutFormat, fUseInOutFormat);
    d.RGChannelMode->setItemIndex(InOutMode);
    d.CBUseInOutFormatClick();
    tick(d.CBBinaryWrite, fBinaryWrite);
    tick(d.CBROMVer200, fVER121);
    tick(d.CBGateCmd, fGateCmd);
    tick(d.CBDispEXTSet1, fDispEXTSet1);
    d.CBDispEXTSet1->setVisible(fDispEXTSet1 != 0);
    tick(d.CBInvTxOff, fInvTxOff);
    d.CBInvTxOff->setVisible(fInvTxOff != 0);
    choose(d.CBUidFlag, Prog15693FLAG & 3);
    const auto bitGroups = flagBitGroups(d);
    for (size_t i = 0; i < bitGroups.size(); ++i)
        bitGroups[i]->setItemIndex((Prog15693FLAG >> (i + 2)) & 1);

    if (d.exec() != QDialog::Accepted || applicationClosing() || !TComXDlg)
        return;

    TTComXDlg &live = *TComXDlg;
    EnabLockBlock = ticked(d.CBEnabLockBlock);
    live.fDispRecInfo = ticked(d.CBfDispRecInfo);
    live.fDispTxInfo = ticked(d.CBfDispTxInfo);
    live.fWrDebug1 = ticked(d.CBfWrDebug1);
    live.fDispCont1 = ticked(d.CBDispCont1);
    fInventory2 = ticked(d.CBInventory2);
    fUseInOutFormat = ticked(d.CBUseInOutFormat);
    keepChoice(InOutMode, d.RGChannelMode->itemIndex());
    fBinaryWrite = ticked(d.CBBinaryWrite);

    fVER121 = ticked(d.CBROMVer200);
    setItemVisible("MnSetSpeed", fVER121 != 0);
    setItemVisible("MnSetAnci", fVER121 != 0);

    fGateCmd = ticked(d.CBGateCmd);
    setItemVisible("MnGateCmd", fGateCmd != 0);
    setItemVisible("M7501", fGateCmd && fM750);

    keepChoice(UidFlag, d.CBSelUID->currentIndex());
    keepChoice(ReadOptionFlag, d.RGReadOption->itemIndex());
    keepChoice(ReadUidFlag, d.CBReadSelUID->currentIndex());
    keepChoice(WriteOptionFlag, d.RGWriteOption->itemIndex());
    keepChoice(WriteUidFlag, d.CBWriteSelUID->currentIndex());
    live.IDNo = static_cast<uint8_t>(d.EdRWID->GetValue());
    TagBlockSize = d.EdBlockSize->GetValue();
    EAS_ON_VALUE = static_cast<uint8_t>(d.IntEdEASON->GetValue());
    EAS_OFF_VALUE = static_cast<uint8_t>(d.IntEdEASOFF->GetValue());

    SetGridTitles();

    // Decides MnSetAnci in the end.
    fDispEXTSet1 = ticked(d.CBDispEXTSet1);
    for (const char *name : extensionItems)
        setItemVisible(name, fDispEXTSet1 != 0);

    fInvTxOff = ticked(d.CBInvTxOff);
    fUSESetOption = ticked(d.CBProgSetFlag);
    int flags = Prog15693FLAG & 3;
    keepChoice(flags, d.CBUidFlag->currentIndex());
    for (size_t i = 0; i < bitGroups.size(); ++i)
        flags |= (bitGroups[i]->itemIndex() & 1) << (i + 2);
    Prog15693FLAG = static_cast<uint8_t>(flags);
}

void TKV8AppForm::MnSetCOMPortClick(QObject *)
{
    // The item is shown on a serial link only; on another the hub has no port to choose.
    if (!TComXDlg || TComXDlg->TransportKind != TransportSerial)
        return;
    int chosen = 0;
    {
        TPortSetDlg dialog(this);
        dialog.SetPortNo(TComXDlg->CommX1.PortNo());
        if (dialog.exec() == QDialog::Accepted)
            chosen = dialog.PortNo();
    }
    if (applicationClosing() || !TComXDlg)
        return;
    // "設定" with no port chosen (the open one lies past COM10) leaves the open port alone.
    if (chosen)
        TComXDlg->ReopenPort(chosen);
    if (applicationClosing() || !TComXDlg)
        return;
    ComPort = TComXDlg->CommX1.PortNo();
    FillComPortList(ComPort, ComSpeed);
}

void TKV8AppForm::MnGridClrClick(QObject *)
{
    if (TComXDlg)
        TComXDlg->ClearReadTable();
    if (PageControl1->currentWidget() == TabSheet2)
        Memo1->clear();
    StatusPanel1->setText(QString());
}

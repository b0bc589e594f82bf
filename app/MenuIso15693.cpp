// Handlers of the "ISO15693コマンド" menu: each asks for its parameters, builds the request
// flags from the "Option" settings, sends one tag command through the hub and, where its
// row says so, waits for the reply and logs the elapsed time. The replies themselves are
// logged by the hub's decoders.

#include "app/FixedBytes.h"
#include "app/HandlerKit.h"
#include "app/KV8AppForm.h"
#include "link/Frame.h"
#include "link/SendData.h"
#include "link/TTComXDlg.h"

namespace
{

// WriteAFI and WriteDSFID: one shared value, sent as its low byte.
void runByteValueWrite(TKV8AppForm &form, void (TTComXDlg::*sender)(uint8_t, uint8_t))
{
    if (askByteValue(form, form.TagByteValue))
        runSender(form, FlagRule::WP, TagSteps::WaitAndTime, sender, static_cast<uint8_t>(form.TagByteValue));
}

void runSingleBlockWrite(TKV8AppForm &form, FlagRule rule, const DataBuffer &data, TagSteps steps)
{
    runSender(form, rule, steps, &TTComXDlg::ISO15693_WriteSingleBlock, form.BlockNo,
              ByteSpan(data.data(), data.size()));
}

} // namespace

void TKV8AppForm::RegisterIso15693Handlers()
{
    const std::pair<const char *, MenuHandler> table[] = {
        {"MnInventory1Slot1", &TKV8AppForm::MnInventoryClick},
        {"MnInventory16Slots1", &TKV8AppForm::MnInventoryClick},
        {"Inventory21", &TKV8AppForm::Inventory21Click},
        {"MnStayQuit", &TKV8AppForm::MnStayQuitClick},
        {"MnReadSingleBlock", &TKV8AppForm::MnReadSingleBlockClick},
        {"MnWriteSingleBlock", &TKV8AppForm::MnWriteSingleBlockClick},
        {"MnLockBlock", &TKV8AppForm::MnLockBlockClick},
        {"MnReadMultiBlock", &TKV8AppForm::MnReadMultiBlockClick},
        {"MnWriteMultiBlock", &TKV8AppForm::MnWriteMultiBlockClick},
        {"MnSelectTag", &TKV8AppForm::MnSelectTagClick},
        {"MnResetToReady", &TKV8AppForm::MnResetToReadyClick},
        {"MnWriteAFI", &TKV8AppForm::MnWriteAFIClick},
        {"MnLockAFI", &TKV8AppForm::MnLockAFIClick},
        {"MnWrietDSFID", &TKV8AppForm::MnWrietDSFIDClick},
        {"MNLockDSFID", &TKV8AppForm::MNLockDSFIDClick},
        {"MnGetSystemInfo", &TKV8AppForm::MnGetSystemInfoClick},
        {"MnGetMBlockSecSt", &TKV8AppForm::MnGetMBlockSecStClick},
        {"MnWrite2Blocks", &TKV8AppForm::MnWrite2BlocksClick},
        {"MnLock2Blocks", &TKV8AppForm::MnLock2BlocksClick},
        {"Read1BlockSelect1", &TKV8AppForm::Read1BlockSelect1Click},
        {"Write1BlockSelect1", &TKV8AppForm::Write1BlockSelect1Click},
        {"N14", &TKV8AppForm::N14Click},
    };
    for (const auto &[name, handler] : table)
        RegisterHandler(QLatin1String(name), handler);
}

void TKV8AppForm::MnInventoryClick(QObject *Sender)
{
    const bool oneSlot = Sender && Sender->objectName() == QLatin1String("MnInventory1Slot1");
    runSender(*this, oneSlot ? FlagRule::Inventory1Slot : FlagRule::Inventory16Slots, TagSteps::WaitAndTime,
              &TTComXDlg::ISO15693_Inventory);
}

void TKV8AppForm::Inventory21Click(QObject *)
{
    const auto param = static_cast<uint8_t>(fInventory2);
    RunTagCommand(FlagRule::Inventory2,
                  [param](TTComXDlg &hub, uint8_t flags) { return hub.ISO15693_Inventory2(flags, param), true; });
}

void TKV8AppForm::MnStayQuitClick(QObject *)
{
    // No wait: the time line covers the send only.
    runSender(*this, FlagRule::UP, TagSteps::TimeOnly, &TTComXDlg::ISO15693_StayQuiet, ByteSpan(CurrentUid, 8));
}

void TKV8AppForm::MnReadSingleBlockClick(QObject *)
{
    runBlockCommand(*this, FlagRule::RP, &TTComXDlg::ISO15693_ReadSingleBlock);
}

void TKV8AppForm::MnWriteSingleBlockClick(QObject *)
{
    DataBuffer data{};
    if (fBinaryWrite) {
        if (!askBinaryBlock(*this, BlockNo, data.data()))
            return;
    } else {
        if (!askSingleBlockText(*this))
            return;
        convertBlockText(*this, 1, data);
    }
    runSingleBlockWrite(*this, FlagRule::WP, data, TagSteps::WaitAndTime);
}

void TKV8AppForm::MnLockBlockClick(QObject *)
{
    runBlockCommand(*this, FlagRule::WP, &TTComXDlg::ISO15693_LockBlock);
}

void TKV8AppForm::MnReadMultiBlockClick(QObject *)
{
    runRangeCommand(*this, FlagRule::RP, &TTComXDlg::ISO15693_ReadMultiBlock);
}

void TKV8AppForm::MnWriteMultiBlockClick(QObject *)
{
    if (!askBlockRange(*this, MultiBlockNo, MultiBlockCount, true))
        return;
    DataBuffer data{};
    convertBlockText(*this, uint64_t{MultiBlockCount} + 1, data);
    runSender(*this, FlagRule::WP, TagSteps::WaitAndTime, &TTComXDlg::ISO15693_WriteMultiBlock, MultiBlockNo,
              MultiBlockCount, ByteSpan(data.data(), data.size()));
}

void TKV8AppForm::MnSelectTagClick(QObject *)
{
    runSender(*this, FlagRule::UP, TagSteps::WaitAndTime, &TTComXDlg::ISO15693_SelectTag, ByteSpan(CurrentUid, 8));
}

void TKV8AppForm::MnResetToReadyClick(QObject *)
{
    runSender(*this, FlagRule::UP, TagSteps::WaitAndTime, &TTComXDlg::ISO15693_ResetToReady);
}

void TKV8AppForm::MnWriteAFIClick(QObject *)
{
    runByteValueWrite(*this, &TTComXDlg::ISO15693_WriteAFI);
}

void TKV8AppForm::MnLockAFIClick(QObject *)
{
    runSender(*this, FlagRule::WP, TagSteps::WaitAndTime, &TTComXDlg::ISO15693_LockAFI);
}

void TKV8AppForm::MnWrietDSFIDClick(QObject *)
{
    runByteValueWrite(*this, &TTComXDlg::ISO15693_WriteDSFID);
}

void TKV8AppForm::MNLockDSFIDClick(QObject *)
{
    runSender(*this, FlagRule::WP, TagSteps::WaitAndTime, &TTComXDlg::ISO15693_LockDSFID);
}

void TKV8AppForm::MnGetSystemInfoClick(QObject *)
{
    if (!runSender(*this, FlagRule::UP, TagSteps::WaitAndTime, &TTComXDlg::ISO15693_GetSystemInfo))
        return;
    // Only an answer to this request that carried every announced field: the fields below
    // would otherwise still hold an earlier tag's values.
    if (!TComXDlg || !TComXDlg->SystemInfoComplete)
        return;
    if (TagInfoFlags & 0x02)
        AddLog(QStringLiteral("AFI: %1[0x%2]").arg(TagAFI).arg(byteHex(TagAFI)));
    if (TagInfoFlags & 0x04) {
        AddLog(QStringLiteral("ブロック数: %1").arg(TagMemSize[0] + 1));
        AddLog(QStringLiteral("ブロックサイズ: %1").arg((TagMemSize[1] & 31) + 1));
    }
    if (TagInfoFlags & 0x08)
        AddLog(QStringLiteral("ＩＣ基準: 0x") + byteHex(TagICRef));
}

void TKV8AppForm::MnGetMBlockSecStClick(QObject *)
{
    runRangeCommand(*this, FlagRule::UP, &TTComXDlg::ISO15693_GetMBlockSecSt);
}

void TKV8AppForm::MnWrite2BlocksClick(QObject *)
{
    if (!askBlockAndText(*this, MultiBlockNo, QStringLiteral("データ（文字列）")))
        return;
    DataBuffer data{};
    StrToFixedBytes(TagDataText, data.data(), 8);
    runSender(*this, FlagRule::TwoBlocks, TagSteps::WaitAndTime, &TTComXDlg::ISO15693_Write2Blocks, MultiBlockNo,
              ByteSpan(data.data(), 8));
}

void TKV8AppForm::MnLock2BlocksClick(QObject *)
{
    runBlockCommand(*this, FlagRule::TwoBlocks, &TTComXDlg::ISO15693_Lock2Blocks);
}

void TKV8AppForm::Read1BlockSelect1Click(QObject *)
{
    runBlockCommand(*this, FlagRule::SelectRead, &TTComXDlg::ISO15693_ReadSingleBlock, TagSteps::SendOnly);
}

void TKV8AppForm::Write1BlockSelect1Click(QObject *)
{
    DataBuffer data{};
    if (!askSingleBlockText(*this))
        return;
    convertBlockText(*this, 1, data);
    runSingleBlockWrite(*this, FlagRule::SelectWrite, data, TagSteps::SendOnly);
}

// Handlers of the "ISO15693コマンド" menu: each asks for its parameters, builds the request
// flags from the "Option" settings, sends one tag command through the hub and, where its
// row says so, waits for the reply and logs the elapsed time. The replies themselves are
// logged by the hub's decoders.

#include "app/ElapsedTime.h"
#include "app/FixedBytes.h"
#include "app/InputDialogs.h"
#include "app/KV8AppForm.h"
#include "app/RequestFlags.h"
#include "controls/IntEdit.h"
#include "link/Frame.h"
#include "link/SendData.h"
#include "link/TTComXDlg.h"
#include "platform/PendingMessages.h"

#include <QLabel>
#include <QLineEdit>

#include <array>
#include <memory>

namespace
{

// The write handlers convert their data into a zeroed buffer of this size.
using DataBuffer = std::array<uint8_t, 256>;

void setField(TIntEdit *edit, int radix, int32_t value)
{
    edit->SetMinValue(0);
    edit->SetMaxValue(255);
    if (radix != 0)
        edit->SetRadix(radix);
    edit->SetValue(value);
}

void hidePair(QLabel *title, QWidget *edit)
{
    title->setText(QString());
    edit->setVisible(false);
}

// Each dialog lives inside one of these calls only: it is read back and deleted before the
// command goes out, so nothing that runs during the reply wait can reach it.

bool askBlockNo(TKV8AppForm &form)
{
    auto dlg = std::make_unique<TInputIntDlg>(&form);
    dlg->setWindowTitle(QStringLiteral("ブロックＮＯ"));
    dlg->STTitle->setText(QStringLiteral("ブロックＮＯを入力してください"));
    setField(dlg->IntEd, 10, form.BlockNo);
    if (dlg->exec() != QDialog::Accepted)
        return false;
    form.BlockNo = static_cast<uint8_t>(dlg->IntEd->GetValue());
    return true;
}

// One block number and a data text; the second integer pair is hidden.
bool askBlockAndText(TKV8AppForm &form, uint8_t &block, const QString &dataPrompt)
{
    auto dlg = std::make_unique<TInp3Data2Dlg>(&form, 0, 0);
    dlg->setWindowTitle(QStringLiteral("設定値の入力"));
    dlg->STTitle1->setText(QStringLiteral("ブロックＮＯ"));
    setField(dlg->IntEd1, 0, block);
    hidePair(dlg->STTitle2, dlg->IntEd2);
    dlg->STTitle3->setText(dataPrompt);
    dlg->EdString->setText(form.TagDataText);
    if (dlg->exec() != QDialog::Accepted)
        return false;
    block = static_cast<uint8_t>(dlg->IntEd1->GetValue());
    form.TagDataText = dlg->EdString->text();
    return true;
}

bool askSingleBlockText(TKV8AppForm &form)
{
    return askBlockAndText(form, form.BlockNo,
                           QStringLiteral("データ（%1文字）").arg(static_cast<uint32_t>(form.TagBlockSize)));
}

// First block and block count, with or without a data text.
bool askBlockRange(TKV8AppForm &form, bool withText)
{
    auto dlg = std::make_unique<TInp3Data2Dlg>(&form, 0, 0);
    dlg->setWindowTitle(QStringLiteral("設定値の入力"));
    dlg->STTitle1->setText(QStringLiteral("ブロックＮＯ"));
    setField(dlg->IntEd1, 0, form.MultiBlockNo);
    dlg->STTitle2->setText(QStringLiteral("ブロック数"));
    setField(dlg->IntEd2, 0, form.MultiBlockCount);
    if (withText) {
        dlg->STTitle3->setText(QStringLiteral("データ（文字列）"));
        dlg->EdString->setText(form.TagDataText);
    } else {
        hidePair(dlg->STTitle3, dlg->EdString);
    }
    if (dlg->exec() != QDialog::Accepted)
        return false;
    form.MultiBlockNo = static_cast<uint8_t>(dlg->IntEd1->GetValue());
    form.MultiBlockCount = static_cast<uint8_t>(dlg->IntEd2->GetValue());
    if (withText)
        form.TagDataText = dlg->EdString->text();
    return true;
}

// The AFI or DSFID byte, in hex; one value shared by both items.
bool askByteValue(TKV8AppForm &form)
{
    auto dlg = std::make_unique<TInp3Data1Dlg>(&form);
    dlg->setWindowTitle(QStringLiteral("設定値の入力"));
    hidePair(dlg->STTitle1, dlg->IntEd1);
    hidePair(dlg->STTitle2, dlg->IntEd2);
    dlg->STTitle3->setText(QStringLiteral("データ（１６進）"));
    setField(dlg->IntEd3, 16, form.TagByteValue & 0xFF);
    if (dlg->exec() != QDialog::Accepted)
        return false;
    form.TagByteValue = dlg->IntEd3->GetValue();
    return true;
}

// The block and four data bytes as hex; the bytes go out lower byte first.
bool askBinaryBlock(TKV8AppForm &form, DataBuffer &data)
{
    auto dlg = std::make_unique<TWrData1Dlg>(&form);
    dlg->EdAddr->SetValue(form.BlockNo);
    for (TIntEdit *edit : {dlg->EdData3, dlg->EdData2, dlg->EdData1, dlg->EdData0})
        edit->SetValue(0);
    if (dlg->exec() != QDialog::Accepted)
        return false;
    form.BlockNo = static_cast<uint8_t>(dlg->EdAddr->GetValue());
    data[0] = static_cast<uint8_t>(dlg->EdData0->GetValue());
    data[1] = static_cast<uint8_t>(dlg->EdData1->GetValue());
    data[2] = static_cast<uint8_t>(dlg->EdData2->GetValue());
    data[3] = static_cast<uint8_t>(dlg->EdData3->GetValue());
    return true;
}

// The data text of a block write: blocks x TagBlockSize bytes, counted wide since both come
// from the operator and the settings file. A length past the frame's limit is refused by the
// sender (its line in the log, nothing sent), so the text is converted only when it fits.
void convertBlockText(const TKV8AppForm &form, uint64_t blocks, DataBuffer &data)
{
    const uint64_t length = blockDataLength(form.TagBlockSize, blocks).value_or(0);
    if (length <= maxDataLength)
        StrToFixedBytes(form.TagDataText, data.data(), static_cast<int>(length));
}

// Sends with the values, then the flags: the argument order of most senders.
template <class... Params, class... Values>
bool runSender(TKV8AppForm &form, FlagRule rule, TagSteps steps, void (TTComXDlg::*sender)(Params...), Values... values)
{
    return form.RunTagCommand(
        rule, [=](TTComXDlg &hub, uint8_t flags) { return (hub.*sender)(values..., flags), true; }, steps);
}

// The items that ask for one block number.
void runBlockCommand(TKV8AppForm &form, FlagRule rule, void (TTComXDlg::*sender)(uint8_t, uint8_t),
                     TagSteps steps = TagSteps::WaitAndTime)
{
    if (askBlockNo(form))
        runSender(form, rule, steps, sender, form.BlockNo);
}

// The items that ask for a first block and a count.
void runRangeCommand(TKV8AppForm &form, FlagRule rule, void (TTComXDlg::*sender)(uint8_t, uint8_t, uint8_t))
{
    if (askBlockRange(form, false))
        runSender(form, rule, TagSteps::WaitAndTime, sender, form.MultiBlockNo, form.MultiBlockCount);
}

// WriteAFI and WriteDSFID: one shared value, sent as its low byte.
void runByteValueWrite(TKV8AppForm &form, void (TTComXDlg::*sender)(uint8_t, uint8_t))
{
    if (askByteValue(form))
        runSender(form, FlagRule::WP, TagSteps::WaitAndTime, sender, static_cast<uint8_t>(form.TagByteValue));
}

void runSingleBlockWrite(TKV8AppForm &form, FlagRule rule, const DataBuffer &data, TagSteps steps)
{
    const uint8_t block = form.BlockNo;
    form.RunTagCommand(
        rule,
        [&data, block](TTComXDlg &hub, uint8_t flags) {
            return hub.ISO15693_WriteSingleBlock(block, ByteSpan(data.data(), data.size()), flags);
        },
        steps);
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
    };
    for (const auto &[name, handler] : table)
        RegisterHandler(QLatin1String(name), handler);
}

RequestFlagSettings TKV8AppForm::requestFlagSettings() const
{
    return {UidFlag, ReadOptionFlag, ReadUidFlag, WriteOptionFlag, WriteUidFlag, fUSESetOption, Prog15693FLAG};
}

bool TKV8AppForm::RunTagCommand(FlagRule rule, const std::function<bool(TTComXDlg &, uint8_t)> &send, TagSteps steps)
{
    if (!TComXDlg)
        return false;
    const uint8_t flags = requestFlags(rule, requestFlagSettings());
    const bool timed = steps != TagSteps::SendOnly && fTimeOut;
    // A command started during this one's wait sets CmdStartTime too: this command's own start
    // is kept aside so that its time line doesn't count from the other's.
    const double start = timed ? currentDateTime() : 0;
    if (timed)
        CmdStartTime = start;
    if (!send(*TComXDlg, flags))
        return false;
    const bool acked = steps == TagSteps::WaitAndTime && TComXDlg->WaitReply();
    if (applicationClosing())
        return false;
    if (timed) {
        CmdEndTime = currentDateTime();
        AddLog(QStringLiteral("実行時間: ") + elapsedTimeText(start, CmdEndTime));
    }
    return acked;
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
        if (!askBinaryBlock(*this, data))
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
    if (!askBlockRange(*this, true))
        return;
    DataBuffer data{};
    convertBlockText(*this, uint64_t{MultiBlockCount} + 1, data);
    const uint8_t first = MultiBlockNo;
    const uint8_t count = MultiBlockCount;
    RunTagCommand(FlagRule::WP, [&data, first, count](TTComXDlg &hub, uint8_t flags) {
        return hub.ISO15693_WriteMultiBlock(first, count, ByteSpan(data.data(), data.size()), flags);
    });
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
    const uint8_t block = MultiBlockNo;
    RunTagCommand(FlagRule::TwoBlocks, [&data, block](TTComXDlg &hub, uint8_t flags) {
        return hub.ISO15693_Write2Blocks(block, ByteSpan(data.data(), 8), flags), true;
    });
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

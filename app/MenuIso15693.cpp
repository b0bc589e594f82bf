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

QString hex2(unsigned value)
{
    return QStringLiteral("%1").arg(value & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
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

// A single-block write. A block size the frame can't carry is refused by the sender (its
// line in the log, nothing sent, no wait, no time); the text is converted only when it fits,
// so a large block size from the settings file never runs past the buffer.
void sendSingleBlockWrite(TKV8AppForm &form, uint8_t flags, DataBuffer &data, bool fromText, bool waitAndTime)
{
    const uint64_t length = singleBlockDataLength(static_cast<uint32_t>(form.TagBlockSize));
    const bool fits = length <= maxSingleBlockData(flags);
    if (fits && fromText)
        StrToFixedBytes(form.TagDataText, data.data(), static_cast<int>(length));
    const uint8_t block = form.BlockNo;
    form.RunTagCommand(
        [&] { return TComXDlg->ISO15693_WriteSingleBlock(block, ByteSpan(data.data(), data.size()), flags) && fits; },
        waitAndTime, waitAndTime);
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

bool TKV8AppForm::RunTagCommand(const std::function<bool()> &send, bool wait, bool timed)
{
    if (!TComXDlg)
        return false;
    if (timed && fTimeOut)
        CmdStartTime = currentDateTime();
    if (!send())
        return false;
    const bool acked = wait && TComXDlg->WaitReply();
    if (applicationClosing())
        return false;
    if (timed && fTimeOut) {
        CmdEndTime = currentDateTime();
        AddLog(QStringLiteral("実行時間: ") + elapsedTimeText(CmdStartTime, CmdEndTime));
    }
    return acked;
}

void TKV8AppForm::MnInventoryClick(QObject *Sender)
{
    const bool oneSlot = Sender && Sender->objectName() == QLatin1String("MnInventory1Slot1");
    const uint8_t flags =
        requestFlags(oneSlot ? FlagRule::Inventory1Slot : FlagRule::Inventory16Slots, requestFlagSettings());
    RunTagCommand([&] { return TComXDlg->ISO15693_Inventory(flags), true; }, true, true);
}

void TKV8AppForm::Inventory21Click(QObject *)
{
    const uint8_t flags = requestFlags(FlagRule::Inventory2, requestFlagSettings());
    const auto param = static_cast<uint8_t>(fInventory2);
    RunTagCommand([&] { return TComXDlg->ISO15693_Inventory2(flags, param), true; }, true, true);
}

void TKV8AppForm::MnStayQuitClick(QObject *)
{
    // No wait: the time line covers the send only.
    const uint8_t flags = requestFlags(FlagRule::UP, requestFlagSettings());
    RunTagCommand([&] { return TComXDlg->ISO15693_StayQuiet(ByteSpan(CurrentUid, 8), flags), true; }, false, true);
}

void TKV8AppForm::MnReadSingleBlockClick(QObject *)
{
    if (!askBlockNo(*this))
        return;
    const uint8_t flags = requestFlags(FlagRule::RP, requestFlagSettings());
    RunTagCommand([&] { return TComXDlg->ISO15693_ReadSingleBlock(BlockNo, flags), true; }, true, true);
}

void TKV8AppForm::MnWriteSingleBlockClick(QObject *)
{
    DataBuffer data{};
    if (fBinaryWrite) {
        if (!askBinaryBlock(*this, data))
            return;
    } else if (!askBlockAndText(*this, BlockNo,
                                QStringLiteral("データ（%1文字）").arg(static_cast<uint32_t>(TagBlockSize)))) {
        return;
    }
    sendSingleBlockWrite(*this, requestFlags(FlagRule::WP, requestFlagSettings()), data, !fBinaryWrite, true);
}

void TKV8AppForm::MnLockBlockClick(QObject *)
{
    if (!askBlockNo(*this))
        return;
    const uint8_t flags = requestFlags(FlagRule::WP, requestFlagSettings());
    RunTagCommand([&] { return TComXDlg->ISO15693_LockBlock(BlockNo, flags), true; }, true, true);
}

void TKV8AppForm::MnReadMultiBlockClick(QObject *)
{
    if (!askBlockRange(*this, false))
        return;
    const uint8_t flags = requestFlags(FlagRule::RP, requestFlagSettings());
    RunTagCommand([&] { return TComXDlg->ISO15693_ReadMultiBlock(MultiBlockNo, MultiBlockCount, flags), true; }, true,
                  true);
}

void TKV8AppForm::MnWriteMultiBlockClick(QObject *)
{
    if (!askBlockRange(*this, true))
        return;
    const uint8_t flags = requestFlags(FlagRule::WP, requestFlagSettings());
    // Up to 256 blocks of a block size from the settings file: counted wide, refused by the
    // sender when the frame can't carry it, and converted only when it fits the buffer.
    const uint64_t length = multiBlockDataLength(static_cast<uint32_t>(TagBlockSize), MultiBlockCount);
    const bool fits = length <= maxMultiBlockData(flags);
    DataBuffer data{};
    if (fits)
        StrToFixedBytes(TagDataText, data.data(), static_cast<int>(length));
    const uint8_t first = MultiBlockNo;
    const uint8_t count = MultiBlockCount;
    RunTagCommand(
        [&] {
            return TComXDlg->ISO15693_WriteMultiBlock(first, count, ByteSpan(data.data(), data.size()), flags) && fits;
        },
        true, true);
}

void TKV8AppForm::MnSelectTagClick(QObject *)
{
    const uint8_t flags = requestFlags(FlagRule::UP, requestFlagSettings());
    RunTagCommand([&] { return TComXDlg->ISO15693_SelectTag(ByteSpan(CurrentUid, 8), flags), true; }, true, true);
}

void TKV8AppForm::MnResetToReadyClick(QObject *)
{
    const uint8_t flags = requestFlags(FlagRule::UP, requestFlagSettings());
    RunTagCommand([&] { return TComXDlg->ISO15693_ResetToReady(flags), true; }, true, true);
}

void TKV8AppForm::MnWriteAFIClick(QObject *)
{
    if (!askByteValue(*this))
        return;
    const uint8_t flags = requestFlags(FlagRule::WP, requestFlagSettings());
    const auto afi = static_cast<uint8_t>(TagByteValue);
    RunTagCommand([&] { return TComXDlg->ISO15693_WriteAFI(afi, flags), true; }, true, true);
}

void TKV8AppForm::MnLockAFIClick(QObject *)
{
    const uint8_t flags = requestFlags(FlagRule::WP, requestFlagSettings());
    RunTagCommand([&] { return TComXDlg->ISO15693_LockAFI(flags), true; }, true, true);
}

void TKV8AppForm::MnWrietDSFIDClick(QObject *)
{
    if (!askByteValue(*this))
        return;
    const uint8_t flags = requestFlags(FlagRule::WP, requestFlagSettings());
    const auto dsfid = static_cast<uint8_t>(TagByteValue);
    RunTagCommand([&] { return TComXDlg->ISO15693_WriteDSFID(dsfid, flags), true; }, true, true);
}

void TKV8AppForm::MNLockDSFIDClick(QObject *)
{
    const uint8_t flags = requestFlags(FlagRule::WP, requestFlagSettings());
    RunTagCommand([&] { return TComXDlg->ISO15693_LockDSFID(flags), true; }, true, true);
}

void TKV8AppForm::MnGetSystemInfoClick(QObject *)
{
    const uint8_t flags = requestFlags(FlagRule::UP, requestFlagSettings());
    if (!RunTagCommand([&] { return TComXDlg->ISO15693_GetSystemInfo(flags), true; }, true, true))
        return;
    // Only an answer to this request that carried every announced field: the fields below
    // would otherwise still hold an earlier tag's values.
    if (!TComXDlg || !TComXDlg->SystemInfoComplete)
        return;
    if (TagInfoFlags & 0x02)
        AddLog(QStringLiteral("AFI: %1[0x%2]").arg(TagAFI).arg(hex2(TagAFI)));
    if (TagInfoFlags & 0x04) {
        AddLog(QStringLiteral("ブロック数: %1").arg(TagMemSize[0] + 1));
        AddLog(QStringLiteral("ブロックサイズ: %1").arg((TagMemSize[1] & 31) + 1));
    }
    if (TagInfoFlags & 0x08)
        AddLog(QStringLiteral("ＩＣ基準: 0x") + hex2(TagICRef));
}

void TKV8AppForm::MnGetMBlockSecStClick(QObject *)
{
    if (!askBlockRange(*this, false))
        return;
    const uint8_t flags = requestFlags(FlagRule::UP, requestFlagSettings());
    RunTagCommand([&] { return TComXDlg->ISO15693_GetMBlockSecSt(MultiBlockNo, MultiBlockCount, flags), true; }, true,
                  true);
}

void TKV8AppForm::MnWrite2BlocksClick(QObject *)
{
    if (!askBlockAndText(*this, MultiBlockNo, QStringLiteral("データ（文字列）")))
        return;
    const uint8_t flags = requestFlags(FlagRule::TwoBlocks, requestFlagSettings());
    DataBuffer data{};
    StrToFixedBytes(TagDataText, data.data(), 8);
    RunTagCommand([&] { return TComXDlg->ISO15693_Write2Blocks(MultiBlockNo, ByteSpan(data.data(), 8), flags), true; },
                  true, true);
}

void TKV8AppForm::MnLock2BlocksClick(QObject *)
{
    if (!askBlockNo(*this))
        return;
    const uint8_t flags = requestFlags(FlagRule::TwoBlocks, requestFlagSettings());
    RunTagCommand([&] { return TComXDlg->ISO15693_Lock2Blocks(BlockNo, flags), true; }, true, true);
}

void TKV8AppForm::Read1BlockSelect1Click(QObject *)
{
    if (!askBlockNo(*this))
        return;
    const uint8_t flags = requestFlags(FlagRule::SelectRead, requestFlagSettings());
    RunTagCommand([&] { return TComXDlg->ISO15693_ReadSingleBlock(BlockNo, flags), true; }, false, false);
}

void TKV8AppForm::Write1BlockSelect1Click(QObject *)
{
    DataBuffer data{};
    if (!askBlockAndText(*this, BlockNo, QStringLiteral("データ（%1文字）").arg(static_cast<uint32_t>(TagBlockSize))))
        return;
    sendSingleBlockWrite(*this, requestFlags(FlagRule::SelectWrite, requestFlagSettings()), data, true, false);
}

// Handlers of the menus "TAG-ITコマンド", "my-dコマンド" and "カスタムコマンド" (TI, TI Light,
// Philips SLI, Fujitsu MB89, ST): each asks for its parameters, builds the request flags and
// sends one tag command through the hub; some then wait for the reply. The replies are logged
// by the hub's decoders; these handlers add no line of their own but the TI Light password
// write's elapsed time.

#include "app/FixedBytes.h"
#include "app/HandlerKit.h"
#include "app/InputDialogs.h"
#include "app/KV8AppForm.h"
#include "controls/IntEdit.h"
#include "link/SendData.h"
#include "link/TTComXDlg.h"
#include "platform/MessageService.h"

#include <QLabel>

#include <memory>

namespace
{

const QString settingsCaption = QStringLiteral("設定値の入力");

IntPair blockPair(uint8_t &block)
{
    return {QStringLiteral("ブロックＮＯ"), block, 0, 255, 10};
}

IntPair afiPair(int32_t &afi)
{
    return {QStringLiteral("AFI値(Hex)"), afi, 0, 255, 16};
}

// Block number, block count and AFI of the inventory reads that take a count.
bool askInventoryRange(TKV8AppForm &form)
{
    return askInts(form, settingsCaption, blockPair(form.BlockNo),
                   IntPair{QStringLiteral("ブロック数"), form.MultiBlockCount, 0, 255, 10}, afiPair(form.InvAFIValue));
}

// The inventory reads of the TI and Philips sub-menus: the flags by the item ("1" or "16") and
// the AFI, then the sender with the flags and the AFI after its own values; no wait.
void runInventoryRead(TKV8AppForm &form, QObject *Sender, const char *oneSlotItem,
                      const std::function<void(TTComXDlg &hub, uint8_t flags, uint8_t afi)> &send)
{
    const bool oneSlot = Sender && Sender->objectName() == QLatin1String(oneSlotItem);
    const auto afi = static_cast<uint8_t>(form.InvAFIValue);
    form.RunTagCommand(
        inventoryReadFlags(form.requestFlagSettings(), oneSlot, form.InvAFIValue),
        [&](TTComXDlg &hub, uint8_t flags) {
            send(hub, flags, afi);
            return true;
        },
        TagSteps::SendOnly);
}

// The block number and the shared data text cut or padded to count bytes.
bool askBlockAndFixedText(TKV8AppForm &form, const QString &caption, const QString &dataPrompt, DataBuffer &data,
                          int count)
{
    if (!askBlockAndText(form, form.BlockNo, dataPrompt, caption))
        return false;
    StrToFixedBytes(form.TagDataText, data.data(), count);
    return true;
}

void runTagItBlockWrite(TKV8AppForm &form, const QString &caption,
                        void (TTComXDlg::*sender)(uint8_t, ByteSpan, uint8_t))
{
    DataBuffer data{};
    if (askBlockAndFixedText(form, caption, QStringLiteral("データ（４文字）"), data, 4))
        runSender(form, FlagRule::U, TagSteps::SendOnly, sender, form.BlockNo, ByteSpan(data.data(), 4));
}

void runMydWrite(TKV8AppForm &form, void (TTComXDlg::*sender)(uint8_t, ByteSpan, uint8_t))
{
    DataBuffer data{};
    if (askBlockAndFixedText(form, QStringLiteral("書き込みデータの入力"), QStringLiteral("データ（８文字）"), data, 8))
        runSender(form, FlagRule::W, TagSteps::SendOnly, sender, form.BlockNo, ByteSpan(data.data(), 8));
}

// The TI Light tag keeps its password in block 11 and its AFI in byte 0 of block 10.
constexpr uint8_t passwordBlock = 11;
constexpr uint8_t afiBlock = 10;

// The password dialog of the TI Light commands, its password fields from PassData; the caller
// fills or hides the other groups.
std::unique_ptr<TWritePwdDlg> makePasswordDialog(TKV8AppForm &form, const QString &caption)
{
    auto dlg = std::make_unique<TWritePwdDlg>(&form);
    dlg->setWindowTitle(caption);
    TIntEdit *const password[4] = {dlg->EdData0, dlg->EdData1, dlg->EdData2, dlg->EdData3};
    for (int i = 3; i >= 0; --i)
        password[i]->SetValue(form.PassData[i]);
    return dlg;
}

void readPassword(TKV8AppForm &form, const TWritePwdDlg &dlg)
{
    const TIntEdit *const password[4] = {dlg.EdData0, dlg.EdData1, dlg.EdData2, dlg.EdData3};
    for (int i = 0; i < 4; ++i)
        form.PassData[i] = static_cast<uint8_t>(password[i]->GetValue());
}

} // namespace

void TKV8AppForm::RegisterCustomTagHandlers()
{
    const std::pair<const char *, MenuHandler> table[] = {
        {"MnGetBlock", &TKV8AppForm::MnGetBlockClick},
        {"MnGetVersion", &TKV8AppForm::MnGetVersionClick},
        {"MnPutBlock", &TKV8AppForm::MnPutBlockClick},
        {"MnPutBlockLock", &TKV8AppForm::MnPutBlockLockClick},
        {"MnLockBlock2", &TKV8AppForm::MnLockBlock2Click},
        {"MnSID_Poll", &TKV8AppForm::MnSID_PollClick},
        {"MnQuiet", &TKV8AppForm::MnQuietClick},
        {"MnMydRead1", &TKV8AppForm::MnMydRead1Click},
        {"MnMydWrite1", &TKV8AppForm::MnMydWrite1Click},
        {"MnMydWriteByte1", &TKV8AppForm::MnMydWriteByte1Click},
        {"MnMydWriteReread1", &TKV8AppForm::MnMydWriteReread1Click},
        {"MnTIInventoryRead11", &TKV8AppForm::MnTIInventoryRead11Click},
        {"MnTIInventoryRead161", &TKV8AppForm::MnTIInventoryRead11Click},
        {"MnTIInventoryMultiRead11", &TKV8AppForm::MnTIInventoryMultiRead11Click},
        {"MnTIInventoryMultiRead161", &TKV8AppForm::MnTIInventoryMultiRead11Click},
        {"MnTIInventoryGetSystemInfo11", &TKV8AppForm::MnTIInventoryGetSystemInfo11Click},
        {"MnTIInventoryGetSystemInfo161", &TKV8AppForm::MnTIInventoryGetSystemInfo11Click},
        {"MnTIInventoryGetSecInfo11", &TKV8AppForm::MnTIInventoryGetSecInfo11Click},
        {"MnTIInventoryGetSecInfo161", &TKV8AppForm::MnTIInventoryGetSecInfo11Click},
        {"MnKill1", &TKV8AppForm::MnKill1Click},
        {"WriteSingleBlockPwd1", &TKV8AppForm::WriteSingleBlockPwd1Click},
        {"MnWrLightPass", &TKV8AppForm::MnWrLightPassClick},
        {"MnSetRP", &TKV8AppForm::MnSetRPClick},
        {"MnLightAFI1", &TKV8AppForm::MnLightAFI1Click},
        {"InventoryRead11", &TKV8AppForm::InventoryRead11Click},
        {"InventoryRead161", &TKV8AppForm::InventoryRead11Click},
        {"FastInventoryRead11", &TKV8AppForm::FastInventoryRead11Click},
        {"FastInventoryRead161", &TKV8AppForm::FastInventoryRead11Click},
        {"MnSetEAS1", &TKV8AppForm::MnSetEAS1Click},
        {"MnResetEAS1", &TKV8AppForm::MnResetEAS1Click},
        {"MnLockEAS1", &TKV8AppForm::MnLockEAS1Click},
        {"MnEASAlarm1", &TKV8AppForm::MnEASAlarm1Click},
        {"MnMB89EAS1", &TKV8AppForm::MnMB89EAS1Click},
        {"MnFujiEASON", &TKV8AppForm::MnFujiEASONClick},
        {"MnFujiEASOFF", &TKV8AppForm::MnFujiEASONClick},
        {"MnMB89Refresh", &TKV8AppForm::MnMB89RefreshClick},
        {"MnMB89ReadMulitiBlocksUnlimited1", &TKV8AppForm::MnMB89ReadMulitiBlocksUnlimited1Click},
        {"MnACTIVATEEAS1", &TKV8AppForm::MnACTIVATEEAS1Click},
        {"MnDEACTIVATEEAS1", &TKV8AppForm::MnDEACTIVATEEAS1Click},
        {"POOLEAS1", &TKV8AppForm::POOLEAS1Click},
    };
    for (const auto &[name, handler] : table)
        RegisterHandler(QLatin1String(name), handler);
}

// --- TAG-IT: no handler waits ---

void TKV8AppForm::MnGetBlockClick(QObject *)
{
    if (askBlockNo(*this, BlockNo, QStringLiteral("GetBlock コマンド"), 32))
        runSender(*this, FlagRule::U, TagSteps::SendOnly, &TTComXDlg::TAGIT_GETBLOCK_CMD, BlockNo);
}

void TKV8AppForm::MnGetVersionClick(QObject *)
{
    runSender(*this, FlagRule::U, TagSteps::SendOnly, &TTComXDlg::TAGIT_GETVERSION_CMD);
}

void TKV8AppForm::MnPutBlockClick(QObject *)
{
    runTagItBlockWrite(*this, QStringLiteral("PutBlock　コマンド"), &TTComXDlg::TAGIT_PUTBLOCK_CMD);
}

void TKV8AppForm::MnPutBlockLockClick(QObject *)
{
    runTagItBlockWrite(*this, QStringLiteral("PutBlockLock コマンド"), &TTComXDlg::TAGIT_PUTBLOCKLOCK_CMD);
}

void TKV8AppForm::MnLockBlock2Click(QObject *)
{
    if (askBlockNo(*this, BlockNo, QStringLiteral("LockBlock　コマンド")))
        runSender(*this, FlagRule::U, TagSteps::SendOnly, &TTComXDlg::TAGIT_LOCKBLOCK_CMD, BlockNo);
}

void TKV8AppForm::MnSID_PollClick(QObject *)
{
    if (askInts(*this, QStringLiteral("SID_Poll　コマンド"),
                IntPair{QStringLiteral("マスクビット長"), SidMaskLen, 0, 31, 10}, std::nullopt,
                IntPair{QStringLiteral("データ（１６進）"), SidMaskValue, 0, -1, 16}))
        runSender(*this, FixedFlags::None, TagSteps::SendOnly, &TTComXDlg::TAGIT_SID_POLL_CMD, SidMaskLen,
                  SidMaskValue);
}

void TKV8AppForm::MnQuietClick(QObject *)
{
    runSender(*this, FlagRule::U, TagSteps::SendOnly, &TTComXDlg::TAGIT_QUIET_CMD);
}

// --- my-d: no handler waits ---

void TKV8AppForm::MnMydRead1Click(QObject *)
{
    runBlockCommand(*this, FlagRule::R, &TTComXDlg::Myd_ReadCommand, TagSteps::SendOnly);
}

void TKV8AppForm::MnMydWrite1Click(QObject *)
{
    runMydWrite(*this, &TTComXDlg::Myd_WriteCommand);
}

void TKV8AppForm::MnMydWriteByte1Click(QObject *)
{
    // Position and byte start at 0 on every opening.
    int32_t position = 0;
    int32_t value = 0;
    if (askInts(*this, QStringLiteral("書き込みデータの設定"), blockPair(BlockNo),
                IntPair{QStringLiteral("アドレス位置（0-9）"), position, 0, 9, 10},
                IntPair{QStringLiteral("データ(hex: 0-ff)"), value, 0, 255, 16}))
        runSender(*this, FlagRule::W, TagSteps::SendOnly, &TTComXDlg::Myd_WriteByteCommand, BlockNo,
                  static_cast<uint8_t>(position), static_cast<uint8_t>(value));
}

void TKV8AppForm::MnMydWriteReread1Click(QObject *)
{
    runMydWrite(*this, &TTComXDlg::Myd_WriteRereadCommand);
}

// --- TI and Philips inventory reads: no wait ---

void TKV8AppForm::MnTIInventoryRead11Click(QObject *Sender)
{
    if (!askIntsAndText(*this, settingsCaption, blockPair(BlockNo), afiPair(InvAFIValue), std::nullopt))
        return;
    runInventoryRead(*this, Sender, "MnTIInventoryRead11",
                     [this](TTComXDlg &hub, uint8_t flags, uint8_t afi) { hub.TI_InventoryRead(BlockNo, flags, afi); });
}

void TKV8AppForm::MnTIInventoryMultiRead11Click(QObject *Sender)
{
    if (!askInventoryRange(*this))
        return;
    runInventoryRead(*this, Sender, "MnTIInventoryMultiRead11", [this](TTComXDlg &hub, uint8_t flags, uint8_t afi) {
        hub.TI_InventoryMultiRead(BlockNo, MultiBlockCount, flags, afi);
    });
}

void TKV8AppForm::MnTIInventoryGetSystemInfo11Click(QObject *Sender)
{
    if (!askInt(*this, settingsCaption, afiPair(InvAFIValue)))
        return;
    runInventoryRead(*this, Sender, "MnTIInventoryGetSystemInfo11",
                     [](TTComXDlg &hub, uint8_t flags, uint8_t afi) { hub.TI_InventoryGetSystemInfo(flags, afi); });
}

void TKV8AppForm::MnTIInventoryGetSecInfo11Click(QObject *Sender)
{
    if (!askInventoryRange(*this))
        return;
    runInventoryRead(*this, Sender, "MnTIInventoryGetSecInfo11", [this](TTComXDlg &hub, uint8_t flags, uint8_t afi) {
        hub.TI_InventoryGetSecInfo(BlockNo, MultiBlockCount, flags, afi);
    });
}

void TKV8AppForm::InventoryRead11Click(QObject *Sender)
{
    if (!askInventoryRange(*this))
        return;
    runInventoryRead(*this, Sender, "InventoryRead11", [this](TTComXDlg &hub, uint8_t flags, uint8_t afi) {
        hub.SLI_InventoryRead(BlockNo, MultiBlockCount, flags, afi);
    });
}

void TKV8AppForm::FastInventoryRead11Click(QObject *Sender)
{
    if (!askInventoryRange(*this))
        return;
    runInventoryRead(*this, Sender, "FastInventoryRead11", [this](TTComXDlg &hub, uint8_t flags, uint8_t afi) {
        hub.SLI_FastInventoryRead(BlockNo, MultiBlockCount, flags, afi);
    });
}

// --- TI Light: every handler waits ---

void TKV8AppForm::MnKill1Click(QObject *)
{
    if (!confirmYesNo(QStringLiteral("KILLコマンドを実行するとタグが使用できなくなりますが、コマンドを実行しますか？"),
                      this))
        return;
    {
        auto dlg = makePasswordDialog(*this, QStringLiteral("KILL Command"));
        // Kill needs the password alone.
        for (QWidget *w :
             std::initializer_list<QWidget *>{dlg->STTitle1, dlg->IntEd1, dlg->STTitle3, dlg->EdWrdata3, dlg->EdWrdata2,
                                              dlg->EdWrdata1, dlg->EdWrdata0, dlg->Label1, dlg->Label5})
            w->setVisible(false);
        if (dlg->exec() != QDialog::Accepted)
            return;
        readPassword(*this, *dlg);
    }
    RunTagCommand(
        FixedFlags::OptionAddressed,
        [this](TTComXDlg &hub, uint8_t flags) {
            hub.TI_KillCommand(flags, ByteSpan(CurrentUid, 8), ByteSpan(PassData, 4));
            return true;
        },
        TagSteps::WaitOnly);
}

void TKV8AppForm::WriteSingleBlockPwd1Click(QObject *)
{
    DataBuffer data{};
    {
        auto dlg = makePasswordDialog(*this, QStringLiteral("Write Single Block Pwd Command"));
        dlg->STTitle1->setText(QStringLiteral("ブロックＮＯ（０－Ｂ）"));
        setField(dlg->IntEd1, -16, BlockNo, 0, passwordBlock);
        dlg->STTitle3->setText(QStringLiteral("データ(HEX)"));
        TIntEdit *const bytes[4] = {dlg->EdWrdata0, dlg->EdWrdata1, dlg->EdWrdata2, dlg->EdWrdata3};
        for (int i = 3; i >= 0; --i)
            bytes[i]->SetValue(data[i]);
        if (dlg->exec() != QDialog::Accepted)
            return;
        readPassword(*this, *dlg);
        BlockNo = static_cast<uint8_t>(dlg->IntEd1->GetValue());
        for (int i = 0; i < 4; ++i)
            data[i] = static_cast<uint8_t>(bytes[i]->GetValue());
    }
    RunTagCommand(
        FixedFlags::OptionAddressed,
        [&](TTComXDlg &hub, uint8_t flags) {
            hub.TI_WRSIBK_Psw(flags, ByteSpan(CurrentUid, 8), ByteSpan(PassData, 4), BlockNo, ByteSpan(data.data(), 4));
            return true;
        },
        TagSteps::WaitOnly);
}

void TKV8AppForm::MnWrLightPassClick(QObject *)
{
    uint8_t block = passwordBlock;
    if (!askBinaryBlock(*this, block, PassData, true))
        return;
    // Exactly the 4 password bytes: the sender fills a larger block with zeros.
    runSender(*this, FlagRule::OptionWriteUid, TagSteps::WaitAndTime, &TTComXDlg::ISO15693_WriteSingleBlock,
              passwordBlock, ByteSpan(PassData, 4));
}

void TKV8AppForm::MnSetRPClick(QObject *)
{
    if (confirmYesNo(QStringLiteral("RPビットを有効とする為に、Lockしますが宜しいですか？"), this))
        runSender(*this, FlagRule::OptionWriteUid, TagSteps::WaitOnly, &TTComXDlg::ISO15693_LockBlock, passwordBlock);
}

void TKV8AppForm::MnLightAFI1Click(QObject *)
{
    if (!askInt(*this, QStringLiteral("AFI値の設定"), afiPair(InvAFIValue)))
        return;
    // The block's other bytes are written back as the tag holds them, so the write goes out
    // only when this read answered with them: an ACK echoing the read and carrying the block.
    // A NACK or time-out is logged by the hub, a short answer by the block-read decoder.
    if (!runSender(*this, FixedFlags::None, TagSteps::WaitOnly, &TTComXDlg::ISO15693_ReadSingleBlock, afiBlock) ||
        !TComXDlg)
        return;
    const QByteArrayView reply = TComXDlg->lastReplyFrame();
    if (checkAnswer(reply, QByteArrayView("\x20", 1), 4) != AnswerCheck::Ok)
        return;
    QByteArray block = answerBytes(reply, 1, 4);
    block[0] = static_cast<char>(InvAFIValue);
    runSender(*this, FixedFlags::Option, TagSteps::WaitOnly, &TTComXDlg::ISO15693_WriteSingleBlock, afiBlock,
              ByteSpan(reinterpret_cast<const uint8_t *>(block.constData()), 4));
}

// --- EAS and related commands: each waits, the verdict unused ---

void TKV8AppForm::MnSetEAS1Click(QObject *)
{
    runSender(*this, FlagRule::WriteUid, TagSteps::WaitOnly, &TTComXDlg::SLI_SetEASCommand);
}

void TKV8AppForm::MnResetEAS1Click(QObject *)
{
    runSender(*this, FlagRule::WriteUid, TagSteps::WaitOnly, &TTComXDlg::SLI_ResetEASCommand);
}

void TKV8AppForm::MnLockEAS1Click(QObject *)
{
    runSender(*this, FlagRule::WriteUid, TagSteps::WaitOnly, &TTComXDlg::SLI_LockEASCommand);
}

void TKV8AppForm::MnEASAlarm1Click(QObject *)
{
    runSender(*this, FlagRule::ReadUid, TagSteps::WaitOnly, &TTComXDlg::SLI_EASAlarmCommand);
}

void TKV8AppForm::MnMB89EAS1Click(QObject *)
{
    runSender(*this, FixedFlags::None, TagSteps::WaitOnly, &TTComXDlg::MB89_EASCommand);
}

void TKV8AppForm::MnFujiEASONClick(QObject *Sender)
{
    const uint8_t value = Sender && Sender->objectName() == QLatin1String("MnFujiEASON") ? 1 : 0;
    // The sender takes the flags first; the value goes out before them.
    RunTagCommand(
        FlagRule::W,
        [value](TTComXDlg &hub, uint8_t flags) {
            hub.MB89_WriteEASCommand(flags, value);
            return true;
        },
        TagSteps::WaitOnly);
}

void TKV8AppForm::MnMB89RefreshClick(QObject *)
{
    runSender(*this, FlagRule::W, TagSteps::WaitOnly, &TTComXDlg::MB89_RefreshCommand);
}

void TKV8AppForm::MnMB89ReadMulitiBlocksUnlimited1Click(QObject *)
{
    runRangeCommand(*this, FlagRule::R, &TTComXDlg::MB89_RDMULIBLOCKSCommand, TagSteps::WaitOnly);
}

void TKV8AppForm::MnACTIVATEEAS1Click(QObject *)
{
    runSender(*this, FlagRule::WriteUid, TagSteps::WaitOnly, &TTComXDlg::LRI_ACTIVATEEAS);
}

void TKV8AppForm::MnDEACTIVATEEAS1Click(QObject *)
{
    runSender(*this, FlagRule::WriteUid, TagSteps::WaitOnly, &TTComXDlg::LRI_DEACTIVATEEAS);
}

void TKV8AppForm::POOLEAS1Click(QObject *)
{
    runSender(*this, FixedFlags::None, TagSteps::WaitOnly, &TTComXDlg::LRI_POOLEAS);
}

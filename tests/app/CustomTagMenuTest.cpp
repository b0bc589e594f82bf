#include "tests/app/WindowHubFixture.h"

#include "app/HandlerKit.h"
#include "app/InputDialogs.h"

#include <tuple>

namespace
{

#define UID " 01 02 03 04 05 06 07 E0"
#define SID " 51 52 53 54"

class CustomTagMenuTest : public WindowHubTest
{
protected:
    void SetUp() override
    {
        WindowHubTest::SetUp();
        const uint8_t sid[4] = {0x51, 0x52, 0x53, 0x54};
        std::copy(std::begin(sid), std::end(sid), form->CurrentSid);
    }

    void useSettings(const RequestFlagSettings &flags)
    {
        form->UidFlag = flags.UidFlag;
        form->ReadOptionFlag = flags.ReadOptionFlag;
        form->ReadUidFlag = flags.ReadUidFlag;
        form->WriteOptionFlag = flags.WriteOptionFlag;
        form->WriteUidFlag = flags.WriteUidFlag;
        form->fTimeOut = 1;
    }

    MessageBoxRecorder boxes{Msg::IdYes};
};

} // namespace

// Every item against the reader model with fTimeOut set, the confirmations answered yes: the
// frames it sends for its row's settings and what reaches the log. Values past a field's range
// go out clamped. Only the TI Light password write logs its time.
TEST_F(CustomTagMenuTest, EveryItemSendsItsFramesAndTheRepliesReachTheLog)
{
    const struct {
        const char *item;
        RequestFlagSettings flags; // the other settings keep their defaults
        QStringList typed;         // into the dialog's visible integer fields; none and no text: no dialog
        QString text;
        const char *sent;
        QStringList log;
        QByteArray ack = {}; // the reply's DATA where the reader model's plain ACK won't do
    } rows[] = {
        // clang-format off
        {"MnGetBlock", {.UidFlag = 1}, {"40"}, {}, "u 01 20 01" SID, {}},
        {"MnGetVersion", {.UidFlag = 2}, {}, {}, "u 03 02", {}},
        {"MnPutBlock", {.UidFlag = 1}, {"7"}, "ABCDEF", "u 05 07 41 42 43 44 01" SID, {}},
        {"MnPutBlockLock", {}, {"255"}, "AB", "u 07 FF 41 42 00 00 00", {}},
        {"MnLockBlock2", {.UidFlag = 1}, {"200"}, {}, "u 08 C8 01" SID, {}},
        {"MnSID_Poll", {.UidFlag = 1}, {"40", "ABCD"}, {}, "u 0A 00 1F CD AB 00 00", {}},
        {"MnQuiet", {.UidFlag = 1}, {}, {}, "u 0B 01" SID, {}},
        {"MnMydRead1", {.ReadOptionFlag = 1, .ReadUidFlag = 1}, {"9"}, {}, "x B0 09 00 11" UID,
         {"Myd_ReadCommand OK", "data(Hex): 41 42 43 44 45 46 47 48 ", "data: ABCDEFGH"}, "\xB0" "ABCDEFGH"},
        {"MnMydWrite1", {}, {"10"}, "ABCDEFGHIJ", "x B1 0A 00 41 42 43 44 45 46 47 48 10", {"Myd_WriteCommand OK"}},
        {"MnMydWriteByte1", {.WriteUidFlag = 1}, {"11", "12", "9A"}, {}, "x B2 0B 00 09 9A 11" UID,
         {"Myd_WriteByteCommand OK"}},
        {"MnMydWriteReread1", {.WriteOptionFlag = 0}, {"12"}, "XY", "x B3 0C 00 58 59 00 00 00 00 00 00 00",
         {"Myd_WriteRereadCommand OK", "data(Hex): 58 59 00 00 00 00 00 00 ", "data: XY"},
         QByteArray("\xB3" "XY\0\0\0\0\0\0", 9)},
        {"MnTIInventoryRead11", {.ReadOptionFlag = 1, .ReadUidFlag = 1}, {"3", "4A"}, {}, "x A4 03 70 4A",
         {"TI_InventoryRead受信"}},
        {"MnTIInventoryMultiRead11", {}, {"2", "6", "4B"}, {}, "x A5 02 06 60 4B", {"TI_InventoryMultiRead受信"}},
        {"MnTIInventoryGetSystemInfo161", {.ReadOptionFlag = 1}, {"4C"}, {}, "x A6 30 4C",
         {"TI_InventoryGetSystemInfo受信"}},
        {"MnTIInventoryGetSecInfo11", {}, {"4", "7", "0"}, {}, "x A7 04 07 40 00", {"TI_InventoryGetSecInfo受信"}},
        {"InventoryRead161", {.ReadUidFlag = 1}, {"1", "2", "51"}, {}, "x C0 01 02 20 51", {"SLI_InventoryRead受信"}},
        {"FastInventoryRead11", {}, {"3", "4", "52"}, {}, "x C1 03 04 60 52", {"SLI_FastInventoryRead受信"}},
        {"MnKill1", {}, {"C4", "C3", "C2", "C1"}, {}, "x A8 11" UID " C1 C2 C3 C4", {"TI_KillCommand受信"}},
        {"WriteSingleBlockPwd1", {}, {"4", "3", "2", "1", "F", "D3", "D2", "D1", "D0"}, {},
         "x A9 11" UID " 01 02 03 04 0B D0 D1 D2 D3", {"TI_WRSIBK_Psw受信"}},
        {"MnWrLightPass", {.WriteOptionFlag = 0, .WriteUidFlag = 1}, {"0", "A3", "A2", "A1", "A0"}, {},
         "x 21 0B A0 A1 A2 A3 11" UID, {"ISO15693_WriteSingleBlock受信", timeLine}},
        {"MnSetRP", {.WriteOptionFlag = 0, .WriteUidFlag = 1}, {}, {}, "x 22 0B 11" UID, {"ISO15693_LockBlock受信"}},
        {"MnLightAFI1", {.ReadUidFlag = 1, .WriteUidFlag = 1}, {"C5"}, {}, "x 20 0A 00 | x 21 0A C5 29 2A 2B 10",
         {"ISO15693_ReadSingleBlock受信", "data(Hex): 28 29 2A 2B ", "data: ()*+", "ISO15693_WriteSingleBlock受信"}},
        {"MnSetEAS1", {.WriteUidFlag = 1}, {}, {}, "x C2 01" UID, {"SLI_SetEASCommand受信"}},
        {"MnResetEAS1", {.WriteUidFlag = 3}, {}, {}, "x C3 03", {"SLI_ResetEASCommand受信"}},
        {"MnLockEAS1", {.ReadUidFlag = 1}, {}, {}, "x C4 00", {"SLI_LockEASCommand受信"}},
        {"MnEASAlarm1", {.ReadUidFlag = 1}, {}, {}, "x C5 01" UID, {"SLI_EASAlarmCommand受信"}},
        {"MnMB89EAS1", {.UidFlag = 1, .ReadUidFlag = 1, .WriteUidFlag = 1}, {}, {}, "x C8 00", {}},
        {"MnFujiEASON", {.WriteUidFlag = 1}, {}, {}, "x C9 01 11" UID, {}},
        {"MnFujiEASOFF", {}, {}, {}, "x C9 00 10", {}},
        {"MnMB89Refresh", {.WriteUidFlag = 1}, {}, {}, "x CA 11" UID, {}},
        {"MnMB89ReadMulitiBlocksUnlimited1", {.ReadOptionFlag = 1}, {"2", "5"}, {}, "x CB 02 05 10", {}},
        {"MnACTIVATEEAS1", {.WriteUidFlag = 1}, {}, {}, "x B8 01" UID, {}},
        {"MnDEACTIVATEEAS1", {}, {}, {}, "x B9 00", {}},
        {"POOLEAS1", {.WriteUidFlag = 1}, {}, {}, "x BA 00", {}},
        // clang-format on
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.item);
        useSettings(row.flags);
        if (!row.typed.isEmpty() || !row.text.isNull())
            answerDialog(row.typed, row.text);
        if (!row.ack.isEmpty())
            board.expect('x', static_cast<uint8_t>(row.ack[0]), ReaderStandIn::ack(row.ack));
        click(row.item);
        EXPECT_EQ(takeSent(), row.sent);
        EXPECT_EQ(takeLog(), joined(row.log));
    }
    EXPECT_EQ(boxes.texts(),
              QStringList({"KILLコマンドを実行するとタグが使用できなくなりますが、コマンドを実行しますか？",
                           "RPビットを有効とする為に、Lockしますが宜しいですか？"}));
    // What the dialogs took is kept for the next ones (the password in the settings).
    EXPECT_EQ(std::tuple(form->BlockNo, form->MultiBlockNo, form->MultiBlockCount, form->InvAFIValue),
              std::tuple(11, 2, 5, 0xC5));
    EXPECT_EQ(std::tuple(form->SidMaskLen, form->SidMaskValue), std::tuple(31, 0xABCDu));
    EXPECT_EQ(hexOf(QByteArray(reinterpret_cast<const char *>(form->PassData), 4)), "A0 A1 A2 A3");
    EXPECT_EQ(form->TagDataText, QStringLiteral("XY"));
}

// Kill and the RP lock ask first: No sends nothing. Yes and then Cancel in Kill's password
// dialog (which shows the stored password alone) sends nothing either and keeps the password.
TEST_F(CustomTagMenuTest, NoToTheConfirmationOrCancelInThePasswordDialogSendsNothing)
{
    const uint8_t password[4] = {0x01, 0x02, 0x03, 0xA4};
    std::copy(std::begin(password), std::end(password), form->PassData);
    const struct {
        const char *item;
        int answer;
        const char *seen; // the password dialog's visible fields; null: no dialog
    } cases[] = {
        {"MnKill1", Msg::IdNo, nullptr},
        {"MnKill1", Msg::IdYes, "EdData3=A4 EdData2=3 EdData1=2 EdData0=1"},
        {"MnSetRP", Msg::IdNo, nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.item);
        boxes.setAnswer(c.answer);
        QStringList seen;
        bool opened = false;
        whenDialogOpens<TWritePwdDlg>(
            [&](TWritePwdDlg *d) {
                opened = true;
                for (TIntEdit *edit : d->findChildren<TIntEdit *>())
                    if (edit->isVisibleTo(d))
                        seen << edit->objectName() + QLatin1Char('=') + edit->text();
                d->reject();
            },
            300);
        click(c.item, 400); // past the time limit, so the next case's dialog finds no stale answer
        EXPECT_EQ(opened, c.seen != nullptr);
        if (c.seen) {
            EXPECT_EQ(seen.join(QLatin1Char(' ')).toStdString(), c.seen);
        }
    }
    EXPECT_EQ(boxes.boxes.size(), 3);
    EXPECT_EQ(takeSent(), "");
    EXPECT_EQ(takeLog(), "");
    EXPECT_TRUE(std::equal(std::begin(password), std::end(password), form->PassData));
}

// The TI Light AFI write puts back the other bytes of block 10 as the tag holds them, so it
// goes out only after an ACK to its read that echoes the read and carries the block (a time-out
// fails as a NACK does); otherwise the log shows only what the hub and the decoder wrote. Both TI Light writes send 4
// bytes, then zeros up to the block size.
TEST_F(CustomTagMenuTest, LightAfiWriteNeedsAGoodReadOfBlock10AndTheWritesCarryFourBytes)
{
    const struct {
        const char *what;
        int blockSize;
        QByteArray read; // the read's ACK DATA; empty: a NACK
        const char *sent;
        QStringList log;
    } cases[] = {
        // clang-format off
        {"NACK", 4, {}, "x 20 0A 00", {"タグからの応答なし", "NACK 受信"}},
        {"short", 4, "\x20" "ABC", "x 20 0A 00", {"ISO15693_ReadSingleBlock受信", "data(Hex): 41 42 43 ", "data: ABC"}},
        {"wrong echo", 4, "\x21" "ABCD", "x 20 0A 00", {"ISO15693_WriteSingleBlock受信"}},
        {"8-byte block", 8, "\x20" "ABCDEFGH", "x 20 0A 00 | x 21 0A C5 42 43 44 00 00 00 00 10",
         {"ISO15693_ReadSingleBlock受信", "data(Hex): 41 42 43 44 45 46 47 48 ", "data: ABCDEFGH",
          "ISO15693_WriteSingleBlock受信"}},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        form->TagBlockSize = c.blockSize;
        board.expect('x', 0x20, c.read.isEmpty() ? ReaderStandIn::nack(4) : ReaderStandIn::ack(c.read));
        board.expect('x', 0x21, ReaderStandIn::ack(bytesOf({0x21})));
        answerDialog({"C5"});
        click("MnLightAFI1");
        EXPECT_EQ(takeSent(), c.sent);
        EXPECT_EQ(takeLog(), joined(c.log));
    }
    answerDialog({"0", "A3", "A2", "A1", "A0"});
    click("MnWrLightPass");
    EXPECT_EQ(takeSent(), "x 21 0B A0 A1 A2 A3 00 00 00 00 10");
}

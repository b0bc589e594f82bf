#include "tests/link/SenderFixture.h"

#include <functional>
#include <vector>

namespace
{

const std::vector<uint8_t> argUid{0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78};
const std::vector<uint8_t> data16{0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8,
                                  0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0xB0};
// CurrentUid of the test window.
const QByteArray winUid = bytesOf({0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8});

struct GoldenRow {
    const char *tag;
    uint8_t cmd;
    QByteArray data;
    std::function<void(TTComXDlg &)> send;
    bool recordsLastCmd = true;
};

QByteArray b(std::initializer_list<int> v)
{
    return bytesOf(v);
}

std::vector<GoldenRow> readerRows()
{
    return {
        {"QUIT_command: ", 'Q', b({0x02}), [](TTComXDlg &h) { h.QuitCommand(2); }, false},
        {"Buzzer Command: ", 'B', b({0x00, 0x03}), [](TTComXDlg &h) { h.BuzzerCommand(3, 0); }, false},
        {"Simple Read Command: ", 'R', {}, [](TTComXDlg &h) { h.SimpleReadCommand(); }, false},
        {"ＲＯＭのバージョン情報", 'O', b({0x90, 0x00}), [](TTComXDlg &h) { h.GetRomVersionCmd(); }},
        {"機種名（ModelName）の取得", 'O', b({0x93}), [](TTComXDlg &h) { h.GetModelNameCmd(); }},
        {"RAM Read Command: ", 'O', b({0x91, 0x12, 0x34, 0x05, 0, 0, 0, 0, 0, 0}),
         [](TTComXDlg &h) { h.RamReadCommand(0x1234, 5); }},
        {"RAM Write Command: ", 'N', b({0x92, 0x12, 0x34, 0x03, 0xAB, 0xCD, 0xEF, 0, 0, 0}),
         [](TTComXDlg &h) { h.RamWriteCommand(0x1234, 3, 0xABCDEF00); }, false},
        {"Port Write Command: ", 'N', b({0x9F, 0x02, 0x5A}), [](TTComXDlg &h) { h.PortWriteCommand(2, 0x5A); }},
        {"DousaModeSet: ", 'J', b({0, 0, 0, 0, 0xA1, 0xA2, 0xA3}), [](TTComXDlg &h) { h.DousaModeSetJCmd(3, data16); }},
        {"DousaModeSet(N): ", 'O', b({0x00}), [](TTComXDlg &h) { h.DousaModeGetNoWait(0x00); }},
        {"S6700ModeSet(N): ", 'O', b({0x09}), [](TTComXDlg &h) { h.DousaModeGetNoWait(0x09); }},
        {"??? command(N): ", 'O', b({0x05}), [](TTComXDlg &h) { h.DousaModeGetNoWait(0x05); }},
        {"DousaModeSet: ", 'N', b({0x00, 0x01, 0x62, 0x73, 0x01, 0x01, 0x05}),
         [](TTComXDlg &h) { h.TxDousaMode(0x01, 0x62, 0x73, 0x0105, false); }},
        {"DousaModeSet: ", 'N', b({0x10, 0x51, 0x62, 0x73, 0x01, 0x37, 0x00}),
         [](TTComXDlg &h) { h.TxDousaMode(0x51, 0x62, 0x73, 0x0105, true); }},
        {"PolWrite: ", 'N', b({0x00, 0x23, 0x62, 0x73, 0x01, 0x02, 0x01, 0x09, 0x02, 0xA1, 0xA2, 0x10}),
         [](TTComXDlg &h) { h.PolWrite(0x23, 0x62, 0x73, 0x0201, false, 9, 2, data16, 0x10); }},
        {"PolWrite: ", 'N', b({0x10, 0x23, 0x62, 0x73, 0x01, 0x02, 0x01, 0x09, 0x01, 0xA1, 0x11}) + winUid,
         [](TTComXDlg &h) { h.PolWrite(0x23, 0x62, 0x73, 0x0201, true, 9, 1, data16, 0x11); }},
        {"AFI_RDWR_CMD TX: ", 'N', b({0x51, 0xC3}), [](TTComXDlg &h) { h.AFI_RDWR_WriteCmd(0xC3); }},
        {"ERR_RATE_CMD TX: ", 'N', b({0x60}), [](TTComXDlg &h) { h.ERR_RATE_ClearCmd(); }},
        {"EEPROM_RDWR_CMD TX: ", 'N', b({0x70, 0x04, 0x02, 0xA1, 0xA2, 0xA3, 0xA4}),
         [](TTComXDlg &h) { h.TxEepromData(4, 2, data16); }},
        {"EEPROM_RDWR_CMD2 TX: ", 'N', b({0x72, 0x03, 0x01, 0xA1, 0xA2}),
         [](TTComXDlg &h) { h.TxEepromData2(3, 1, data16); }},
        {"S6700ModeSet: ", 'N', b({0x19, 0x48}), [](TTComXDlg &h) { h.TxS6700Mode(0x48, true); }},
        {"S6700ModeSet: ", 'N', b({0x09, 0x48}), [](TTComXDlg &h) { h.TxS6700Mode(0x48, false); }},
        {"TxSetParamData: ", 'N', b({0xAB, 0x3C}), [](TTComXDlg &h) { h.TxSetParamData(0xAB, 0x3C); }},
        {"RESTART_CMD: ", 'N', b({0x9D}), [](TTComXDlg &h) { h.RESTART_Cmd(); }},
        {"TXON_OFF_CMD: ", 'N', b({0x9E, 0x02}), [](TTComXDlg &h) { h.TXON_OFF_Cmd(2); }},
        {"POWERDOWN_CMD: ", 'N', b({0x52}), [](TTComXDlg &h) { h.POWERDOWN_WriteCmd(); }},
        {"POWERDOWN_CMD: ", 'O', b({0x52}), [](TTComXDlg &h) { h.POWERDOWN_ReadCmd(); }},
        {"SELANTENA_CMD: ", 'N', b({0x9C, 0x03}), [](TTComXDlg &h) { h.SELANTENA_WriteCmd(3); }},
        {"SET_LEDCONT: ", 'N', b({0x55, 0x01, 0x02, 0x0A}), [](TTComXDlg &h) { h.SET_LEDCONT_Cmd(1, 2, 10); }},
        {"CNT_LEDBUZ_CMD: ", 'N', b({0x57, 0x01, 0x02, 0x03, 0x04, 0x05}),
         [](TTComXDlg &h) { h.CNT_LEDBUZ_Cmd(1, 2, 3, 4, 5); }},
        {"Get ERROR STATUS: ", 'O', b({0x80}), [](TTComXDlg &h) { h.GetErrorStatusCmd(); }},
        {"GETUIDNUMBER_CMD: ", 'O', b({0x53}), [](TTComXDlg &h) { h.GETUIDNUMBER_Cmd(); }},
        {"GETUIDDATA_CMD: ", 'O', b({0x54, 0x07}), [](TTComXDlg &h) { h.GETUIDDATA_Cmd(7); }},
        {"EEPROM_INIT_CMD: ", 'N', b({0x71}), [](TTComXDlg &h) { h.EEPROM_INIT_Cmd(); }},
        {"UID_RDWR_CMD: ", 'O', b({0x50}), [](TTComXDlg &h) { h.UID_RDWR_ReadCmd(); }},
        {"UID_RDWR_CMD: ", 'N', b({0x50, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78}),
         [](TTComXDlg &h) { h.UID_RDWR_WriteCmd(argUid); }},
    };
}

std::vector<GoldenRow> tagRows()
{
    return {
        {"ISO15693_CommCmd: ", 'x', b({0xA1, 0xA2, 0xA3}), [](TTComXDlg &h) { h.ISO15693_CommCmd(3, data16); }},
        {"ISO15693_Inventory: ", 'x', b({0x01, 0x24}), [](TTComXDlg &h) { h.ISO15693_Inventory(0x27); }},
        {"ISO15693_Inventory2: ", 'x', b({0xF0, 0x34, 0x09}), [](TTComXDlg &h) { h.ISO15693_Inventory2(0x35, 9); }},
        {"StayQuiet: ", 'x', b({0x02, 0x00}) + b({0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78}),
         [](TTComXDlg &h) { h.ISO15693_StayQuiet(argUid, 0x00); }},
        {"ISO15693_ReadSingleBlock: ", 'x', b({0x20, 0x05, 0x11}) + winUid,
         [](TTComXDlg &h) { h.ISO15693_ReadSingleBlock(5, 0x11); }},
        {"ISO15693_ReadSingleBlock: ", 'x', b({0x20, 0x05, 0x03}),
         [](TTComXDlg &h) { h.ISO15693_ReadSingleBlock(5, 0x03); }},
        {"ISO15693_WriteSingleBlock: ", 'x', b({0x21, 0x06, 0xA1, 0xA2, 0xA3, 0xA4, 0x02}),
         [](TTComXDlg &h) { h.ISO15693_WriteSingleBlock(6, data16, 0x02); }},
        {"ISO15693_WriteSingleBlock: ", 'x', b({0x21, 0x06, 0xA1, 0xA2, 0xA3, 0xA4, 0x01}) + winUid,
         [](TTComXDlg &h) { h.ISO15693_WriteSingleBlock(6, data16, 0x01); }},
        {"ISO15693_LockBlock: ", 'x', b({0x22, 0x08, 0x01}) + winUid,
         [](TTComXDlg &h) { h.ISO15693_LockBlock(8, 0x01); }},
        {"ISO15693_ReadMultiBlock: ", 'x', b({0x23, 0x02, 0x03, 0x10}),
         [](TTComXDlg &h) { h.ISO15693_ReadMultiBlock(2, 3, 0x10); }},
        {"ISO15693_WriteMultiBlock: ", 'x',
         b({0x24, 0x02, 0x01, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0x01}) + winUid,
         [](TTComXDlg &h) { h.ISO15693_WriteMultiBlock(2, 1, data16, 0x01); }},
        {"ISO15693_SelectTag: ", 'x', b({0x25, 0x22}) + b({0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78}),
         [](TTComXDlg &h) { h.ISO15693_SelectTag(argUid, 0x22); }},
        {"ISO15693_ResetToReady: ", 'x', b({0x26, 0x01}) + winUid, [](TTComXDlg &h) { h.ISO15693_ResetToReady(0x01); }},
        {"ISO15693_WriteAFI: ", 'x', b({0x27, 0xC4, 0x00}), [](TTComXDlg &h) { h.ISO15693_WriteAFI(0xC4, 0x00); }},
        {"ISO15693_LockAFI: ", 'x', b({0x28, 0x41}) + winUid, [](TTComXDlg &h) { h.ISO15693_LockAFI(0x41); }},
        {"ISO15693_WrietDSFID: ", 'x', b({0x29, 0xD5, 0x01}) + winUid,
         [](TTComXDlg &h) { h.ISO15693_WriteDSFID(0xD5, 0x01); }},
        {"ISO15693_LockDSFID: ", 'x', b({0x2A, 0x02}), [](TTComXDlg &h) { h.ISO15693_LockDSFID(0x02); }},
        {"ISO15693_GetSystemInfo: ", 'x', b({0x2B, 0x01}) + winUid,
         [](TTComXDlg &h) { h.ISO15693_GetSystemInfo(0x01); }},
        {"ISO15693_GetMBlockSecSt: ", 'x', b({0x2C, 0x04, 0x06, 0x00}),
         [](TTComXDlg &h) { h.ISO15693_GetMBlockSecSt(4, 6, 0x00); }},
        {"ISO15693_Write2Blocks: ", 'x', b({0xA2, 0x0A, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0x01}) + winUid,
         [](TTComXDlg &h) { h.ISO15693_Write2Blocks(10, data16, 0x01); }},
        {"ISO15693_Lock2Blocks: ", 'x', b({0xA3, 0x0B, 0x00}), [](TTComXDlg &h) { h.ISO15693_Lock2Blocks(11, 0x00); }},
    };
}

} // namespace

class SenderGoldenFramesTest : public SenderHubTest
{
protected:
    void checkRows(const std::vector<GoldenRow> &rows)
    {
        for (uint8_t id : {uint8_t(0x00), uint8_t(0xA5)}) {
            hub->IDNo = id;
            for (const GoldenRow &row : rows) {
                SCOPED_TRACE(std::string(row.tag) + " ID " + std::to_string(id));
                const QByteArray expected = goldenFrame(id, row.cmd, row.data);
                hub->LastCmd = 0xEE;
                hub->ReplyState = 7;
                hub->ackOrNackSinceSend = true;
                memo.clear();
                row.send(*hub);
                EXPECT_EQ(linesOf(memo.lines), linesOf({QString::fromUtf8(row.tag), traceLine(expected)}));
                EXPECT_EQ(hub->LastCmd, row.recordsLastCmd ? row.cmd : 0xEE);
                EXPECT_EQ(hub->ReplyState, 0);
                EXPECT_FALSE(hub->ackOrNackSinceSend);
                EXPECT_EQ(hexOf(nextFrame()), hexOf(expected));
            }
        }
    }
};

TEST_F(SenderGoldenFramesTest, ReaderSendersWriteTheirExactFramesAndTraces)
{
    checkRows(readerRows());
}

TEST_F(SenderGoldenFramesTest, TagSendersWriteTheirExactFramesAndTraces)
{
    checkRows(tagRows());
}

TEST_F(SenderGoldenFramesTest, QuitFrameForIdZeroIsTheDocumentedOne)
{
    hub->QuitCommand(0);
    EXPECT_EQ(hexOf(nextFrame()), "02 00 51 01 00 03 57 0D");
    EXPECT_EQ(memo.lines.value(1).toStdString(), "02 00 51 01 00 03 57 0D ");
}

TEST_F(SenderGoldenFramesTest, TagSendersFollowTheWindowsBlockSizeAndUid)
{
    window.blockSize = 8;
    window.uid = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
    hub->ISO15693_WriteSingleBlock(1, data16, 0x01);
    const QByteArray frame = nextFrame();
    EXPECT_EQ(hexOf(frame.mid(3, 12)), "13 21 01 A1 A2 A3 A4 A5 A6 A7 A8 01");
    EXPECT_EQ(hexOf(frame.mid(15, 8)), "11 22 33 44 55 66 77 88");

    // Data shorter than the block size goes out padded with 00, never read past its end.
    window.blockSize = 4;
    const std::vector<uint8_t> two{0x91, 0x92};
    hub->ISO15693_WriteMultiBlock(0, 1, two, 0x00);
    EXPECT_EQ(hexOf(nextFrame().mid(3, 13)), "0C 24 00 01 91 92 00 00 00 00 00 00 00");
}

TEST_F(SenderGoldenFramesTest, BlockReadsSetOptionFlagFromTheOptionBit)
{
    hub->OptionFlag = 0;
    hub->ISO15693_ReadSingleBlock(5, 0x11);
    EXPECT_EQ(hub->OptionFlag, 1);
    hub->ISO15693_ReadMultiBlock(0, 1, 0x02);
    EXPECT_EQ(hub->OptionFlag, 0);
    hub->ISO15693_ReadMultiBlock(0, 1, 0x12);
    EXPECT_EQ(hub->OptionFlag, 1);
    hub->ISO15693_GetMBlockSecSt(0, 1, 0x00);
    EXPECT_EQ(hub->OptionFlag, 1) << "other senders leave it alone";
}

TEST_F(SenderGoldenFramesTest, NoTraceWithoutTxInfoButTheSameFrame)
{
    hub->fDispTxInfo = 0;
    hub->ReplyState = 2;
    hub->TxS6700Mode(0x48, false);
    EXPECT_TRUE(memo.lines.isEmpty());
    EXPECT_EQ(hub->LastCmd, 'N');
    EXPECT_EQ(hub->ReplyState, 0);
    EXPECT_EQ(hexOf(nextFrame()), hexOf(goldenFrame(0, 'N', b({0x09, 0x48}))));
}

TEST_F(SenderGoldenFramesTest, OversizedRequestsAreRefusedWithoutSending)
{
    const std::vector<uint8_t> big(300, 0x5A);
    struct Refusal {
        const char *line;
        std::function<bool(TTComXDlg &)> send;
    };
    const Refusal refusals[] = {
        {"RAM Write Command: DATA長オーバー", [](TTComXDlg &h) { return h.RamWriteCommand(0x10, 5, 0); }},
        {"DousaModeSet: DATA長オーバー", [&](TTComXDlg &h) { return h.DousaModeSetJCmd(252, big); }},
        {"PolWrite: DATA長オーバー", [&](TTComXDlg &h) { return h.PolWrite(0x23, 0, 0, 0, false, 0, 238, big, 0x01); }},
        {"EEPROM_RDWR_CMD TX: DATA長オーバー", [&](TTComXDlg &h) { return h.TxEepromData(1, 127, big); }},
        {"EEPROM_RDWR_CMD2 TX: DATA長オーバー", [&](TTComXDlg &h) { return h.TxEepromData2(1, 200, big); }},
        {"ISO15693_WriteMultiBlock: DATA長オーバー",
         [&](TTComXDlg &h) { return h.ISO15693_WriteMultiBlock(0, 255, big, 0x00); }},
    };
    for (const Refusal &r : refusals) {
        SCOPED_TRACE(r.line);
        hub->LastCmd = 0xEE;
        hub->ReplyState = 2;
        hub->ackOrNackSinceSend = true;
        memo.clear();
        EXPECT_FALSE(r.send(*hub));
        EXPECT_EQ(linesOf(memo.lines), r.line);
        EXPECT_EQ(hub->LastCmd, 0xEE);
        EXPECT_EQ(hub->ReplyState, 0);
        EXPECT_FALSE(hub->ackOrNackSinceSend);
    }
    // A block size from the settings that is negative or huge is refused the same way.
    for (int size : {-1, 0x7FFFFFFF, 245}) {
        window.blockSize = size;
        memo.clear();
        EXPECT_FALSE(hub->ISO15693_WriteSingleBlock(0, big, 0x01)) << size;
        EXPECT_EQ(linesOf(memo.lines), "ISO15693_WriteSingleBlock: DATA長オーバー");
    }
    window.blockSize = 244;
    EXPECT_TRUE(hub->ISO15693_WriteSingleBlock(0, big, 0x01));
    EXPECT_EQ(nextFrame().size(), 255 + 7);
    EXPECT_TRUE(peerSilent());
}

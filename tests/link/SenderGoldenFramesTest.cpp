#include "link/GateRecords.h"
#include "tests/link/SenderFixture.h"

#include <functional>

namespace
{

const std::vector<uint8_t> argUid{0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78};
const std::vector<uint8_t> data16{0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8,
                                  0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0xB0};
const std::vector<uint8_t> two{0x91, 0x92};
const std::vector<uint8_t> password{0xC1, 0xC2, 0xC3, 0xC4};
// CurrentUid and CurrentSid of the test window and the UID argument, as hex text.
#define WIN_UID " E1 E2 E3 E4 E5 E6 E7 E8"
#define WIN_SID " D1 D2 D3 D4"
#define ARG_UID " 71 72 73 74 75 76 77 78"
#define SEND(call) [](TTComXDlg &h) { h.call; }
// A request whose DATA won't fit LEN: refused with one log line, nothing sent, LastCmd kept.
#define REFUSE(call) [](TTComXDlg &h) { EXPECT_FALSE(h.call); }
const std::vector<uint8_t> big(300, 0x5A);

struct GoldenRow {
    const char *tag;
    uint8_t cmd;
    const char *data; // null: refused
    std::function<void(TTComXDlg &)> send;
    bool recordsLastCmd = true;
    int optionFlag = -1; // -1: the sender leaves OptionFlag alone
    int blockSize = 4;
    // Gate requests: the stand-in ACKs them and the sender waits for that ACK; some go to ID 0.
    bool waits = false;
    bool idZero = false;
    const char *after = nullptr; // a line the sender logs after the wait, trace or not
};

GoldenRow gate(const char *tag, const char *data, std::function<void(TTComXDlg &)> send, bool idZero = false,
               const char *after = nullptr)
{
    GoldenRow row{tag, 'G', data, std::move(send)};
    row.waits = true;
    row.idZero = idZero;
    row.after = after;
    return row;
}

const GateCountRecord countRecord{0x04030201, 0x08070605, 0x0A09, 0x0C0B};

const GoldenRow rows[] = {
    {"QUIT_command: ", 'Q', "02", SEND(QuitCommand(2)), false},
    {"Buzzer Command: ", 'B', "00 03", SEND(BuzzerCommand(3, 0)), false},
    {"Simple Read Command: ", 'R', "", SEND(SimpleReadCommand()), false},
    {"ＲＯＭのバージョン情報", 'O', "90 00", SEND(GetRomVersionCmd())},
    {"機種名（ModelName）の取得", 'O', "93", SEND(GetModelNameCmd())},
    {"RAM Read Command: ", 'O', "91 12 34 05 00 00 00 00 00 00", SEND(RamReadCommand(0x1234, 5))},
    {"RAM Write Command: ", 'N', "92 12 34 03 AB CD EF 00 00 00", SEND(RamWriteCommand(0x1234, 3, 0xABCDEF00)), false},
    {"Port Write Command: ", 'N', "9F 02 5A", SEND(PortWriteCommand(2, 0x5A))},
    {"DousaModeSet: ", 'J', "00 00 00 00 A1 A2 A3", SEND(DousaModeSetJCmd(3, data16))},
    {"DousaModeSet(N): ", 'O', "00", SEND(DousaModeGetNoWait(0x00))},
    {"S6700ModeSet(N): ", 'O', "09", SEND(DousaModeGetNoWait(0x09))},
    {"??? command(N): ", 'O', "05", SEND(DousaModeGetNoWait(0x05))},
    // The polling time goes high byte first; the write-test mode 0x51 sends the window's block number.
    {"DousaModeSet: ", 'N', "00 01 62 73 01 01 05", SEND(TxDousaMode(0x01, 0x62, 0x73, 0x0105, false))},
    {"DousaModeSet: ", 'N', "10 51 62 73 01 37 00", SEND(TxDousaMode(0x51, 0x62, 0x73, 0x0105, true))},
    {"PolWrite: ", 'N', "00 23 62 73 01 02 01 09 02 A1 A2 10",
     SEND(PolWrite(0x23, 0x62, 0x73, 0x0201, false, 9, 2, data16, 0x10))},
    {"PolWrite: ", 'N', "10 23 62 73 01 02 01 09 01 A1 11" WIN_UID,
     SEND(PolWrite(0x23, 0x62, 0x73, 0x0201, true, 9, 1, data16, 0x11))},
    {"AFI_RDWR_CMD TX: ", 'N', "51 C3", SEND(AFI_RDWR_WriteCmd(0xC3))},
    {"ERR_RATE_CMD TX: ", 'N', "60", SEND(ERR_RATE_ClearCmd())},
    {"EEPROM_RDWR_CMD TX: ", 'N', "70 04 02 A1 A2 A3 A4", SEND(TxEepromData(4, 2, data16))},
    {"EEPROM_RDWR_CMD2 TX: ", 'N', "72 03 01 A1 A2", SEND(TxEepromData2(3, 1, data16))},
    {"S6700ModeSet: ", 'N', "19 48", SEND(TxS6700Mode(0x48, true))},
    {"S6700ModeSet: ", 'N', "09 48", SEND(TxS6700Mode(0x48, false))},
    {"TxSetParamData: ", 'N', "AB 3C", SEND(TxSetParamData(0xAB, 0x3C))},
    {"RESTART_CMD: ", 'N', "9D", SEND(RESTART_Cmd())},
    {"TXON_OFF_CMD: ", 'N', "9E 02", SEND(TXON_OFF_Cmd(2))},
    {"POWERDOWN_CMD: ", 'N', "52", SEND(POWERDOWN_WriteCmd())},
    {"POWERDOWN_CMD: ", 'O', "52", SEND(POWERDOWN_ReadCmd())},
    {"SELANTENA_CMD: ", 'N', "9C 03", SEND(SELANTENA_WriteCmd(3))},
    {"SET_LEDCONT: ", 'N', "55 01 02 0A", SEND(SET_LEDCONT_Cmd(1, 2, 10))},
    {"CNT_LEDBUZ_CMD: ", 'N', "57 01 02 03 04 05", SEND(CNT_LEDBUZ_Cmd(1, 2, 3, 4, 5))},
    {"Get ERROR STATUS: ", 'O', "80", SEND(GetErrorStatusCmd())},
    {"GETUIDNUMBER_CMD: ", 'O', "53", SEND(GETUIDNUMBER_Cmd())},
    {"GETUIDDATA_CMD: ", 'O', "54 07", SEND(GETUIDDATA_Cmd(7))},
    {"EEPROM_INIT_CMD: ", 'N', "71", SEND(EEPROM_INIT_Cmd())},
    {"UID_RDWR_CMD: ", 'O', "50", SEND(UID_RDWR_ReadCmd())},
    {"UID_RDWR_CMD: ", 'N', "50" ARG_UID, SEND(UID_RDWR_WriteCmd(argUid))},

    {"ISO15693_CommCmd: ", 'x', "A1 A2 A3", SEND(ISO15693_CommCmd(3, data16))},
    {"ISO15693_Inventory: ", 'x', "01 24", SEND(ISO15693_Inventory(0x27))},
    {"ISO15693_Inventory2: ", 'x', "F0 34 09", SEND(ISO15693_Inventory2(0x35, 9))},
    {"StayQuiet: ", 'x', "02 00" ARG_UID, SEND(ISO15693_StayQuiet(argUid, 0x00))},
    {"ISO15693_ReadSingleBlock: ", 'x', "20 05 11" WIN_UID, SEND(ISO15693_ReadSingleBlock(5, 0x11)), true, 1},
    // Only UID mode 1 is addressed.
    {"ISO15693_ReadSingleBlock: ", 'x', "20 05 03", SEND(ISO15693_ReadSingleBlock(5, 0x03)), true, 0},
    {"ISO15693_WriteSingleBlock: ", 'x', "21 06 A1 A2 A3 A4 02", SEND(ISO15693_WriteSingleBlock(6, data16, 0x02))},
    {"ISO15693_WriteSingleBlock: ", 'x', "21 01 A1 A2 A3 A4 A5 A6 A7 A8 01" WIN_UID,
     SEND(ISO15693_WriteSingleBlock(1, data16, 0x01)), true, -1, 8},
    {"ISO15693_LockBlock: ", 'x', "22 08 01" WIN_UID, SEND(ISO15693_LockBlock(8, 0x01))},
    {"ISO15693_ReadMultiBlock: ", 'x', "23 02 03 10", SEND(ISO15693_ReadMultiBlock(2, 3, 0x10)), true, 1},
    {"ISO15693_WriteMultiBlock: ", 'x', "24 02 01 A1 A2 A3 A4 A5 A6 A7 A8 01" WIN_UID,
     SEND(ISO15693_WriteMultiBlock(2, 1, data16, 0x01))},
    // Data shorter than the blocks go out padded with 00, never read past their end.
    {"ISO15693_WriteMultiBlock: ", 'x', "24 00 01 91 92 00 00 00 00 00 00 00",
     SEND(ISO15693_WriteMultiBlock(0, 1, two, 0x00))},
    {"ISO15693_SelectTag: ", 'x', "25 22" ARG_UID, SEND(ISO15693_SelectTag(argUid, 0x22))},
    {"ISO15693_ResetToReady: ", 'x', "26 01" WIN_UID, SEND(ISO15693_ResetToReady(0x01))},
    {"ISO15693_WriteAFI: ", 'x', "27 C4 00", SEND(ISO15693_WriteAFI(0xC4, 0x00))},
    {"ISO15693_LockAFI: ", 'x', "28 41" WIN_UID, SEND(ISO15693_LockAFI(0x41))},
    {"ISO15693_WrietDSFID: ", 'x', "29 D5 01" WIN_UID, SEND(ISO15693_WriteDSFID(0xD5, 0x01))},
    {"ISO15693_LockDSFID: ", 'x', "2A 02", SEND(ISO15693_LockDSFID(0x02))},
    {"ISO15693_GetSystemInfo: ", 'x', "2B 01" WIN_UID, SEND(ISO15693_GetSystemInfo(0x01))},
    {"ISO15693_GetMBlockSecSt: ", 'x', "2C 04 06 00", SEND(ISO15693_GetMBlockSecSt(4, 6, 0x00))},
    {"ISO15693_Write2Blocks: ", 'x', "A2 0A A1 A2 A3 A4 A5 A6 A7 A8 01" WIN_UID,
     SEND(ISO15693_Write2Blocks(10, data16, 0x01))},
    {"ISO15693_Lock2Blocks: ", 'x', "A3 0B 00", SEND(ISO15693_Lock2Blocks(11, 0x00))},

    // The TI password commands always carry the UID given; no inventory command carries one.
    {"TI_KillCommand: ", 'x', "A8 10" ARG_UID " C1 C2 C3 C4", SEND(TI_KillCommand(0x10, argUid, password))},
    {"TI_WRSIBK_Psw : ", 'x', "A9 11" ARG_UID " C1 C2 C3 C4 05 A1 A2 A3 A4",
     SEND(TI_WRSIBK_Psw(0x11, argUid, password, 5, data16))},
    {"TI_InventoryRead: ", 'x', "A4 03 31 4A", SEND(TI_InventoryRead(3, 0x31, 0x4A)), true, 1},
    {"TI_InventoryMultiRead: ", 'x', "A5 02 06 21 4B", SEND(TI_InventoryMultiRead(2, 6, 0x21, 0x4B)), true, 0},
    {"TI_InventoryGetSystemInfo: ", 'x', "A6 11 4C", SEND(TI_InventoryGetSystemInfo(0x11, 0x4C))},
    {"TI_InventoryGetSecInfo: ", 'x', "A7 04 07 31 4D", SEND(TI_InventoryGetSecInfo(4, 7, 0x31, 0x4D))},
    {"ISO15693_ReadBytes: ", 'x', "A0 10 20 01" WIN_UID, SEND(ISO15693_ReadBytes(0x10, 0x20, 0x01))},
    {"ISO15693_WriteBytes: ", 'x', "A1 05 03 A1 A2 A3 01" WIN_UID, SEND(ISO15693_WriteBytes(5, 3, data16, 0x01))},
    {"ISO15693_WriteBytes: ", 'x', "F3 06 02 00", SEND(ISO15693_LockBytes(6, 2, 0x00))},
    {"Read Loop Command: ", 'x', "F1 81 01 4E 10" ARG_UID, SEND(Inventory16SlotsCmd(0x81, 0x01, 0x4E, 0x10, argUid))},
    {"Read Loop Command: ", 'x', "F2 82 00 03 04 4F" WIN_UID, SEND(ReadLoopCmd(0x82, 0x00, 3, 4, 0x4F))},
    // Flags before mode, the polling time low byte first.
    {"RDLoopPol Command: ", 'x', "F4 01 83 2C 01 00 04 00" WIN_UID, SEND(RDLoopPolCmd(0x01, 0x83, 300, 0, 4, 0))},
    {"RDLoopPol Command: ", 'x', "F4 02 84 34 12 05 06 50", SEND(RDLoopPolCmd(0x02, 0x84, 0x1234, 5, 6, 0x50))},
    {"RDLoopPolGet Command: ", 'x', "F5", SEND(RDLoopPolGetCmd())},
    {"Myd_ReadCommand: ", 'x', "B0 09 00 00", SEND(Myd_ReadCommand(9, 0x00))},
    {"Myd_WriteCommand: ", 'x', "B1 0A 00 A1 A2 A3 A4 A5 A6 A7 A8 01" WIN_UID,
     SEND(Myd_WriteCommand(10, data16, 0x01))},
    {"Myd_WriteByteCommand: ", 'x', "B2 0B 00 07 99 02", SEND(Myd_WriteByteCommand(11, 7, 0x99, 0x02))},
    {"Myd_WriteRereadCommand: ", 'x', "B3 0C 00 91 92 00 00 00 00 00 00 00", SEND(Myd_WriteRereadCommand(12, two, 0))},
    {"SLI_InventoryRead: ", 'x', "C0 01 02 30 51", SEND(SLI_InventoryRead(1, 2, 0x30, 0x51)), true, 1},
    {"SLI_FastInventoryRead: ", 'x', "C1 03 04 41 52", SEND(SLI_FastInventoryRead(3, 4, 0x41, 0x52)), true, 0},
    {"SLI_SetEASCommand: ", 'x', "C2 01" WIN_UID, SEND(SLI_SetEASCommand(0x01))},
    {"SLI_ResetEASCommand: ", 'x', "C3 00", SEND(SLI_ResetEASCommand(0x00))},
    {"SLI_LockEASCommand: ", 'x', "C4 03", SEND(SLI_LockEASCommand(0x03))},
    {"SLI_EASAlarmCommand: ", 'x', "C5 11" WIN_UID, SEND(SLI_EASAlarmCommand(0x11))},
    {"MB89_EASCommand: ", 'x', "C8 00", SEND(MB89_EASCommand(0x00))},
    // Flags are the first argument, but the value goes out first.
    {"MB89_WriteEASCommand: ", 'x', "C9 01 11" WIN_UID, SEND(MB89_WriteEASCommand(0x11, 1))},
    {"MB89_RefreshCommand: ", 'x', "CA 01" WIN_UID, SEND(MB89_RefreshCommand(0x01))},
    {"MB89_RDMULIBLOCKSCommand: ", 'x', "CB 02 05 10", SEND(MB89_RDMULIBLOCKSCommand(2, 5, 0x10))},
    {"LRI_ACTIVATEEAS: ", 'x', "B8 01" WIN_UID, SEND(LRI_ACTIVATEEAS(0x01))},
    {"LRI_DEACTIVATEEAS: ", 'x', "B9 00", SEND(LRI_DEACTIVATEEAS(0x00))},
    {"LRI_POOLEAS: ", 'x', "BA 02", SEND(LRI_POOLEAS(0x02))},

    {"TAGIT_GETBLOCK_CMD: ", 'u', "01 03 01" WIN_SID, SEND(TAGIT_GETBLOCK_CMD(3, 0x01))},
    {"TAGIT_GETVERSION_CMD: ", 'u', "03 02", SEND(TAGIT_GETVERSION_CMD(0x02))},
    {"TAGIT_PUTBLOCK_CMD: ", 'u', "05 04 A1 A2 A3 A4 01" WIN_SID, SEND(TAGIT_PUTBLOCK_CMD(4, data16, 0x01))},
    {"TAGIT_PUTBLOCKLOCK_CMD: ", 'u', "07 05 91 92 00 00 00", SEND(TAGIT_PUTBLOCKLOCK_CMD(5, two, 0x00))},
    {"TAGIT_LOCKBLOCK_CMD: ", 'u', "08 06 01" WIN_SID, SEND(TAGIT_LOCKBLOCK_CMD(6, 0x01))},
    // Flags before the mask length, the mask low byte first, never the SID.
    {"TAGIT_SID_POLL_CMD: ", 'u', "0A 00 08 CD AB 00 00", SEND(TAGIT_SID_POLL_CMD(8, 0xABCD, 0x00))},
    {"TAGIT_SID_POLL_CMD: ", 'u', "0A 01 20 78 56 34 12", SEND(TAGIT_SID_POLL_CMD(32, 0x12345678, 0x01))},
    {"TAGIT_QUIET_CMD: ", 'u', "0B 01" WIN_SID, SEND(TAGIT_QUIET_CMD(0x01))},

    gate("G_GetModeCmd: ", "00", SEND(G_GetModeCmd(nullptr))),
    gate("G_SetModeCmd: ", "20 03", SEND(G_SetModeCmd(3))),
    gate("GateGetEEPROMCmd: ", "01 01 07", [](TTComXDlg &h) { h.GateGetEEPROMCmd(1, 7, {}); }),
    gate("GateSetEEPROMCmd: ", "21 02 01 A1 A2", SEND(GateSetEEPROMCmd(2, 1, data16))),
    gate("GateGetDispOutStateCmd: ", "02",
         [](TTComXDlg &h) {
             uint8_t state[2];
             h.GateGetDispOutStateCmd(state);
         }),
    gate("GateSetDispOutStateCmd: ", "22 5A A5", SEND(GateSetDispOutStateCmd(0x5A, 0xA5))),
    gate("GateGetSwSensorCmd: ", "03", SEND(GateGetSwSensorCmd(nullptr, nullptr))),
    gate("GateGetIoSensorCmd: ", "04", SEND(GateGetIoSensorCmd(nullptr))),
    gate("GateGetPersonSensorCmd: ", "05", SEND(GateGetPersonSensorCmd(nullptr))),
    gate("GateRmcountmodeCmd: ", "06", SEND(GateRmcountmodeCmd(nullptr, nullptr, nullptr))),
    // The words and counts go low byte first.
    gate("GateWmcountmodeCmd: ", "23 01 02 03 04 05 06", SEND(GateWmcountmodeCmd(0x0201, 0x0403, 0x0605))),
    gate("GateRmcountvaluCmd: ", "07", SEND(GateRmcountvaluCmd(nullptr))),
    gate("GateWmcountvaluCmd: ", "24 01 02 03 04 05 06 07 08 09 0A 0B 0C", SEND(GateWmcountvaluCmd(countRecord))),
    gate("GateWadjusttimeCmd: ", "25", SEND(GateWadjusttimeCmd())),
    gate("GateGetDispOutStateCmd2: ", "08",
         [](TTComXDlg &h) {
             uint8_t state[3];
             h.GateGetDispOutStateCmd2(state);
         }),
    gate("GateSetDispOutStateCmd: ", "26 11 22 33", SEND(GateSetDispOutStateCmd2(0x11, 0x22, 0x33))),
    gate("GateRmcountvaluCmd2: ", "0B", SEND(GateRmcountvaluCmd2({}, nullptr))),
    gate("GateWmcountmodeCmd2: ", "28 91 92 00", SEND(GateWmcountmodeCmd2(two, 3))),
    gate("GateGetSPKVolumeCmd: ", "0C", SEND(GateGetSPKVolumeCmd(nullptr))),
    gate("GateSetSPKVolumeCmd: ", "29 07", SEND(GateSetSPKVolumeCmd(7))),
    gate("ＲＯＭのバージョン情報", "90 00", SEND(GateGetRomVersionCmd()), false, "ＲＯＭのバージョン情報 取得ＯＫ"),
    gate("機種名（ModelName）の取得", "93", SEND(GateGetModelNameCmd()), false, "機種名（ModelName）の取得ＯＫ"),
    gate("GateProgModeComad: ", "9B 37 30 33 35 31 38 32 39 34", SEND(GateProgModeComad()), true),
    gate("GateGetBPSSpeedComad: ", "9E", SEND(GateGetBPSSpeedComad(nullptr)), true),
    gate("GateSetBPSSpeedComad: ", "9C 02", SEND(GateSetBPSSpeedComad(2)), true),
    gate("GateCommCmd: ", "2A 01 02 03 04 05 06", SEND(GateCommCmd(7, std::vector<uint8_t>{0x2A, 1, 2, 3, 4, 5, 6})),
         true),
    [] {
        // The restart doesn't wait (and the stand-in doesn't answer it).
        GoldenRow row = gate("GateReStartComad: ", "9D", SEND(GateReStartComad()), true);
        row.waits = false;
        return row;
    }(),

    {"RAM Write Command: ", 'N', nullptr, REFUSE(RamWriteCommand(0x10, 5, 0))},
    {"DousaModeSet: ", 'J', nullptr, REFUSE(DousaModeSetJCmd(252, big))},
    {"PolWrite: ", 'N', nullptr, REFUSE(PolWrite(0x23, 0, 0, 0, false, 0, 238, big, 0x01))},
    {"EEPROM_RDWR_CMD TX: ", 'N', nullptr, REFUSE(TxEepromData(1, 127, big))},
    {"EEPROM_RDWR_CMD2 TX: ", 'N', nullptr, REFUSE(TxEepromData2(1, 200, big))},
    {"ISO15693_WriteMultiBlock: ", 'x', nullptr, REFUSE(ISO15693_WriteMultiBlock(0, 255, big, 0x00))},
    {"ISO15693_WriteBytes: ", 'x', nullptr, REFUSE(ISO15693_WriteBytes(0, 244, big, 0x01))},
    {"GateSetEEPROMCmd: ", 'G', nullptr, REFUSE(GateSetEEPROMCmd(1, 127, big))},
    {"GateWmcountmodeCmd2: ", 'G', nullptr, REFUSE(GateWmcountmodeCmd2(big, 255))},
    // A block size from the settings file may be anything.
    {"ISO15693_WriteSingleBlock: ", 'x', nullptr, REFUSE(ISO15693_WriteSingleBlock(0, big, 0x01)), true, -1, 245},
    {"ISO15693_WriteSingleBlock: ", 'x', nullptr, REFUSE(ISO15693_WriteSingleBlock(0, big, 0x00)), true, -1, -1},
};

} // namespace

using SenderGoldenFramesTest = SenderHubTest;

TEST_F(SenderGoldenFramesTest, EverySenderWritesItsExactFrameAndTraceOrIsRefused)
{
    const struct {
        uint8_t id;
        int trace;
    } passes[] = {{0x00, 1}, {0xA5, 1}, {0x3C, 0}};
    // Gate requests are answered with an ACK echoing their sub-code; the restart is not answered.
    standIn.setDefaultResponder([](const QByteArray &request) -> QList<ReaderStandIn::Piece> {
        if (request.size() < 5 || request[2] != 'G' || uint8_t(request[4]) == 0x9D)
            return {};
        return {{goldenFrame(0, '0', request.mid(4, 1)), 0}};
    });
    hub->fDispRecInfo = 0;
    poll.start(10);
    int sent = 0;
    for (const auto &pass : passes) {
        hub->IDNo = pass.id;
        hub->fDispTxInfo = pass.trace;
        for (const GoldenRow &row : rows) {
            SCOPED_TRACE(std::string(row.tag) + (row.data ? row.data : "refused") + " ID " + std::to_string(pass.id));
            window->tagBlockSize = row.blockSize;
            hub->LastCmd = 0xEE;
            hub->ReplyState = 7;
            hub->ackOrNackSinceSend = true;
            hub->OptionFlag = 7;
            memo.clear();
            row.send(*hub);
            EXPECT_EQ(hub->ReplyState, row.waits ? ReplyStateAck : ReplyStateNone);
            EXPECT_EQ(hub->ackOrNackSinceSend, row.waits);
            EXPECT_EQ(hub->OptionFlag, row.optionFlag < 0 ? 7 : row.optionFlag);
            if (!row.data) {
                EXPECT_EQ(linesOf(memo.lines), row.tag + std::string("DATA長オーバー"));
                EXPECT_EQ(hub->LastCmd, 0xEE);
                continue;
            }
            const QByteArray expected = goldenFrame(row.idZero ? 0 : pass.id, row.cmd, hx(row.data));
            QStringList trace;
            if (pass.trace)
                trace << QString::fromUtf8(row.tag) << traceLine(expected);
            if (row.after)
                trace << QString::fromUtf8(row.after);
            // The listener notes each arrival of the ACK that a gate request waits for.
            QStringList lines = memo.lines;
            lines.removeAll(QStringLiteral("ServerSocket1ClientRead"));
            EXPECT_EQ(linesOf(lines), linesOf(trace));
            EXPECT_EQ(hub->LastCmd, row.recordsLastCmd ? row.cmd : 0xEE);
            ASSERT_TRUE(standIn.waitForFrames(++sent));
            EXPECT_EQ(hexOf(standIn.received().value(sent - 1)), hexOf(expected));
        }
    }
    waitFor([] { return false; }, 100);
    EXPECT_EQ(standIn.received().size(), sent) << "a refused request went out";
}

#include "tests/app/WindowHubFixture.h"

#include "controls/DialogKit.h"
#include "setup/ReaderParams.h"
#include "setup/SetPaDataDlg.h"

using ReaderParamsMenuTest = WindowHubTest;

// Each handler with the reader model's area 1 holding 0x10 + i in byte i: what it reads, what its
// dialog shows, what it writes for the typed values; then the same item with its read refused.
// A failed read shows the fallbacks, or stops with the box, or stops silently; it never writes.
TEST_F(ReaderParamsMenuTest, EachSettingReadsShowsAndWritesBackAndHandlesAFailedRead)
{
    for (int p = ReaderModel::ParamFirst; p <= ReaderModel::ParamLast; ++p)
        board.model().param(static_cast<uint8_t>(p)) = static_cast<uint8_t>(p - 0x70);
    board.model().antenna = 5;
    form->EAS_ON_VALUE = 0xC2;
    form->EAS_OFF_VALUE = 0xC3;
    form->WriteUidFlag = 1;
    const QString box = QStringLiteral("box 設定情報の取得が出来ません");
    const std::string uidText = hexOf(uid);
    const struct {
        const char *item;
        QByteArray reply; // the read's ACK data when not the model's
        QString shown;    // empty: no dialog
        QStringList typed;
        std::string sent;
        QString afterFailure; // "shows ...", "box ..." or "nothing"; empty: no read to refuse
        std::string log = {}; // checked when given
    } rows[] = {
        // clang-format off
        {"MnSetUserCode", {}, "17 16 4882", {"1", "2", "65535"}, "O 70 01 02 | N 70 01 02 02 01 FF FF",
         "shows 0 0 0"},
        {"MnSetAFI", bytesOf({0x51, 0x3C}), "3C", {"A5"}, "O 51 | N 51 A5", "shows 0"},
        {"MnSetMemSW", {}, "(disabled) 1716", {"ABCD"}, "O 70 04 01 | N 70 04 01 CD AB", "shows (disabled) 0"},
        {"MnScanModeSet", {}, "(disabled) 27", {"5A"}, "O 70 0C 01 | N 70 0C 01 26 5A", box},
        {"MnSetWaitTimer", {}, "(disabled) 488381210 555753246 623125282", {"4294967295", "0", "1"},
         "O 70 06 06 | N 70 06 06 FF FF FF FF 00 00 00 00 01 00 00 00", "shows (disabled) 7812 1875 3750"},
        {"MnSetRWIDNUM", {}, "(disabled) 44", {"200"}, "O 70 0F 01 | N 70 0F 01 C8 2D", box},
        {"MnChkDataTime", {}, "(disabled) 45", {"7"}, "O 70 0F 01 | N 70 0F 01 2C 07", box},
        {"MnTXOffTime1", {}, "50", {"1"}, "O 70 12 01 | N 70 12 01 01 33", box},
        {"MnTimingRegister1", {}, "33", {"FF"}, "O 70 12 01 | N 70 12 01 32 FF", box},
        {"MnSetRetry", {}, "(disabled) 38", {"3"}, "O 70 0C 01 | N 70 0C 01 03 27", box},
        // 0 is below the block sizes' range: it goes out as 1.
        {"MnSetBlockSize", {}, "(disabled) 52 53", {"0", "8"}, "O 70 13 01 | N 70 13 01 01 08",
         "shows (disabled) 4 8"},
        {"MnEEPROM", {}, "(disabled) 16", {"80"}, "O 70 04 01 | N 70 04 01 80 17", "nothing"},
        // Up to 63, whatever the caption says.
        {"MnSelAntena", {}, "5", {"64"}, "O 9C | N 9C 3F", "nothing"},
        {"MnSetTagID", {}, "30", {"7F"}, "O A0 | N A0 7F", "nothing"},
        {"MnSetRETRYNO", {}, "54", {"300"}, "O A6 | N A6 FF", "nothing"},
        {"MnGetErrRate", bytesOf({0x60, 1, 0, 0, 0, 15, 0, 0, 0}), {}, {}, "O 60", "nothing",
         "成功率: 0.063[1, 15]"},
        {"MnClearErrRate", {}, {}, {}, "N 60", {}},
        {"MnEASON1", {}, {}, {}, "x 27 C2 11 " + uidText, {}},
        {"MnEASOFF1", {}, {}, {}, "x 27 C3 11 " + uidText, {}},
        // clang-format on
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.item);
        for (int i = 0; i < 40; ++i)
            board.model().eeprom1[i] = static_cast<char>(0x10 + i);
        QStringList seen;
        if (!row.reply.isEmpty())
            board.expect(row.sent[0], static_cast<uint8_t>(row.reply[0]), ReaderStandIn::ack(row.reply));
        if (!row.shown.isEmpty())
            answerInput(seen, form, row.typed);
        click(row.item);
        EXPECT_EQ(seen.join(QLatin1Char(' ')).toStdString(), row.shown.toStdString());
        EXPECT_EQ(takeSent(), row.sent);
        EXPECT_TRUE(form->MainEnabled());
        const std::string log = takeLog();
        if (!row.log.empty()) {
            EXPECT_EQ(log, row.log);
        }
        if (row.afterFailure.isEmpty())
            continue;

        seen.clear();
        MessageBoxRecorder boxes;
        board.expectAny(ReaderStandIn::nack('A'));
        if (row.afterFailure.startsWith(QLatin1String("shows")))
            answerInput(seen, form, {});
        click(row.item, 50);
        QString outcome = QStringLiteral("nothing");
        if (!seen.isEmpty())
            outcome = QStringLiteral("shows ") + seen.join(QLatin1Char(' '));
        else if (!boxes.texts().isEmpty())
            outcome = QStringLiteral("box ") + boxes.texts().join(QLatin1Char(';'));
        EXPECT_EQ(outcome.toStdString(), row.afterFailure.toStdString());
        EXPECT_EQ(takeSent(), row.sent.substr(0, row.sent.find(" |")));
        takeLog();
    }
    EXPECT_EQ(form->TagAFI, 0xA5);
}

TEST_F(ReaderParamsMenuTest, EveryParameterItemReadsItsOwnNumber)
{
    const char *items[] = {"MnSetTagID",       "MnSetProductCode", "MnSetAFICode",       "MnSetRWIDNUNM",
                           "MnSetRETRYNO",     "MnSetCHKDATANUM",  "MnSetLedTagDetCou",  "MnSetINSIGCHKNUM",
                           "MnSetChkDataTime", "MnSetBlockSize1",  "MnSetmydBlockSize1", "MnSetTimRegData",
                           "MnSetScanMode",    "MnSetdummy1",      "MnSetdummy2"};
    std::string sent;
    for (const char *item : items) {
        QStringList seen;
        answerInput(seen, form, {});
        click(item, 0);
        sent += takeSent() + ";";
    }
    EXPECT_EQ(sent, "O A0;O A1;O A2;O A3;O A6;O A7;O A8;O A9;O AA;O AC;O AD;O AE;O AF;O B0;O B1;");
}

// 0xA4 = 0xFD shows output mode 1 and bits 2-7 set; "セット" writes what the dialog holds, each
// parameter after the other; a parameter that can't be read stops before the dialog.
TEST_F(ReaderParamsMenuTest, MemorySwitchesRoundTripThroughTheirDialog)
{
    board.model().param(0xA4) = 0xFD;
    board.model().param(0xA5) = 0x5A;
    board.model().param(0xAB) = 0x81;
    std::string shown;
    whenDialogOpens<TSetPaDataDlg>([&shown](TSetPaDataDlg *d) {
        shown = std::to_string(d->CBMode2->currentIndex());
        for (const char *name : {"RG5VCONT", "RGRF5VOFF_ST", "RGBRCOMD", "RGCHKDATANUM", "RGDCMDASCII", "RGTWICECHK",
                                 "RGD_NOCHK", "RGMemSw9", "RGMemSW40", "RGMemSW47"})
            shown += std::to_string(d->findChild<ChoiceGroup *>(QLatin1String(name))->itemIndex());
        EXPECT_FALSE(d->findChild<ChoiceGroup *>(QStringLiteral("RGMemSw14"))->isEnabled());
        d->CBMode2->setCurrentIndex(2);
        d->findChild<ChoiceGroup *>(QStringLiteral("RGD_NOCHK"))->button(1)->click();
        d->OKBtn->click();
    });
    click("MnSetMemSw11");
    EXPECT_EQ(shown, "1"
                     "111111"
                     "01"
                     "11");
    EXPECT_EQ(takeSent(), "O A4 | O A5 | O AB | N A4 FE | N A5 5B | N AB 81");

    MessageBoxRecorder boxes;
    board.expect('O', 0xA5, ReaderStandIn::nack('A'));
    click("MnSetMemSw11", 50);
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("応答がありません!！")});
    EXPECT_EQ(takeSent(), "O A4 | O A5");
}

TEST(SuccessRateLineTest, RoundsToThreeDecimalsAndDropsTrailingZeros)
{
    const struct {
        uint64_t good, failed;
        const char *line;
    } cases[] = {
        {1, 15, "成功率: 0.063[1, 15]"},
        {1, 1, "成功率: 0.5[1, 1]"},
        {0, 0, "成功率: 0[0, 0]"},
        {5, 0, "成功率: 1[5, 0]"},
        {2, 1, "成功率: 0.667[2, 1]"},
        {1, 1999, "成功率: 0.001[1, 1999]"}, // 0.0005 exactly: half away from zero
        {4294967295, 4294967295, "成功率: 0.5[4294967295, 4294967295]"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(successRateLine(c.good, c.failed).toStdString(), c.line);
}

#include "tests/app/WindowHubFixture.h"

#include "controls/DialogKit.h"
#include "setup/SetAnt1Rom1Dlg.h"
#include "setup/SetEeprom2Dlg.h"
#include "setup/TagModeDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTabWidget>

namespace
{

// The reader's record: area 1 byte i = 0x10 + i, area 2 byte j = 0x40 + j, the tag-interface
// byte 0xD4, operating mode 02 with second byte 44 and flags 18 (continuous read, buzzer).
class TagModeMenuTest : public WindowHubTest
{
protected:
    void SetUp() override
    {
        WindowHubTest::SetUp();
        form->Cmdmode = 0x03;
        form->SysMode = 0x1A;
        form->PolingTime = 0x0102;
        for (int i = 0; i < 40; ++i)
            board.model().eeprom1[i] = static_cast<char>(0x10 + i);
        for (int j = 0; j < 20; ++j)
            board.model().eeprom2[j] = static_cast<char>(0x40 + j);
        board.model().s6700 = 0xD4;
        board.model().mode = {0x02, 0x44, 0x18};
    }

    // The (skip + 1)-th request with this command and sub-code gets a NACK; those before it
    // are answered by the reader model.
    void nackAt(char cmd, uint8_t sub, int skip = 0)
    {
        for (int i = 0; i < skip; ++i)
            board.expect(static_cast<uint8_t>(cmd), sub, board.modelReader());
        board.expect(static_cast<uint8_t>(cmd), sub, ReaderStandIn::nack('A'));
    }

    std::string seen; // what the dialogs showed
};

std::string indexes(std::initializer_list<const ChoiceGroup *> groups)
{
    std::string s;
    for (const ChoiceGroup *g : groups)
        s += std::to_string(g->itemIndex());
    return s;
}

} // namespace

// Every handler of the table runs against the model: its whole frame sequence, and the same
// chain again with a NACK at a step in its middle, after which nothing more goes out. The
// window is enabled again after each.
TEST_F(TagModeMenuTest, EachHandlerSendsItsWholeSequenceAndAFailedStepEndsIt)
{
    const auto modeDialog = [this](int tag1) {
        return [this, tag1] {
            whenDialogOpens<TModeSet2Dlg>([this, tag1](TModeSet2Dlg *d) {
                seen = indexes({d->RGTag1, d->RGModul, d->RGAmFm}) + (d->CBWriteEEPROM->isChecked() ? "+" : "-");
                d->RGTag1->button(tag1)->click();
                d->OKBtn->click();
            });
        };
    };
    const auto typed = [](QStringList values) { return [values] { answerDialog(values); }; };
    const struct {
        const char *item;
        std::function<void()> answer; // arms the answer to the handler's dialog
        std::function<void()> fail;   // scripts the failing step
        std::string sent;
        std::string log = {}; // the handler's own last line, when it writes one
        std::string shown = {};
    } rows[] = {
        // clang-format off
        {"MnSetMode2", modeDialog(0), {}, "O 09 | N 09 D4", {}, "010-"},
        // "ISO15693(1/256)" with 100% and FSK: bits 1-6 hold four ones, so no parity bit.
        {"MnModeSet3", modeDialog(1), {}, "O 09 | N 19 5C", {}, "010+"},
        // A failed read shows the stored byte (now 0x5C).
        {"MnSetMode2", modeDialog(0), [this] { nackAt('O', 0x09); }, "O 09 | N 09 D4", {}, "110-"},
        {"MnSelTag1", {}, {},
         "O 09 | N 19 D4 | O 70 0C 01 | N 70 0C 01 03 27 | O 70 13 01 | N 70 13 01 04 35 | O 70 10 01 | "
         "N 70 10 01 2E 6F | O 70 14 01 | N 70 14 01 34 37 | N 9D", "OK: KV8SetTagMode"},
        {"MnSelTag2", {}, {},
         "O 09 | N 19 E4 | O 70 0C 01 | N 70 0C 01 0A 27 | O 70 13 01 | N 70 13 01 08 35 | O 70 10 01 | "
         "N 70 10 01 2E 6F | O 70 14 01 | N 70 14 01 36 37 | N 9D", "OK: KV8SetTagMode"},
        {"MnSelTag1", {}, [this] { nackAt('N', 0x70, 1); },
         "O 09 | N 19 D4 | O 70 0C 01 | N 70 0C 01 03 27 | O 70 13 01 | N 70 13 01 04 35",
         "Error: KV8SetTagMode"},
        {"MnSelTag1", {}, [this] { nackAt('O', 0x09); }, "O 09", "Error: KV8GetTagMode"},
        {"MnEnableEAS1", typed({"C2", "C3"}), {}, "N 51 C2 | O 00 | N 10 24 44 18 01 01 02"},
        {"MnEnableEAS1", typed({"C4", "C5"}), [this] { nackAt('O', 0x00); }, "N 51 C4 | O 00"},
        // Bits changed one after the other: each row reads what the rows before it wrote.
        {"MnInventoryAFI_OFF", {}, {}, "O 70 04 01 | N 70 04 01 16 15"},
        {"MnAFIOn", {}, {}, "O 70 04 01 | N 70 04 01 16 17"},
        {"MnAFIOff", {}, [this] { nackAt('O', 0x70); }, "O 70 04 01"},
        {"MnNoReadCmd_OFF", {}, {}, "O 70 04 01 | N 70 04 01 06 17"},
        {"MnNoReadCmd_ON", {}, {}, "O 70 04 01 | N 70 04 01 16 17"},
        {"MnSetBuz_1", {}, {}, "O 70 14 01 | N 70 14 01 26 37"},
        {"MnSetBuz_2", {}, {}, "O 70 14 01 | N 70 14 01 36 37"},
        {"MnBuzFreq2KHz", {}, {}, "O 72 05 01 | N 72 05 01 4A 49"},
        {"MnBuzFreq5KHz", {}, [this] { nackAt('O', 0x72); }, "O 72 05 01"},
        {"MnBuzFreq5KHz", {}, {}, "O 72 05 01 | N 72 05 01 48 49"},
        {"MnBuzFreq2", typed({"2000"}), {}, "N 72 09 01 38 01", "BUZ: 312Hz"},
        {"MnBuzFreq2", typed({"10"}), {}, "N 72 09 01 23 F4", "BUZ: 62499Hz"},
        {"MnBuzFreq2", typed({"20000"}), {}, "N 72 09 01 1E 00", "BUZ: 30Hz"},
        {"MnBuzFreq2", typed({"0"}), {}, "N 72 09 01 23 F4", "BUZ: 62499Hz"}, // kept inside 10..20000
        {"MnTagTest1OFF", {}, {},
         "O 00 | N 00 00 44 18 01 01 02 | O 70 10 01 | N 70 10 01 2E 6E | O 70 04 01 | N 70 04 01 06 17 | O 00 | "
         "N 10 00 44 18 01 01 02"},
        // Continuous read is dropped from the power-on mode: flags 18 go out as 10.
        {"MnTagTest1ON", {}, {},
         "O 00 | N 00 00 44 18 01 01 02 | O 70 10 01 | N 70 10 01 2E 6F | O 70 04 01 | N 70 04 01 16 17 | O 00 | "
         "N 10 54 44 10 01 01 02"},
        {"MnTagTest1ON", {}, [this] { nackAt('N', 0x70, 1); },
         "O 00 | N 00 00 44 10 01 01 02 | O 70 10 01 | N 70 10 01 2E 6F | O 70 04 01 | N 70 04 01 16 17"},
        {"MnTagTest1OFF", {}, [this] { nackAt('O', 0x00, 1); },
         "O 00 | N 00 00 44 10 01 01 02 | O 70 10 01 | N 70 10 01 2E 6E | O 70 04 01 | N 70 04 01 06 17 | O 00"},
        {"MnTagTest1ON", {}, [this] { nackAt('O', 0x00); }, "O 00"},
        // clang-format on
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.item + (" " + row.sent));
        seen.clear();
        if (row.fail)
            row.fail();
        if (row.answer)
            row.answer();
        click(row.item, 100);
        EXPECT_EQ(takeSent(), row.sent);
        const std::string log = takeLog();
        EXPECT_EQ(log.substr(log.size() - std::min(log.size(), row.log.size())), row.log);
        EXPECT_EQ(seen, row.shown);
        EXPECT_TRUE(form->MainEnabled());
        EXPECT_EQ(form->fLogOn, 1);
        EXPECT_EQ(board.scriptLeft(), 0);
    }
    EXPECT_EQ(form->S6700Conf, 0xD4);
    EXPECT_EQ(form->EAS_ON_VALUE, 0xC4);
    EXPECT_EQ(form->EAS_OFF_VALUE, 0xC5);
    EXPECT_EQ(form->MemSw78[0], 0x48);
    EXPECT_EQ(form->Cmdmode, 0x03);
    EXPECT_EQ(form->SysMode, 0x10);
}

// The parameters of the tag test: the reader switched to command mode, four words read, shown
// and written back as edited, and the mode read at the start restored after "設定" or
// "キャンセル"; without every value there is no dialog and no restore.
TEST_F(TagModeMenuTest, TagTestParametersAreShownWrittenAndTheModeRestored)
{
    const std::string reads = "O 00 | N 00 00 44 18 01 01 02 | O 70 03 01 | O 70 0E 01 | O 72 04 01 | O 72 0A 01";
    whenDialogOpens<TKensaParaDlg>([this](TKensaParaDlg *d) {
        for (TIntEdit *e : {d->EdAFIValue, d->EdOUTPTime, d->EdInputChkTime, d->EdRdStAddr, d->EdDataLen})
            seen += e->text().toStdString() + " ";
        seen += indexes({d->RGCheckMode, d->RGWriteData});
        for (QLabel *label : d->findChildren<QLabel *>())
            if (label->buddy() == d->EdOUTPTime)
                seen += " " + label->text().toStdString(); // "&&" shows as one "&"
        typeInto(d->EdAFIValue, QStringLiteral("A5"));
        typeInto(d->EdOUTPTime, QStringLiteral("7"));
        typeInto(d->EdInputChkTime, QStringLiteral("8"));
        typeInto(d->EdRdStAddr, QStringLiteral("1"));
        typeInto(d->EdDataLen, QStringLiteral("2"));
        d->RGCheckMode->button(3)->click();
        d->RGWriteData->button(1)->click();
        d->OKBtn->click();
    });
    click("MnTagTest1Para");
    EXPECT_EQ(seen, "15 42 43 70 71 20 LED&&ポート出力時間：");
    EXPECT_EQ(takeSent(), reads + " | N 70 03 01 14 A5 | N 70 0E 01 07 08 | N 72 04 01 01 02 | N 72 0A 01 57 53 | "
                                  "N 00 02 44 18 01 01 02");
    EXPECT_EQ(form->TagTestMode[0], 0x57);
    EXPECT_EQ(form->RdLoopParam[1], 2);

    board.model().mode = {0x02, 0x44, 0x18};
    whenDialogOpens<TKensaParaDlg>([](TKensaParaDlg *d) { d->CancelBtn->click(); });
    click("MnTagTest1Para");
    EXPECT_EQ(takeSent(), reads + " | N 00 02 44 18 01 01 02");

    nackAt('O', 0x70, 1);
    click("MnTagTest1Para");
    EXPECT_EQ(takeSent(), "O 00 | N 00 00 44 18 01 01 02 | O 70 03 01 | O 70 0E 01");

    nackAt('O', 0x00);
    click("MnTagTest1Para");
    EXPECT_EQ(takeSent(), "O 00");
    EXPECT_TRUE(form->MainEnabled());
    EXPECT_EQ(board.scriptLeft(), 0);
}

namespace
{

// The shared antenna dialog as a handler leaves it: the pages shown (the current one first) and,
// per control, h (hidden), d (disabled) or + (usable).
std::string antennaState(TSetAnt1Rom1Dlg *d)
{
    std::string s = d->PageControl1->currentWidget()->objectName().toStdString() + " ";
    for (QWidget *page : {d->TabSheet7, d->TabSheet8})
        s += d->PageControl1->isTabVisible(d->PageControl1->indexOf(page)) ? "+" : "h";
    s += " ";
    for (QWidget *w : std::initializer_list<QWidget *>{
             d->CBMode2, d->Label43, d->RGMemSW60, d->Label55, d->EdSelAntena, d->Label88, d->RGMemSW64, d->Label59,
             d->RGMemSW65, d->Label60, d->RGMemSW66, d->Label61, d->RGMemSW67, d->Label62, d->BtSetCascade})
        s += w->isHidden() ? 'h' : !w->isEnabled() ? 'd' : '+';
    return s;
}

} // namespace

// The antenna dialog in its three uses and the two bit flips: what each reads, shows and writes
// back (the bits no control shows as read), and the chain cut by a NACK.
TEST_F(TagModeMenuTest, AntennaSettingsWriteBackOnlyWhatTheirDialogShowsAndStopAtAFailure)
{
    const auto dialog = [this](std::function<void(TSetAnt1Rom1Dlg *)> change) {
        return [this, change] {
            whenDialogOpens<TSetAnt1Rom1Dlg>([this, change](TSetAnt1Rom1Dlg *d) {
                seen = antennaState(d);
                change(d);
                d->OKBtn->click();
            });
        };
    };
    const struct {
        const char *item;
        std::function<void()> answer;
        std::function<void()> fail;
        std::string sent;
        std::string shown = {};
        std::string log = {};
    } rows[] = {
        // clang-format off
        // Byte 6 = 16 (output mode 2), byte 39 = 37: the mode and bit 7 changed.
        {"MnKV8N520D1", dialog([](TSetAnt1Rom1Dlg *d) {
             EXPECT_EQ(d->CBMode2->currentIndex(), 2);
             EXPECT_EQ(d->EdSelAntena->text(), "3");
             d->CBMode2->setCurrentIndex(1);
             d->RGMemSW67->button(1)->click();
         }), {}, "O 70 04 01 | O 70 14 01 | N 70 04 01 15 17 | N 70 14 01 36 B7",
         "TabSheet8 h+ ++ddddddhhhh+++"},
        {"MnKV8N520D1", {}, [this] { nackAt('O', 0x70, 1); }, "O 70 04 01 | O 70 14 01"},
        // Byte 30 = 2E (its bits 3 and 5 have no control), bytes 32-33 = 30 31.
        {"MnSetIO1", dialog([](TSetAnt1Rom1Dlg *d) {
             d->RGPORTSEL1->button(1)->click();
             d->RGPORTIO[0]->button(1)->click();
             d->RGPORTDefault[7]->button(1)->click();
         }), {}, "O 70 10 01 | O 70 11 01 | N 70 10 01 2F 2F | N 70 11 01 31 B1",
         "TabSheet7 +h hh++++++hhhh+++"},
        {"MnSetIO1", dialog([](TSetAnt1Rom1Dlg *) {}), [this] { nackAt('N', 0x70); },
         "O 70 10 01 | O 70 11 01 | N 70 10 01 2F 2F", "TabSheet7 +h hh++++++hhhh+++"},
        // The cascade switch (byte 39 bit 5) is hidden and goes back as read.
        {"MnSelAnt2", dialog([](TSetAnt1Rom1Dlg *d) {
             d->RGPORTSEL7->button(1)->click();
             d->RGMemSW60->button(0)->click();
             d->EdSelAntena->SetValue(5);
         }), {}, "O 70 10 01 | O 70 11 01 | O 70 14 01 | N 70 10 01 6F 2F | N 70 11 01 31 B1 | N 70 14 01 36 BA",
         "TabSheet8 ++ hh++++++hhhh++h"},
        {"MnSelAnt2", dialog([](TSetAnt1Rom1Dlg *) {}), [this] { nackAt('N', 0x70, 1); },
         "O 70 10 01 | O 70 11 01 | O 70 14 01 | N 70 10 01 6F 2F | N 70 11 01 31 B1",
         "TabSheet8 ++ hh++++++hhhh++h"},
        // Byte 31 = 2F, byte 38 = 36.
        {"MnAntiFast", {}, {}, "O 90 00 | O 70 10 01 | N 70 10 01 6F 2B | O 70 14 01 | N 70 14 01 3E BA"},
        {"MnAntiNormal", {}, [this] { nackAt('N', 0x70); }, "O 90 00 | O 70 10 01 | N 70 10 01 6F 2F"},
        {"MnAntiNormal", {}, [this] { board.model().romVersion = "120"; }, "O 90 00", {},
         "このROMバージョンは対応していません"},
        {"MnInvTrigOFF", {}, {}, "O 70 14 01 | N 70 14 01 1E BA"},
        {"MnInvTrigON", {}, {}, "O 70 14 01 | N 70 14 01 3E BA"},
        // clang-format on
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.item + (" " + row.sent));
        seen.clear();
        if (row.fail)
            row.fail();
        if (row.answer)
            row.answer();
        click(row.item, 100);
        EXPECT_EQ(takeSent(), row.sent);
        EXPECT_EQ(seen, row.shown);
        const std::string log = takeLog();
        EXPECT_EQ(log.substr(log.size() - std::min(log.size(), row.log.size())), row.log);
        EXPECT_TRUE(form->MainEnabled());
        EXPECT_EQ(board.scriptLeft(), 0);
    }
}

// From the N520D dialog: the cascade page alone with the eight counts of area-2 bytes 2-5, the
// counts written back with bytes 0-1 as read; an unreadable area 2 opens nothing. Either way
// the area-1 dialog is left as it was.
TEST_F(TagModeMenuTest, CascadeCountsAreEditedOnTheAreaTwoPageAndAFailedReadOpensNothing)
{
    std::string cascade;
    whenDialogOpens<TSetAnt1Rom1Dlg>([this, &cascade](TSetAnt1Rom1Dlg *d) {
        whenDialogOpens<TSetEEPROM2Dlg>([&cascade](TSetEEPROM2Dlg *e) {
            for (QWidget *page : {e->TabSheet1, e->TabSheet2, e->TabSheet3, e->TabSheet4})
                cascade += e->PageControl1->isTabVisible(e->PageControl1->indexOf(page)) ? "+" : "h";
            cascade += e->EdChgWaitTime->isHidden() && e->Label13->isHidden() && e->Label14->isHidden() ? " h " : " + ";
            for (int n = 1; n <= 8; ++n)
                cascade += e->intEdit(QStringLiteral("EdANT%1_SELNUM").arg(n))->text().toStdString();
            e->intEdit(QStringLiteral("EdANT3_SELNUM"))->SetValue(5);
            e->intEdit(QStringLiteral("EdANT4_SELNUM"))->SetValue(8);
            e->OKBtn->click();
        });
        d->BtSetCascade->click();
        seen = takeSent();
        nackAt('O', 0x72);
        d->BtSetCascade->click();
        seen += " ; " + takeSent() + " ; " + std::to_string(d->CBMode2->currentIndex()) + antennaState(d);
        d->CancelBtn->click();
    });
    click("MnKV8N520D1");
    EXPECT_EQ(cascade, "+hhh h 24344454");
    EXPECT_EQ(seen, "O 70 04 01 | O 70 14 01 | O 72 01 03 | N 72 01 03 40 41 42 85 44 45 ; O 72 01 03 ; 2TabSheet8 h+ "
                    "++ddddddhhhh+++");
    EXPECT_EQ(takeSent(), "");
    EXPECT_EQ(board.model().eeprom2.mid(0, 6), bytesOf({0x40, 0x41, 0x42, 0x85, 0x44, 0x45}));
}

// The cascade button follows the operator's clicks on "カスケード接続", never a value set in code.
TEST(AntennaDialogTest, TheCascadeButtonFollowsTheOperatorsClickOnly)
{
    TSetAnt1Rom1Dlg d;
    d.RGMemSW65->setItemIndex(0);
    EXPECT_FALSE(d.BtSetCascade->isHidden());
    d.RGMemSW65->button(0)->click();
    EXPECT_TRUE(d.BtSetCascade->isHidden());
    d.RGMemSW65->setItemIndex(1);
    EXPECT_TRUE(d.BtSetCascade->isHidden());
    d.RGMemSW65->button(1)->click();
    EXPECT_FALSE(d.BtSetCascade->isHidden());
}

// RDLOOP: the start block and length of area-2 word 4 on the "RFLOOPモード" page alone; a failed
// read shows (and OK writes) what the window kept.
TEST_F(TagModeMenuTest, RdLoopParametersRoundTripAndAFailedReadKeepsTheWindowsValues)
{
    const auto answer = [this](const QStringList &typed) {
        whenDialogOpens<TSetEEPROM2Dlg>([this, typed](TSetEEPROM2Dlg *e) {
            seen += e->windowTitle().toStdString() + " " + e->PageControl1->currentWidget()->objectName().toStdString();
            for (int i = 0; i < e->PageControl1->count(); ++i)
                seen += e->PageControl1->isTabVisible(i) ? "+" : "h";
            seen += " " + e->EdRdStAddr->text().toStdString() + " " + e->EdDataLen->text().toStdString() + "; ";
            typeInto(e->EdRdStAddr, typed[0]);
            typeInto(e->EdDataLen, typed[1]);
            e->OKBtn->click();
        });
    };
    answer({"12", "255"});
    click("MnRDLoop1");
    EXPECT_EQ(takeSent(), "O 72 04 01 | N 72 04 01 0C FF");
    nackAt('O', 0x72);
    answer({"13", "0"});
    click("MnRDLoop1");
    EXPECT_EQ(takeSent(), "O 72 04 01 | N 72 04 01 0D 00");
    EXPECT_EQ(seen,
              "RDLoopのパラメータの設定 TabSheet2h+hhhh 70 71; RDLoopのパラメータの設定 TabSheet2h+hhhh 12 255; ");
    EXPECT_EQ(form->RdLoopParam[0], 13);
    EXPECT_TRUE(form->MainEnabled());
}

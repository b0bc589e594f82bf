#include "tests/app/WindowHubFixture.h"

#include "controls/DialogKit.h"
#include "platform/IniFile.h"
#include "setup/EepromDialogs.h"
#include "setup/ReaderSettingsFile.h"

#include <QLineEdit>
#include <QTabWidget>

#include <memory>

namespace
{

using EditorStep = std::function<void(TAllSetRom1Dlg *)>;

class EepromEditorTest : public WindowHubTest
{
protected:
    void SetUp() override
    {
        WindowHubTest::SetUp();
        form->SysMode = 0x1B; // bits 0-1 reach area 1 byte 8 on every packing
        form->fVER121 = 1;
        form->fP310 = 0;
        form->fAllEEPROMSet = 1;
        form->OkColor = static_cast<int>(0x8000000F);
        form->NgColor = 0x0000FF;
        board.model().eeprom1 = area1;
        for (int j = 0; j < 20; ++j)
            board.model().eeprom2[j] = static_cast<char>(0x80 + j);
    }

    // Runs "EEPROMの設定..." with the whole-image editor: each step answers one showing of the
    // editor and ends it; the showing after the last step's OK is cancelled.
    void runEditor(QList<EditorStep> steps)
    {
        auto left = std::make_shared<QList<EditorStep>>(std::move(steps));
        auto arm = std::make_shared<std::function<void()>>();
        *arm = [left, arm] {
            whenDialogOpens<TAllSetRom1Dlg>([left, arm](TAllSetRom1Dlg *d) {
                if (left->isEmpty()) {
                    d->CancelBtn->click();
                    return;
                }
                const EditorStep step = left->takeFirst();
                step(d);
                if (d->result() == QDialog::Accepted) // the editor shows again after the write
                    (*arm)();
            });
        };
        (*arm)();
        click("MnSetEEPROM");
        *arm = nullptr;
    }

    template <class W> static W *child(QWidget *d, const char *name) { return d->findChild<W *>(QLatin1String(name)); }
    static bool coloured(QWidget *w) { return w->autoFillBackground(); }

    QString kvi(const char *name) const { return dir.filePath(QLatin1String(name)); }

    // Area 1 of the reader: byte i holds i, but for the values the fields' ranges would clamp
    // (EdTimer1 up to 1000000, EdChkDataNum up to 255) and byte 30 (only its bits without a
    // control set).
    static QByteArray seed()
    {
        QByteArray a(40, '\0');
        for (int i = 0; i < 40; ++i)
            a[i] = static_cast<char>(i);
        a[12] = a[13] = a[25] = 0;
        a[30] = static_cast<char>(0xB8);
        return a;
    }
    const QByteArray area1 = seed();
};

const char *const defaults1 = "00 00 00 00 D4 00 00 30 1B 00 17 11 00 00 1A 06 00 00 1A 06 00 00 01 00 05 00 05 0A "
                              "00 0A B8 1E 00 FF 1E 18 04 08 01 00";
const char *const defaults2 = "00 00 00 00 00 00 01 04 00 00 00 00 00 00 00 00 00 00 00 00";

} // namespace

TEST_F(EepromEditorTest, DefaultsAndOkWriteBothAreasAndTheEditorShowsAgainUntilCancelled)
{
    form->TagAFI = 0x33;
    form->Eep2Byte0 = 0x44;
    runEditor({[](TAllSetRom1Dlg *d) {
        EXPECT_EQ(d->EdFName->text(), "");
        EXPECT_EQ(child<TIntEdit>(d, "EdRetry")->GetValue(), 22);
        d->BtDefault->click();
        d->OKBtn->click();
    }});
    EXPECT_EQ(takeSent(),
              std::string("O 70 01 14 | O 72 01 0A | N 70 01 14 ") + defaults1 + " | N 72 01 0A " + defaults2);
    EXPECT_EQ(takeLog(), "OK: RxEepromData | OK: RxEepromData2 | OK: TxEepromData | OK: TxEepromData2");
    EXPECT_EQ(form->TagAFI, 0);
    EXPECT_EQ(form->Eep2Byte0, 0);
    EXPECT_EQ(form->MemSw78[0] | form->MemSw78[1], 0);
    EXPECT_TRUE(form->MainEnabled());

    // Without ver121 area 2 is neither read nor written, and its pages keep their form values.
    form->fVER121 = 0;
    runEditor({[](TAllSetRom1Dlg *d) {
        EXPECT_EQ(child<TIntEdit>(d, "EdRdStAddr")->GetValue(), 0);
        d->OKBtn->click();
    }});
    EXPECT_EQ(takeSent(), std::string("O 70 01 14 | N 70 01 14 ") + defaults1);
}

TEST_F(EepromEditorTest, WithP310AreaOneGoesInHalvesAndAFailedFirstHalfStopsTheWrite)
{
    form->fP310 = 1;
    runEditor({[](TAllSetRom1Dlg *d) {
                   EXPECT_FALSE(d->PageControl1->isTabVisible(10));
                   EXPECT_TRUE(d->PageControl1->isTabVisible(9));
                   d->OKBtn->click();
               },
               [this](TAllSetRom1Dlg *d) {
                   board.expect('N', 0x70, ReaderStandIn::nack(1));
                   d->OKBtn->click();
               }});
    const QByteArray image = board.model().eeprom1;
    EXPECT_EQ(takeSent(), "O 70 01 0A | O 70 0B 0A | N 70 01 0A " + hexOf(image.left(20)) + " | N 70 0B 0A " +
                              hexOf(image.mid(20)) + " | N 70 01 0A " + hexOf(image.left(20)));
    EXPECT_EQ(takeLog(), "OK: RxEepromData | OK: TxEepromData | CRCエラー | NACK 受信 | ERROR: TxEepromData");
    // What was read, packed back: byte 4 with its parity, byte 8 with SysMode's bits 0-1, the
    // unknown mode code 0x09 as command mode; everything else as read.
    QByteArray expected = area1;
    expected[4] = static_cast<char>(0x84);
    expected[8] = 0x0B;
    expected[9] = 0x00;
    EXPECT_EQ(hexOf(image), hexOf(expected));
}

TEST_F(EepromEditorTest, CheckComparesTheReaderWithTheFileAndColoursEachFieldByItsBits)
{
    // The reader's areas but for byte 30's bits without a control and area 2's byte 0.
    const QString file = kvi("same.KVI");
    EepromData file1{};
    EepromData2 file2{};
    std::copy(area1.begin(), area1.end(), file1.begin());
    file1[30] = 0;
    std::copy(board.model().eeprom2.begin() + 1, board.model().eeprom2.end(), file2.begin() + 1);
    ASSERT_TRUE(WriteSettingsFile(file, true, file1, file2));
    MessageBoxRecorder boxes;
    FileDialogRecorder files({{file, 1}});
    runEditor({[&](TAllSetRom1Dlg *d) {
        d->BtCheck1->click(); // nothing loaded yet
        d->BtLoad->click();
        EXPECT_EQ(d->EdFName->text(), file);
        EXPECT_EQ(d->LoadedFileName, file);
        d->BtCheck1->click();
        EXPECT_FALSE(coloured(child<QWidget>(d, "EdRetry")));
        board.model().eeprom1[22] = 9;
        board.model().eeprom2[3] = static_cast<char>(0x13); // antenna 4's nibble differs
        d->BtCheck1->click();
        EXPECT_TRUE(coloured(child<QWidget>(d, "EdRetry")));
        EXPECT_EQ(child<QWidget>(d, "EdRetry")->palette().color(QPalette::Base), QColor(255, 0, 0));
        EXPECT_EQ(child<TIntEdit>(d, "EdRetry")->GetValue(), 9); // the reader's values are shown
        EXPECT_TRUE(coloured(child<QWidget>(d, "EdANT4_SELNUM")));
        EXPECT_FALSE(coloured(child<QWidget>(d, "EdANT3_SELNUM")));
        EXPECT_FALSE(coloured(child<QWidget>(d, "RGTag")));
        d->CancelBtn->click();
    }});
    EXPECT_EQ(boxes.texts(), (QStringList{"設定ファイル情報が読み込まれていません！！", "OK: 設定値は一致しました",
                                          "NG: 設定値は一致しませんでした"}));
    EXPECT_EQ(files.requests.value(0).initialFolder, dir.path());
}

TEST_F(EepromEditorTest, LoadAndSaveFollowTheNameRuleAndAFailureChangesNothing)
{
    MessageBoxRecorder boxes;
    FileDialogRecorder files({{kvi("saved.txt"), 1}, {kvi("missing"), 1}, {kvi("saved"), 1}, {kvi("no/such/dir"), 1}});
    runEditor({[&](TAllSetRom1Dlg *d) {
        child<TIntEdit>(d, "EdTagId")->SetValue(0x5A);
        child<TIntEdit>(d, "EdScanM_mode")->SetValue(16); // a 4-bit field: kept at 15, not packed as 0
        d->BtSave->click();                               // saved.KVI
        d->BtLoad->click();                               // missing.KVI: no such file
        EXPECT_EQ(d->EdFName->text(), "");
        EXPECT_EQ(child<TIntEdit>(d, "EdTagId")->GetValue(), 0x5A);
        d->BtLoad->click(); // saved.KVI
        EXPECT_EQ(d->EdFName->text(), kvi("saved.KVI"));
        d->BtSave->click(); // a folder that doesn't exist
        EXPECT_EQ(d->EdFName->text(), kvi("saved.KVI"));
        d->CancelBtn->click();
    }});
    EXPECT_EQ(boxes.texts(), (QStringList{"ファイル " + kvi("missing.KVI") + " を開けません。",
                                          "ファイル " + kvi("no/such/dir.KVI") + " を作成できません。"}));
    IniFile saved(kvi("saved.KVI"));
    EXPECT_EQ(saved.ReadSection("KV8SET").size(), 60);
    EXPECT_EQ(saved.ReadInteger("KV8SET", "SETDATA0", -1), 0x5A);
    EXPECT_EQ(saved.ReadInteger("KV8SET", "SETDATA30", -1), 0xB8); // as the write would have it
    EXPECT_EQ(saved.ReadInteger("KV8SET", "SETDATA23", -1), 0x1F);
    EXPECT_EQ(saved.ReadInteger("KV8SET", "SETDATA240", -1), 0x80);
    EXPECT_EQ(takeSent(), "O 70 01 14 | O 72 01 0A"); // nothing was written to the reader
}

TEST_F(EepromEditorTest, TheSingleDialogWritesBackOnlyTheBitsItShows)
{
    form->fAllEEPROMSet = 0;
    whenDialogOpens<TSetRom1Dlg>([](TSetRom1Dlg *d) {
        EXPECT_EQ(d->PageControl1->count(), 7);
        EXPECT_EQ(child<ChoiceGroup>(d, "RGMemSW56")->title(), "ビット６");
        child<TIntEdit>(d, "EdRetry")->SetValue(9);
        child<ChoiceGroup>(d, "RGPORTSEL1")->setItemIndex(1);
        d->BtDefault->click(); // does nothing
        d->OKBtn->click();
    });
    click("MnSetEEPROM");
    EXPECT_EQ(takeSent(), "O 70 01 02 | O 70 04 01 | O 70 0C 03 | O 70 10 01 | O 70 11 01 | O 70 14 01 | "
                          "N 70 04 01 06 07 | N 70 01 02 00 01 02 03 | N 70 0C 03 09 17 18 00 1A 1B | "
                          "N 70 10 01 B9 1F | N 70 11 01 20 21 | N 70 14 01 26 27");
    EXPECT_EQ(takeLog(), "");

    // A failed read ends the handler before the dialog, without a message.
    board.expect('O', 0x70, ReaderStandIn::silence());
    board.expect('O', 0x70, ReaderStandIn::nack(1)); // not reached
    click("MnSetEEPROM", 0);
    EXPECT_EQ(takeSent(), "O 70 01 02");
    EXPECT_TRUE(form->MainEnabled());
}

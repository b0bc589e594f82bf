#include "tests/app/WindowHubFixture.h"

#include "controls/DialogKit.h"
#include "platform/Beep.h"
#include "setup/SetEeprom2Dlg.h"

#include <QTabWidget>

class Eeprom2MenuTest : public WindowHubTest
{
protected:
    void SetUp() override
    {
        WindowHubTest::SetUp();
        for (int j = 0; j < 20; ++j)
            board.model().eeprom2[j] = static_cast<char>(0x40 + j);
    }
    std::string eep2Data() const { return hexOf(QByteArray(reinterpret_cast<const char *>(form->Eep2Data), 4)); }
};

// The word dialogs keep the address inside 1..10 and the count inside 1..2 (beeping at a value
// past them) and inside the area, so a typed 300 is never sent as its low byte. Reading one word
// replaces the low half of the data only.
TEST_F(Eeprom2MenuTest, WordDialogsKeepAddressAndCountInsideTheArea)
{
    const struct {
        const char *item;
        int start, count;
        QString shown;
        QStringList typed;
        std::string sent;
        std::string data;
        int beeps;
    } rows[] = {
        {"MnReadEEPROM2", 0, 7, "1 2 0", {"300", "5", "12345678"}, "O 72 0A 01", "52 53 34 12", 2},
        {"MnReadEEPROM2", 4, 1, "4 1 12345352", {"0", "0", "0"}, "O 72 01 01", "40 41 00 00", 2},
        {"MnSetEEPROM2",
         3,
         2,
         "(disabled) 3 2 47464544",
         {"3", "2", "AABBCCDD"},
         "O 72 03 02 | N 72 03 02 DD CC BB AA",
         "DD CC BB AA",
         0},
        {"MnSetEEPROM2",
         10,
         1,
         "(disabled) 10 1 5352",
         {"10", "2", "1234"},
         "O 72 0A 01 | N 72 0A 01 34 12",
         "34 12 00 00",
         0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.item);
        form->Eep2StartAddr = row.start;
        form->Eep2WordCount = row.count;
        QStringList seen;
        answerInput(seen, form, row.typed);
        resetBeepCount();
        click(row.item);
        EXPECT_EQ(seen.join(QLatin1Char(' ')).toStdString(), row.shown.toStdString());
        EXPECT_EQ(takeSent(), row.sent);
        EXPECT_EQ(eep2Data(), row.data);
        EXPECT_EQ(beepCount(), row.beeps);
        EXPECT_TRUE(form->MainEnabled());
    }
    // A failed read ends before the dialog.
    board.expectAny(ReaderStandIn::nack('A'));
    click("MnSetEEPROM2", 50);
    EXPECT_EQ(takeSent(), "O 72 0A 01");
}

// The form shows all ten words through the window's mirror and writes them back with byte 0 as
// read; cancelling writes nothing but leaves the mirror holding what was read.
TEST_F(Eeprom2MenuTest, SettingsFormRoundTripsAreaTwoThroughTheMirror)
{
    board.model().eeprom2[1] = 5; // inside the wait time's 0..8
    QStringList shown;
    auto open = [&](bool confirm) {
        whenDialogOpens<TSetEEPROM2Dlg>([&shown, confirm](TSetEEPROM2Dlg *d) {
            EXPECT_EQ(d->PageControl1->count(), 6);
            EXPECT_EQ(d->Label13->buddy(), d->EdChgWaitTime);
            for (const char *name : {"EdANT1_SELNUM", "EdANT2_SELNUM", "EdANT8_SELNUM", "EdChgWaitTime", "EdRdStAddr",
                                     "EdMem6", "EdBuzFreq", "IntEdit1"})
                shown << d->intEdit(QLatin1String(name))->text();
            for (const char *name :
                 {"RGMemSW70", "RGMemSW76", "RGMemSW80", "RGCheckMode", "RGWriteData", "RBKensa1_bit6"})
                shown << QString::number(d->group(QLatin1String(name))->itemIndex());
            if (!confirm) {
                d->CancelBtn->click();
                return;
            }
            typeInto(d->intEdit(QStringLiteral("EdANT3_SELNUM")), QStringLiteral("5"));
            typeInto(d->intEdit(QStringLiteral("EdANT4_SELNUM")), QStringLiteral("9")); // 0..8: kept at 8
            d->group(QStringLiteral("RGCheckMode"))->button(1)->click();
            typeInto(d->intEdit(QStringLiteral("IntEdit1")), QStringLiteral("7F"));
            d->OKBtn->click();
        });
        click("EEPROM21");
    };
    open(false);
    // Bytes 0x40 + j: antennas 1/2 from byte 2 (0x42), 8 from byte 5's high nibble (0x45), memory
    // switch 7 = 0x48, 8 = 0x49, test mode 0x52: check mode 2, write data 0, bit 6 set.
    EXPECT_EQ(shown.join(QLatin1Char(' ')).toStdString(), "2 4 4 5 70 4B4A 20816 53 0 1 1 2 0 1");
    EXPECT_EQ(takeSent(), "O 72 01 0A");
    EXPECT_EQ(form->AntSelNum2, 0x4544);
    EXPECT_EQ(form->TagTestMode[1], 0x53);

    open(true);
    const QByteArray written = board.model().eeprom2;
    EXPECT_EQ(takeSent(), "O 72 01 0A | N 72 01 0A " + hexOf(written));
    QByteArray expected(20, 0);
    for (int j = 0; j < 20; ++j)
        expected[j] = static_cast<char>(0x40 + j);
    expected[1] = 5;
    expected[3] = static_cast<char>(0x85);
    expected[18] = 0x51;
    expected[19] = 0x7F;
    EXPECT_EQ(hexOf(written), hexOf(expected));
    EXPECT_EQ(form->AntSelNum1, 0x8542);
    EXPECT_EQ(form->TagTestMode[0], 0x51);
    EXPECT_TRUE(form->MainEnabled());
}

#include "tests/app/WindowHubFixture.h"

#include "controls/DialogKit.h"
#include "platform/Beep.h"
#include "setup/GateDialogs.h"

#include <QTabWidget>

namespace
{

// Hex text with blanks to bytes.
QByteArray hx(const char *text)
{
    return QByteArray::fromHex(QByteArray(text));
}

std::string counting(int from, int count, int zeroFrom = -1, int zeroCount = 0, const char *tail = "")
{
    QByteArray b;
    for (int i = 0; i < count; ++i)
        b.append(static_cast<char>(i >= zeroFrom && i < zeroFrom + zeroCount ? 0 : from + i));
    return hexOf(b) + tail;
}

// The operator's change to one control: a radio or combo item, a tick, or a number typed.
struct Edit {
    const char *control;
    int value;
};

// Brings the page that holds the control to the front, so it can be clicked and typed into.
void showPageOf(QWidget *control)
{
    for (QWidget *w = control; w && w->parentWidget(); w = w->parentWidget())
        if (auto *tabs = qobject_cast<QTabWidget *>(w->parentWidget()->parentWidget()))
            if (tabs->indexOf(w) >= 0)
                tabs->setCurrentWidget(w);
}

void applyEdit(QDialog *d, const Edit &e)
{
    QWidget *control = d->findChild<QWidget *>(QLatin1String(e.control));
    ASSERT_NE(control, nullptr) << e.control;
    showPageOf(control);
    if (auto *group = qobject_cast<ChoiceGroup *>(control))
        group->button(e.value)->click();
    else if (auto *combo = qobject_cast<QComboBox *>(control))
        combo->setCurrentIndex(e.value);
    else if (auto *check = qobject_cast<QCheckBox *>(control))
        check->setChecked(e.value != 0);
    else
        typeInto(control, QString::number(e.value));
}

// OK on the next dialog, after the edits (a typed field keeps the focus, so OK leaves it first).
void confirmDialog(const std::vector<Edit> &edits, const char *button = "OKBtn")
{
    whenDialogOpens<QDialog>([=](QDialog *d) {
        for (const Edit &e : edits)
            applyEdit(d, e);
        d->findChild<QPushButton *>(QLatin1String(button))->click();
    });
}

} // namespace

using GateMenuTest = WindowHubTest;

// Each dialog reads its setting, and OK writes it back: untouched, every bit goes back as read
// (values that no item shows, bits without a control); edited, exactly the edited fields change.
TEST_F(GateMenuTest, DialogsWriteBackWhatTheyReadWithOnlyTheEditedFieldsChanged)
{
    const char *eeprom = "01 01 07 D5 FF 5B E3 9A 97 95 A6 3C 2D E1 A5 BC 7E";
    const std::string eepromSent = "G 01 01 07 | G 21 01 07 ";
    const struct {
        const char *item;
        int m750;
        std::optional<uint8_t> readSub;
        const char *answer; // DATA of the read's ACK
        std::vector<Edit> edits;
        std::string unchanged, edited; // the frames sent
        const char *log;
    } rows[] = {
        {"MnGateMode",
         0,
         0x00,
         "00 D5",
         {{"RG_bit01", 3}, {"RG_bit5", 1}, {"RG_bit6", 0}},
         "G 00 | G 20 D5",
         "G 00 | G 20 B7",
         "OK: GateGetModeCmd | OK: GateSetModeCmd"},
        // Sounds 5-7 against four items, a voice B code 9 against four entries, a count of 5
        // against two items; word 3 L bit 3, word 4 L bit 4, word 5 H bit 0, word 6 H bit 7 and
        // word 7 beyond the volume have no control.
        {"MnGeteEEPROM",
         0,
         0x01,
         eeprom,
         {{"EEP1_Lbit012", 1}, {"EEP3_Hbit4567", 2}, {"EEP4_Lbit0123", 1}, {"EEP6_Hbit4", 1}},
         eepromSent + "D5 FF 5B E3 9A 97 95 A6 3C 2D E1 A5 BC 7E",
         eepromSent + "D1 FF 5B E3 9A 27 91 A6 3C 2D E1 B5 BC 7E",
         "OK: GateGetEEPROMCmd | OK: GateSetEEPROMCmd"},
        {"MnGeteEEPROM",
         1,
         0x01,
         eeprom,
         {{"EEP3_Lbit4567", 15}, {"EdVolume", 3}},
         eepromSent + "D5 FF 5B E3 9A 97 95 A6 3C 2D E1 A5 BC 7E",
         eepromSent + "D5 FF 5B E3 FA 97 95 A6 3C 2D E1 A5 B3 7E",
         "OK: GateGetEEPROMCmd | OK: GateSetEEPROMCmd"},
        {"MnGateDispOutSate",
         0,
         0x02,
         "02 A5 F0",
         {{"DOS1_bit0", 0}, {"DOS2_bit3", 1}},
         "G 02 | G 22 A5 F0",
         "G 02 | G 22 A4 F8",
         "OK:GateGetDispOutStateCmd | OK: GateSetDispOutStateCmd"},
        {"MnM750outinfo",
         1,
         0x08,
         "08 12 34 F5",
         {{"DOS2_bit7", 1}, {"DOS3_bit0", 0}},
         "G 08 | G 26 12 34 F5",
         "G 08 | G 26 12 B4 F4",
         "OK:GateGetDispOutStateCmd | OK: GateSetDispOutStateCmd"},
        // Auto-send mode 9 and base time 3 have no item; the interval count is cut to 8 bits.
        {"MnCountEEPROM",
         0,
         0x06,
         "06 CD FE F9 80 5A FB",
         {{"EEP11_Lb1", 1}, {"EEP12_Lb03", 2}, {"EEP12_Hb", 300}},
         "G 06 | G 23 CD FE F9 80 5A FB",
         "G 06 | G 23 CF FE F2 2C 5A FB",
         "OK: McountMode_Cmd | OK: McountMode_Cmd"},
        // A person count above 2^31 goes back as read.
        {"MnCountData",
         0,
         0x07,
         "07 01 00 00 80 64 00 00 00 FF FF 05 00",
         {{"S2Mcount", 1000}, {"S1Acount", 7}},
         "G 07 | G 24 01 00 00 80 64 00 00 00 FF FF 05 00",
         "G 07 | G 24 01 00 00 80 E8 03 00 00 07 00 05 00",
         "OK: McountValue_Cmd | OK: McountValue_Cmd"},
        {"MnM750mcountvalu",
         1,
         0x0B,
         "0B 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 14 15 16 17 18 19 "
         "1A 1B 1C 1D 1E 1F 20 21 22 23 24",
         {{"EdCount5", 0}, {"EdCount12", 258}},
         "G 0B | G 28 " + counting(1, 36),
         "G 0B | G 28 " + counting(1, 34, 12, 4, " 02 01"),
         "OK: McountValue_Cmd | OK: McountValue_Cmd"},
        // No read: the dialog's defaults are melody, no lamp, 1.5 s; no line of its own.
        {"MnMelodyLEDCmd",
         0,
         std::nullopt,
         "",
         {{"CB_CmdMode", 1}, {"CBOnryou", 1}, {"CBUseTime", 1}, {"CBLanpMode", 3}, {"EdTime", 1000}},
         "G 2A 02 00 00 00 96 00",
         "G 2A 0D 00 00 03 E8 03",
         ""},
    };
    for (const auto &row : rows) {
        for (const bool edited : {false, true}) {
            SCOPED_TRACE(std::string(row.item) + (edited ? " edited" : " unchanged"));
            form->fM750 = row.m750;
            if (row.readSub)
                board.expect('G', *row.readSub, ReaderStandIn::ack(hx(row.answer)));
            confirmDialog(edited ? row.edits : std::vector<Edit>{});
            click(row.item);
            EXPECT_EQ(takeSent(), edited ? row.edited : row.unchanged);
            EXPECT_EQ(takeLog(), row.log);
        }
    }
}

// Failure lines: a failed read opens no dialog; a failed write says so; Cancel writes nothing.
TEST_F(GateMenuTest, FailuresAndCancelAreLoggedAsEachHandlerSaysAndWriteNothing)
{
    using R = ReaderStandIn;
    const struct {
        const char *item;
        QList<std::pair<uint8_t, R::Responder>> answers; // by sub-code
        const char *button;                              // in the dialog, if one opens
        const char *sent;
        const char *log;
    } rows[] = {
        // A NACK: its decoded class, then the wait's line.
        {"MnGateMode", {{0x00, R::nack(4)}}, nullptr, "G 00", "タグからの応答なし | NACK 受信 | Error: GateGetModeCmd"},
        {"MnGateMode",
         {{0x00, R::ack(hx("00 00"))}, {0x20, R::nack(4)}},
         "OKBtn",
         "G 00 | G 20 00",
         "OK: GateGetModeCmd | タグからの応答なし | NACK 受信 | Error: GateSetModeCmd"},
        {"MnGeteEEPROM", {{0x01, R::ack(hx("01 01 06"))}}, nullptr, "G 01 01 07", "NG: GateGetEEPROMCmd"},
        {"MnGeteEEPROM",
         {{0x01, R::ack(hx("01 01 07") + QByteArray(14, 0))}},
         "CancelBtn",
         "G 01 01 07",
         "OK: GateGetEEPROMCmd"},
        {"MnGateDispOutSate",
         {{0x02, R::ack(hx("02 00 00"))}, {0x22, R::nack(4)}},
         "OKBtn",
         "G 02 | G 22 00 00",
         "OK:GateGetDispOutStateCmd | タグからの応答なし | NACK 受信 | NG: GateSetDispOutStateCmd"},
        {"MnCountEEPROM", {{0x06, R::ack(hx("06 01"))}}, nullptr, "G 06", "NG: McountMode_Cmd"},
        {"MnCountData",
         {{0x07, R::ack(hx("07") + QByteArray(12, 0))}, {0x24, R::ack(hx("00"))}},
         "OKBtn",
         "G 07 | G 24 00 00 00 00 00 00 00 00 00 00 00 00",
         "OK: McountValue_Cmd | NG: McountValue_Cmd"},
        {"MnM750mcountvalu",
         {{0x0B, R::nack(4)}},
         nullptr,
         "G 0B",
         "タグからの応答なし | NACK 受信 | NG: McountValue_Cmd"},
        // After the first failed sensor read the others are not sent but still log their lines.
        {"MnSensorState",
         {{0x03, R::ack(hx("03 00 00"))}, {0x04, R::nack(4)}},
         nullptr,
         "G 03 | G 04",
         "OK:GateGetSwSensorCmd | タグからの応答なし | NACK 受信 | NG:GateGetIoSensorCmd | NG:GateGetPersonSensorCmd"},
        // Speaker volume and line speed stop silently.
        {"MnM750spkvolume", {{0x0C, R::ack(hx("0C"))}}, nullptr, "G 0C", ""},
        {"MnM750Bps", {{0x9E, R::nack(4)}}, nullptr, "G 9E", "タグからの応答なし | NACK 受信"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.item);
        for (const auto &[sub, responder] : row.answers)
            board.expect('G', sub, responder);
        bool opened = false;
        whenDialogOpens<QDialog>(
            [&](QDialog *d) {
                opened = true;
                d->findChild<QPushButton *>(QLatin1String(row.button))->click();
            },
            row.button ? 5000 : 0);
        click(row.item);
        EXPECT_EQ(opened, row.button != nullptr);
        EXPECT_EQ(takeSent(), row.sent);
        EXPECT_EQ(takeLog(), row.log);
        EXPECT_EQ(board.scriptLeft(), 0);
    }
}

TEST_F(GateMenuTest, SensorViewShowsTheThreeAnswers)
{
    for (const int m750 : {0, 1}) {
        form->fM750 = m750;
        board.expect('G', 0x03, ReaderStandIn::ack(hx("03 01 A7")));
        board.expect('G', 0x04, ReaderStandIn::ack(hx("04 2D")));
        board.expect('G', 0x05, ReaderStandIn::ack(hx("05 01")));
        QStringList shown;
        whenDialogOpens<TSensorStateDlg>([&](TSensorStateDlg *d) {
            for (const char *name : {"SW_bit0", "IO_bit0", "IO_bit1", "IO_bit2", "IO_bit5", "Person_bit0"}) {
                auto *group = d->findChild<ChoiceGroup *>(QLatin1String(name));
                shown << QStringLiteral("%1=%2%3")
                             .arg(name)
                             .arg(group->itemIndex())
                             .arg(group->isHidden() ? " hidden" : "");
            }
            shown << d->findChild<QLabel *>(QStringLiteral("ST_DIPSW"))->text();
            d->OKBtn->click();
        });
        click("MnSensorState");
        const QString io = m750 ? QString() : QStringLiteral(" hidden");
        EXPECT_EQ(shown.join(u' ').toStdString(),
                  QStringLiteral("SW_bit0=1 IO_bit0=1 IO_bit1=0 IO_bit2=1%1 IO_bit5=1%1 "
                                 "Person_bit0=1 A7")
                      .arg(io)
                      .toStdString());
        EXPECT_EQ(takeSent(), "G 03 | G 04 | G 05");
        EXPECT_EQ(takeLog(), "OK:GateGetSwSensorCmd | OK:GateGetIoSensorCmd | OK:GateGetPersonSensorCmd");
    }
}

// The action buttons take the fields as typed (the focus still in one of them). The write takes
// one 16-bit hex value; anything else beeps and sends nothing.
TEST_F(GateMenuTest, RawEepromDialogsReadAndWriteTheWordsTyped)
{
    board.expect('G', 0x01, ReaderStandIn::ack(hx("01 02 03 11 22 33 44 55 66")));
    board.expect('G', 0x01, ReaderStandIn::ack(hx("01 02 00")));
    QStringList shown;
    whenDialogOpens<TEEPROM_ReadDlg>([&](TEEPROM_ReadDlg *d) {
        typeInto(d->IntEd1, "2");
        typeInto(d->IntEd2, "3");
        d->Bt_EEPROM_Read->click();
        shown << d->EdString->text();
        typeInto(d->IntEd2, "0");
        d->Bt_EEPROM_Read->click();
        shown << d->EdString->text();
        d->OKBtn->click();
    });
    click("MnGateEEPROM_READ");
    EXPECT_EQ(shown.join(u'|').toStdString(), "11 22 33 44 55 66 |");
    EXPECT_EQ(takeSent(), "G 01 02 03 | G 01 02 00");

    const struct {
        const char *text;
        const char *sent; // empty: refused with a beep
    } writes[] = {
        {"1234", "G 21 02 03 34 12 34 12 34 12"},
        {" ab ", "G 21 02 03 AB 00 AB 00 AB 00"},
        {"", ""},
        {"12345", ""},
        {"0x12", ""},
        {"1 2", ""},
        {"G", ""},
    };
    for (const auto &w : writes) {
        SCOPED_TRACE(w.text);
        resetBeepCount();
        whenDialogOpens<TEEPROM_WriteDlg>([&](TEEPROM_WriteDlg *d) {
            typeInto(d->IntEd1, "2");
            d->EdString->setText(QString::fromUtf8(w.text));
            typeInto(d->IntEd2, "3");
            d->Bt_EEPROM_Write->click();
            d->CancelBtn->click();
        });
        click("MnGateEEPROM_WRITE");
        EXPECT_EQ(takeSent(), w.sent);
        EXPECT_EQ(beepCount(), *w.sent ? 0 : 1);
    }
}

// The single commands and the two that ask for a value in the integer input dialog.
TEST_F(GateMenuTest, M750CommandsSendTheirFrames)
{
    const struct {
        const char *item;
        std::optional<std::pair<uint8_t, const char *>> read;
        QStringList typed;
        const char *sent;
        const char *log;
    } rows[] = {
        {"MnContTimgRes", {}, {}, "G 25", ""},
        {"MnM750ROM1", {}, {}, "G 90 00", "ＲＯＭのバージョン情報 取得ＯＫ"},
        {"MnM750GetType", {}, {}, "G 93", "機種名（ModelName）の取得ＯＫ"},
        {"MnM750ReStart", {}, {}, "G 9D", ""},
        {"MnM750ProgMode", {}, {}, "G 9B 37 30 33 35 31 38 32 39 34", ""},
        {"IOBEEPROMCmd", {}, {}, "G 91", ""},
        // The volume dialog takes 9 to 15 too.
        {"MnM750spkvolume", std::pair<uint8_t, const char *>{0x0C, "0C 05"}, {"12"}, "G 0C | G 29 0C", ""},
        {"MnM750Bps", std::pair<uint8_t, const char *>{0x9E, "9E 01"}, {"2"}, "G 9E | G 9C 02", ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.item);
        if (row.read)
            board.expect('G', row.read->first, ReaderStandIn::ack(hx(row.read->second)));
        if (!row.typed.isEmpty())
            answerDialog(row.typed);
        click(row.item);
        EXPECT_EQ(takeSent(), row.sent);
        EXPECT_EQ(takeLog(), row.log);
    }
}

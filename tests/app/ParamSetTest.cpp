#include "tests/app/WindowHubFixture.h"

#include "controls/DialogKit.h"
#include "setup/ParamSet3Dlg.h"

#include <QAction>
#include <QFileInfo>
#include <QFrame>

#include <map>

namespace
{

// Area 1 as the reader model starts each case: reader ID 7, retry 2, block size 8, AFI 0x3C,
// no-read command on, AFI at inventories and UID at simple writes on, IO3 as error output,
// fast anticollision (byte 38 bit 3, byte 31 bit 2 clear) and the Fujitsu threshold bit.
const std::map<int, int> seed = {{5, 0x3C}, {6, 0x10},  {7, 0x0A}, {8, 0x10}, {22, 2},
                                 {28, 7},   {31, 0x01}, {36, 8},   {38, 0x0A}};

QByteArray area1With(const std::map<int, int> &changes)
{
    QByteArray image(40, 0);
    for (const auto &[at, value] : seed)
        image[at] = static_cast<char>(value);
    for (const auto &[at, value] : changes)
        image[at] = static_cast<char>(value);
    return image;
}

} // namespace

using ParamSetTest = WindowHubTest;

// The whole exchange for ROMs older than, equal to and newer than 1.21, a refused area-1 or
// area-2 read, Cancel, a NACKed area-1 write, a reader silent after its restart and a reader
// outside command mode: the frames in order, the boxes and the closing line.
TEST_F(ParamSetTest, FrameSequencesForEachRomAndFailure)
{
    const std::string head = "O 00 | O 90 00 | O 70 01 14";
    const struct {
        const char *what;
        QByteArray rom;
        std::function<void()> script;
        std::function<void(TParamSet3Dlg *)> operate; // none: no form
        std::string sent;
        const char *closing;
        QStringList boxes = {};
    } rows[] = {
        {"older ROM", "120", [] {},
         [](TParamSet3Dlg *d) {
             EXPECT_EQ(std::tuple(d->EdRWID->text(), d->EdAFI->text(), d->EdRdStAddr->text(), d->EdDataLen->text()),
                       std::tuple(QString("7"), QString("3C"), QString("17"), QString("34")));
             EXPECT_EQ(std::tuple(d->RGAntic->itemIndex(), d->RGTagSel->itemIndex(), d->RGInvAFI->itemIndex(),
                                  d->RGUseUID1->itemIndex(), d->RGBRCmd->itemIndex(), d->RGIOPORT3->itemIndex()),
                       std::tuple(1, 1, 1, 1, 1, 1));
             EXPECT_FALSE(d->RGTagSel->isEnabled());
             typeInto(d->EdRWID, QStringLiteral("9"));
             typeInto(d->EdRdStAddr, QStringLiteral("33"));
             d->RGAntic->button(0)->click();
             d->OKBtn->click();
         },
         head + " | O 72 04 01 | N 70 01 14 " + hexOf(area1With({{28, 9}, {31, 0x05}, {38, 0x02}})) +
             " | N 72 04 01 21 22 | N 9D | O 00",
         "SET EEPROM : OK"},
        // Exactly 1.21: no area 2, and the anticollision bits go back as read even after the
        // tag step has been switched on and off, which enables the group again.
        {"ROM 1.21", "121", [] {},
         [](TParamSet3Dlg *d) {
             EXPECT_FALSE(d->RGAntic->isEnabled());
             EXPECT_FALSE(d->EdRdStAddr->isEnabled());
             d->CBSelTag1->click();
             d->CBSelTag1->click();
             EXPECT_TRUE(d->RGAntic->isEnabled());
             d->RGAntic->button(0)->click();
             d->OKBtn->click();
         },
         head + " | N 70 01 14 " + hexOf(area1With({})) + " | N 9D | O 00", "SET EEPROM : OK"},
        // Ctrl+click on the panel dumps both areas; a plain click does nothing. Fujitsu: block
        // size 8, retry 10, Timing Register on, tag mode AM 10%. The reader restarts in auto-scan.
        {"newer ROM, tag step", "125",
         [this] {
             board.expect('O', 0x00, ReaderStandIn::ack(bytesOf({0x00, 0x00, 0x00, 0x10})));
             board.model().mode = {0x01, 0x00, 0x10};
         },
         [](TParamSet3Dlg *d) {
             QTest::mouseClick(d->Panel1, Qt::LeftButton, {}, QPoint(4, 4));
             QTest::mouseClick(d->Panel1, Qt::LeftButton, Qt::ControlModifier, QPoint(4, 4));
             d->CBSelTag1->click();
             EXPECT_FALSE(d->EdRetryNum->isEnabled());
             d->RGTagSel->button(1)->click();
             d->OKBtn->click();
         },
         head + " | O 72 04 01 | O 70 01 14 | O 72 01 0A | N 70 01 14 " + hexOf(area1With({{22, 10}, {31, 0x41}})) +
             " | N 72 04 01 11 22 | O 09 | N 19 E4 | N 9D | O 00 | " + "N 00 01 00 00 01 00 05",
         "SET EEPROM : OK"},
        {"area 1 unreadable", "125", [this] { board.expect('O', 0x70, ReaderStandIn::nack('A')); }, nullptr, head,
         "SET EEPROM : NG"},
        // The rest goes on without the RDLOOP words.
        {"area 2 unreadable", "120", [this] { board.expect('O', 0x72, ReaderStandIn::nack('A')); },
         [](TParamSet3Dlg *d) {
             EXPECT_FALSE(d->EdDataLen->isEnabled());
             d->OKBtn->click();
         },
         head + " | O 72 04 01 | N 70 01 14 " + hexOf(area1With({})) + " | N 9D | O 00", "SET EEPROM : OK"},
        {"cancelled", "120", [] {}, [](TParamSet3Dlg *d) { d->CancelBtn->click(); }, head + " | O 72 04 01",
         "SET EEPROM : OK"},
        {"area-1 write refused", "120", [this] { board.expect('N', 0x70, ReaderStandIn::nack('A')); },
         [](TParamSet3Dlg *d) { d->OKBtn->click(); },
         head + " | O 72 04 01 | N 70 01 14 " + hexOf(area1With({})) + " | N 9D | O 00", "SET EEPROM : NG"},
        // The writes were taken, but the reader says nothing after its restart.
        {"silent after the restart", "120",
         [this] {
             board.expect('O', 0x00, ReaderStandIn::ack(bytesOf({0x00, 0x00, 0x00, 0x10})));
             board.expect('O', 0x00, ReaderStandIn::silence());
         },
         [](TParamSet3Dlg *d) { d->OKBtn->click(); },
         head + " | O 72 04 01 | N 70 01 14 " + hexOf(area1With({})) + " | N 72 04 01 11 22 | N 9D | O 00",
         "SET EEPROM : NG"},
        {"not in command mode",
         "125",
         [this] {
             board.expect('O', 0x00, ReaderStandIn::ack(bytesOf({0x00, 0x01, 0x00, 0x10})));
         },
         nullptr,
         "O 00",
         "SET EEPROM : OK",
         {"コマンドモードに変更してから、再実行してください"}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        board.model() = ReaderModel();
        board.model().romVersion = row.rom;
        board.model().eeprom1 = area1With({});
        board.model().eeprom2[6] = 0x11;
        board.model().eeprom2[7] = 0x22;
        row.script();
        if (row.operate)
            whenDialogOpens<TParamSet3Dlg>(row.operate);
        MessageBoxRecorder boxes;
        click("MnSetPara3");
        EXPECT_EQ(takeSent(), row.sent);
        EXPECT_EQ(boxes.texts(), row.boxes);
        EXPECT_EQ(form->Memo1->toPlainText().split(QLatin1Char('\n')).filter(QStringLiteral("SET EEPROM")),
                  QStringList{QLatin1String(row.closing)});
        EXPECT_TRUE(form->MainEnabled());
        takeLog();
    }
    // The last restart came up in auto-scan: the window followed it.
    EXPECT_TRUE(form->Item(QStringLiteral("TBtSetATRMD"))->isChecked());
    EXPECT_EQ(form->TagBlockSize, 8);
    EXPECT_EQ(form->S6700Conf, 0xE4);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("KV8RWConf.KVI")));
}

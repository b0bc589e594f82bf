#include "tests/app/WindowHubFixture.h"

#include "controls/DialogKit.h"
#include "link/Frame.h"
#include "tools/standin/FrameSplitter.h"

#include <QLineEdit>

#include <functional>
#include <tuple>

namespace
{

#define UID " 01 02 03 04 05 06 07 E0"

class ReaderMenuTest : public WindowHubTest
{
protected:
    void SetUp() override
    {
        WindowHubTest::SetUp();
        form->fTimeOut = 1;
        board.model().tags[0].blocks[0] = "ABCD";
    }

    // Answers the next dialog: each "Name=value" typed into, or chosen in, the control of that
    // name, each bare "Name" clicked; then OK. The state of the control named look when the
    // dialog opened goes to *shown.
    static void answerFields(const QStringList &entries, const QString &look = {}, QString *shown = nullptr)
    {
        whenDialogOpens<RadixDialog>([=](RadixDialog *d) {
            if (shown)
                *shown = stateOf(d->findChild<QWidget *>(look));
            for (const QString &entry : entries) {
                const QString name = entry.section(QLatin1Char('='), 0, 0);
                const QString value = entry.section(QLatin1Char('='), 1);
                QWidget *w = d->findChild<QWidget *>(name);
                if (auto *edit = qobject_cast<TIntEdit *>(w))
                    typeInto(edit, value);
                else if (auto *line = qobject_cast<QLineEdit *>(w))
                    line->setText(value);
                else if (auto *combo = qobject_cast<QComboBox *>(w))
                    combo->setCurrentIndex(value.toInt());
                else if (auto *button = qobject_cast<QAbstractButton *>(w))
                    button->click();
                else
                    ADD_FAILURE() << "no control " << name.toStdString();
            }
            d->findChild<QPushButton *>(QStringLiteral("OKBtn"))->click();
        });
    }

    static QString stateOf(const QWidget *w)
    {
        if (const auto *group = qobject_cast<const ChoiceGroup *>(w))
            return QString::number(group->itemIndex());
        if (const auto *edit = qobject_cast<const TIntEdit *>(w))
            return edit->text();
        if (const auto *line = qobject_cast<const QLineEdit *>(w))
            return line->text();
        return QStringLiteral("?");
    }

    // The memo's lines, empty ones included.
    std::string takeAllLines()
    {
        QStringList lines = form->Memo1->toPlainText().split(QLatin1Char('\n'));
        lines.removeIf([](const QString &line) { return line.startsWith(QLatin1String("ServerSocket1")); });
        form->Memo1->clear();
        return joined(lines);
    }

    MessageBoxRecorder boxes;
};

} // namespace

// Every item after the reader model's ACK (or its own answer): what goes out and what reaches
// the log, with fTimeOut set (only ReadBytes, WriteBytes and LockBytes log their time). Rows
// run in order: a value kept by one row is offered by the next dialog that shares it.
TEST_F(ReaderMenuTest, EveryItemSendsItsFramesAndTheRepliesReachTheLog)
{
    const struct {
        const char *item;
        QStringList fields; // none: no dialog
        const char *sent;
        QStringList log;
        RequestFlagSettings flags = {};
        int binaryWrite = 0;
        const char *look = nullptr; // a control whose state at opening is checked
        const char *shown = nullptr;
    } rows[] = {
        // clang-format off
        {"MnGetMode", {}, "O 00", {"DousaModeSet_CMD受信"}},
        {"MnGetS6700Mode", {}, "O 09", {"S6700ModeSet_CMD受信"}},
        {"MnGetRomVer", {}, "O 90 00", {"ROMバージョン取得", "125"}},
        {"MnGetModelName", {}, "O 93", {"機種名の取得", "STAND-IN"}},
        {"MnGetErrStatus", {}, "O 80", {}},
        {"MnTxON", {}, "N 9E 01", {}},
        {"MnTxOFF", {}, "N 9E 00", {}},
        {"MnTxOFFON", {}, "N 9E 02", {}},
        {"MnPowerDown", {}, "N 52", {}},
        {"MnGetPWMode", {}, "O 52", {}},
        {"MnGetUIDNum", {}, "O 53", {"GETUIDNUMBER_CMD受信", "受信UID数: 2"}},
        {"MnQUIT_Cmd1", {}, "Q 00", {}},
        {"MnQUIT_Cmd2", {}, "Q 01", {}},
        {"MnQUIT_Cmd3", {}, "Q 02", {}},
        {"MnRDLoopPolGet", {}, "x F5", {"ISO15693_RDLOOPPOLGETCmd OK"}},
        {"MnSetBuz1", {}, "B 00 00", {}},
        {"MnSetBuz2", {"IntEd=7"}, "B 00 07", {}},
        {"MnLED1", {"RadioGroup11", "ComboBox1=2", "EdTime=9"}, "N 55 01 02 09", {}, {}, 0, "EdTime", "5"},
        {"MnLEDBUZ1", {"EdPort=1", "ComboBox1=1", "EdTime=3", "EdBuzMode=4", "EdBuzTime=5"}, "N 57 01 01 03 04 05", {}},
        {"MnLEDBUZ1", {}, "N 57 01 01 03 04 05", {}, {}, 0, "EdBuzMode", "4"},
        {"MnReadRAM1", {"IntEd1=1A2B", "IntEd3=3"}, "O 91 1A 2B 03 00 00 00 00 00 00", {}},
        {"MnWriteRAM1", {"IntEd1=40", "IntEd2=1234", "IntEd3=2"}, "N 92 00 40 02 12 34 00 00 00 00", {}},
        {"MnIOPORT2In", {"IntEd1=7", "IntEd2=A5"}, "N 9F 07 A5", {}},
        {"MnIOPORT1In", {}, "O 9F", {"PORTDATA: 0xA5"}},
        {"MnSelRy", {"RadioGroup13"}, "O 9F | N 9F 07 03", {"PORTDATA: 0xA5"}, {}, 0, "RadioGroup1", "5"},
        {"MnWriteEXT1", {"IntEd=3C"}, "O 56 | N 56 3C", {}, {}, 0, "IntEd", "0"},
        {"MnWriteEXT1", {}, "O 56 | N 56 3C", {}, {}, 0, "IntEd", "3C"},
        {"Inventory16Slots1", {"EdAFI=4D", "CBUseAFI", "RGMemSW01", "RGMemSW71"},
         "x F1 81 20 4D 00 00 00 00 00 00 00 00 00", {}},
        {"ReadLoop1", {"EdBlockNum=2", "RGMemSW21"}, "x F2 04 20 02 04 4D" UID, {}, {}, 0, "EdLen", "4"},
        {"MnRDLoopPolCmd", {"CBUseAFI", "RGMemSW11"}, "x F4 01 02 64 00 02 04 4D" UID,
         {"ISO15693_RDLOOPPOLCmd OK"}, {.ReadUidFlag = 1}, 0, "EdBlockNum", "2"},
        {"MnCommRead1", {"IntEd=5"}, "x 00 01 07 03 20 05 36 5D", {}},
        {"MnCommWrite1", {"IntEd1=6", "EdString=ABCDEF"}, "x 00 02 03 43 21 06 41 42 43 44 27 88", {}},
        {"MnTransmit1", {}, "x 00 00 00 23 02" UID " BF A5", {}},
        {"MnPolWrite1", {"IntEd1=3", "IntEd2=50", "EdString=ABC"}, "N 00 23 00 00 01 00 32 03 03 41 42 43 10",
         {"DousaModeSet_CMD受信"}},
        {"ReadBytes1", {"IntEd1=0", "IntEd2=4"}, "x A0 00 04 00", {"ISO15693_ReadBytes受信", "data: ABCD", timeLine}},
        {"WriteBytes1", {"IntEd1=4", "EdString=AB"}, "x A1 04 02 41 42 11" UID, {"ISO15693_WriteBytes受信", timeLine},
         {.WriteUidFlag = 1}},
        {"WriteBytes1", {"IntEd1=5", "EdString=0A 0B0C"}, "x A1 05 03 0A 0B 0C 10", {"ISO15693_WriteBytes受信", timeLine},
         {}, 1},
        {"MnLockBytes1", {"IntEd1=1", "IntEd2=2"}, "x F3 01 02 00", {"ISO15693_LockBytes OK", timeLine}},
        {"MnSimpleRead", {}, "R", {"D_command 受信", "ABCD"}},
        {"MnCmdOutp", {"Edit1=02 00 4E 02 9E 01 03 F4 0D"}, "N 9E 01", {}},
        {"MnCmdOutp", {}, "N 9E 01", {}, {}, 0, "Edit1", "02 00 4E 02 9E 01 03 F4 0D"},
        {"MnDataWrite", {"EdString=HELLO"}, "J 00 00 00 00 48 45 4C 4C 4F | B 00 00", {"書き込み成功！！"}},
        {"TBtDataWrite", {}, "J 00 00 00 00 48 45 4C 4C 4F | B 00 00", {"書き込み成功！！"}, {}, 0, "EdString", "HELLO"},
        {"GetUIDData", {"IntEd=2"}, "O 54 02", {"GETUIDDATA_CMD受信", "UID: E0 07 66 55 44 33 22 11 "}},
        {"MnSetCUID", {"IntEdit1=A1", "IntEdit2=A2", "IntEdit8=E0"}, "N 50 A1 A2 00 00 00 00 00 E0", {}},
        {"MnGetCUID", {}, "O 50", {"UID: E0 00 00 00 00 00 A2 A1 "}},
        {"MnEEPROM1", {}, "N 71", {"Init EEPROM : OK"}},
        {"MnRestart", {}, "N 9D", {}},
        // clang-format on
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.item);
        form->ReadUidFlag = row.flags.ReadUidFlag;
        form->WriteUidFlag = row.flags.WriteUidFlag;
        form->fBinaryWrite = row.binaryWrite;
        QString shown;
        if (!row.fields.isEmpty() || row.look)
            answerFields(row.fields, QString::fromLatin1(row.look), &shown);
        click(row.item);
        EXPECT_EQ(takeSent(), row.sent);
        EXPECT_EQ(takeLog(), joined(row.log));
        if (row.look) {
            EXPECT_EQ(shown.toStdString(), row.shown);
        }
    }
    // What the dialogs took is kept for the next ones; the UID set is the window's.
    EXPECT_EQ(
        std::tuple(form->BlockNo, form->MultiBlockNo, form->MultiBlockCount, form->LoopAFIValue, form->LoopUseAFI),
        std::tuple(6, 1, 2, 0x4D, 0));
    EXPECT_EQ(std::tuple(form->Inv16Mode, form->ReadLoopMode, form->TagDataText, form->TagDataStr, form->TagDataNum),
              std::tuple(0x81, 0x04, QStringLiteral("AB"), QStringLiteral("HELLO"), 5));
    EXPECT_EQ(hexOf(QByteArray(reinterpret_cast<const char *>(form->CurrentUid), 8)), "A1 A2 00 00 00 00 00 E0");
    EXPECT_TRUE(form->MainEnabled());
    EXPECT_EQ(std::tuple(form->fLogOn, form->fReloadMode), std::tuple(1, 1));
    EXPECT_TRUE(boxes.boxes.isEmpty());
}

// The handlers that act on the reader's answer, against a NACK, silence and the other answers
// they tell apart: the tag-data write's buzzer and line, the EEPROM initialisation's line, the
// simple read's lines (only from inside the frame), and the values the port dialogs offer.
TEST_F(ReaderMenuTest, HandlersThatActOnTheAnswerTellNackAndSilenceApart)
{
    board.model().extPort = 0x77;
    board.model().port = 0x05;
    using R = ReaderStandIn;
    const auto frame = [](uint8_t code, const QByteArray &data) { return R::pieces({{peerFrame(0, code, data), 0}}); };
    const QByteArray uidBytes = bytesOf({0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0xE0});
    const struct {
        const char *what;
        const char *item;
        QList<std::pair<uint8_t, R::Responder>> script; // by command byte, in order
        QStringList fields;
        const char *sent;
        QStringList log; // empty lines included
        const char *look = nullptr;
        const char *shown = nullptr;
    } rows[] = {
        {"write NACK",
         "MnDataWrite",
         {{'J', R::nack(4)}},
         {"EdString=A"},
         "J 00 00 00 00 41 | B 00 01",
         {"タグからの応答なし", "NACK 受信", "書き込み失敗！！"}},
        {"write silence",
         "MnDataWrite",
         {{'J', R::silence()}},
         {},
         "J 00 00 00 00 41 | B 00 01",
         {"レスポンス待ち　タイムオーバー", "書き込み失敗！！"},
         "EdString",
         "A"},
        {"init NACK",
         "MnEEPROM1",
         {{'N', R::nack('A')}},
         {},
         "N 71",
         {"データ数エラー", "NACK 受信", "Init EEPROM : NG"}},
        {"init silence",
         "MnEEPROM1",
         {{'N', R::silence()}},
         {},
         "N 71",
         {"レスポンス待ち　タイムオーバー", "Init EEPROM : NG"}},
        {"read NACK", "MnSimpleRead", {{'R', R::nack(4)}}, {}, "R", {"タグからの応答なし", "NAK 受信"}},
        {"read silence",
         "MnSimpleRead",
         {{'R', R::silence()}},
         {},
         "R",
         {"レスポンス待ち　タイムオーバー", "コマンドエラー"}},
        {"read d",
         "MnSimpleRead",
         {{'R', frame('d', uidBytes + "WXYZ")}},
         {},
         "R",
         {"d_command 受信", "E0 07 06 05 04 03 02 01 ", "WXYZ"}},
        {"read d, UID only",
         "MnSimpleRead",
         {{'R', frame('d', uidBytes)}},
         {},
         "R",
         {"d_command 受信", "E0 07 06 05 04 03 02 01 ", ""}},
        {"read d, short",
         "MnSimpleRead",
         {{'R', frame('d', bytesOf({1, 2, 3, 4, 5}))}},
         {},
         "R",
         {"レスポンスフォーマットエラー", "d_command 受信", "レスポンスフォーマットエラー"}},
        {"read ACK", "MnSimpleRead", {{'R', R::ack(bytesOf({0x52}))}}, {}, "R", {"コマンドエラー"}},
        {"ext port NACK",
         "MnWriteEXT1",
         {{'O', R::nack(4)}, {'N', R::nack(4)}},
         {"IntEd=5A"},
         "O 56 | N 56 5A",
         {"タグからの応答なし", "NACK 受信", "タグからの応答なし", "NACK 受信"},
         "IntEd",
         "0"},
        {"ext port silence",
         "MnWriteEXT1",
         {{'O', R::silence()}, {'N', R::silence()}},
         {},
         "O 56 | N 56 00",
         {"レスポンス待ち　タイムオーバー", "レスポンス待ち　タイムオーバー"},
         "IntEd",
         "0"},
        {"antenna NACK",
         "MnSelRy",
         {{'O', R::nack(4)}},
         {"RadioGroup12"},
         "O 9F | N 9F 07 02",
         {"タグからの応答なし", "NACK 受信"},
         "RadioGroup1",
         "0"},
        {"antenna silence",
         "MnSelRy",
         {{'O', R::silence()}},
         {},
         "O 9F | N 9F 07 00",
         {"レスポンス待ち　タイムオーバー"},
         "RadioGroup1",
         "0"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        for (const auto &[cmd, responder] : row.script)
            board.expect(cmd, std::nullopt, responder);
        QString shown;
        if (!row.fields.isEmpty() || row.look)
            answerFields(row.fields, QString::fromLatin1(row.look), &shown);
        click(row.item, 400);
        EXPECT_EQ(takeSent(), row.sent);
        EXPECT_EQ(takeAllLines(), joined(row.log));
        if (row.look) {
            EXPECT_EQ(shown.toStdString(), row.shown);
        }
        EXPECT_EQ(board.scriptLeft(), 0);
    }
    EXPECT_TRUE(form->MainEnabled());
    EXPECT_EQ(form->fLogOn, 1);
}

// What an operator types is held to what one frame carries: the free command to 512
// characters of hex, the byte write's hex to hex, its text to whole characters within the
// frame, the tag-data write and the polling write to their caps.
TEST_F(ReaderMenuTest, TypedInputIsRefusedOrCutToWhatOneFrameCarries)
{
    const QString frame512 = QString::fromLatin1(hexOf(peerFrame(0, 'N', QByteArray(249, '\x9E'))).c_str()).remove(' ');
    ASSERT_EQ(frame512.size(), 512);
    ASSERT_TRUE(IsHexString(QLatin1Char(' ') + frame512));
    const QString kana130(130, QChar(0x3042)); // 260 bytes
    const QString ascii300(300, QLatin1Char('a'));
    const struct {
        const char *what;
        const char *item;
        QStringList fields;
        std::function<void(TKV8AppForm &)> settings;
        int frameLen; // LEN of the one frame sent; 0: nothing sent
        int countAt;  // the count's DATA index, -1: none
        int count;
        QStringList log;
    } rows[] = {
        {"free command of 512", "MnCmdOutp", {"Edit1=" + frame512}, {}, 249, -1, 0, {}},
        {"free command of 513", "MnCmdOutp", {"Edit1= " + frame512}, {}, 0, -1, 0, {"文字列が不正です。"}},
        {"free command not hex", "MnCmdOutp", {"Edit1=02 0G"}, {}, 0, -1, 0, {"文字列が不正です。"}},
        {"hex write not hex",
         "WriteBytes1",
         {"EdString=12 3"},
         [](TKV8AppForm &f) {
             f.fBinaryWrite = 1;
             f.fLogOn = 0;
         },
         0,
         -1,
         0,
         {"Input Error!! [NO Hex Data]"}},
        {"polling write",
         "MnPolWrite1",
         {"EdString=" + ascii300},
         [](TKV8AppForm &f) { f.TagWriteNum = 1000; },
         255,
         8,
         245,
         {"DousaModeSet_CMD受信"}},
        {"polling write addressed",
         "MnPolWrite1",
         {},
         [](TKV8AppForm &f) {
             f.TagWriteNum = 1000;
             f.WriteUidFlag = 1;
         },
         255,
         8,
         237,
         {"DousaModeSet_CMD受信"}},
        {"text write", "WriteBytes1", {"EdString=" + kana130}, {}, 254, 2, 250, {"ISO15693_WriteBytes受信", timeLine}},
        {"text write addressed",
         "WriteBytes1",
         {"EdString=" + kana130},
         [](TKV8AppForm &f) { f.WriteUidFlag = 1; },
         254,
         2,
         242,
         {"ISO15693_WriteBytes受信", timeLine}},
        {"tag data on TAG-IT",
         "MnDataWrite",
         {"EdString=" + ascii300.left(40)},
         [](TKV8AppForm &f) { f.S6700Conf = 0x08; },
         36,
         -1,
         0,
         {"書き込み成功！！"}},
        {"tag data", "MnDataWrite", {}, {}, 44, -1, 0, {"書き込み成功！！"}},
        {"tag data, negative cap",
         "MnDataWrite",
         {},
         [](TKV8AppForm &f) { f.TagWriteNum = -5; },
         4,
         -1,
         0,
         {"書き込み成功！！"}},
        {"tag data, frame cap",
         "MnDataWrite",
         {"EdString=" + ascii300},
         [](TKV8AppForm &f) { f.TagWriteNum = 1000; },
         255,
         -1,
         0,
         {"書き込み成功！！"}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        form->fBinaryWrite = 0;
        form->fLogOn = 1;
        form->WriteUidFlag = 0;
        form->S6700Conf = 0xD4;
        form->TagWriteNum = 200;
        if (row.settings)
            row.settings(*form);
        answerFields(row.fields);
        click(row.item, 300);
        const QList<QByteArray> sent = board.received();
        board.clearReceived();
        // The tag-data write's buzzer answer follows its frame.
        ASSERT_EQ(sent.size(), row.frameLen == 0 ? 0 : row.item == std::string("MnDataWrite") ? 2 : 1);
        if (row.frameLen != 0) {
            EXPECT_EQ(static_cast<uint8_t>(sent[0].at(3)), row.frameLen);
            if (row.countAt >= 0) {
                EXPECT_EQ(static_cast<uint8_t>(sent[0].at(4 + row.countAt)), row.count);
            }
        }
        EXPECT_EQ(takeLog(), joined(row.log));
    }
    // The text kept is the text sent: whole characters only.
    EXPECT_EQ(form->TagDataText, kana130.left(121));
    EXPECT_EQ(form->TagDataNum, 251);
    // With a bar-code reader the tag-data dialog opens empty.
    form->fBarCodeReader = 1;
    QString shown;
    answerFields({}, QStringLiteral("EdString"), &shown);
    click("MnDataWrite");
    EXPECT_EQ(shown, QString());
    EXPECT_EQ(takeSent(), "J 00 00 00 00 | B 00 00");
}

#include "tests/app/IsoMenuFixture.h"

#include <QLabel>
#include <QRegularExpression>

#include <functional>

namespace
{

const QString uidHex = QStringLiteral("UID(hex): 01 02 03 04 05 06 07 E0 ");

struct MenuRow {
    const char *item;
    std::function<void(TKV8AppForm &)> settings; // changed from the defaults
    std::function<void()> answer;                // the row's dialog, answered through its fields
    QByteArray ackData;
    QByteArray sentData;
    QStringList log;
};

QByteArray data(std::initializer_list<int> head, const QByteArray &tail = {})
{
    return bytesOf(head) + tail;
}

} // namespace

TEST_F(IsoMenuTest, EveryItemSendsItsFrameAndTheReplyReachesTheLog)
{
    const QByteArray u = uid();
    const QByteArray blockAbcd = bytesOf({0x41, 0x42, 0x43, 0x44});
    const QStringList readAbcd = {"ISO15693_ReadSingleBlock受信", "data(Hex): 41 42 43 44 ", "data: ABCD"};
    auto none = [](TKV8AppForm &) {};
    const MenuRow rows[] = {
        {"MnInventory1Slot1",
         none,
         nullptr,
         data({0x01, 0x00}, u),
         data({0x01, 0x40}),
         {"ISO15693_Inventory受信", "DSFID: 0[0x00]", uidHex}},
        {"MnInventory16Slots1",
         [](TKV8AppForm &f) {
             f.fUSESetOption = 1;
             f.Prog15693FLAG = 0x21;
         },
         nullptr,
         data({0x01, 0x05}, u),
         data({0x01, 0x20}),
         {"ISO15693_Inventory受信", "DSFID: 5[0x05]", uidHex}},
        {"Inventory21", none, nullptr, data({0xF0, 0x03}), data({0xF0, 0x00, 0x01}), {"受信UID数: 3"}},
        {"MnStayQuit",
         [](TKV8AppForm &f) { f.UidFlag = 1; },
         nullptr,
         data({0x02}),
         data({0x02, 0x01}, u),
         {"ISO15693_StayQuit受信"}},
        {"MnReadSingleBlock",
         [](TKV8AppForm &f) {
             f.ReadOptionFlag = 1;
             f.ReadUidFlag = 1;
         },
         [] { answerBlockNo("5"); },
         data({0x20, 0x00}, blockAbcd),
         data({0x20, 0x05, 0x11}, u),
         {"ISO15693_ReadSingleBlock受信", "Block Security data: 0x00", "data(Hex): 41 42 43 44 ", "data: ABCD"}},
        {"MnReadSingleBlock",
         [](TKV8AppForm &f) {
             f.ReadOptionFlag = 1;
             f.fUSESetOption = 1;
             f.Prog15693FLAG = 0x02;
         },
         [] { answerBlockNo("300"); }, data({0x20}, blockAbcd), data({0x20, 0xFF, 0x02}), readAbcd},
        {"MnWriteSingleBlock",
         none,
         [] { answerInp3Data2("3", QString(), "AB"); },
         data({0x21}),
         data({0x21, 0x03, 0x41, 0x42, 0x00, 0x00, 0x10}),
         {"ISO15693_WriteSingleBlock受信"}},
        {"MnWriteSingleBlock",
         [](TKV8AppForm &f) {
             f.fBinaryWrite = 1;
             f.WriteUidFlag = 1;
         },
         [] {
             whenDialogOpens<TWrData1Dlg>([](TWrData1Dlg *d) {
                 typeInto(d->EdAddr, "7");
                 typeInto(d->EdData3, "11");
                 typeInto(d->EdData2, "22");
                 typeInto(d->EdData1, "33");
                 typeInto(d->EdData0, "44");
                 d->OKBtn->click();
             });
         },
         data({0x21}),
         data({0x21, 0x07, 0x44, 0x33, 0x22, 0x11, 0x11}, u),
         {"ISO15693_WriteSingleBlock受信"}},
        {"MnLockBlock",
         [](TKV8AppForm &f) { f.WriteOptionFlag = 0; },
         [] { answerBlockNo("2"); },
         data({0x22}),
         data({0x22, 0x02, 0x00}),
         {"ISO15693_LockBlock受信"}},
        {"MnReadMultiBlock",
         none,
         [] { answerInp3Data2("1", "1", QString()); },
         QByteArray("\x23"
                    "ABCDEFGH"),
         data({0x23, 0x01, 0x01, 0x00}),
         {"ISO15693_ReadMultiBlock受信", "data: ABCDEFGH"}},
        {"MnWriteMultiBlock",
         none,
         [] { answerInp3Data2("2", "1", "12345"); },
         data({0x24}),
         data({0x24, 0x02, 0x01, 0x31, 0x32, 0x33, 0x34, 0x35, 0x00, 0x00, 0x00, 0x10}),
         {"ISO15693_WriteMultiBlock受信"}},
        {"MnSelectTag",
         [](TKV8AppForm &f) { f.UidFlag = 2; },
         nullptr,
         data({0x25}),
         data({0x25, 0x02}, u),
         {"ISO15693_SelectTag受信"}},
        {"MnResetToReady",
         [](TKV8AppForm &f) { f.UidFlag = 1; },
         nullptr,
         data({0x26}),
         data({0x26, 0x01}, u),
         {"ISO15693_ResetToReady受信"}},
        {"MnWriteAFI",
         none,
         [] { answerByte("7"); },
         data({0x27}),
         data({0x27, 0x07, 0x10}),
         {"ISO15693_WriteAFI受信"}},
        {"MnLockAFI", none, nullptr, data({0x28}), data({0x28, 0x10}), {"ISO15693_LockAFI受信"}},
        {"MnWrietDSFID",
         none,
         [] { answerByte("A5"); },
         data({0x29}),
         data({0x29, 0xA5, 0x10}),
         {"ISO15693_WrietDSFID受信"}},
        {"MNLockDSFID",
         [](TKV8AppForm &f) { f.WriteUidFlag = 1; },
         nullptr,
         data({0x2A}),
         data({0x2A, 0x11}, u),
         {"ISO15693_LockDSFID受信"}},
        {"MnGetSystemInfo",
         none,
         nullptr,
         data({0x2B, 0x0F}, u + bytesOf({0x01, 0x07, 0x1B, 0x03, 0x01})),
         data({0x2B, 0x00}),
         {"DSFID: 1[0x01]", "ISO15693_GetSystemInfo受信", uidHex, "AFI: 7[0x07]", "ブロック数: 28", "ブロックサイズ: 4",
          "ＩＣ基準: 0x01"}},
        {"MnGetMBlockSecSt",
         [](TKV8AppForm &f) {
             f.fUSESetOption = 1;
             f.Prog15693FLAG = 0x10;
         },
         [] { answerInp3Data2("0", "3", QString()); },
         data({0x2C, 0, 0, 0, 0}),
         data({0x2C, 0x00, 0x03, 0x10}),
         {"ISO15693_GetMBlockSecSt受信"}},
        {"MnWrite2Blocks",
         [](TKV8AppForm &f) {
             f.WriteOptionFlag = 0;
             f.WriteUidFlag = 1;
             f.fUSESetOption = 1;
             f.Prog15693FLAG = 0xFF;
         },
         [] { answerInp3Data2("4", QString(), "ABCDEFGHIJ"); },
         data({0xA2}),
         data({0xA2, 0x04}, QByteArray("ABCDEFGH") + bytesOf({0x11}) + u),
         {"ISO15693_Write2Blocks受信"}},
        {"MnLock2Blocks",
         none,
         [] { answerBlockNo("9"); },
         data({0xA3}),
         data({0xA3, 0x09, 0x10}),
         {"ISO15693_Lock2Blocks受信"}},
        {"Read1BlockSelect1", [](TKV8AppForm &f) { f.fUSESetOption = 1; }, [] { answerBlockNo("1"); },
         data({0x20}, blockAbcd), data({0x20, 0x01, 0x04}), readAbcd},
        {"Write1BlockSelect1",
         none,
         [] { answerInp3Data2("1", QString(), "WXYZ"); },
         data({0x21}),
         data({0x21, 0x01, 0x57, 0x58, 0x59, 0x5A, 0x14}),
         {"ISO15693_WriteSingleBlock受信"}},
    };
    for (const MenuRow &row : rows) {
        SCOPED_TRACE(row.item);
        *static_cast<OptionSettings *>(form.get()) = OptionSettings();
        row.settings(*form);
        if (row.answer)
            row.answer();
        standIn.clearReceived();
        form->Memo1->clear();
        standIn.expect('x', static_cast<uint8_t>(row.sentData[0]), ReaderStandIn::ack(row.ackData));
        click(row.item);
        ASSERT_EQ(standIn.received().size(), 1);
        EXPECT_EQ(hexOf(standIn.received()[0]), hexOf(request(row.sentData)));
        EXPECT_EQ(logText(), joined(row.log));
    }
}

TEST_F(IsoMenuTest, NackAndSilenceAreLoggedByTheHubAndTheHandlerAddsNothing)
{
    struct Case {
        const char *item;
        bool nack;
        QStringList log;
    };
    const Case cases[] = {
        {"MnReadSingleBlock", true, {"タグからの応答なし", "NACK 受信"}},
        {"MnReadSingleBlock", false, {"レスポンス待ち　タイムオーバー"}},
        {"MnStayQuit", true, {"タグからの応答なし"}},
        {"MnStayQuit", false, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.item) + (c.nack ? " NACK" : " silence"));
        form->Memo1->clear();
        standIn.clearReceived();
        standIn.expectAny(c.nack ? ReaderStandIn::nack(4) : ReaderStandIn::silence());
        if (QLatin1String(c.item) == QLatin1String("MnReadSingleBlock"))
            answerBlockNo("0");
        click(c.item);
        EXPECT_EQ(standIn.received().size(), 1);
        EXPECT_EQ(logText(), joined(c.log));
    }
}

// What the operator sees in each item's dialog: caption, visible prompts and fields filled
// from the remembered values. Cancel then sends nothing and logs nothing.
TEST_F(IsoMenuTest, DialogsOfferTheRememberedValuesAndCancelSendsNothing)
{
    form->BlockNo = 12;
    form->MultiBlockNo = 4;
    form->MultiBlockCount = 2;
    form->TagByteValue = 0x1A5;
    form->TagDataText = QStringLiteral("xy");
    form->TagBlockSize = 8;
    struct Case {
        const char *item;
        int binaryWrite;
        const char *seen;
    };
    const Case cases[] = {
        {"MnReadSingleBlock", 0, "ブロックＮＯ | ブロックＮＯを入力してください | IntEd=12"},
        {"MnWriteSingleBlock", 0, "設定値の入力 | ブロックＮＯ | IntEd1=12 | データ（8文字） | EdString=xy"},
        {"MnWriteSingleBlock", 1, "１ブロック書込 | EdAddr=C | EdData3=0 | EdData2=0 | EdData1=0 | EdData0=0"},
        {"Write1BlockSelect1", 1, "設定値の入力 | ブロックＮＯ | IntEd1=12 | データ（8文字） | EdString=xy"},
        {"MnReadMultiBlock", 0, "設定値の入力 | ブロックＮＯ | IntEd1=4 | ブロック数 | IntEd2=2"},
        {"MnWriteMultiBlock", 0,
         "設定値の入力 | ブロックＮＯ | IntEd1=4 | ブロック数 | IntEd2=2 | データ（文字列） | EdString=xy"},
        {"MnWrite2Blocks", 0, "設定値の入力 | ブロックＮＯ | IntEd1=4 | データ（文字列） | EdString=xy"},
        {"MnWriteAFI", 0, "設定値の入力 | データ（１６進） | IntEd3=A5"},
        {"MnWrietDSFID", 0, "設定値の入力 | データ（１６進） | IntEd3=A5"},
    };
    for (const Case &c : cases) {
        form->fBinaryWrite = c.binaryWrite;
        QStringList seen;
        whenDialogOpens<RadixDialog>([&seen](RadixDialog *d) {
            seen << d->windowTitle();
            for (const char *name : {"STTitle", "IntEd", "STTitle1", "IntEd1", "STTitle2", "IntEd2", "STTitle3",
                                     "IntEd3", "EdString", "EdAddr", "EdData3", "EdData2", "EdData1", "EdData0"}) {
                auto *w = d->findChild<QWidget *>(QLatin1String(name));
                if (!w || !w->isVisibleTo(d))
                    continue;
                if (auto *label = qobject_cast<QLabel *>(w)) {
                    if (!label->text().isEmpty())
                        seen << label->text();
                } else if (auto *edit = qobject_cast<QLineEdit *>(w)) {
                    seen << QLatin1String(name) + QLatin1Char('=') + edit->text();
                }
            }
            d->reject();
        });
        click(c.item, 50);
        EXPECT_EQ(seen.join(QStringLiteral(" | ")).toStdString(), c.seen) << c.item;
    }
    EXPECT_TRUE(standIn.received().isEmpty());
    EXPECT_EQ(logText(), "");
}

TEST_F(IsoMenuTest, SystemInformationIsShownOnlyFromACompleteAnswerToThisRequest)
{
    const QByteArray u = uid();
    struct Step {
        const char *what;
        std::function<void()> script;
        QStringList log;
    };
    const Step steps[] = {
        {"all fields",
         [&] {
             standIn.expectAny(ReaderStandIn::ack(data({0x2B, 0x0E}, u + bytesOf({0x20, 0x3F, 0x1F, 0xA5}))));
         },
         {"ISO15693_GetSystemInfo受信", uidHex, "AFI: 32[0x20]", "ブロック数: 64", "ブロックサイズ: 32",
          "ＩＣ基準: 0xA5"}},
        {"no optional field",
         [&] {
             standIn.expectAny(ReaderStandIn::ack(data({0x2B, 0x00}, u)));
         },
         {"ISO15693_GetSystemInfo受信", uidHex}},
        {"full answer again",
         [&] {
             standIn.expectAny(ReaderStandIn::ack(data({0x2B, 0x02}, u + bytesOf({0x07}))));
         },
         {"ISO15693_GetSystemInfo受信", uidHex, "AFI: 7[0x07]"}},
        // Announces AFI, memory size and IC reference but carries only the AFI.
        {"short answer after a full one",
         [&] {
             standIn.expectAny(ReaderStandIn::ack(data({0x2B, 0x0E}, u + bytesOf({0x09}))));
         },
         {"レスポンスフォーマットエラー"}},
        {"NACK", [&] { standIn.expectAny(ReaderStandIn::nack(5, 0x0F)); }, {"Unknown error.", "NACK 受信"}},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.what);
        form->Memo1->clear();
        step.script();
        click("MnGetSystemInfo");
        EXPECT_EQ(logText(), joined(step.log));
    }
}

TEST_F(IsoMenuTest, WritesTooLongForOneFrameAreRefusedOnceWithoutWaitOrTime)
{
    struct Case {
        const char *item;
        int blockSize;
        int writeUidFlag;
        std::function<void()> answer;
        QString refusal; // empty: the write fits and goes out
    };
    const Case cases[] = {
        {"MnWriteSingleBlock", 253, 0, [] { answerInp3Data2("1", QString(), "A"); },
         "ISO15693_WriteSingleBlock: DATA長オーバー"},
        {"MnWriteSingleBlock", 252, 0, [] { answerInp3Data2("1", QString(), "A"); }, QString()},
        {"Write1BlockSelect1", 245, 1, [] { answerInp3Data2("1", QString(), "A"); },
         "ISO15693_WriteSingleBlock: DATA長オーバー"},
        {"MnWriteMultiBlock", 4, 0, [] { answerInp3Data2("0", "255", "A"); },
         "ISO15693_WriteMultiBlock: DATA長オーバー"},
        {"MnWriteMultiBlock", 0x40000000, 0, [] { answerInp3Data2("0", "3", "A"); },
         "ISO15693_WriteMultiBlock: DATA長オーバー"},
        {"MnWriteMultiBlock", 1, 1, [] { answerInp3Data2("0", "242", "A"); }, QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.item) + " " + std::to_string(c.blockSize));
        form->TagBlockSize = c.blockSize;
        form->WriteUidFlag = c.writeUidFlag;
        form->fTimeOut = 1;
        form->Memo1->clear();
        standIn.clearReceived();
        if (c.refusal.isEmpty())
            standIn.expectAny(ReaderStandIn::ack(data({0x21})));
        c.answer();
        click(c.item);
        if (c.refusal.isEmpty()) {
            ASSERT_EQ(standIn.received().size(), 1);
            EXPECT_EQ(static_cast<uint8_t>(standIn.received()[0][3]), 255); // LEN at its limit
        } else {
            EXPECT_TRUE(standIn.received().isEmpty());
            EXPECT_EQ(logText(), joined(QStringList{c.refusal}));
        }
    }
}

TEST_F(IsoMenuTest, ElapsedTimeIsLoggedAfterTheReplyWhereTheItemIsTimed)
{
    form->fTimeOut = 1;
    const QRegularExpression timeLine(QStringLiteral("^実行時間: \\d\\d:\\d\\d:\\d{2,3}$"));
    struct Case {
        const char *item;
        bool timed;
    };
    for (const Case c : {Case{"MnLockAFI", true}, Case{"MnStayQuit", true}, Case{"Read1BlockSelect1", false}}) {
        SCOPED_TRACE(c.item);
        form->Memo1->clear();
        standIn.expectAny(ReaderStandIn::ack(data({0x28})));
        if (QLatin1String(c.item) == QLatin1String("Read1BlockSelect1"))
            answerBlockNo("0");
        form->Item(QLatin1String(c.item))->trigger();
        QTest::qWait(100);
        const QStringList lines = logLines();
        const auto timeLines = lines.filter(timeLine);
        EXPECT_EQ(timeLines.size(), c.timed ? 1 : 0) << logText();
        // A waiting item times up to the reply, so its line comes after the reply's.
        if (QLatin1String(c.item) == QLatin1String("MnLockAFI")) {
            EXPECT_TRUE(!lines.isEmpty() && timeLine.match(lines.last()).hasMatch()) << logText();
        }
    }
}

// The operator may start another command while one waits: each dialog belongs to its own
// call, so the nested command runs to its end and the outer one then finishes its own steps.
TEST_F(IsoMenuTest, ACommandStartedDuringAWaitRunsInsideItWithItsOwnDialog)
{
    form->fTimeOut = 1;
    standIn.expect('x', 0x20, ReaderStandIn::pieces({{buildFrame(0, '0', data({0x20}, bytesOf({1, 2, 3, 4}))), 400}}));
    standIn.expect('x', 0x22, ReaderStandIn::ack(data({0x22})));
    answerBlockNo("1");
    QTimer::singleShot(150, form.get(), [this] {
        answerBlockNo("2");
        click("MnLockBlock", 0);
    });
    click("MnReadSingleBlock");
    ASSERT_EQ(standIn.received().size(), 2);
    EXPECT_EQ(hexOf(standIn.received()[1]), hexOf(request(data({0x22, 0x02, 0x10}))));
    EXPECT_EQ(form->BlockNo, 2);
    const QStringList lines = logLines();
    EXPECT_EQ(lines.filter(QStringLiteral("実行時間: ")).size(), 2) << logText();
    EXPECT_TRUE(form->findChildren<QDialog *>().isEmpty());
}

TEST_F(IsoMenuTest, ClosingDuringAWaitEndsTheHandlerWithoutItsTimeLine)
{
    form->fTimeOut = 1;
    standIn.expectAny(ReaderStandIn::silence());
    QTimer::singleShot(100, [] { setApplicationClosing(true); });
    click("MnLockAFI", 0);
    setApplicationClosing(false);
    EXPECT_EQ(logText(), "");
}

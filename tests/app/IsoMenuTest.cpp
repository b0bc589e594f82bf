#include "tests/app/WindowHubFixture.h"

#include "app/HandlerKit.h"
#include "link/Frame.h"

#include <QElapsedTimer>
#include <QLineEdit>

#include <tuple>

namespace
{

QByteArray data(std::initializer_list<int> head, const QByteArray &tail = {})
{
    return bytesOf(head) + tail;
}

} // namespace

using IsoMenuTest = WindowHubTest;

// Every item with fTimeOut set: the frame it sends for its row's settings, then the log. Where
// the time line stands tells whether the item waited (after the reply), only timed its send
// (before the reply) or neither (no line). A value past a field's range, typed last so that
// OK finds it still in the field, goes out clamped to 0xFF (never cut to its low byte).
TEST_F(IsoMenuTest, EveryItemSendsItsFrameAndTheReplyReachesTheLog)
{
    const QByteArray abcd("ABCD");
    const QString &T = timeLine;
    const QStringList readAbcd = {"ISO15693_ReadSingleBlock受信", "data(Hex): 41 42 43 44 ", "data: ABCD"};
    const QStringList secAbcd = {"ISO15693_ReadSingleBlock受信", "Block Security data: 0x00", "data(Hex): 41 42 43 44 ",
                                 "data: ABCD"};
    const struct {
        const char *item;
        RequestFlagSettings flags; // the other settings keep their defaults
        QStringList typed;         // into the dialog's integer fields; none and no text: no dialog
        QString text;
        QByteArray ackData;
        QByteArray sentData;
        QStringList log;
        int binaryWrite = 0;
    } rows[] = {
        // clang-format off
        {"MnInventory1Slot1", {.fUSESetOption = 1, .Prog15693FLAG = 0x3F}, {}, {},
         data({0x01, 0x00}, uid), data({0x01, 0x60}), {"ISO15693_Inventory受信", "DSFID: 0[0x00]", uidHex, T}},
        {"MnInventory16Slots1", {}, {}, {},
         data({0x01, 0x05}, uid), data({0x01, 0x00}), {"ISO15693_Inventory受信", "DSFID: 5[0x05]", uidHex, T}},
        {"Inventory21", {.fUSESetOption = 1, .Prog15693FLAG = 0xFF}, {}, {},
         data({0xF0, 0x03}), data({0xF0, 0x20, 0x01}), {"受信UID数: 3", T}},
        {"MnStayQuit", {.UidFlag = 1}, {}, {}, data({0x02}), data({0x02, 0x01}, uid), {T, "ISO15693_StayQuit受信"}},
        {"MnReadSingleBlock", {.ReadOptionFlag = 1, .ReadUidFlag = 1}, {"5"}, {},
         data({0x20, 0x00}, abcd), data({0x20, 0x05, 0x11}, uid), secAbcd + QStringList{T}},
        {"MnReadSingleBlock", {.ReadOptionFlag = 1, .fUSESetOption = 1, .Prog15693FLAG = 0x02}, {"300"}, {},
         data({0x20}, abcd), data({0x20, 0xFF, 0x02}), readAbcd + QStringList{T}},
        {"MnWriteSingleBlock", {}, {"3"}, "AB",
         data({0x21}), data({0x21, 0x03, 0x41, 0x42, 0x00, 0x00, 0x10}), {"ISO15693_WriteSingleBlock受信", T}},
        {"MnWriteSingleBlock", {.WriteUidFlag = 1}, {"7", "11", "22", "33", "12C"}, {},
         data({0x21}), data({0x21, 0x07, 0xFF, 0x33, 0x22, 0x11, 0x11}, uid), {"ISO15693_WriteSingleBlock受信", T},
         1},
        {"MnLockBlock", {.WriteOptionFlag = 0}, {"2"}, {},
         data({0x22}), data({0x22, 0x02, 0x00}), {"ISO15693_LockBlock受信", T}},
        {"MnReadMultiBlock", {.ReadOptionFlag = 3, .ReadUidFlag = 6}, {"1", "300"}, {},
         data({0x23}, "ABCDEFGH"), data({0x23, 0x01, 0xFF, 0x12}),
         {"ISO15693_ReadMultiBlock受信", "data: ABCDEFGH", T}},
        {"MnWriteMultiBlock", {}, {"2", "1"}, "12345",
         data({0x24}), data({0x24, 0x02, 0x01, 0x31, 0x32, 0x33, 0x34, 0x35, 0x00, 0x00, 0x00, 0x10}),
         {"ISO15693_WriteMultiBlock受信", T}},
        {"MnSelectTag", {.UidFlag = 0xFE}, {}, {},
         data({0x25}), data({0x25, 0x02}, uid), {"ISO15693_SelectTag受信", T}},
        {"MnResetToReady", {.UidFlag = 1}, {}, {},
         data({0x26}), data({0x26, 0x01}, uid), {"ISO15693_ResetToReady受信", T}},
        {"MnWriteAFI", {}, {"12C"}, {}, data({0x27}), data({0x27, 0xFF, 0x10}), {"ISO15693_WriteAFI受信", T}},
        {"MnLockAFI", {.WriteOptionFlag = 2, .WriteUidFlag = 5}, {}, {},
         data({0x28}), data({0x28, 0x01}, uid), {"ISO15693_LockAFI受信", T}},
        {"MnWrietDSFID", {}, {"A5"}, {}, data({0x29}), data({0x29, 0xA5, 0x10}), {"ISO15693_WrietDSFID受信", T}},
        {"MNLockDSFID", {.WriteUidFlag = 1}, {}, {},
         data({0x2A}), data({0x2A, 0x11}, uid), {"ISO15693_LockDSFID受信", T}},
        {"MnGetSystemInfo", {}, {}, {},
         data({0x2B, 0x0F}, uid + bytesOf({0x01, 0x07, 0x1B, 0x03, 0x01})), data({0x2B, 0x00}),
         {"DSFID: 1[0x01]", "ISO15693_GetSystemInfo受信", uidHex, T, "AFI: 7[0x07]", "ブロック数: 28",
          "ブロックサイズ: 4", "ＩＣ基準: 0x01"}},
        {"MnGetMBlockSecSt", {.fUSESetOption = 1, .Prog15693FLAG = 0x10}, {"0", "3"}, {},
         data({0x2C, 0, 0, 0, 0}), data({0x2C, 0x00, 0x03, 0x10}), {"ISO15693_GetMBlockSecSt受信", T}},
        {"MnWrite2Blocks", {.WriteOptionFlag = 0, .WriteUidFlag = 1, .fUSESetOption = 1, .Prog15693FLAG = 0xFF}, {"4"},
         "ABCDEFGHIJ", data({0xA2}), data({0xA2, 0x04}, "ABCDEFGH" + bytesOf({0x11}) + uid),
         {"ISO15693_Write2Blocks受信", T}},
        {"MnLock2Blocks", {}, {"9"}, {}, data({0xA3}), data({0xA3, 0x09, 0x10}), {"ISO15693_Lock2Blocks受信", T}},
        {"Read1BlockSelect1", {.ReadOptionFlag = 1, .ReadUidFlag = 1, .fUSESetOption = 1, .Prog15693FLAG = 0x99},
         {"1"}, {},
         data({0x20, 0x00}, abcd), data({0x20, 0x01, 0x15}, uid), secAbcd},
        {"Write1BlockSelect1", {.fUSESetOption = 1, .Prog15693FLAG = 0x99}, {"1"}, "WXYZ",
         data({0x21}), data({0x21, 0x01, 0x57, 0x58, 0x59, 0x5A, 0x14}), {"ISO15693_WriteSingleBlock受信"}},
        // clang-format on
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.item);
        *static_cast<OptionSettings *>(form) = OptionSettings();
        form->UidFlag = row.flags.UidFlag;
        form->ReadOptionFlag = row.flags.ReadOptionFlag;
        form->ReadUidFlag = row.flags.ReadUidFlag;
        form->WriteOptionFlag = row.flags.WriteOptionFlag;
        form->WriteUidFlag = row.flags.WriteUidFlag;
        form->fUSESetOption = row.flags.fUSESetOption;
        form->Prog15693FLAG = row.flags.Prog15693FLAG;
        form->fBinaryWrite = row.binaryWrite;
        form->fTimeOut = 1;
        if (!row.typed.isEmpty() || !row.text.isNull())
            answerDialog(row.typed, row.text);
        board.clearReceived();
        board.expect('x', static_cast<uint8_t>(row.sentData[0]), ReaderStandIn::ack(row.ackData));
        click(row.item);
        ASSERT_EQ(board.received().size(), 1);
        EXPECT_EQ(hexOf(board.received()[0]), hexOf(buildFrame(0, 'x', row.sentData)));
        EXPECT_EQ(takeLog(), joined(row.log));
    }
    // What the last rows entered is kept for the next dialogs.
    EXPECT_EQ(std::tuple(form->BlockNo, form->MultiBlockNo, form->MultiBlockCount, form->TagByteValue),
              std::tuple(1, 4, 3, 0xA5));
    EXPECT_EQ(form->TagDataText, QStringLiteral("WXYZ"));
}

TEST_F(IsoMenuTest, NackAndSilenceAreLoggedByTheHubAndTheHandlerAddsNothing)
{
    const struct {
        const char *item;
        bool nack;
        QStringList log;
    } cases[] = {
        {"MnReadSingleBlock", true, {"タグからの応答なし", "NACK 受信"}},
        {"MnReadSingleBlock", false, {"レスポンス待ち　タイムオーバー"}},
        {"MnStayQuit", true, {"タグからの応答なし"}},
        {"MnStayQuit", false, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.item) + (c.nack ? " NACK" : " silence"));
        board.clearReceived();
        board.expectAny(c.nack ? ReaderStandIn::nack(4) : ReaderStandIn::silence());
        if (QLatin1String(c.item) == QLatin1String("MnReadSingleBlock"))
            answerDialog({"0"});
        click(c.item);
        EXPECT_EQ(board.received().size(), 1);
        EXPECT_EQ(takeLog(), joined(c.log));
    }
}

// Each item's dialog fills its visible fields from the remembered values; Cancel then sends
// nothing and logs nothing.
TEST_F(IsoMenuTest, DialogsOfferTheRememberedValuesAndCancelSendsNothing)
{
    form->BlockNo = 12;
    form->MultiBlockNo = 4;
    form->MultiBlockCount = 2;
    form->TagByteValue = 0x1A5;
    form->TagDataText = QStringLiteral("xy");
    const struct {
        const char *item;
        int binaryWrite;
        const char *seen;
    } cases[] = {
        {"MnReadSingleBlock", 0, "IntEd=12"},
        {"MnWriteSingleBlock", 0, "IntEd1=12 EdString=xy"},
        {"MnWriteSingleBlock", 1, "EdAddr=C EdData3=0 EdData2=0 EdData1=0 EdData0=0"},
        {"Write1BlockSelect1", 1, "IntEd1=12 EdString=xy"},
        {"MnReadMultiBlock", 0, "IntEd1=4 IntEd2=2"},
        {"MnWriteMultiBlock", 0, "IntEd1=4 IntEd2=2 EdString=xy"},
        {"MnWrite2Blocks", 0, "IntEd1=4 EdString=xy"},
        {"MnWriteAFI", 0, "IntEd3=A5"},
        {"MnWrietDSFID", 0, "IntEd3=A5"},
    };
    for (const auto &c : cases) {
        form->fBinaryWrite = c.binaryWrite;
        QStringList seen;
        whenDialogOpens<RadixDialog>([&seen](RadixDialog *d) {
            for (const char *name : {"IntEd", "IntEd1", "IntEd2", "IntEd3", "EdString", "EdAddr", "EdData3", "EdData2",
                                     "EdData1", "EdData0"})
                if (auto *edit = d->findChild<QLineEdit *>(QLatin1String(name)); edit && edit->isVisibleTo(d))
                    seen << QLatin1String(name) + QLatin1Char('=') + edit->text();
            d->reject();
        });
        click(c.item, 50);
        EXPECT_EQ(seen.join(QLatin1Char(' ')).toStdString(), c.seen) << c.item;
    }
    EXPECT_TRUE(board.received().isEmpty());
    EXPECT_EQ(takeLog(), "");
}

TEST_F(IsoMenuTest, SystemInformationIsShownOnlyFromACompleteAnswerToThisRequest)
{
    const struct {
        const char *what;
        ReaderStandIn::Responder reply;
        QStringList log;
    } steps[] = {
        {"all fields",
         ReaderStandIn::ack(data({0x2B, 0x0E}, uid + bytesOf({0x20, 0x3F, 0xFF, 0xA5}))),
         {"ISO15693_GetSystemInfo受信", uidHex, "AFI: 32[0x20]", "ブロック数: 64", "ブロックサイズ: 32",
          "ＩＣ基準: 0xA5"}},
        // Announces AFI, memory size and IC reference but carries only the AFI.
        {"short answer after a full one",
         ReaderStandIn::ack(data({0x2B, 0x0E}, uid + bytesOf({0x09}))),
         {"レスポンスフォーマットエラー"}},
        {"no optional field", ReaderStandIn::ack(data({0x2B, 0x00}, uid)), {"ISO15693_GetSystemInfo受信", uidHex}},
        {"NACK", ReaderStandIn::nack(5, 0x0F), {"Unknown error.", "NACK 受信"}},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.what);
        board.expectAny(step.reply);
        click("MnGetSystemInfo");
        EXPECT_EQ(takeLog(), joined(step.log));
    }
}

TEST_F(IsoMenuTest, WritesTooLongForOneFrameAreRefusedOnceWithoutWaitOrTime)
{
    const QString single = QStringLiteral("ISO15693_WriteSingleBlock: DATA長オーバー");
    const QString multi = QStringLiteral("ISO15693_WriteMultiBlock: DATA長オーバー");
    const struct {
        const char *item;
        int blockSize;
        int writeUidFlag;
        QStringList typed;
        QString refusal; // empty: the write fits and goes out with LEN 255
    } cases[] = {
        {"MnWriteSingleBlock", 253, 0, {"1"}, single},           {"MnWriteSingleBlock", 252, 0, {"1"}, {}},
        {"Write1BlockSelect1", 245, 1, {"1"}, single},           {"MnWriteMultiBlock", 4, 0, {"0", "255"}, multi},
        {"MnWriteMultiBlock", 0x40000000, 0, {"0", "3"}, multi}, // 2^32 bytes: no 32-bit wrap to 0
        {"MnWriteMultiBlock", 1, 1, {"0", "242"}, {}},
    };
    form->fTimeOut = 1;
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.item) + " " + std::to_string(c.blockSize));
        form->TagBlockSize = c.blockSize;
        form->WriteUidFlag = c.writeUidFlag;
        board.clearReceived();
        board.expectAny(ReaderStandIn::silence());
        answerDialog(c.typed, QStringLiteral("A"));
        click(c.item, 50);
        if (c.refusal.isEmpty()) {
            ASSERT_EQ(board.received().size(), 1);
            EXPECT_EQ(static_cast<uint8_t>(board.received()[0][3]), 255);
        } else {
            EXPECT_TRUE(board.received().isEmpty());
        }
        EXPECT_EQ(takeLog(),
                  c.refusal.isEmpty() ? joined({"レスポンス待ち　タイムオーバー", timeLine}) : joined({c.refusal}));
    }
}

// The operator may start another command while one waits: each dialog belongs to its own
// call, so the nested command runs to its end and the outer one then finishes its own steps.
TEST_F(IsoMenuTest, ACommandStartedDuringAWaitRunsInsideItWithItsOwnDialog)
{
    form->fTimeOut = 1;
    board.expect('x', 0x20, ReaderStandIn::pieces({{buildFrame(0, '0', data({0x20}, bytesOf({1, 2, 3, 4}))), 400}}));
    board.expect('x', 0x22, ReaderStandIn::ack(data({0x22})));
    QElapsedTimer clock;
    clock.start();
    QList<qint64> arrivals;
    QObject::connect(&board, &ReaderStandIn::frameReceived, [&] { arrivals << clock.elapsed(); });
    answerDialog({"1"});
    QTimer::singleShot(150, form, [this] {
        answerDialog({"2"});
        click("MnLockBlock", 0);
    });
    click("MnReadSingleBlock");
    ASSERT_EQ(board.received().size(), 2);
    EXPECT_EQ(hexOf(board.received()[1]), hexOf(buildFrame(0, 'x', data({0x22, 0x02, 0x10}))));
    EXPECT_EQ(form->BlockNo, 2);
    // The outer read timed from its own start, before its request went out, to its end after
    // the nested command's: at least the time between the two requests.
    const QStringList times = form->Memo1->toPlainText().split(QLatin1Char('\n')).filter(QStringLiteral("実行時間: "));
    ASSERT_EQ(times.size(), 2);
    const QStringList outer = times[1].mid(6).split(QLatin1Char(':'));
    EXPECT_GE(outer[0].toInt() * 60000 + outer[1].toInt() * 1000 + outer[2].toInt(), arrivals[1] - arrivals[0])
        << times[1].toStdString();
    EXPECT_TRUE(form->findChildren<QDialog *>().isEmpty());
}

TEST_F(IsoMenuTest, ClosingDuringAWaitEndsTheHandlerWithoutItsTimeLine)
{
    form->fTimeOut = 1;
    board.expectAny(ReaderStandIn::silence());
    QTimer::singleShot(100, [] { setApplicationClosing(true); });
    click("MnLockAFI", 0);
    setApplicationClosing(false);
    EXPECT_EQ(takeLog(), "");
}

// The custom commands name their flags byte, and some wait without a time line.
TEST_F(IsoMenuTest, AFixedFlagsByteGoesOutAsItIsAndAWaitWithoutTimeLineLogsNone)
{
    form->fTimeOut = 1;
    form->WriteUidFlag = 3;
    board.expect('x', 0x28, ReaderStandIn::ack(data({0x28})));
    EXPECT_TRUE(runSender(*form, uint8_t{0x11}, TagSteps::WaitOnly, &TTComXDlg::ISO15693_LockAFI));
    ASSERT_EQ(board.received().size(), 1);
    EXPECT_EQ(hexOf(board.received()[0]), hexOf(buildFrame(0, 'x', data({0x28, 0x11}, uid))));
    EXPECT_EQ(takeLog(), "ISO15693_LockAFI受信");
}

// With no script the stand-in's reader answers: a block written through the menu is read back,
// and once locked it refuses the next write with the tag's error code.
TEST_F(IsoMenuTest, TheStandInsReaderKeepsWhatTheMenusWrite)
{
    form->WriteUidFlag = 1;
    const std::string uidText = hexOf(uid);
    const struct {
        const char *item;
        QStringList typed;
        QString text;
        std::string sent;
        QStringList log;
    } steps[] = {
        // clang-format off
        {"MnWriteSingleBlock", {"3"}, "WXYZ", "x 21 03 57 58 59 5A 11 " + uidText, {"ISO15693_WriteSingleBlock受信"}},
        {"MnReadSingleBlock", {"3"}, {}, "x 20 03 00",
         {"ISO15693_ReadSingleBlock受信", "data(Hex): 57 58 59 5A ", "data: WXYZ"}},
        {"MnLockBlock", {"3"}, {}, "x 22 03 11 " + uidText, {"ISO15693_LockBlock受信"}},
        {"MnWriteSingleBlock", {"3"}, "ABCD", "x 21 03 41 42 43 44 11 " + uidText,
         {"The specified block is locked and its content cannot be changed.", "NACK 受信"}},
        // clang-format on
    };
    for (const auto &step : steps) {
        answerDialog(step.typed, step.text);
        click(step.item);
        EXPECT_EQ(takeSent(), step.sent) << step.item;
        EXPECT_EQ(takeLog(), joined(step.log)) << step.item;
    }
    EXPECT_EQ(board.model().tags[0].blocks[3], QByteArray("WXYZ"));
}

#include "tests/app/WindowHubFixture.h"

#include "app/CommandRunner.h"
#include "controls/DialogKit.h"
#include "link/Frame.h"

#include <QCheckBox>
#include <QComboBox>
#include <QWindow>

namespace
{

QByteArray data(std::initializer_list<int> head, const QByteArray &tail = {})
{
    return bytesOf(head) + tail;
}

} // namespace

class CommandRunnerTest : public WindowHubTest
{
protected:
    // Opens the runner from its menu item and runs body inside it; Cancel closes it after.
    void withRunner(const std::function<void(TCoomandDlg1 &)> &body)
    {
        bool ran = false;
        whenDialogOpens<TCoomandDlg1>([&](TCoomandDlg1 *runner) {
            body(*runner);
            ran = true;
            if (runner->isVisible())
                runner->CancelBtn->click();
        });
        form->RunItem(QStringLiteral("N14"));
        EXPECT_TRUE(ran);
    }

    // The flags controls: the UID item and the six bit groups from bit 2 up.
    static void setFlags(TCoomandDlg1 &r, int uidItem, std::array<int, 6> bits)
    {
        r.CBUidFlag->setCurrentIndex(uidItem);
        ChoiceGroup *groups[] = {r.RGSelect, r.RGAddress, r.RGOption, r.RGAFI, r.RGNBSlots, r.RBDummy1};
        for (int i = 0; i < 6; ++i)
            groups[i]->setItemIndex(bits[i]);
    }

    // Clicks the progress box's stop button through its window, as the operator does while the
    // runner is modal.
    static void clickStop(TGuage1Dlg *gauge)
    {
        ASSERT_NE(gauge, nullptr);
        const QPoint at = gauge->Button1->mapTo(gauge, gauge->Button1->rect().center());
        QTest::mouseClick(gauge->windowHandle(), Qt::LeftButton, {}, at);
    }
};

// Each command with a flags composition: the frame it sends and what the runner's memo shows
// (its own lines and the hub's, which go there while it is open and not to the main log).
TEST_F(CommandRunnerTest, EachCommandSendsItsFrameWithTheComposedFlags)
{
    const QString uidHexLine = uidHex;
    const struct {
        int command; // -1: none chosen
        int uidItem;
        std::array<int, 6> bits;
        QStringList typed;
        QString text;
        ReaderStandIn::Responder reply;
        QByteArray sent; // empty: nothing sent
        QStringList log;
    } rows[] = {
        // clang-format off
        {0, 0, {0, 0, 0, 0, 1, 0}, {}, {}, ReaderStandIn::ack(data({0x01, 0x00}, uid)), data({0x01, 0x40}),
         {"Inventory", "ISO15693_Inventory受信", "DSFID: 0[0x00]", uidHexLine, "command OK"}},
        {1, 1, {0, 0, 0, 0, 0, 0}, {}, {}, ReaderStandIn::ack(data({0x02})), data({0x02, 0x01}, uid),
         {"StayQuiet", "ISO15693_StayQuit受信"}},
        {2, 1, {0, 1, 0, 0, 0, 0}, {"5"}, {}, ReaderStandIn::ack(data({0x20}, "ABCD")),
         data({0x20, 0x05, 0x09}, uid),
         {"ReadSingleBlock", "ISO15693_ReadSingleBlock受信", "data(Hex): 41 42 43 44 ", "data: ABCD", "command OK"}},
        // The first write of an opening offers "TEST".
        {3, 0, {0, 0, 1, 0, 0, 0}, {"2"}, {}, ReaderStandIn::ack(data({0x21})),
         data({0x21, 0x02, 0x54, 0x45, 0x53, 0x54, 0x10}), {"WriteSingleBlock", "ISO15693_WriteSingleBlock受信",
         "command OK"}},
        {4, 2, {1, 0, 0, 0, 0, 0}, {"1", "2"}, {}, ReaderStandIn::ack(data({0x23}, "ABCDEFGHIJKL")),
         data({0x23, 0x01, 0x02, 0x06}), {"ReadMultiBlock", "ISO15693_ReadMultiBlock受信", "data: ABCDEFGHIJKL",
         "command OK"}},
        {5, 0, {0, 0, 0, 0, 0, 0}, {"1", "1"}, "AB", ReaderStandIn::ack(data({0x24})),
         data({0x24, 0x01, 0x01, 0x41, 0x42, 0, 0, 0, 0, 0, 0, 0x00}), {"WriteMultiBlock",
         "ISO15693_WriteMultiBlock受信", "command OK"}},
        {6, 0, {0, 0, 0, 0, 0, 0}, {}, {}, ReaderStandIn::nack(4), data({0x25, 0x00}, uid),
         {"SelectTag", "タグからの応答なし", "NACK 受信", "command NG"}},
        {7, 2, {0, 0, 0, 0, 0, 1}, {}, {}, ReaderStandIn::ack(data({0x26})), data({0x26, 0x82}),
         {"ResetToReady", "ISO15693_ResetToReady受信", "command OK"}},
        {8, 0, {0, 0, 0, 1, 0, 0}, {"A5"}, {}, ReaderStandIn::ack(data({0x27})), data({0x27, 0xA5, 0x20}),
         {"WriteAFI", "ISO15693_WriteAFI受信", "command OK"}},
        {9, 0, {0, 0, 0, 0, 0, 0}, {"5A"}, {}, ReaderStandIn::ack(data({0x29})), data({0x29, 0x5A, 0x00}),
         {"WriteDSFID", "ISO15693_WrietDSFID受信", "command OK"}},
        // Every bit group at 1 and the current UID: 0xFE, which is not the addressed mode.
        {10, 2, {1, 1, 1, 1, 1, 1}, {}, {}, ReaderStandIn::ack(data({0x2B, 0x00}, uid)), data({0x2B, 0xFE}),
         {"GetSystemInfo", "ISO15693_GetSystemInfo受信", uidHexLine, "command OK"}},
        {11, 0, {0, 0, 0, 0, 0, 0}, {"0", "3"}, {}, ReaderStandIn::ack(data({0x2C, 0, 0, 0, 0})),
         data({0x2C, 0x00, 0x03, 0x00}), {"GetMBlockSecSt", "ISO15693_GetMBlockSecSt受信", "command OK"}},
        {-1, 0, {0, 0, 0, 0, 0, 0}, {}, {}, ReaderStandIn::silence(), {}, {"no command"}},
        // clang-format on
    };
    withRunner([&](TCoomandDlg1 &r) {
        for (const auto &row : rows) {
            SCOPED_TRACE(row.command);
            setFlags(r, row.uidItem, row.bits);
            r.CBCommand->setCurrentIndex(row.command);
            if (!row.typed.isEmpty() || !row.text.isNull())
                answerDialog(row.typed, row.text);
            board.clearReceived();
            if (!row.sent.isEmpty())
                board.expectAny(row.reply);
            r.OKBtn->click();
            if (row.sent.isEmpty()) {
                EXPECT_TRUE(board.received().isEmpty());
            } else {
                ASSERT_EQ(board.received().size(), 1);
                EXPECT_EQ(hexOf(board.received()[0]), hexOf(buildFrame(0, 'x', row.sent)));
            }
            EXPECT_EQ(takeLog(r.Memo1), joined(row.log));
        }
        EXPECT_EQ(takeLog(), "");
    });
    // Closed, the hub writes into the main log again.
    board.expectAny(ReaderStandIn::ack(data({0x26})));
    click("MnResetToReady");
    EXPECT_EQ(takeLog(), "ISO15693_ResetToReady受信");
}

// A loop sends the same request over and over while OK, the command list and the flags are
// disabled; the progress box's stop button ends it. Escape during a loop stops it too and
// closes the runner once the loop has unwound.
TEST_F(CommandRunnerTest, LoopRunsUntilStoppedAndEscapeClosesTheRunnerAfterTheLoop)
{
    board.setDefaultResponder(ReaderStandIn::ack(data({0x26})));
    withRunner([&](TCoomandDlg1 &r) {
        r.CBCommand->setCurrentIndex(7);
        r.CBfLoop->setChecked(true);
        bool disabled = false;
        QTimer::singleShot(400, &r, [&] {
            disabled = !r.OKBtn->isEnabled() && !r.CBCommand->isEnabled() && !r.RGSelect->isEnabled() &&
                       !r.CBUidFlag->isEnabled();
            clickStop(r.LoopGauge());
        });
        r.OKBtn->click();
        EXPECT_TRUE(disabled);
        EXPECT_EQ(r.LoopGauge(), nullptr);
        EXPECT_TRUE(r.OKBtn->isEnabled() && r.CBCommand->isEnabled());
        const QList<QByteArray> sent = board.received();
        ASSERT_GE(sent.size(), 2);
        for (const QByteArray &frame : sent)
            EXPECT_EQ(hexOf(frame), hexOf(buildFrame(0, 'x', data({0x26, 0x00}))));
        const QStringList each(sent.size(), QStringLiteral("ISO15693_ResetToReady受信 | command OK"));
        EXPECT_EQ(takeLog(r.Memo1), "ResetToReady | " + joined(each));

        // StayQuiet in a loop: a frame every 100 ms or so, no wait and no line of its own.
        board.clearReceived();
        board.setDefaultResponder(ReaderStandIn::silence());
        r.CBCommand->setCurrentIndex(1);
        QTimer::singleShot(550, &r, [&] { QTest::keyClick(&r, Qt::Key_Escape); });
        r.OKBtn->click();
        EXPECT_FALSE(r.isVisible());
        EXPECT_GE(board.received().size(), 3);
        EXPECT_LE(board.received().size(), 7);
        EXPECT_EQ(takeLog(r.Memo1), "StayQuiet");
    });
}

// A block write too long for one frame is refused by its sender before any loop starts: its
// line once, then "command NG"; nothing is sent and no progress box appears.
TEST_F(CommandRunnerTest, WritesTooLongForOneFrameAreRefusedBeforeAnyLoop)
{
    const struct {
        int command;
        int blockSize;
        int uidItem;
        QStringList typed;
        QString refusal; // empty: it fits and the loop runs
    } cases[] = {
        {3, 253, 0, {"1"}, QStringLiteral("ISO15693_WriteSingleBlock: DATA長オーバー")},
        {3, 245, 1, {"1"}, QStringLiteral("ISO15693_WriteSingleBlock: DATA長オーバー")},
        {3, 244, 1, {"1"}, {}},
        {5, 1, 1, {"0", "243"}, QStringLiteral("ISO15693_WriteMultiBlock: DATA長オーバー")},
        {5, 0x40000000, 0, {"0", "3"}, QStringLiteral("ISO15693_WriteMultiBlock: DATA長オーバー")},
        {5, 1, 0, {"0", "250"}, {}},
    };
    board.setDefaultResponder(ReaderStandIn::ack(data({0x21})));
    withRunner([&](TCoomandDlg1 &r) {
        r.CBfLoop->setChecked(true);
        for (const auto &c : cases) {
            SCOPED_TRACE(std::to_string(c.command) + " " + std::to_string(c.blockSize));
            form->TagBlockSize = c.blockSize;
            r.CBUidFlag->setCurrentIndex(c.uidItem);
            r.CBCommand->setCurrentIndex(c.command);
            board.clearReceived();
            answerDialog(c.typed, QStringLiteral("A"));
            bool looped = false;
            QTimer watch;
            QObject::connect(&watch, &QTimer::timeout, [&] {
                if (TGuage1Dlg *gauge = r.LoopGauge()) {
                    looped = true;
                    gauge->Button1Click();
                }
            });
            watch.start(50);
            r.OKBtn->click();
            EXPECT_EQ(looped, c.refusal.isEmpty());
            const std::string log = takeLog(r.Memo1);
            if (c.refusal.isEmpty()) {
                ASSERT_FALSE(board.received().isEmpty());
                EXPECT_EQ(static_cast<uint8_t>(board.received()[0][3]), 255);
            } else {
                EXPECT_TRUE(board.received().isEmpty());
                EXPECT_EQ(log, joined({r.CBCommand->currentText(), c.refusal, "command NG"}));
            }
        }
    });
}

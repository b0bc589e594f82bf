#include "tests/app/WindowHubFixture.h"

#include "app/CommandRunner.h"
#include "controls/DialogKit.h"
#include "link/Frame.h"

#include <QCheckBox>
#include <QComboBox>
#include <QWindow>

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

    // The flags controls set to a byte: its low two bits as the UID item, one group per bit above.
    static void setFlags(TCoomandDlg1 &r, uint8_t flags)
    {
        r.CBUidFlag->setCurrentIndex(flags & 3);
        ChoiceGroup *groups[] = {r.RGSelect, r.RGAddress, r.RGOption, r.RGAFI, r.RGNBSlots, r.RBDummy1};
        for (int i = 0; i < 6; ++i)
            groups[i]->setItemIndex((flags >> (i + 2)) & 1);
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

// Each command with a flags composition, answered by the stand-in's reader model: the frame it
// sends and the runner's memo (the command's name, the hub's lines, which go there and not to the
// main log while the runner is open, and the verdict).
TEST_F(CommandRunnerTest, EachCommandSendsItsFrameWithTheComposedFlags)
{
    const struct {
        int command; // -1: none chosen
        uint8_t flags;
        QStringList typed;
        QString text;
        QByteArray sent;     // empty: nothing sent
        const char *verdict; // null: none
    } rows[] = {
        {0, 0x40, {}, {}, bytesOf({0x01, 0x40}), "command OK"},
        {1, 0x01, {}, {}, bytesOf({0x02, 0x01}) + uid, nullptr},
        {2, 0x09, {"5"}, {}, bytesOf({0x20, 0x05, 0x09}) + uid, "command OK"},
        // The first write of an opening offers "TEST".
        {3, 0x10, {"2"}, {}, bytesOf({0x21, 0x02, 0x54, 0x45, 0x53, 0x54, 0x10}), "command OK"},
        {4, 0x02, {"1", "2"}, {}, bytesOf({0x23, 0x01, 0x02, 0x02}), "command OK"},
        {5, 0x00, {"1", "1"}, "AB", bytesOf({0x24, 0x01, 0x01, 0x41, 0x42, 0, 0, 0, 0, 0, 0, 0x00}), "command OK"},
        {6, 0x00, {}, {}, bytesOf({0x25, 0x00}) + uid, "command OK"},
        {7, 0x82, {}, {}, bytesOf({0x26, 0x82}), "command OK"},
        {8, 0x20, {"A5"}, {}, bytesOf({0x27, 0xA5, 0x20}), "command OK"},
        {9, 0x00, {"5A"}, {}, bytesOf({0x29, 0x5A, 0x00}), "command OK"},
        // Every group at 1 and the current UID: 0xFE; with the select flag and no tag selected
        // since the reset, the reader answers NACK.
        {10, 0xFE, {}, {}, bytesOf({0x2B, 0xFE}), "command NG"},
        {11, 0x00, {"0", "3"}, {}, bytesOf({0x2C, 0x00, 0x03, 0x00}), "command OK"},
        {-1, 0x00, {}, {}, {}, nullptr},
    };
    withRunner([&](TCoomandDlg1 &r) {
        for (const auto &row : rows) {
            SCOPED_TRACE(row.command);
            setFlags(r, row.flags);
            r.CBCommand->setCurrentIndex(row.command);
            if (!row.typed.isEmpty())
                answerDialog(row.typed, row.text);
            board.clearReceived();
            r.OKBtn->click();
            if (row.sent.isEmpty()) {
                EXPECT_TRUE(board.received().isEmpty());
            } else {
                ASSERT_EQ(board.received().size(), 1);
                EXPECT_EQ(hexOf(board.received()[0]), hexOf(buildFrame(0, 'x', row.sent)));
            }
            const QStringList log = QString::fromStdString(takeLog(r.Memo1)).split(QStringLiteral(" | "));
            EXPECT_EQ(log.first(), row.command < 0 ? QStringLiteral("no command") : r.CBCommand->currentText());
            EXPECT_EQ(joined(log.filter(QRegularExpression(QStringLiteral("^command (OK|NG)$")))),
                      row.verdict ? row.verdict : "");
            EXPECT_EQ(log.size() > 1, row.sent.size() > 0) << "the hub's lines in the runner's memo";
        }
        EXPECT_EQ(takeLog(), "");
    });
    // Closed, the hub writes into the main log again.
    click("MnResetToReady");
    EXPECT_EQ(takeLog(), "ISO15693_ResetToReady受信");
}

// A loop sends the same request over and over while OK, the command list and the flags are
// disabled; the progress box's stop button ends it. Escape during a loop stops it too and
// closes the runner once the loop has unwound.
TEST_F(CommandRunnerTest, LoopRunsUntilStoppedAndEscapeClosesTheRunnerAfterTheLoop)
{
    board.setDefaultResponder(ReaderStandIn::ack(bytesOf({0x26})));
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
            EXPECT_EQ(hexOf(frame), hexOf(buildFrame(0, 'x', bytesOf({0x26, 0x00}))));
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
    const QString single = QStringLiteral("ISO15693_WriteSingleBlock: DATA長オーバー");
    const QString multi = QStringLiteral("ISO15693_WriteMultiBlock: DATA長オーバー");
    const struct {
        int command;
        int blockSize;
        int uidItem;
        QStringList typed;
        QString refusal; // empty: it fits (LEN 255) and the loop runs
    } cases[] = {
        {3, 253, 0, {"1"}, single},     {3, 245, 1, {"1"}, single},
        {5, 1, 1, {"0", "243"}, multi}, {5, 0x40000000, 0, {"0", "3"}, multi},
        {5, 1, 0, {"0", "250"}, {}},
    };
    board.setDefaultResponder(ReaderStandIn::ack(bytesOf({0x21})));
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
            QTimer stop; // gone with this case, so it can't fire into the next one
            stop.setSingleShot(true);
            QObject::connect(&stop, &QTimer::timeout, [&] {
                if ((looped = r.LoopGauge() != nullptr))
                    r.LoopGauge()->Button1Click();
            });
            stop.start(100);
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

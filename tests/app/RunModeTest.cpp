#include "tests/app/WindowHubFixture.h"

#include "controls/DialogKit.h"
#include "link/ResultGrid.h"
#include "setup/DousaModeDialog.h"

#include <QAccessible>
#include <QAction>
#include <QToolBar>
#include <QToolButton>

namespace
{

class RunModeTest : public WindowHubTest
{
protected:
    void SetUp() override
    {
        WindowHubTest::SetUp();
        form->Cmdmode = 0x03;
        form->SysMode = 0x1A;
        form->PolingTime = 0x0102;
        form->BlockNo = 7;
        board.model().mode = {0x02, 0x44, 0x98};
        board.model().param(0xAB) = 0x41;
    }

    // The command-mode menus as one word: all enabled, all disabled, or mixed (the shown ones:
    // Qt reports a hidden item as disabled).
    std::string menus() const
    {
        int on = 0, n = 0;
        for (const char *name : {"MnDebug1", "MnISO15693", "MnSet1", "MnCustom", "MnCustTILight1", "TBtModeSet",
                                 "TBtDataWrite", "MnGateMode", "MnM750ROM1"}) {
            on += form->Item(QLatin1String(name))->isEnabled();
            ++n;
        }
        const bool gates = form->Item("MnGateCmd")->isEnabled() && form->Item("M7501")->isEnabled();
        return std::string(on == n ? "enabled" : on == 0 ? "disabled" : "mixed") + (gates ? "" : ", gates off");
    }
};

} // namespace

TEST_F(RunModeTest, EachSenderSwitchesToItsModeWithoutAWaitAndTheMenusFollow)
{
    const struct {
        const char *item;
        int fInvTxOff;
        const char *sent;
        const char *menus;
        const char *pressed; // the mode tool button checked afterwards, if the item presses one
    } rows[] = {
        {"MnAutoScan", 0, "N 00 01 00 1A 01 01 02", "disabled", nullptr},
        {"MnSetCmdMode", 0, "N 00 00 00 1A 01 01 02", "enabled", nullptr},
        {"TBtSetATRMD", 1, "O AB | N AB 59 | N 00 01 00 1A 01 01 02", "disabled", nullptr},
        {"TBtSetCmdMode", 1, "N 00 00 00 1A 01 01 02", "enabled", nullptr},
        {"Test11", 1, "O AB | N AB 59 | N 00 50 00 1A 01 01 02", "disabled", nullptr},
        {"TBtSetTest1Mode", 0, "N 00 50 00 1A 01 01 02", "disabled", nullptr},
        {"Test31", 1, "N 00 52 00 1A 01 01 02", "disabled", nullptr},
        {"Test41", 0, "N 00 53 00 1A 01 01 02", "disabled", nullptr},
        {"Test51", 0, "N 00 54 00 1A 01 01 02", "disabled", nullptr},
        {"MnSetCmd1", 0, "N 00 00 00 1A 01 01 02", "enabled", "TBtSetCmdMode"},
        {"MnSetAuto1", 1, "O AB | N AB 59 | N 00 01 00 1A 01 01 02", "disabled", "TBtSetATRMD"},
        {"MnSetInv1", 0, "N 00 50 00 1A 01 01 02", "disabled", "TBtSetTest1Mode"},
    };
    for (const auto &r : rows) {
        form->fInvTxOff = r.fInvTxOff;
        click(r.item);
        EXPECT_EQ(takeSent(), r.sent) << r.item;
        EXPECT_EQ(menus(), r.menus) << r.item;
        if (r.pressed) {
            EXPECT_TRUE(form->Item(QLatin1String(r.pressed))->isChecked()) << r.item;
        }
        EXPECT_EQ(form->Cmdmode, 0x03) << r.item; // the switch doesn't follow the reader
        EXPECT_TRUE(form->MainEnabled()) << r.item;
        EXPECT_EQ(form->fLogOn, 1) << r.item;
    }
    EXPECT_EQ(board.model().param(0xAB), 0x59);
}

TEST_F(RunModeTest, AModeButtonPressedThroughAccessibilitySwitchesAsAMouseClickDoes)
{
    auto button = [this](const char *name) { return form->ToolBar1->findChild<QToolButton *>(QLatin1String(name)); };
    auto accessible = [&](const char *name) { return QAccessible::queryAccessibleInterface(button(name)); };
    // The second TBtSetATRMD: pressed again, the button stays pressed and the mode goes again.
    for (auto [pressed, sent, menusAfter] : {std::tuple{"TBtSetCmdMode", "N 00 00 00 1A 01 01 02", "enabled"},
                                             {"TBtSetATRMD", "N 00 01 00 1A 01 01 02", "disabled"},
                                             {"TBtSetATRMD", "N 00 01 00 1A 01 01 02", "disabled"},
                                             {"TBtSetTest1Mode", "N 00 50 00 1A 01 01 02", "disabled"},
                                             {"TBtSetCmdMode", "N 00 00 00 1A 01 01 02", "enabled"}}) {
        QAccessibleActionInterface *actions = accessible(pressed)->actionInterface();
        // The mouse first, then whatever a reader may pick from the offered actions but the focus move.
        QStringList ways = actions->actionNames();
        ways.removeAll(QAccessibleActionInterface::setFocusAction());
        ASSERT_FALSE(ways.isEmpty()) << pressed;
        for (const QString &way : QStringList{QStringLiteral("mouse")} + ways) {
            if (way == QLatin1String("mouse"))
                QTest::mouseClick(button(pressed), Qt::LeftButton);
            else
                actions->doAction(way);
            QTest::qWait(200);
            const std::string what = std::string(pressed) + " " + way.toStdString();
            EXPECT_EQ(takeSent(), sent) << what;
            EXPECT_EQ(menus(), menusAfter) << what;
            for (const char *name : {"TBtSetCmdMode", "TBtSetATRMD", "TBtSetTest1Mode"}) {
                EXPECT_EQ(form->Item(QLatin1String(name))->isChecked(), qstrcmp(name, pressed) == 0)
                    << what << ": " << name;
                EXPECT_EQ(accessible(name)->state().checked, qstrcmp(name, pressed) == 0) << what << ": " << name;
            }
        }
    }
    // The other tool buttons keep Qt's own press.
    EXPECT_EQ(accessible("TBtSetConf")->actionInterface()->actionNames(),
              QStringList{QAccessibleActionInterface::pressAction()});

    // Behind a modal dialog, where the mouse can't reach it, a reader's press does nothing either.
    whenDialogOpens<TDousaMode1Dlg>([&](TDousaMode1Dlg *d) {
        accessible("TBtSetATRMD")->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        d->reject();
    });
    click("MnSetDousa");
    EXPECT_EQ(takeSent(), "O 00");
    EXPECT_TRUE(form->Item("TBtSetCmdMode")->isChecked());
}

TEST_F(RunModeTest, TheWriteTestAsksForItsBlockAndSwitchesEvenWhenTheDialogIsCancelled)
{
    answerDialog({"9"});
    click("Test21");
    EXPECT_EQ(takeSent(), "N 00 51 00 1A 01 09 00");
    EXPECT_EQ(form->BlockNo, 9);

    whenDialogOpens<RadixDialog>([](RadixDialog *d) { d->reject(); });
    click("Test21");
    EXPECT_EQ(takeSent(), "N 00 51 00 1A 01 09 00");
    EXPECT_EQ(form->BlockNo, 9);
}

TEST_F(RunModeTest, AfterARestartTheFirstSwitchReadsTheReadersModeAndTheSecondDoesNot)
{
    form->fReloadMode = 1;
    click("MnSetCmdMode");
    EXPECT_EQ(takeSent(), "O 00 | N 00 00 44 98 01 01 02");
    EXPECT_EQ(form->SysMode, 0x98);
    EXPECT_EQ(form->fReloadMode, 0);
    click("MnSetCmdMode");
    EXPECT_EQ(takeSent(), "N 00 00 00 98 01 01 02");

    // A failed read is silent: the switch goes on with SysMode and a second byte of 0.
    form->fReloadMode = 1;
    board.expect('O', 0x00, ReaderStandIn::silence());
    click("MnAutoScan", 0);
    EXPECT_EQ(takeSent(), "O 00 | N 00 01 00 98 01 01 02");
    EXPECT_EQ(form->fReloadMode, 0);
}

TEST_F(RunModeTest, WithMenuDispEveryMenuStaysEnabledOutsideCommandMode)
{
    form->fMenuDisp = 1;
    click("MnAutoScan");
    EXPECT_EQ(menus(), "enabled");
}

TEST_F(RunModeTest, AnFKeyDuringAGuardedWaitSendsNothing)
{
    // Shown as an operator has it, without the start-up road: its first step gives up at once
    // while the program counts as closing.
    setApplicationClosing(true);
    form->show();
    QTest::qWait(50);
    setApplicationClosing(false);
    QApplication::setActiveWindow(form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    form->StringGrid1->setFocus();
    QTest::keyClick(form->StringGrid1, Qt::Key_F6);
    QTest::qWait(200);
    EXPECT_EQ(takeSent(), "N 00 01 00 1A 01 01 02"); // the key works while the window is enabled
    takeLog();

    // The EEPROM editor waits for a read that never comes, with the window disabled.
    form->fAllEEPROMSet = 1;
    board.expect('O', 0x70, ReaderStandIn::silence());
    QTimer::singleShot(300, [this] { QTest::keyClick(form->StringGrid1, Qt::Key_F6); });
    click("MnSetEEPROM");
    EXPECT_EQ(takeSent(), "O 70 01 14");
    EXPECT_EQ(takeLog(), "レスポンス待ち　タイムオーバー | ERROR: RxEepromData");
    EXPECT_TRUE(form->MainEnabled());
}

TEST_F(RunModeTest, TheOperatingModeDialogShowsTheReadersModeAndWritesWhatWasChosen)
{
    form->PolingTime = 0x0102;
    form->BlockNo = 7;
    form->fVER121 = 0;
    board.model().mode = {0x55, 0x44, 0x98}; // an unknown code; 38400 bit/s, which this list lacks
    whenDialogOpens<TDousaMode1Dlg>([](TDousaMode1Dlg *d) {
        EXPECT_EQ(d->ComboBox1->currentIndex(), 0);
        EXPECT_EQ(d->CBSpeed->currentIndex(), -1);
        EXPECT_EQ(d->GbBuzzer->itemIndex(), 1);
        EXPECT_FALSE(d->EdPolTime->isVisibleTo(d));
        d->OKBtn->click();
    });
    click("MnSetDousa");
    EXPECT_EQ(takeSent(), "O 00 | N 00 00 44 18 01 01 02");
    EXPECT_EQ(form->Cmdmode, 0x00);
    EXPECT_EQ(form->SysMode, 0x18);

    // The polling time goes high byte first; the write test sends BlockNo in its place.
    form->fVER121 = 1;
    board.model().mode = {0x03, 0x44, 0x98};
    for (auto [index, store, sent] :
         {std::tuple{3, true, "O 00 | N 10 03 44 98 01 12 34"}, {6, false, "O 00 | N 00 51 44 98 01 07 00"}}) {
        whenDialogOpens<TDousaMode1Dlg>([index, store](TDousaMode1Dlg *d) {
            EXPECT_TRUE(d->EdPolTime->isVisibleTo(d));
            EXPECT_EQ(d->CBSpeed->currentIndex(), 2);
            typeInto(d->EdPolTime, "4660");
            d->ComboBox1->setCurrentIndex(index);
            d->CBWriteEEPROM->setChecked(store);
            d->OKBtn->click();
        });
        click("MnSetDousa");
        EXPECT_EQ(takeSent(), sent);
        EXPECT_EQ(form->PolingTime, 4660);
        board.model().mode = {0x03, 0x44, 0x98};
    }
    EXPECT_EQ(form->Cmdmode, 0x51);

    MessageBoxRecorder boxes;
    board.expect('O', 0x00, ReaderStandIn::silence());
    click("MnSetDousa", 0);
    EXPECT_EQ(boxes.texts(), QStringList{"リーダーライターとの通信が出来ません、接続を確認してください"});
}

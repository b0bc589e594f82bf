#include "tests/app/StartupFixture.h"

#include "app/HubLink.h"
#include "link/ResultGrid.h"
#include "platform/Cp932.h"
#include "tests/support/TestSupport.h"

#include <QAbstractItemDelegate>
#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <QToolBar>

#include <functional>
#include <stdexcept>

namespace
{

class MainWindowTest : public StartupFixture
{
protected:
    QByteArray savedCsv(const QString &chosen)
    {
        FileDialogRecorder dialogs({{chosen, 1}});
        form->RunItem("MnFileSave1");
        EXPECT_EQ(dialogs.requests.value(0).fileName, dir.filePath("datalist.csv"));
        QFile f(dir.filePath("datalist.csv"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace

TEST_F(MainWindowTest, AfterStartUpWithDefaultSettingsOnlyFileGateM750HelpAndThePopUpAreUsable)
{
    // Every item the menu rules name, by the state the rules leave it in.
    const struct {
        const char *names;
        bool visible;
        bool enabled; // Qt reports a hidden action as disabled too
    } states[] = {
        {"MnDataClear MnSetInv MnSelTag MnChkDataTime MnEEPROM MnCmdOutp N12 ToolButton2 MnSetCmd MnReadRAM1 "
         "MnWriteRAM1 MnSelRy MnWrite2Blocks MnLock2Blocks MnMydWriteByte1 MnMydWriteReread1 MnTAGIT1 MnSetEEPROM "
         "EEPROM21 MnSetUserCode MnSetAFI MnAFI1 MnSetMemSW MnSetWaitTimer MnSetMode1 MnPolWrite1 IOBEEPROMCmd "
         "MnTXOffTime1 MnSetBlockSize MnEEPROM1 MnGetCUID MnSetCUID MnCustTI1 MnCustFilips MnCustFujitu "
         "MnCustSTMicro MnParaData1 MnTimingRegister1 MnGetModelName MnWriteEXT1 MnScanModeSet MnGateEEPROM_READ "
         "MnGateEEPROM_WRITE MnLEDBUZ1 MnQUIT_Cmd MnBuzFreq2 MnLockBytes1 MnCommCommand MnTagTest1 MnBuzFreq "
         "MnInventoryAFI1 MnSetBuz MnNoReadCmd MnSetRetry MnRDLoop1 MnSetAnci MnSetRWIDNUM MnM750_Sepa MnM750ReStart "
         "MnM750Bps MnM750ProgMode ReadLoopPolling1 Inventory16Slots1 MnLockBlock MnLockAFI MNLockDSFID MnLockEAS1 "
         "MnSetCOMPort MnComPara ",
         false, false},
        {"MnDebug1 MnISO15693 MnMyd1 MnSet1 MnCustom TBtModeSet TBtSetConf TBtDataWrite MnGateMode MnGeteEEPROM "
         "MnGateDispOutSate MnSensorState MnCountEEPROM MnCountData MnContTimgRes MnM750outinfo MnM750mcountvalu "
         "MnM750spkvolume MnM750ROM1 MnM750GetType ",
         true, false},
        {"MnFile MnFileSave1 MnSetTCPIP1 MnSetSpeed MnPing MnTelnet1 FileExit1 MnGateCmd MnMelodyLEDCmd "
         "MnDispCountDlg M7501 MnM750GCount MnCustTILight1 MnHelp HelpAbout1 Copy1 MnGridClr MnSetCmd1 MnSetAuto1 "
         "MnSetInv1 TBtSetCmdMode TBtSetATRMD TBtSetTest1Mode ",
         true, true},
    };
    EXPECT_EQ(run({answerAddressDialog(), connectBoard(), whenRunning([this] {
                       processPendingMessages(0); // one idle moment
                       form->close();
                   })}),
              0);
    for (const auto &state : states)
        for (const QString &name : QString::fromLatin1(state.names).split(' ', Qt::SkipEmptyParts)) {
            ASSERT_NE(form->Item(name), nullptr) << name.toStdString();
            EXPECT_EQ(form->Item(name)->isVisible(), state.visible) << name.toStdString();
            EXPECT_EQ(form->Item(name)->isEnabled(), state.enabled) << name.toStdString();
        }
    EXPECT_EQ(form->Item("MnInventory1Slot1")->shortcut(), QKeySequence("Ctrl+F1"));
    EXPECT_EQ(form->Item("MnGridClr")->shortcut(), QKeySequence("F9"));
}

// The start-up road runs the rules of the window's first show; every other rule runs here in
// each of its branches, and every registered handler's name is looked up in the tree.
TEST_F(MainWindowTest, EveryRegisteredNameAndEveryNameTheMenuRulesUseIsInTheMenuTree)
{
    EXPECT_EQ(run({answerAddressDialog(), connectBoard(), whenRunning([this] {
                       for (const QString &name : form->HandlerNames())
                           EXPECT_NE(form->Item(name), nullptr) << name.toStdString();
                       EXPECT_TRUE(form->HandlerNames().contains("FileExit1"));
                       EXPECT_NO_THROW({
                           form->UpdateMenuState(1);
                           form->UpdateMenuState(0);
                           form->ShowLockMenus();
                           form->ToolBar1DblClick(Qt::ShiftModifier | Qt::ControlModifier);
                           form->ToolBar1DblClick(Qt::NoModifier);
                       });
                       form->RunItem("FileExit1");
                   })}),
              0);
}

TEST_F(MainWindowTest, AnUnknownOrDoubledNameFailsLoudlyAndNamesItself)
{
    TKV8AppForm &w = make();
    const struct {
        const char *name;
        std::function<void()> use;
    } cases[] = {
        {"MnNoSuchItem", [&] { w.RegisterHandler("MnNoSuchItem", &TKV8AppForm::Copy1Click); }},
        {"MnReadSingleBlock", [&] { w.RegisterHandler("MnReadSingleBlock", &TKV8AppForm::Copy1Click); }},
        {"MnInventry", [&] { w.setItemVisible("MnInventry", true); }},
        {"MnISO15963", [&] { w.setItemEnabled("MnISO15963", true); }},
    };
    for (const auto &c : cases) {
        try {
            c.use();
            ADD_FAILURE() << c.name << " was taken";
        } catch (const std::logic_error &e) {
            EXPECT_TRUE(std::string(e.what()).ends_with(c.name)) << e.what();
        }
    }
}

TEST_F(MainWindowTest, FlagsFromTheSettingsFileShowTheirItems)
{
    writeSettings("[Option]\r\nfCmdOutpStr=1\r\nfDispEXTSet1=1\r\nfCommComand=1\r\nfM750Cmd=1\r\n"
                  "EnabLockBlock=1\r\nfVER121=0\r\nfCustomCmd1=1\r\nfUseInOutFormat=0\r\n");
    TKV8AppForm &w = make();
    processPendingMessages(0);
    for (const char *name : {"MnCmdOutp", "N12", "MnSetAnci", "MnSetRWIDNUM", "MnCommCommand", "MnM750ReStart",
                             "MnM750_Sepa", "MnLockBlock", "MnLockEAS1", "ReadLoopPolling1"})
        EXPECT_TRUE(w.Item(name)->isVisible()) << name;
    EXPECT_FALSE(w.Item("MnSetSpeed")->isVisible());
    EXPECT_FALSE(w.Item("MnM750ReStart")->isEnabled());
    EXPECT_EQ(w.StringGrid1->columnCount(), 4);
}

TEST_F(MainWindowTest, LockItemsAreHiddenAgainAtEveryIdleMomentAndToolBarDoubleClickTogglesTheInitItem)
{
    TKV8AppForm &w = make();
    w.Item("MnLock2Blocks")->setVisible(true);
    processPendingMessages(0);
    EXPECT_FALSE(w.Item("MnLock2Blocks")->isVisible());

    QTest::mouseDClick(w.ToolBar1, Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier, QPoint(2, 2));
    EXPECT_TRUE(w.Item("MnEEPROM1")->isVisible());
    QTest::mouseDClick(w.ToolBar1, Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier, QPoint(2, 2));
    EXPECT_FALSE(w.Item("MnEEPROM1")->isVisible());
    w.ToolBar1DblClick(Qt::ShiftModifier | Qt::ControlModifier);
    w.ToolBar1DblClick(Qt::ShiftModifier);
    EXPECT_FALSE(w.Item("MnEEPROM1")->isVisible());
}

TEST_F(MainWindowTest, LogClearsAtThousandLinesAndSuspendNeitherNestsNorLosesTheHubsTraceSwitches)
{
    TKV8AppForm &w = make();
    w.TcpLinkParam.TCPPort = 0; // listen where the system says
    w.CreateHub(0);
    TComXDlg->fDispTxInfo = 1;
    TComXDlg->fDispRecInfo = 0;
    w.Memo1->clear();
    for (int i = 0; i < 1000; ++i)
        w.AddLog(QString::number(i));
    EXPECT_EQ(w.Memo1->document()->blockCount(), 1000);
    w.AddLog("next");
    EXPECT_EQ(w.Memo1->toPlainText(), "next");

    w.SuspendLog();
    w.SuspendLog();
    EXPECT_EQ(TComXDlg->fDispTxInfo, 0);
    w.AddLog("hidden");
    w.ResumeLog();
    w.AddLog("shown");
    EXPECT_EQ(w.Memo1->toPlainText(), "next\nshown");
    EXPECT_EQ(TComXDlg->fDispTxInfo, 1);
    EXPECT_EQ(TComXDlg->fDispRecInfo, 0);
}

// A fresh grid gives nineteen empty lines of five cells; wire bytes go out unchanged, other
// cells in CP932.
TEST_F(MainWindowTest, CsvOfAFreshGridAndOfRowsAndAnUncreatableFileSaysSo)
{
    make();
    QByteArray empty;
    for (int i = 0; i < 19; ++i)
        empty += ",,,,\r\n";
    const QByteArray fresh = savedCsv(dir.filePath("datalist.txt"));
    EXPECT_EQ(fresh, empty) << hexOf(fresh);

    writeSettings("[Option]\r\nfUseInOutFormat=0\r\n");
    TKV8AppForm &w = make();
    setGridRowCount(w.StringGrid1, 3);
    setGridCellBytes(w.StringGrid1, 2, 1, bytesOf({0x82, 0xA0, 0xFF}));
    setGridCellText(w.StringGrid1, 0, 1, "1");
    setGridCellText(w.StringGrid1, 3, 1, "E0 04,01");
    setGridCellText(w.StringGrid1, 1, 2, "入");
    const QByteArray csv = savedCsv(dir.filePath("datalist"));
    const QByteArray expected =
        "1,," + bytesOf({0x82, 0xA0, 0xFF}) + ",E0 04,01\r\n," + unicodeToCp932("入") + ",,\r\n";
    EXPECT_EQ(csv, expected) << hexOf(csv) << "\n" << hexOf(expected);

    MessageBoxRecorder boxes;
    const QString bad = dir.filePath("no/such/x.csv");
    FileDialogRecorder dialogs({{bad, 1}});
    w.RunItem("MnFileSave1");
    EXPECT_EQ(boxes.texts(), QStringList{"ファイル " + bad + " を作成できません。"});
}

TEST_F(MainWindowTest, CopyPutsTheCurrentCellOnTheClipboard)
{
    TKV8AppForm &w = make();
    setGridCellText(w.StringGrid1, 3, 3, "E0 04 01 00");
    w.StringGrid1->setCurrentCell(2, 3);
    w.RunItem("Copy1");
    EXPECT_EQ(QApplication::clipboard()->text(), "E0 04 01 00");
    w.StringGrid1->setCurrentCell(4, 1);
    w.RunItem("Copy1");
    EXPECT_EQ(QApplication::clipboard()->text(), "");
}

TEST_F(MainWindowTest, TheLogAndTheGridOpenThePopUpMenuInPlaceOfTheirOwn)
{
    TKV8AppForm &w = make();
    for (QAbstractScrollArea *area :
         {static_cast<QAbstractScrollArea *>(w.Memo1), static_cast<QAbstractScrollArea *>(w.StringGrid1)}) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10),
                                area->viewport()->mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(area->viewport(), &event);
        EXPECT_TRUE(w.PopupMenu1->isVisible()) << area->objectName().toStdString();
        w.PopupMenu1->hide();
    }
}

TEST_F(MainWindowTest, ClosingSavesTheSettingsBesideTheProgramWithTheForcedValues)
{
    writeSettings("[Option]\r\nUseUSB=0\r\nfM750=0\r\nComPort=7\r\n");
    TKV8AppForm &w = make();
    w.close();
    delete form;
    form = nullptr;
    const QByteArray text = savedSettings();
    EXPECT_TRUE(text.contains("UseUSB=2\r\n"));
    EXPECT_TRUE(text.contains("fM750=1\r\n"));
    EXPECT_TRUE(text.contains("ComPort=7\r\n"));
}

TEST_F(MainWindowTest, GateRecordsWithoutAnOpenMonitorAreLoggedAsText)
{
    TKV8AppForm &w = make();
    w.HubLink()->GateCountEvent(10, QByteArray("count\0rest", 10));
    EXPECT_EQ(w.Memo1->toPlainText(), "count");
}

TEST_F(MainWindowTest, TheRowCountedLastIsPaintedRedWhileTheHubAsksForIt)
{
    TKV8AppForm &w = make();
    w.TcpLinkParam.TCPPort = 0; // listen where the system says
    w.CreateHub(0);
    setGridRowCount(w.StringGrid1, 3);
    setGridCellText(w.StringGrid1, 2, 1, "XXXXXXXX");
    setGridCellText(w.StringGrid1, 2, 2, "XXXXXXXX");
    TComXDlg->LastRecRow = 2;
    auto redPixels = [&](int row) {
        QImage image(120, 24, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QStyleOptionViewItem option;
        option.initFrom(w.StringGrid1);
        option.rect = image.rect();
        w.StringGrid1->itemDelegate()->paint(&painter, option, w.StringGrid1->model()->index(row - 1, 2));
        painter.end();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                count += c.red() > 180 && c.green() < 90 && c.blue() < 90;
            }
        return count;
    };
    TComXDlg->fDispCont1 = 1;
    EXPECT_GT(redPixels(2), 0);
    EXPECT_EQ(redPixels(1), 0);
    TComXDlg->fDispCont1 = 0;
    EXPECT_EQ(redPixels(2), 0);
}

#include "tests/app/StartupFixture.h"

#include "controls/FmtEdit.h"
#include "link/Frame.h"
#include "link/ResultGrid.h"
#include "tests/support/TestSupport.h"

#include <QDateTime>
#include <QLabel>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTcpServer>

namespace
{

class StartupTest : public StartupFixture
{
protected:
    Step whenGaugeShows(std::function<void()> act)
    {
        return {[this] { return form->RunningGauge() && form->RunningGauge()->isVisible(); }, std::move(act)};
    }
};

} // namespace

TEST_F(StartupTest, BoardConnectsAndAScanReadReachesLogGridAndStatusBar)
{
    writeSettings("[Option]\r\nTCPServAddr=127.0.0.1\r\nfTCPServer=0\r\n[ComDebug]\r\nfDispRecInfo=1\r\n");
    // A scan read: the UID in wire order (least significant byte first), then the data.
    const QByteArray read = buildFrame(0, 'd', bytesOf({0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0xE0}) + "TAG-0001");
    bool gaugeSeen = false;
    QString statusDuringWait;
    const int code = run({
        answerAddressDialog(),
        whenGaugeShows([&] {
            gaugeSeen = true;
            statusDuringWait = form->StatusBar->currentMessage();
        }),
        connectBoard(),
        whenRunning([&] { board.send(read); }),
        {[&] { return gridCellText(form->StringGrid1, 2, 1) == "TAG-0001"; }, [&] { form->close(); }},
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(gaugeSeen);
    EXPECT_EQ(statusDuringWait, "TCP/IP 接続中...");
    EXPECT_EQ(form->StatusBar->currentMessage(), "");
    EXPECT_EQ(form->StatusPanel1->text(), "読みとり総数： 1");
    EXPECT_EQ(gridCellText(form->StringGrid1, 0, 1), "1");
    EXPECT_EQ(gridCellText(form->StringGrid1, 3, 1), "E0 07 06 05 04 03 02 01 ");
    EXPECT_EQ(hexOf(QByteArray(reinterpret_cast<const char *>(form->CurrentUid), 8)), "01 02 03 04 05 06 07 E0");
    EXPECT_TRUE(form->Memo1->toPlainText().contains("RX:" + QString::fromLatin1(hexOf(read).c_str()) + " "))
        << form->Memo1->toPlainText().toStdString();
    EXPECT_EQ(form->PageControl1->currentIndex(), 1);
    EXPECT_TRUE(form->ST_TCPAddress->isHidden());
    EXPECT_EQ(form->Notebook1->currentWidget(), form->PageTCPIP);
    EXPECT_EQ(TComXDlg, nullptr);
    EXPECT_TRUE(savedSettings().contains("fTCPServer=1\r\n")) << "the dialog's mode is saved";
}

TEST_F(StartupTest, CancelAtTheAddressDialogEndsTheProgramWithoutAHub)
{
    const int code = run({{[] { return addressDialog() != nullptr; },
                           [] { QTest::mouseClick(addressDialog()->CancelBtn, Qt::LeftButton); }}});
    EXPECT_EQ(code, 0);
    EXPECT_EQ(TComXDlg, nullptr);
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_TRUE(QFile::exists(dir.filePath("kv8demo.ini"))) << "settings are saved on every end";
}

TEST_F(StartupTest, CancelDuringTheConnectionWaitEndsTheProgramAtOnce)
{
    const int code =
        run({answerAddressDialog(),
             whenGaugeShows([this] { QTest::mouseClick(form->RunningGauge()->Button1, Qt::LeftButton); })});
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_EQ(form->RunningGauge(), nullptr);
    EXPECT_EQ(TComXDlg, nullptr);
}

TEST_F(StartupTest, EscapeAndTheCloseBoxLeaveTheGaugeWaitingUntilClosingTheWindowEndsIt)
{
    const int code =
        run({answerAddressDialog(),
             whenGaugeShows([this] {
                 QTest::keyClick(form->RunningGauge(), Qt::Key_Escape);
                 form->RunningGauge()->close();
             }),
             {[this] { return form->RunningGauge() && form->RunningGauge()->fRun == 1; }, [this] { form->close(); }}});
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_EQ(TComXDlg, nullptr);
}

TEST_F(StartupTest, ClosingDuringAReplyWaitEndsTheWaitBeforeTheHubIsDeleted)
{
    bool waitResult = true;
    bool hubAliveAfterWait = false;
    const int code = run({
        answerAddressDialog(),
        connectBoard(),
        {[&] { return form->Timer1->isActive() && board.isConnected(); },
         [&] {
             // The stand-in stays silent; the window closes while the wait runs.
             QTimer::singleShot(100, form, [this] { form->close(); });
             TComXDlg->GetRomVersionCmd();
             waitResult = TComXDlg->WaitReply();
             hubAliveAfterWait = TComXDlg != nullptr;
         }},
    });
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(waitResult);
    EXPECT_TRUE(hubAliveAfterWait);
    EXPECT_EQ(TComXDlg, nullptr);
}

TEST_F(StartupTest, APortThatCannotBeListenedOnIsReportedAndTheWaitLastsUntilCancel)
{
    QTcpServer occupier;
    ASSERT_TRUE(occupier.listen(QHostAddress::LocalHost, 0));
    const int port = occupier.serverPort();
    writeSettings("[Option]\r\nTCPPort=" + QByteArray::number(port) + "\r\n");
    MessageBoxRecorder boxes;
    qint64 gaugeShownAt = 0;
    const int code = run(
        {{[] { return addressDialog() != nullptr; }, [] { QTest::mouseClick(addressDialog()->OKBtn, Qt::LeftButton); }},
         whenGaugeShows([&] { gaugeShownAt = QDateTime::currentMSecsSinceEpoch(); }),
         {[&] { return QDateTime::currentMSecsSinceEpoch() - gaugeShownAt > 300; },
          [this] {
              EXPECT_EQ(TComXDlg->fConnected, 0);
              QTest::mouseClick(form->RunningGauge()->Button1, Qt::LeftButton);
          }}});
    EXPECT_EQ(code, 0);
    EXPECT_EQ(boxes.texts(), QStringList{"TCPポート" + QString::number(port) + "で接続を待てません。"});
    EXPECT_TRUE(form->Memo1->toPlainText().contains("ServerSocket1 Listen Error: "));
}

TEST_F(StartupTest, LanAddressDialogJoinsTheOctetsInDecimalAfterTheFocusedFieldsExitRule)
{
    ASSERT_TRUE(board.listen(0));
    writeSettings("[Option]\r\nfUseGrobalIP=1\r\nfTCPServer=0\r\nTCPServAddr=10.1.2.3\r\n");
    const QString boardPort = QString::number(board.serverPort());
    const int code = run({
        {[] { return qobject_cast<TSetTCPIPDlg *>(QApplication::activeModalWidget()) != nullptr; },
         [&] {
             auto *d = qobject_cast<TSetTCPIPDlg *>(QApplication::activeModalWidget());
             ASSERT_TRUE(QTest::qWaitForWindowExposed(d));
             EXPECT_EQ(d->OKBtn->text(), "接続");
             EXPECT_EQ(d->EdTCPIP1[3]->GetText(), "3");
             d->EdTCPIP1[0]->SetText("127");
             d->EdTCPIP1[1]->SetText("000");
             d->EdTCPIP1[2]->SetText("");
             d->EdTCPIP1[3]->SetText("+1");
             d->EdTCPServPort->setFocus();
             d->EdTCPServPort->selectAll();
             QTest::keyClicks(d->EdTCPServPort, boardPort);
             d->accept(); // confirmed from code while the port field still has the focus
         }},
        {[&] { return form->Timer1->isActive() && board.isConnected(); }, [&] { form->close(); }},
    });
    EXPECT_EQ(code, 0);
    const QByteArray text = savedSettings();
    EXPECT_TRUE(text.contains("TCPServAddr=127.0.0.1\r\n")) << text.constData();
    EXPECT_TRUE(text.contains("TCPServPort=" + boardPort.toLatin1() + "\r\n"));
}

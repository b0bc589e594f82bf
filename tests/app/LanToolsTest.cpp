#include "tests/app/WindowHubFixture.h"

#include "app/BoardSettingsDialog.h"
#include "app/TelnetControl.h"
#include "controls/FmtEdit.h"
#include "platform/MemoSink.h"
#include "tools/standin/LanBoardConsole.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTcpServer>

namespace
{

const QByteArray readLines = "madr\r\nl_ip\r\nl_pt\r\nf_ip\r\nf_pt\r\nmask\r\nconn\r\nbps\r\ntimv\r\nkeep\r\ntimr\r\n";

// The LAN tools against the stand-in board: its telnet console on one loopback port, its
// reader's data port on another (the hub connects there as a client once the operator has
// confirmed the board's address), and the hub first serving the usual stand-in.
class LanToolsTest : public WindowHubTest
{
protected:
    void SetUp() override
    {
        WindowHubTest::SetUp();
        ASSERT_TRUE(console.listen());
        ASSERT_TRUE(dataPort.listen());
        dataPort.setDefaultResponder(dataPort.modelReader());
        form->TelnetPort = console.port();
    }

    // The LAN dialog of the set-up answered with the stand-in board's address and data port.
    void answerLanDialog()
    {
        const quint16 port = dataPort.serverPort();
        whenDialogOpens<TSetTCPIPDlg>([port](TSetTCPIPDlg *d) {
            d->SetAddressText(QStringLiteral("127.0.0.1"));
            d->EdTCPServPort->SetValue(port);
            d->OKBtn->click();
        });
    }

    // The window's log without the hub's socket events.
    std::string lanLog()
    {
        QStringList lines = form->Memo1->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        lines.removeIf([](const QString &line) {
            return line.startsWith(QLatin1String("ServerSocket1")) || line.startsWith(QLatin1String("ClientSocket1")) ||
                   line.startsWith(QLatin1String("ActiveConnections"));
        });
        form->Memo1->clear();
        return joined(lines);
    }

    // The hub's link back up as a client of the board's data port.
    bool linkReopened()
    {
        return waitFor([this] { return TComXDlg->fConnected && !TComXDlg->TcpServerMode && dataPort.isConnected(); },
                       5000);
    }

    LanBoardConsole console;
    ReaderStandIn dataPort;
};

} // namespace

TEST_F(LanToolsTest, BoardSettingsAreReadIntoTheDialogAndWrittenBackLineByLine)
{
    console.settings["l_ip"] = "10.1.2.3";
    console.settings["madr"] = "02-4B-58-0a-0B-fF";
    answerLanDialog();
    QStringList shown;
    bool factoryOffered = true;
    whenDialogOpens<TParaSet1Dlg>(
        [&](TParaSet1Dlg *d) {
            for (TFmtEdit *edit : d->EdTCPIP1)
                shown << edit->GetText();
            shown << d->EdMacAdr[2]->GetText() << d->ComboBox1->currentText();
            factoryOffered = d->BtDefault->isVisible();
            d->Edmask->SetValue(24);
            d->CBAutoConnect->setChecked(false);
            d->ComboBox1->setCurrentIndex(2);
            d->OKBtn->click();
        },
        15000);
    click("MnTelnet1");
    EXPECT_EQ(shown.join(QLatin1Char(' ')).toStdString(), "10 1 2 3 FF 19.2kbps");
    EXPECT_FALSE(factoryOffered);
    EXPECT_EQ(console.received().toStdString(),
              ("VQJ\r\n\r\n" + readLines +
               "\r\nl_ip=10.1.2.3\r\nl_pt=10777\r\nf_ip=192.168.1.1\r\nf_pt=3335\r\nmask=24\r\nbps=17\r\n"
               "timv=10\r\nkeep=1\r\ntimr=1\r\nsave\r\n")
                  .toStdString());
    EXPECT_EQ(console.saveCount, 1);
    EXPECT_EQ(lanLog(), "Telnet Connect | Telnet Connected | MACアドレス　OK!! | IPアドレス　OK!! | Port値　OK!! | "
                        "IPアドレス(接続先)　OK!! | Port値(接続先)　OK!! | マスク長　OK!! | 自動接続　OK!! | "
                        "通信スピード(RS232C)　OK!! | 送信タイミング　OK!! | Keep　OK!! | timr　OK!! | "
                        "IPアドレス　OK!! | Port値　OK!! | IPアドレス(接続先)　OK!! | Port値(接続先)　OK!! | "
                        "マスク長　OK!! | 通信スピード(RS232C)　OK!! | 送信タイミング　OK!! | Keep　OK!! | "
                        "timr　OK!! | SAVE　OK!! | ------------- 設定　OK! ----------------- | Telnet Disconnect");
    EXPECT_TRUE(linkReopened());
}

// A reply that is no number fails its item and skips the reads after it; a write the board
// refuses ends the writing with the banner of failure. The link comes back all the same.
TEST_F(LanToolsTest, AGarbledReplyAndARefusedWriteEndTheirStepsAndTheLinkIsReopened)
{
    console.setAnswer("mask", ">2x4\r\n");
    console.refuseWrite("f_pt");
    form->fShowEEPROMInit = 1;
    answerLanDialog();
    bool factoryOffered = false;
    whenDialogOpens<TParaSet1Dlg>(
        [&](TParaSet1Dlg *d) {
            factoryOffered = d->BtDefault->isVisible();
            d->OKBtn->click();
        },
        15000);
    click("MnTelnet1");
    EXPECT_TRUE(factoryOffered);
    EXPECT_EQ(console.received(), "VQJ\r\n\r\nmadr\r\nl_ip\r\nl_pt\r\nf_ip\r\nf_pt\r\nmask\r\n\r\n"
                                  "l_ip=192.168.1.100\r\nl_pt=10777\r\nf_ip=192.168.1.1\r\nf_pt=3335\r\n");
    const std::string log = lanLog();
    EXPECT_NE(log.find("Port値(接続先)　OK!! | マスク長　NG!! | IPアドレス　OK!!"), std::string::npos) << log;
    EXPECT_NE(log.find("Port値(接続先)　NG!! | ///////////// 設定　NG! /////////////////"), std::string::npos) << log;
    EXPECT_TRUE(linkReopened());
}

// Nothing listens on the console's port: no event line, every step times out, and confirming
// the dialog (with its design values) reports the lost connection.
TEST_F(LanToolsTest, ARefusedConsoleConnectionTimesOutAndConfirmingReportsItLost)
{
    {
        QTcpServer closed;
        ASSERT_TRUE(closed.listen(QHostAddress(QHostAddress::LocalHost)));
        form->TelnetPort = closed.serverPort();
    }
    answerLanDialog();
    QString mask = QStringLiteral("?");
    whenDialogOpens<TParaSet1Dlg>(
        [&](TParaSet1Dlg *d) {
            mask = d->Edmask->GetText();
            d->OKBtn->click();
        },
        15000);
    click("MnTelnet1");
    EXPECT_EQ(mask, "0");
    EXPECT_EQ(lanLog(),
              "レスポンス待ち　タイムオーバー | レスポンス待ち　タイムオーバー | レスポンス待ち　タイムオーバー | "
              "MACアドレス　NG!! | 接続が切断されました | ///////////// 設定　NG! /////////////////");
    EXPECT_TRUE(linkReopened());
}

// The board's speed over its console, straight: the lines it gets and what is logged.
TEST_F(LanToolsTest, BoardSpeedIsReadAndChangedOnlyWhenItDiffers)
{
    TComXDlg->TcpReaderAddr = QStringLiteral("127.0.0.1");
    struct Row {
        const char *what;
        QByteArray bps;  // the board's speed code, or its whole answer when it starts with '>'
        QByteArray sent; // after the log-in and the empty line
        std::string log;
        int result;
    } rows[] = {
        {"same speed", "16", "bps\r\n", "Get 通信スピード(RS232C)　OK!!", 1},
        {"other speed", "15", "bps\r\nbps=16\r\nsave\r\n",
         "Get 通信スピード(RS232C)　OK!! | Set 通信スピード(RS232C)　OK!! | SAVE　OK!!", 1},
        {"refused", ">NG\r\n", "bps\r\n", "Get 通信スピード(RS232C)　NG!!", 0},
        {"garbage", ">1 6\r\n", "bps\r\n", "Get 通信スピード(RS232C)　NG!!", 0},
    };
    for (const Row &row : rows) {
        console.clearReceived();
        if (row.bps.startsWith('>'))
            console.setAnswer("bps", row.bps);
        else
            console.settings["bps"] = row.bps;
        EXPECT_EQ(form->SetNetBoardSpeed(1), row.result) << row.what;
        EXPECT_EQ(console.received(), "VQJ\r\n\r\n" + row.sent) << row.what;
        EXPECT_EQ(lanLog(), "Telnet Connect | Telnet Connected | " + row.log + " | Telnet Disconnect") << row.what;
    }
    console.setSilent(true);
    EXPECT_EQ(form->SetNetBoardSpeed(1), 0);
    EXPECT_EQ(lanLog(), "Telnet Connect | Telnet Connected | レスポンス待ち　タイムオーバー | "
                        "レスポンス待ち　タイムオーバー | Telnet Disconnect");
}

// On LAN: the reader's mode written with its new speed bits and stored, the reader restarted,
// then the board set to the same speed over its console and the link reopened to it.
TEST_F(LanToolsTest, SpeedChangeOnLanSetsTheReaderThenItsBoard)
{
    board.model().mode = {0x03, 0x00, 0x50};
    form->PolingTime = 0x0102;
    console.settings["bps"] = "15";
    answerLanDialog();
    click("Mn192kbps");
    EXPECT_EQ(takeSent(), "O 00 | N 10 03 00 10 01 01 02 | N 9D");
    EXPECT_EQ(board.model().mode[2], 0x10);
    EXPECT_EQ(form->ComSpeed, 0);
    EXPECT_EQ(form->SysMode, 0x10);
    EXPECT_EQ(console.received(), "VQJ\r\n\r\nbps\r\nbps=16\r\nsave\r\n");
    const std::string log = lanLog();
    EXPECT_NE(log.find("Get 通信スピード(RS232C)　OK!! | Set 通信スピード(RS232C)　OK!! | SAVE　OK!! | Telnet "
                       "Disconnect | Change R/W Speed "),
              std::string::npos)
        << log;
    EXPECT_TRUE(linkReopened());
}

// The reader's speed alone: refused below version 1.21 at 38.4 kbit/s; ComSpeed changes exactly
// when the reader is restarted (also when the mode could not be read), not when the write fails.
TEST_F(LanToolsTest, ReaderSpeedChangeTakesComSpeedOnlyWhenItRestartsTheReader)
{
    struct Row {
        const char *item;
        const char *rom;
        bool readFails;
        bool writeFails;
        std::string sent;
        int result;
        int comSpeed;
        int bitRate;
    } rows[] = {
        {"Mn384kbps", "120", false, false, "O 90 00", 0, 0, 19200},
        {"Mn192kbps", "125", false, true, "O 00 | N 10 00 00 10 01 00 00", 0, 0, 19200},
        {"Mn9600bps", "125", true, false, "O 00 | N 9D", 1, 1, 9600},
        {"Mn384kbps", "125", false, false, "O 90 00 | O 00 | N 10 00 00 90 01 00 00 | N 9D", 1, 2, 38400},
    };
    form->PolingTime = 0;
    for (const Row &row : rows) {
        if (!board.isConnected()) {
            board.connectTo(QStringLiteral("127.0.0.1"), static_cast<quint16>(TComXDlg->listeningPort()));
            ASSERT_TRUE(waitFor([] { return TComXDlg->fConnected != 0; }, 5000));
        }
        form->ComSpeed = 0;
        TComXDlg->CommX1.SetBitRate(19200);
        board.model().romVersion = row.rom;
        board.model().mode = {0x00, 0x00, 0x50};
        if (row.readFails)
            board.expect('O', 0x00, ReaderStandIn::nack(0x01));
        if (row.writeFails)
            board.expect('N', 0x10, ReaderStandIn::nack(0x01));
        takeSent();
        EXPECT_EQ(form->ChangeSerialSpeed(form->Item(QLatin1String(row.item))), row.result) << row.item;
        QTest::qWait(100);
        EXPECT_EQ(takeSent(), row.sent) << row.item;
        EXPECT_EQ(form->ComSpeed, row.comSpeed) << row.item;
        EXPECT_EQ(TComXDlg->CommX1.BitRate(), row.bitRate) << row.item;
    }
    EXPECT_NE(lanLog().find("このROMバージョンは対応していません"), std::string::npos);
}

// The board search on LAN: 19200 first, found there.
TEST_F(LanToolsTest, BoardSearchFindsTheReaderAt19200OnTheFirstTry)
{
    console.settings["bps"] = "16";
    answerLanDialog();
    click("MnChkPort");
    EXPECT_EQ(console.received(), "VQJ\r\n\r\nbps\r\n");
    const std::string log = lanLog();
    EXPECT_NE(
        log.find("------- Check KV8 R/W ----------  | ------- しばらくお待ちください ----------  | Telnet Connect"),
        std::string::npos)
        << log;
    EXPECT_NE(log.find("Telnet Disconnect | ROMバージョン取得 | 125 | Find KV8 R/W  | Speed:19.2kbps"),
              std::string::npos)
        << log;
    EXPECT_TRUE(linkReopened());
}

// The receive buffer keeps the first 16,000 bytes since its last clear: a reply whose CR lies
// past them times out; after a clear the next reply reads. The trace shows both directions.
TEST(TelnetControlTest, ReceiveBufferKeepsItsFirstBytesAndTheTraceShowsBothWays)
{
    LanBoardConsole console;
    ASSERT_TRUE(console.listen());
    console.setAnswer("big", '>' + QByteArray(20000, '7') + "\r\n");
    MemoryMemoSink log;
    TTelNetCont1Dlg telnet(nullptr, &log, QStringLiteral("127.0.0.1"), console.port());
    // The log-in's prompt and that of an empty line in first, as the dialogue takes them.
    telnet.TelnetSend("\r\n");
    waitFor([] { return false; }, 100);
    ASSERT_TRUE(telnet.TelnetExpect("\r\n", ">"));
    telnet.TelnetClearRx();
    telnet.TelnetSend("big\r\n");
    EXPECT_FALSE(telnet.TelnetReadPromptLine());
    EXPECT_EQ(telnet.TelnetRxCount, TTelNetCont1Dlg::TelnetRxSize);
    EXPECT_EQ(log.lines.last(), "レスポンス待ち　タイムオーバー");

    telnet.TelnetTrace = true;
    log.clear();
    telnet.TelnetClearRx();
    telnet.TelnetSend("l_pt\r\n");
    EXPECT_TRUE(telnet.TelnetReadPromptLine());
    EXPECT_EQ(telnet.TelnetReply, "10777");
    // The reply may come in more than one read: each read is one "RX0;" and one "RX:" line.
    const QStringList hex = log.lines.filter(QRegularExpression(QStringLiteral("^(TX:|RX0;)")));
    EXPECT_EQ(hex.join(QString()).remove(QStringLiteral("RX0;")).toStdString(),
              "TX:6C 5F 70 74 0D 0A 6C 5F 70 74 0D 0A 3E 31 30 37 37 37 0D 0A ");
    EXPECT_EQ(log.lines.filter(QStringLiteral("RX:")).join(QString()).remove(QStringLiteral("RX:")),
              "l_pt\r\n>10777\r\n");
}

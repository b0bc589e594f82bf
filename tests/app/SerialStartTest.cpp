#include "tests/app/StartupFixture.h"

#include "controls/DialogKit.h"
#include "platform/SerialLine.h"
#include "platform/SerialPorts.h"
#include "setup/PortSetDlg.h"
#include "tests/app/DialogDriver.h"
#include "tests/support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>

namespace
{

// The serial road through the library: no way in from the settings as loaded, but kept whole.
// The device folder holds no device unless a test links a pseudo-terminal into it, so every
// other open fails with its message box.
class SerialStartTest : public StartupFixture
{
protected:
    void SetUp() override
    {
        StartupFixture::SetUp();
        for (const char *name : {"ttyS0", "ttyUSB0"})
            QDir(sys.path()).mkpath(QString::fromLatin1(name));
        QFile type(sys.filePath("ttyS0/type"));
        ASSERT_TRUE(type.open(QIODevice::WriteOnly));
        type.write("4");
        type.close();
        setSerialRootsForTest(sys.path(), dir.path());
        make().UseUSB = 0;
    }
    void TearDown() override
    {
        StartupFixture::TearDown();
        setSerialRootsForTest(QString(), QString());
    }

    QTemporaryDir sys;
};

} // namespace

TEST_F(SerialStartTest, PortListAndToolBarPageShowThePresentPortsAsComNames)
{
    QStringList ports;
    form->ListSerialPorts(ports);
    EXPECT_EQ(ports, QStringList({"COM1", "COM5"}));
    form->CBReOpen->setChecked(true);
    form->FillComPortList(5, 1);
    EXPECT_EQ(form->CBCOMPort->currentText(), "COM5");
    EXPECT_EQ(form->CBSpeed->currentIndex(), 0);
    EXPECT_FALSE(form->CBReOpen->isChecked());
    EXPECT_FALSE(form->BtReOpen->isEnabled());
    form->FillComPortList(3, 2);
    EXPECT_EQ(form->CBCOMPort->currentIndex(), -1);
    EXPECT_EQ(form->CBSpeed->currentIndex(), 2);
}

TEST_F(SerialStartTest, PortSettingReopensTheChosenPortAndTheToolBarListFollows)
{
    ReaderStandIn reader;
    const QString slave = reader.openPseudoTerminal();
    ASSERT_TRUE(QFile::link(slave, dir.filePath("ttyUSB0")));
    // The hub's port, the item checked when the dialog opens and the one the operator clicks
    // (-1: none), the button, and the port afterwards: COM5 holds the pseudo-terminal.
    const struct {
        int openOn, preselected, pick;
        bool ok;
        int portAfter;
    } rows[] = {
        {1, 0, 4, true, 5},
        {5, 4, 0, false, 5},    // cancelled: the open port stays
        {12, -1, -1, true, 12}, // past COM10: "設定" with nothing chosen reopens nothing
    };
    {
        MessageBoxRecorder boxes;
        form->ComPort = 1;
        form->CreateHub(0);
    }
    for (const auto &row : rows) {
        MessageBoxRecorder boxes; // the ports without a device say so once each
        if (TComXDlg->CommX1.PortNo() != row.openOn)
            TComXDlg->ReopenPort(row.openOn);
        form->ComPort = 0;
        int preselected = -2;
        whenDialogOpens<TPortSetDlg>([&](TPortSetDlg *d) {
            preselected = d->RGSetPort->itemIndex();
            if (row.pick >= 0)
                d->RGSetPort->button(row.pick)->click();
            (row.ok ? d->OKBtn : d->CancelBtn)->click();
        });
        form->RunItem("MnSetCOMPort");
        EXPECT_EQ(preselected, row.preselected) << row.openOn;
        EXPECT_EQ(TComXDlg->CommX1.PortNo(), row.portAfter);
        EXPECT_EQ(TComXDlg->CommX1.HandleValid(), row.portAfter == 5);
        EXPECT_EQ(form->ComPort, row.portAfter);
        EXPECT_EQ(form->CBCOMPort->currentText(), row.portAfter == 5 ? "COM5" : "");
    }
}

TEST_F(SerialStartTest, OpenWithoutAnyPortIsDisabledAndCancelGivesNoHub)
{
    setSerialRootsForTest(dir.path() + "/none", dir.path());
    bool openEnabled = true;
    whenDialogOpens<TOpenCom1Dlg>([&](TOpenCom1Dlg *d) {
        openEnabled = d->OKBtn->isEnabled();
        d->reject();
    });
    EXPECT_EQ(form->OpenSerialAtStart(), 0);
    EXPECT_FALSE(openEnabled);
    EXPECT_EQ(TComXDlg, nullptr);
}

TEST_F(SerialStartTest, ChosenPortOpensTheHubAndANameWithoutANumberKeepsThePort)
{
    form->ComPort = 5;
    form->ComSpeed = 2;
    QString preselected;
    int speedIndex = -1;
    whenDialogOpens<TOpenCom1Dlg>([&](TOpenCom1Dlg *d) {
        preselected = d->STComPort->text();
        speedIndex = d->SpeedIndex();
        d->LBComPort->addItem("COMx");
        d->LBComPort->setCurrentRow(d->LBComPort->count() - 1);
        d->SetSpeedIndex(0);
        d->accept();
    });
    MessageBoxRecorder boxes;
    EXPECT_EQ(form->OpenSerialAtStart(), 1);
    EXPECT_EQ(preselected, "COM5");
    EXPECT_EQ(speedIndex, 2);
    EXPECT_EQ(form->ComPort, 5);
    EXPECT_EQ(form->ComSpeed, 1);
    ASSERT_NE(TComXDlg, nullptr);
    EXPECT_EQ(TComXDlg->TransportKind, 0);
    EXPECT_EQ(boxes.boxes.size(), 1) << "the port that doesn't open is reported once";
    EXPECT_TRUE(form->Memo1->toPlainText().endsWith("NG: Port Open"));
    EXPECT_TRUE(form->menuBar()->isEnabled());
}

TEST_F(SerialStartTest, SearchWithoutAReaderTriesTenPortsAndStartsAt9600)
{
    // Each failed open shows one box; note the speed the hub was trying at that moment.
    QList<int> rates;
    setMessageHook([&](const MessageRequest &) {
        if (auto *hub = form->findChild<TTComXDlg *>())
            rates << hub->CommX1.BitRate();
        return static_cast<int>(Msg::IdOk);
    });
    form->ComSpeed = 2;
    form->SearchReader(nullptr);
    {
        MessageBoxRecorder restoreTheGuard;
    }
    const QStringList lines = form->Memo1->toPlainText().split('\n');
    EXPECT_EQ(lines.filter("Check PORT:").size(), 10);
    EXPECT_EQ(lines.first(), "Check PORT:1");
    EXPECT_EQ(lines.last(), "Not Find KV8 R/W ");
    ASSERT_EQ(rates.size(), 30) << "three speeds on each of ten ports";
    EXPECT_EQ(rates.mid(0, 3), QList<int>({9600, 19200, 38400}));
    ASSERT_NE(TComXDlg, nullptr);
    EXPECT_EQ(TComXDlg->CommX1.PortNo(), 10);
    EXPECT_EQ(TComXDlg->CommX1.BitRate(), 38400);
}

TEST_F(SerialStartTest, ReaderOnAPortIsFoundByTheOpenAndByTheSearch)
{
    ReaderStandIn reader;
    const QString slave = reader.openPseudoTerminal();
    ASSERT_TRUE(QFile::link(slave, dir.filePath("ttyUSB0")));
    reader.setDefaultResponder(ReaderStandIn::ack(QByteArray("\x90"
                                                             "125")));
    form->ComPort = 5;
    form->ComSpeed = 2;
    whenDialogOpens<TOpenCom1Dlg>([](TOpenCom1Dlg *d) { d->accept(); });
    EXPECT_EQ(form->OpenSerialAtStart(), 1);
    EXPECT_EQ(form->Memo1->toPlainText().split('\n').last(), "Find KV8 R/W");
    EXPECT_EQ(lineBitRate(reader.pseudoTerminalMaster()), 38400);

    // COM1 has no device: one box for each of its speeds; COM5 answers at the first.
    MessageBoxRecorder boxes;
    form->Memo1->clear();
    const QStringList ports{"COM1", "COM5"};
    form->SearchReader(&ports);
    EXPECT_EQ(boxes.boxes.size(), 3);
    EXPECT_TRUE(form->Memo1->toPlainText().endsWith("Find KV8 R/W \nPORT:5\nSpeed:9600"))
        << form->Memo1->toPlainText().toStdString();
    EXPECT_EQ(lineBitRate(reader.pseudoTerminalMaster()), 9600);
}

// The port check over COM1..COM10: without a reader each port is left after its first failed
// open; with the reader on COM5 it is found there. Then the tool bar's reopen and the line-speed
// change work on that line, and a reopen of a port without a device reports it.
TEST_F(SerialStartTest, PortCheckToolBarReopenAndSpeedChangeOnASerialLine)
{
    MessageBoxRecorder boxes;
    form->CreateHub(0);
    const auto check = [&] {
        boxes.boxes.clear();
        form->Memo1->clear();
        form->RunItem("MnChkPort");
        return form->Memo1->toPlainText().split('\n');
    };
    QStringList lines = check();
    EXPECT_EQ(lines.filter("Check PORT:").size(), 10);
    EXPECT_EQ(lines.first(), "------- Check KV8 R/W ---------- ");
    EXPECT_EQ(lines.last(), "Not Find KV8 R/W ");
    EXPECT_EQ(boxes.boxes.size(), 10);
    EXPECT_EQ(form->CBSpeed->currentIndex(), -1);
    EXPECT_EQ(form->CBCOMPort->currentIndex(), -1);

    ReaderStandIn reader;
    const QString slave = reader.openPseudoTerminal();
    ASSERT_TRUE(QFile::link(slave, dir.filePath("ttyUSB0")));
    reader.setDefaultResponder(reader.modelReader());
    reader.model().mode = {0x00, 0x00, 0x50};
    lines = check();
    EXPECT_EQ(lines.filter("Check PORT:").size(), 5);
    EXPECT_EQ(lines.mid(lines.size() - 3).join('|'), "Find KV8 R/W |PORT:5|Speed:9600");
    EXPECT_EQ(boxes.boxes.size(), 4);
    EXPECT_EQ(form->ComPort, 5);
    EXPECT_EQ(form->ComSpeed, 1);
    EXPECT_EQ(form->CBCOMPort->currentText(), "COM5");
    EXPECT_EQ(form->CBSpeed->currentIndex(), 0);

    const auto reopen = [&](const char *port, int speedIndex) {
        form->CBReOpen->click();
        form->CBCOMPort->setCurrentText(port);
        form->CBSpeed->setCurrentIndex(speedIndex);
        form->BtReOpen->click();
        EXPECT_FALSE(form->CBReOpen->isChecked());
        EXPECT_TRUE(form->menuBar()->isEnabled());
        return form->Memo1->toPlainText().split('\n').last();
    };
    EXPECT_EQ(reopen("COM5", 2), "Find KV8 R/W");
    EXPECT_EQ(form->ComSpeed, 2);
    EXPECT_EQ(lineBitRate(reader.pseudoTerminalMaster()), 38400);

    form->RunItem("Mn192kbps");
    EXPECT_EQ(form->ComSpeed, 0);
    EXPECT_EQ(reader.model().mode[2], 0x10);
    EXPECT_EQ(lineBitRate(reader.pseudoTerminalMaster()), 19200);
    EXPECT_EQ(form->CBSpeed->currentIndex(), 1);

    EXPECT_EQ(reopen("COM1", 1), "NG: Port Open");
    EXPECT_EQ(form->ComPort, 1);
    EXPECT_EQ(TComXDlg->CommX1.PortNo(), 1);
}

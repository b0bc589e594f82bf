#include "platform/IniFile.h"
#include "platform/Tick.h"
#include "tests/link/ReceiveFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QPlainTextEdit>
#include <QTimer>

#include <sys/stat.h>

namespace
{

class HubCoreTest : public HubFixture
{
protected:
    // The section "ComDebug" as the hub saved it.
    std::string savedSection() const
    {
        const IniFile ini(iniPath());
        std::string text;
        for (const char *key : {"Port", "BaudRate", "ParityBits", "ByteSize", "StopBits", "FlowCont", "IDNo",
                                "fDispRecInfo", "fDispTxInfo", "fWrDebug1", "fDispCont1", "MAX_REC_NO"})
            text += std::string(key) + "=" + std::to_string(ini.ReadInteger("ComDebug", key, -1)) + " ";
        return text;
    }
};

} // namespace

TEST_F(HubCoreTest, WithoutTheSectionTheDefaultsApplyAndClosingCreatesTheFileAndStopsListening)
{
    makeServerHub();
    ASSERT_NE(hub->listeningPort(), 0);
    EXPECT_FALSE(QFile::exists(iniPath())) << "loading never writes";
    EXPECT_EQ(hub->ReadTable.size(), 200u);
    EXPECT_TRUE(hub->FormCloseQuery());
    EXPECT_EQ(hub->listeningPort(), 0);
    EXPECT_EQ(savedSection(), "Port=1 BaudRate=19200 ParityBits=0 ByteSize=8 StopBits=0 FlowCont=0 IDNo=0 "
                              "fDispRecInfo=1 fDispTxInfo=1 fWrDebug1=0 fDispCont1=1 MAX_REC_NO=200 ");
}

TEST_F(HubCoreTest, LoadedSettingsAreSavedBackWithTheFileKeptAroundThem)
{
    writeIni("[Option]\r\nUseUSB=2\r\n[ComDebug]\r\nPort=3\r\nBaudRate=9600\r\nParityBits=2\r\nByteSize=7\r\n"
             "StopBits=2\r\nFlowCont=3\r\nIDNo=258\r\nfDispRecInfo=0\r\nfDispTxInfo=0\r\nfWrDebug1=5\r\n"
             "fDispCont1=0\r\nMAX_REC_NO=0\r\nUnknown=x\r\n");
    makeServerHub(nullptr, 0, 0x104);
    EXPECT_EQ(hub->CommX1.FlowCtrl(), cfcNone) << "FlowCont 3 is no flow control";
    EXPECT_EQ(hub->ReadTable.size(), 200u) << "MAX_REC_NO 0 is kept as read; the table gets the default capacity";
    hub->SaveComSettings();
    // Speed code 0 (19200 bit/s) and port 4 override the section's "BaudRate" and "Port".
    EXPECT_EQ(savedSection(), "Port=4 BaudRate=19200 ParityBits=2 ByteSize=7 StopBits=2 FlowCont=0 IDNo=2 "
                              "fDispRecInfo=0 fDispTxInfo=0 fWrDebug1=5 fDispCont1=0 MAX_REC_NO=0 ");
    IniFile saved(iniPath());
    EXPECT_EQ(saved.ReadInteger("Option", "UseUSB", -1), 2);
    EXPECT_EQ(saved.ReadString("ComDebug", "Unknown", QString()), QStringLiteral("x"));
}

TEST_F(HubCoreTest, ReadTableCapacityIsBoundedWhateverTheSettingSays)
{
    for (const auto &[setting, capacity] : {std::pair{-5, 200}, {0, 200}, {1, 1}, {100000, 100000}, {100001, 100000}})
        EXPECT_EQ(readTableCapacity(setting), capacity) << setting;
    writeIni("[ComDebug]\r\nMAX_REC_NO=2000000000\r\n");
    makeServerHub();
    EXPECT_EQ(hub->MAX_REC_NO, 2000000000);
    EXPECT_EQ(hub->ReadTable.size(), 100000u);
}

TEST_F(HubCoreTest, ReadOnlySettingsFileIsLeftUntouched)
{
    makeServerHub();
    const QByteArray readOnly = "[ComDebug]\r\nPort=7\r\n";
    writeIni(readOnly);
    ASSERT_EQ(::chmod(QFile::encodeName(iniPath()).constData(), 0444), 0);
    hub->IDNo = 9;
    hub->SaveComSettings();
    QFile file(iniPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), readOnly);
    ::chmod(QFile::encodeName(iniPath()).constData(), 0644);
}

TEST_F(HubCoreTest, LogIsEmptiedWhenItHolds250LinesBeforeTheNextLine)
{
    QPlainTextEdit edit;
    PlainTextMemoSink widgetSink(&edit);
    makeServerHub();
    for (MemoSink *sink : {static_cast<MemoSink *>(&memo), static_cast<MemoSink *>(&widgetSink)}) {
        hub->LogMemo = sink;
        sink->clear();
        for (int i = 1; i <= 250; ++i)
            hub->AppendLog(QString::number(i));
        EXPECT_EQ(sink->lineCount(), 250);
        hub->AppendLog(QStringLiteral("next"));
        EXPECT_EQ(sink->lineCount(), 1);
    }
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("next"));
}

TEST_F(HubCoreTest, StopwatchCountsAcrossTheWrapOfTheTickCounter)
{
    makeServerHub();
    // Start 1 ms before the counter wraps.
    setTickOffsetForTest(0xFFFFFFFFu - systemTick());
    EXPECT_TRUE(hub->TimeoutTimer(0, 2000));
    EXPECT_FALSE(hub->TimeoutTimer(1, 2000));
    setTickOffsetForTest(0xFFFFFFFFu - systemTick() + 2500);
    EXPECT_TRUE(hub->TimeoutTimer(1, 2000));
    EXPECT_FALSE(hub->TimeoutTimer(2, 0));
    setTickOffsetForTest(0);
}

TEST_F(HubCoreTest, RingNeverOverwritesUnreadBytes)
{
    makeServerHub();
    std::vector<uint8_t> bytes(20000);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i);
    EXPECT_EQ(hub->WriteRxRing(bytes.data(), 20000), RxRingSize - 1);
    EXPECT_EQ(hub->RxRingFree(), 0);
    EXPECT_EQ(hub->WriteRxRing(bytes.data(), 1), 0);
    // A reader takes 100 bytes; the writer wraps round into the room they leave.
    hub->RxReadIndex = 100;
    EXPECT_EQ(hub->WriteRxRing(bytes.data() + 16383, 200), 100);
    EXPECT_EQ(hub->RxWriteIndex, 99);
    EXPECT_EQ(hub->RxRing[16383], bytes[16383]);
    EXPECT_EQ(hub->RxRing[0], bytes[16384]);
    EXPECT_EQ(hub->RxRing[98], bytes[16383 + 99]);
}

namespace
{

// Answers the serial-parameter dialog as soon as it runs: picks hardware flow control and accepts
// or cancels.
void answerSerialDialog(bool accept)
{
    QTimer::singleShot(0, [accept] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->objectName(), QStringLiteral("SerialSettingsDialog"));
        auto *flowBox = dialog->findChild<QComboBox *>(QStringLiteral("CBFlowControl"));
        flowBox->setCurrentIndex(flowBox->findText(QStringLiteral("ハードウェア")));
        accept ? dialog->accept() : dialog->reject();
    });
}

const QString serialFailure =
    QStringLiteral("COM3がオープン出来ません!!\n\n  ポートを及びパラメータ設定を再確認してください。");

class PortCheckWindow : public ReceiveTestWindow
{
public:
    int RunPortCheckDialog() override
    {
        ++asked;
        return PortCheckUseSerial;
    }
    int asked = 0;
};

} // namespace

TEST_F(HubCoreTest, SerialPortThatCannotOpenIsReportedAndTheDialogSavesOnOkAndReopensEitherWay)
{
    MessageBoxRecorder boxes;
    TTComXDlg hub(nullptr, &memo, 1, 3, TransportSerial, TcpLinkParam{});
    EXPECT_EQ(boxes.texts(), QStringList{serialFailure});
    EXPECT_FALSE(hub.IsTransportOpen());
    EXPECT_EQ(hub.SendFrame(buildFrame(0, 'R', QByteArray())), 0u) << "the hub stays usable";
    boxes.boxes.clear();

    answerSerialDialog(false);
    hub.ConfigureSerialPort();
    EXPECT_EQ(hub.CommX1.FlowCtrl(), cfcNone);
    EXPECT_FALSE(memo.lines.contains(QStringLiteral("設定OK")));
    EXPECT_FALSE(QFile::exists(iniPath()));
    EXPECT_EQ(boxes.texts(), QStringList{serialFailure}) << "only the reopen speaks";

    answerSerialDialog(true);
    hub.ConfigureSerialPort();
    EXPECT_EQ(hub.CommX1.FlowCtrl(), cfcRtsCts);
    EXPECT_EQ(hub.CommX1.BitRate(), 9600);
    EXPECT_EQ(memo.lines.last(), QStringLiteral("設定OK"));
    EXPECT_EQ(IniFile(iniPath()).ReadInteger("ComDebug", "FlowCont", -1), 1);
    EXPECT_EQ(boxes.texts().size(), 2);
}

TEST_F(HubCoreTest, UsbReaderMissingOffersTheSerialPortInstead)
{
    MessageBoxRecorder boxes;
    PortCheckWindow window;
    TTComXDlg hub(nullptr, &memo, 1, 3, TransportUsb, TcpLinkParam{}, &window);
    EXPECT_EQ(window.asked, 1);
    EXPECT_EQ(hub.TransportKind, TransportSerial);
    EXPECT_EQ(boxes.texts(), (QStringList{QStringLiteral("NG : TQRZUsbC1"), serialFailure}));
}

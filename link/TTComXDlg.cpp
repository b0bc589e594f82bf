#include "link/TTComXDlg.h"

#include "link/HubWindow.h"
#include "link/QRZUsbC1.h"
#include "link/SerialSettingsDialog.h"
#include "platform/AppPaths.h"
#include "platform/IniFile.h"
#include "platform/MemoSink.h"
#include "platform/MessageService.h"
#include "platform/SettingsFile.h"
#include "platform/Tick.h"

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QWidget>

TTComXDlg *TComXDlg = nullptr;

namespace
{

const QString section = QStringLiteral("ComDebug");

TCommParityBits parityFromSetting(int value)
{
    switch (value) {
    case 1:
        return cpbOdd;
    case 2:
        return cpbEven;
    default:
        return cpbNone;
    }
}

TCommStopBits stopBitsFromSetting(int value)
{
    switch (value) {
    case 1:
        return csb1p5;
    case 2:
        return csb2;
    default:
        return csb1;
    }
}

TCommFlowCtrls flowFromSetting(int value)
{
    switch (value) {
    case 1:
        return cfcRtsCts;
    case 2:
        return cfcXonXoff;
    default:
        return cfcNone;
    }
}

int flowToSetting(TCommFlowCtrls flow)
{
    switch (flow) {
    case cfcRtsCts:
        return 1;
    case cfcXonXoff:
        return 2;
    default:
        return 0;
    }
}

} // namespace

int readTableCapacity(int maxRecNo)
{
    if (maxRecNo < 1)
        return 200;
    if (maxRecNo > 100000)
        return 100000;
    return maxRecNo;
}

TTComXDlg::TTComXDlg(QObject *Owner, MemoSink *LogMemo_, int ComSpeed, int ComPort, int TransportKind_,
                     TcpLinkParam Tcp, HubWindow *window)
    : QObject(Owner), window_(window)
{
    setObjectName(QStringLiteral("TComXDlg"));
    TransportKind = TransportKind_;
    LogMemo = LogMemo_;
    UsbDevice = nullptr;
    LastCmd = 0;
    ReplyState = ReplyStateNone;
    LastRecRow = 0;
    // The component's settings as the hub's form designed them.
    CommX1.SetBitRate(19200);
    CommX1.SetFlowCtrl(cfcNone);
    CommX1.OnReceive = [this](TCommX &, int count) { CommX1Receive(count); };
    CommX1.OnError = [this](TCommX &, unsigned errors) { CommX1Error(errors); };

    ServerSocket1 = new QTcpServer(this);
    ServerSocket1->setObjectName(QStringLiteral("ServerSocket1"));
    connect(ServerSocket1, &QTcpServer::newConnection, this, [this] { acceptPendingConnections(); });
    ClientSocket1 = newClientSocket();

    LoadComSettings();

    // The caller's port and speed override the section's "Port" and "BaudRate".
    CommX1.SetPortNo(ComPort & 0xFF);
    CommX1.SetBitRate(bitRateOfComSpeed(ComSpeed));

    TcpListenPort = Tcp.TCPPort;
    TcpServerMode = Tcp.fTCPServer;
    TcpReaderPort = Tcp.TCPServPort;
    TcpReaderAddr = Tcp.TCPServAddr;
    fConnected = 0;

    ReadTable.assign(static_cast<size_t>(readTableCapacity(MAX_REC_NO)), tagTAGDATA{});
    ReadCount = 0;

    switch (TransportKind) {
    case TransportUsb:
        openUsbAtStart();
        break;
    case TransportTcp:
        openTcp();
        break;
    case TransportSerial:
        OpenTransport();
        break;
    default:
        break;
    }
}

TTComXDlg::~TTComXDlg()
{
    // Sockets die with the hub: none of their last signals may reach a hub being destroyed.
    for (const QPointer<QTcpSocket> &socket : std::as_const(serverConnections_)) {
        if (socket)
            socket->disconnect(this);
    }
    if (ClientSocket1)
        ClientSocket1->disconnect(this);
    if (ServerSocket1)
        ServerSocket1->disconnect(this);
    delete UsbDevice;
    UsbDevice = nullptr;
    if (TComXDlg == this)
        TComXDlg = nullptr;
}

QWidget *TTComXDlg::ownerWidget() const
{
    return qobject_cast<QWidget *>(parent());
}

void TTComXDlg::LoadComSettings()
{
    const IniFile ini(settingsFilePath());
    // The port is closed while the hub loads its settings: the setters only store them.
    CommX1.SetPortNo(ini.ReadInteger(section, QStringLiteral("Port"), 1));
    CommX1.SetBitRate(ini.ReadInteger(section, QStringLiteral("BaudRate"), 19200));
    CommX1.SetParityBit(parityFromSetting(ini.ReadInteger(section, QStringLiteral("ParityBits"), 0)));
    CommX1.SetCharSize(ini.ReadInteger(section, QStringLiteral("ByteSize"), 8));
    CommX1.SetStopBit(stopBitsFromSetting(ini.ReadInteger(section, QStringLiteral("StopBits"), 0)));
    CommX1.SetFlowCtrl(flowFromSetting(ini.ReadInteger(section, QStringLiteral("FlowCont"), 0)));
    IDNo = static_cast<uint8_t>(ini.ReadInteger(section, QStringLiteral("IDNo"), 0) & 0xFF);
    fDispRecInfo = ini.ReadInteger(section, QStringLiteral("fDispRecInfo"), 1);
    fDispTxInfo = ini.ReadInteger(section, QStringLiteral("fDispTxInfo"), 1);
    fWrDebug1 = ini.ReadInteger(section, QStringLiteral("fWrDebug1"), 0);
    fDispCont1 = ini.ReadInteger(section, QStringLiteral("fDispCont1"), 1);
    MAX_REC_NO = ini.ReadInteger(section, QStringLiteral("MAX_REC_NO"), 200);
}

void TTComXDlg::SaveComSettings()
{
    const QString path = settingsFilePath();
    if (!prepareSettingsFileForWrite(path))
        return;
    IniFile ini(path);
    ini.WriteInteger(section, QStringLiteral("Port"), CommX1.PortNo());
    ini.WriteInteger(section, QStringLiteral("BaudRate"), CommX1.BitRate());
    ini.WriteInteger(section, QStringLiteral("ParityBits"), static_cast<int>(CommX1.ParityBit()));
    ini.WriteInteger(section, QStringLiteral("ByteSize"), CommX1.CharSize());
    ini.WriteInteger(section, QStringLiteral("StopBits"), static_cast<int>(CommX1.StopBit()));
    ini.WriteInteger(section, QStringLiteral("FlowCont"), flowToSetting(CommX1.FlowCtrl()));
    ini.WriteInteger(section, QStringLiteral("IDNo"), IDNo);
    ini.WriteInteger(section, QStringLiteral("fDispRecInfo"), fDispRecInfo);
    ini.WriteInteger(section, QStringLiteral("fDispTxInfo"), fDispTxInfo);
    ini.WriteInteger(section, QStringLiteral("fWrDebug1"), fWrDebug1);
    ini.WriteInteger(section, QStringLiteral("fDispCont1"), fDispCont1);
    ini.WriteInteger(section, QStringLiteral("MAX_REC_NO"), MAX_REC_NO);
    // The settings file is the main window's; a write that fails leaves it as it was.
    ini.UpdateFile();
}

void TTComXDlg::openUsbAtStart()
{
    UsbDevice = new TQRZUsbC1([this](const QString &line) {
        if (window_)
            window_->AddMainLog(line);
    });
    if (UsbDevice->IsOpen())
        return;
    showMessage(QStringLiteral("NG : TQRZUsbC1"), ownerWidget());
    UsbDevice->UsbClose();
    const int answer = window_ ? window_->RunPortCheckDialog() : HubWindow::PortCheckCancel;
    if (answer == HubWindow::PortCheckRetry) {
        if (!UsbDevice->UsbOpen())
            QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
    } else if (answer == HubWindow::PortCheckUseSerial) {
        TransportKind = TransportSerial;
        OpenTransport();
    } else {
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
    }
}

void TTComXDlg::CloseTransport()
{
    try {
        if (TransportKind == TransportTcp) {
            // Also when no board is connected: a listener or a connect in progress must not
            // outlive the transport it belonged to.
            closeTcp();
            fConnected = 0;
        } else if (TransportKind == TransportSerial) {
            if (CommX1.HandleValid())
                CommX1.PortClose();
            fConnected = 0;
        }
    } catch (const std::exception &) {
        fConnected = 0;
    }
}

void TTComXDlg::openSerial(bool setPort, int portNo)
{
    try {
        if (setPort)
            CommX1.SetPortNo(portNo & 0xFF);
        CommX1.PortOpen();
        fConnected = 1;
    } catch (const ECommError &) {
        showMessage(QStringLiteral("COM") + QString::number(CommX1.PortNo()) +
                        QStringLiteral("がオープン出来ません!!\n\n") +
                        QStringLiteral("  ポートを及びパラメータ設定を再確認してください。"),
                    ownerWidget());
    }
}

void TTComXDlg::OpenTransport()
{
    CloseTransport();
    reopen(false, 0);
}

// The opening half of OpenTransport and ReopenPort: an empty ring, then the transport.
void TTComXDlg::reopen(bool setPort, int portNo)
{
    RxWriteIndex = 0;
    RxReadIndex = 0;
    RxSnapshot = 0;
    IdlePolls = 0;
    InFrame = 0;
    streamStarts_.clear();
    ringSource_ = nullptr;
    if (TransportKind == TransportTcp)
        openTcp();
    else if (TransportKind == TransportSerial)
        openSerial(setPort, portNo);
}

void TTComXDlg::ReopenPort(int portNo)
{
    if (TransportKind == TransportSerial) {
        try {
            if (CommX1.HandleValid()) {
                CommX1.PortClose();
                fConnected = 0;
            }
        } catch (const std::exception &) {
            fConnected = 0;
        }
    } else {
        CloseTransport();
    }
    reopen(true, portNo);
}

bool TTComXDlg::IsTransportOpen() const
{
    if (TransportKind == TransportTcp)
        return fConnected != 0;
    return CommX1.HandleValid();
}

void TTComXDlg::AppendLog(const QString &text)
{
    if (!LogMemo)
        return;
    // Emptied at once rather than trimmed line by line.
    if (LogMemo->lineCount() >= 250)
        LogMemo->clear();
    LogMemo->appendLine(text);
}

bool TTComXDlg::TimeoutTimer(int mode, uint32_t ms)
{
    return timeout_.timeout(mode, ms);
}

int TTComXDlg::timeoutLeft(uint32_t ms) const
{
    return timeout_.left(ms);
}

void TTComXDlg::ConfigureSerialPort()
{
    if (CommX1.HandleValid())
        CommX1.PortClose();

    SerialLineSettings line = serialLineSettingsOf(CommX1);
    SerialSettingsDialog dialog(ownerWidget());
    dialog.setWindowTitle(QStringLiteral("COM%1 のプロパティ").arg(CommX1.PortNo()));
    dialog.setSettings(line);
    if (dialog.exec() == QDialog::Accepted) {
        applySerialLineSettings(dialog.settings(), CommX1);
        AppendLog(QStringLiteral("設定OK"));
        SaveComSettings();
    }
    // A cancelled dialog is no error and shows nothing.
    OpenTransport();
}

bool TTComXDlg::FormCloseQuery()
{
    SaveComSettings();
    switch (TransportKind) {
    case TransportUsb:
        delete UsbDevice;
        UsbDevice = nullptr;
        QThread::msleep(50);
        break;
    case TransportTcp:
        closeTcp();
        fConnected = 0;
        break;
    case TransportSerial:
        if (CommX1.HandleValid())
            CommX1.PortClose();
        break;
    default:
        break;
    }
    return true;
}

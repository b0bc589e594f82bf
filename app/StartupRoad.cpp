#include "app/KV8AppForm.h"

#include "app/BusyGuards.h"
#include "app/ConnectionDialogs.h"
#include "app/HubLink.h"
#include "controls/FmtEdit.h"
#include "controls/IntEdit.h"
#include "link/TTComXDlg.h"
#include "platform/MemoSink.h"
#include "platform/PendingMessages.h"
#include "platform/SerialPorts.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

#include <memory>

// The number after the first three characters of a port name ("COM12" -> 12); 0 when none.
int TKV8AppForm::portNumberOf(const QString &name)
{
    bool ok = false;
    const int n = name.mid(3).trimmed().toInt(&ok);
    return ok && n > 0 ? n : 0;
}

void TKV8AppForm::SetHubBitRate(int bitRate)
{
    // An open port applies the rate now too; a refusal there needs no word of its own, since
    // the reopen that follows applies the rate again and reports failure.
    try {
        TComXDlg->CommX1.SetBitRate(bitRate);
    } catch (const ECommError &) {
    }
}

// --- the start-up road ---

void TKV8AppForm::FormShow()
{
    setWindowTitle(QStringLiteral("ＫＶ８シリーズ　デモプログラム"));
    processPendingMessages(0);
    raise();
    activateWindow();
    if (applicationClosing())
        return;

    int ok = 0;
    if (UseUSB == 0) {
        setItemVisible("MnPing", false);
        setItemVisible("MnTelnet1", false);
        ok = OpenSerialAtStart();
    } else {
        setItemVisible("MnPing", true);
        setItemVisible("MnTelnet1", true);
        ok = fUseGrobalIP ? RunTcpIpDialog() : RunIPAddrDialog();
        if (ok && !applicationClosing())
            CreateHub(ComSpeed);
    }
    if (!ok || applicationClosing() || !TComXDlg) {
        close();
        return;
    }

    if (TComXDlg->TransportKind == TransportTcp) {
        // Cancel ends the road at once: nothing after it may touch the hub or the timer.
        if (!runConnectionWait()) {
            close();
            return;
        }
        Notebook1->setCurrentWidget(PageTCPIP);
        if (TcpLinkParam.fTCPServer) {
            ST_TCPPORT->setText(QString::number(TcpLinkParam.TCPPort));
            ST_TCPAddress->hide();
        } else {
            ST_TCPPORT->setText(QString::number(TcpLinkParam.TCPServPort));
            ST_TCPAddress->setText(TcpLinkParam.TCPServAddr);
            ST_TCPAddress->show();
        }
    } else {
        Notebook1->setCurrentWidget(PageRS232C);
        FillComPortList(ComPort, ComSpeed);
    }
    const bool serial = Notebook1->currentWidget() == PageRS232C;
    setItemVisible("MnSetCOMPort", serial);
    setItemVisible("MnComPara", serial);
    setItemVisible("MnSetTCPIP1", !serial);
    Timer1->start();
    if (fUseInOutFormat)
        resize(width() + 65, height());

    if (fDufaultTab >= 0 && fDufaultTab < PageControl1->count()) {
        PageControl1->setCurrentIndex(fDufaultTab);
        PageControl1->setFocus();
    } else {
        PageControl1->setCurrentIndex(-1);
    }
}

void TKV8AppForm::CreateHub(int comSpeed)
{
    TComXDlg = new TTComXDlg(this, memoSink_.get(), comSpeed, ComPort, UseUSB, TcpLinkParam, hubLink_.get());
}

TGuage1Dlg *TKV8AppForm::RunningGauge() const
{
    return gauge_;
}

TGuage1Dlg *TKV8AppForm::makeWaitGauge(const QString &text, bool cancellable)
{
    auto *gauge = new TGuage1Dlg(this);
    gauge->Button1->setVisible(cancellable);
    gauge->Panel2->hide();
    gauge->ProgressBar1->hide();
    gauge->setWindowTitle(QStringLiteral("しばらくお待ちください"));
    gauge->Label1->setText(text);
    StatusBar->showMessage(text);
    return gauge;
}

int TKV8AppForm::runConnectionWait()
{
    auto *gauge = makeWaitGauge(QStringLiteral("TCP/IP 接続中..."), true);
    gauge_ = gauge;
    processPendingMessages(0);
    gauge->show();
    gauge->raise();

    int result = 0;
    for (;;) {
        // Connecting, the cancel button and closing the window are events: no deadline needed.
        processPendingMessages(NoDeadline);
        if (applicationClosing() || !gauge_ || !gauge->fRun)
            break;
        if (TComXDlg && TComXDlg->fConnected) {
            result = 1;
            break;
        }
    }
    delete gauge_;
    StatusBar->clearMessage();
    return result;
}

int TKV8AppForm::RunIPAddrDialog()
{
    TSetIPAddr1Dlg dialog(this, TcpLinkParam);
    if (dialog.exec() != QDialog::Accepted)
        return 0;
    TcpLinkParam = dialog.Param;
    return 1;
}

int TKV8AppForm::RunTcpIpDialog()
{
    TSetTCPIPDlg dialog(this);
    dialog.OKBtn->setText(QStringLiteral("接続"));
    dialog.SetMode(TcpLinkParam.fTCPServer);
    dialog.EdTCPServPort->SetValue(TcpLinkParam.TCPServPort);
    dialog.EdTCPPort->SetValue(TcpLinkParam.TCPPort);
    dialog.RadioGroup1Click();
    dialog.SetAddressText(TcpLinkParam.TCPServAddr);
    if (dialog.exec() != QDialog::Accepted)
        return 0;
    TcpLinkParam.TCPServPort = dialog.EdTCPServPort->GetValue();
    TcpLinkParam.TCPPort = dialog.EdTCPPort->GetValue();
    TcpLinkParam.TCPServAddr = dialog.AddressText();
    TcpLinkParam.fTCPServer = dialog.Mode() == 1 ? 1 : 0;
    return 1;
}

int TKV8AppForm::SetupTcpIpConnection(int forceClient)
{
    if (!TComXDlg)
        return 0;
    TSetTCPIPDlg dialog(this);
    dialog.SetMode(forceClient ? 0 : TComXDlg->TcpServerMode);
    if (forceClient)
        dialog.RadioGroup1->setEnabled(false);
    dialog.EdTCPServPort->SetValue(TComXDlg->TcpReaderPort);
    dialog.EdTCPPort->SetValue(TComXDlg->TcpListenPort);
    dialog.SetAddressText(TComXDlg->TcpReaderAddr);
    if (dialog.exec() != QDialog::Accepted || applicationClosing() || !TComXDlg)
        return 0;
    TComXDlg->TcpReaderPort = dialog.EdTCPServPort->GetValue();
    TComXDlg->TcpListenPort = dialog.EdTCPPort->GetValue();
    TComXDlg->TcpReaderAddr = dialog.AddressText();
    TComXDlg->CloseTransport();
    TComXDlg->TcpServerMode = dialog.Mode() == 1 ? 1 : 0;
    TComXDlg->ReopenPort(0);
    if (!TComXDlg || TComXDlg->TransportKind != TransportTcp)
        return 1;
    if (runConnectionWait())
        return 1;
    close();
    return 0;
}

int TKV8AppForm::WaitTcpConnect()
{
    if (!TComXDlg || TComXDlg->TransportKind != TransportTcp)
        return 0;
    return runConnectionWait();
}

// --- the serial road (no way in from the settings as loaded; kept whole) ---

void TKV8AppForm::ListSerialPorts(QStringList &list)
{
    for (int com : presentComPorts())
        list << QStringLiteral("COM") + QString::number(com);
}

void TKV8AppForm::CBReOpenClick()
{
    const bool on = CBReOpen->isChecked();
    CBCOMPort->setEnabled(on);
    CBSpeed->setEnabled(on);
    BtReOpen->setEnabled(on);
}

void TKV8AppForm::FillComPortList(int port, int comSpeed)
{
    CBReOpen->setChecked(false);
    CBReOpenClick();
    CBSpeed->setCurrentIndex(comSpeed == 0 ? 1 : comSpeed == 1 ? 0 : 2);
    CBCOMPort->clear();
    QStringList ports;
    ListSerialPorts(ports);
    CBCOMPort->addItems(ports);
    CBCOMPort->setCurrentIndex(static_cast<int>(ports.indexOf(QStringLiteral("COM") + QString::number(port))));
}

int TKV8AppForm::OpenSerialAtStart()
{
    auto dialog = std::make_unique<TOpenCom1Dlg>(this);
    dialog->setWindowTitle(QStringLiteral("シリアルポートのオープン"));
    dialog->CBAutoCheck->setChecked(false);
    QStringList ports;
    ListSerialPorts(ports);
    dialog->LBComPort->addItems(ports);
    dialog->UpdateOpenButton();
    if (!ports.isEmpty()) {
        const qsizetype wanted = ports.indexOf(QStringLiteral("COM") + QString::number(ComPort));
        dialog->LBComPort->setCurrentRow(static_cast<int>(wanted >= 0 ? wanted : 0));
        dialog->STComPort->setText(dialog->LBComPort->currentItem()->text());
    }
    dialog->SetSpeedIndex(speedIndexOfComSpeed(ComSpeed));

    int result = 0;
    if (dialog->exec() != QDialog::Accepted || applicationClosing()) {
        result = 0;
    } else if (dialog->CBAutoCheck->isChecked()) {
        SearchReader(&ports);
        result = 1;
    } else {
        const QListWidgetItem *item =
            dialog->LBComPort->currentItem() ? dialog->LBComPort->currentItem() : dialog->LBComPort->item(0);
        // A name without a number leaves the port as it was.
        if (const int n = item ? portNumberOf(item->text()) : 0)
            ComPort = n;
        ComSpeed = comSpeedOfSpeedIndex(dialog->SpeedIndex());
        if (!TComXDlg) {
            CreateHub(ComSpeed);
        } else {
            SetHubBitRate(bitRateOfComSpeed(ComSpeed));
            TComXDlg->ReopenPort(ComPort);
        }
        result = 1;
    }
    if (applicationClosing())
        return 0;
    ReportOpenedPort(result == 1);
    return applicationClosing() ? 0 : result;
}

void TKV8AppForm::ReportOpenedPort(bool probe)
{
    QString message;
    if (const BusyGuard busy(*this); probe && TComXDlg) {
        Timer1->start();
        if (TComXDlg->IsTransportOpen()) {
            TComXDlg->GetRomVersionCmd();
            message = TComXDlg->WaitReply() ? QStringLiteral("Find KV8 R/W") : QStringLiteral("Not Find KV8 R/W");
        } else {
            message = QStringLiteral("NG: Port Open");
        }
    }
    if (!applicationClosing())
        AddLog(message);
}

void TKV8AppForm::SearchReader(const QStringList *ports)
{
    auto *gauge = makeWaitGauge(QStringLiteral("------- Check KV8 R/W ----------"), false);
    QPointer<TGuage1Dlg> guard(gauge);
    gauge->show();
    gauge->raise();
    processPendingMessages(0);

    QList<int> numbers;
    if (ports) {
        for (const QString &name : *ports)
            numbers << portNumberOf(name);
    } else {
        for (int n = 1; n <= 10; ++n)
            numbers << n;
    }

    bool found = false;
    {
        // Searching a list runs with the window disabled and the main log off, so its
        // "Check PORT:" lines are not shown.
        const MainDisabledGuard disabled(*this, ports != nullptr);
        const LogSuspendGuard silenced(*this, LogSuspendGuard::Scope::MainLogOnly, ports != nullptr);
        for (int n : numbers) {
            processPendingMessages(0);
            if (applicationClosing())
                break;
            AddLog(QStringLiteral("Check PORT:") + QString::number(n));
            found = ProbeSerialPort(n, false, [&](const LineSpeed &speed) {
                if (guard)
                    guard->Label1->setText(QStringLiteral("Check PORT:") + QString::number(n) + QLatin1Char(' ') +
                                           QString::fromLatin1(speed.text));
            });
            if (found || applicationClosing())
                break;
        }
    }
    if (!applicationClosing()) {
        if (found && TComXDlg) {
            AddLog(QStringLiteral("Find KV8 R/W "));
            AddLog(QStringLiteral("PORT:") + QString::number(TComXDlg->CommX1.PortNo()));
            AddLog(QStringLiteral("Speed:") + QString::number(TComXDlg->CommX1.BitRate()));
        } else {
            AddLog(QStringLiteral("Not Find KV8 R/W "));
        }
    }
    delete guard;
    StatusBar->clearMessage();
}

bool TKV8AppForm::ProbeSerialPort(int n, bool leaveClosedPort,
                                  const std::function<void(const LineSpeed &)> &beforeSpeed)
{
    for (const LineSpeed &speed : LineSpeeds) {
        if (beforeSpeed)
            beforeSpeed(speed);
        if (!TComXDlg) {
            ComPort = n;
            // The first probe is made at the speed it names, not at the window's setting.
            CreateHub(speed.comSpeed);
        } else {
            SetHubBitRate(speed.bitRate);
            TComXDlg->ReopenPort(n);
        }
        Timer1->start();
        if (TComXDlg->IsTransportOpen()) {
            TComXDlg->GetRomVersionCmd();
            if (TComXDlg->WaitReply())
                return true;
        } else if (leaveClosedPort) {
            return false;
        }
        if (applicationClosing())
            return false;
    }
    return false;
}

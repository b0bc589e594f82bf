// Connection changes of the "ファイル" menu and the tool bar: the LAN connection set up again,
// the reader's line speed changed (on LAN its board's too), the reader looked for on every
// serial port or board speed, a serial port reopened from the tool bar, and the hub's serial
// parameters.

#include "app/BusyGuards.h"
#include "app/KV8AppForm.h"
#include "link/LinkParams.h"
#include "link/TTComXDlg.h"
#include "platform/PendingMessages.h"

#include <QCheckBox>
#include <QComboBox>

namespace
{

// The speed index a speed item stands for (the sender tells which).
int speedIndexOfItem(const QObject *item)
{
    const QString name = item ? item->objectName() : QString();
    return name == QLatin1String("Mn384kbps") ? 2 : name == QLatin1String("Mn192kbps") ? 1 : 0;
}

bool hubOnTcp()
{
    return TComXDlg && TComXDlg->TransportKind == TransportTcp;
}

void logSearchStart(TKV8AppForm &form)
{
    form.AddLog(QStringLiteral("------- Check KV8 R/W ---------- "));
    form.AddLog(QStringLiteral("------- しばらくお待ちください ---------- "));
}

} // namespace

void TKV8AppForm::RegisterConnectionHandlers()
{
    RegisterHandler(QStringLiteral("MnSetTCPIP1"), &TKV8AppForm::MnSetTCPIP1Click);
    for (const char *item : {"Mn9600bps", "Mn192kbps", "Mn384kbps"})
        RegisterHandler(QLatin1String(item), &TKV8AppForm::Mn384kbpsClick);
    RegisterHandler(QStringLiteral("MnChkPort"), &TKV8AppForm::MnChkPortClick);
    RegisterHandler(QStringLiteral("MnComPara"), &TKV8AppForm::MnComParaClick);
}

void TKV8AppForm::MnSetTCPIP1Click(QObject *)
{
    SetupTcpIpConnection(0);
}

void TKV8AppForm::Mn384kbpsClick(QObject *Sender)
{
    if (hubOnTcp())
        ChangeReaderSpeed(Sender);
    else
        ChangeSerialSpeed(Sender);
}

int TKV8AppForm::ChangeSerialSpeed(QObject *Sender)
{
    if (!TComXDlg)
        return 0;
    const LineSpeed &speed = lineSpeedAt(speedIndexOfItem(Sender));
    if (speed.bitRate == LineSpeeds[2].bitRate && TComXDlg->CompareRomVersion(121) < 0) {
        AddLog(QStringLiteral("このROMバージョンは対応していません"));
        return 0;
    }
    if (applicationClosing())
        return 0;

    // The mode is written back as read, with the new speed's bits and the polling time, and
    // stored in the reader's EEPROM too. When it can't be read nothing is written.
    int result = 1;
    uint8_t mode[3] = {Cmdmode, 0, SysMode};
    if (TComXDlg->RxDousaMode(&mode[0], &mode[1], &mode[2])) {
        SysMode = static_cast<uint8_t>((mode[2] & ~ModeSpeedFlagMask) | speed.modeFlags);
        TComXDlg->TxDousaMode(mode[0], mode[1], SysMode, PolingTime, true);
        result = TComXDlg->WaitReply() ? 1 : 0;
    }
    if (applicationClosing())
        return 0;
    if (result == 1) {
        ComSpeed = speed.comSpeed;
        waitFor([] { return false; }, 100);
        {
            const LogSuspendGuard silenced(*this);
            TComXDlg->RESTART_Cmd();
        }
        waitFor([] { return false; }, 200);
        if (applicationClosing() || !TComXDlg)
            return 0;
        SetHubBitRate(speed.bitRate);
        TComXDlg->OpenTransport();
    }
    FillComPortList(ComPort, ComSpeed);
    return result;
}

int TKV8AppForm::ChangeReaderSpeed(QObject *Sender)
{
    if (!ChangeSerialSpeed(Sender) || !SetupTcpIpConnection(1) || applicationClosing())
        return 0;
    int result = 0;
    {
        const HubLinkClosedGuard linkClosed;
        result = SetNetBoardSpeed(speedIndexOfItem(Sender));
    }
    if (result && !applicationClosing() && WaitTcpConnect())
        AddLog(QStringLiteral("Change R/W Speed "));
    return result;
}

void TKV8AppForm::MnChkPortClick(QObject *)
{
    if (hubOnTcp())
        CheckPortLan();
    else
        CheckPortSerial();
}

void TKV8AppForm::CheckPortSerial()
{
    if (!TComXDlg)
        return;
    logSearchStart(*this);
    bool found = false;
    for (int n = 1; n <= 10 && !found && !applicationClosing(); ++n) {
        AddLog(QStringLiteral("Check PORT:") + QString::number(n));
        found = ProbeSerialPort(n, true);
    }
    if (applicationClosing() || !TComXDlg)
        return;
    if (!found) {
        AddLog(QStringLiteral("Not Find KV8 R/W "));
        CBSpeed->setCurrentIndex(-1);
        CBCOMPort->setCurrentIndex(-1);
        return;
    }
    AddLog(QStringLiteral("Find KV8 R/W "));
    AddLog(QStringLiteral("PORT:") + QString::number(TComXDlg->CommX1.PortNo()));
    AddLog(QStringLiteral("Speed:") + QString::number(TComXDlg->CommX1.BitRate()));
    ComPort = TComXDlg->CommX1.PortNo();
    ComSpeed = comSpeedOfBitRate(TComXDlg->CommX1.BitRate());
    FillComPortList(ComPort, ComSpeed);
}

void TKV8AppForm::CheckPortLan()
{
    if (!SetupTcpIpConnection(1) || !TComXDlg || applicationClosing())
        return;
    if (hubOnTcp() && TComXDlg->IsTransportOpen())
        TComXDlg->CloseTransport();
    logSearchStart(*this);
    int found = -1;
    // 19200 first: the board's usual speed.
    for (int index : {1, 0, 2}) {
        bool boardSet = false;
        {
            const HubLinkClosedGuard linkClosed;
            boardSet = SetNetBoardSpeed(index) != 0;
        }
        if (applicationClosing() || !TComXDlg)
            return;
        if (boardSet && WaitTcpConnect()) {
            TComXDlg->GetRomVersionCmd();
            if (TComXDlg->WaitReply()) {
                found = index;
                break;
            }
        }
        if (applicationClosing() || !TComXDlg)
            return;
    }
    if (found < 0) {
        AddLog(QStringLiteral("Not Find KV8 R/W "));
        return;
    }
    AddLog(QStringLiteral("Find KV8 R/W "));
    AddLog(QStringLiteral("Speed:") + QString::fromLatin1(LineSpeeds[found].text));
}

void TKV8AppForm::BtReOpenClick()
{
    if (!TComXDlg)
        return;
    // A name without a number leaves the port as it was.
    if (const int n = portNumberOf(CBCOMPort->currentText()))
        ComPort = n;
    const LineSpeed &speed = lineSpeedAt(CBSpeed->currentIndex());
    ComSpeed = speed.comSpeed;
    SetHubBitRate(speed.bitRate);
    TComXDlg->ReopenPort(ComPort);
    ReportOpenedPort(true);
    CBReOpen->setChecked(false);
}

void TKV8AppForm::MnComParaClick(QObject *)
{
    if (!TComXDlg)
        return;
    TComXDlg->ConfigureSerialPort();
    ComPort = TComXDlg->CommX1.PortNo();
    ComSpeed = comSpeedOfBitRate(TComXDlg->CommX1.BitRate());
    FillComPortList(ComPort, ComSpeed);
}

// The LAN board tools of the "ファイル" menu: the board's settings read, edited and written over
// its telnet console, and the ping scan that finds boards on a network.

#include "app/BoardSettingsDialog.h"
#include "app/BusyGuards.h"
#include "app/KV8AppForm.h"
#include "app/PingDialog.h"
#include "app/TelnetControl.h"
#include "link/LinkParams.h"
#include "link/TTComXDlg.h"
#include "platform/MemoSink.h"
#include "platform/PendingMessages.h"

#include <QCheckBox>
#include <QPushButton>

#include <memory>

namespace
{

const QString okBanner = QStringLiteral("------------- 設定　OK! -----------------");
const QString ngBanner = QStringLiteral("///////////// 設定　NG! /////////////////");

QString itemLine(const QString &item, bool ok)
{
    return item + (ok ? QStringLiteral("　OK!!") : QStringLiteral("　NG!!"));
}

// An empty line, then the board's prompt.
bool wakeConsole(TTelNetCont1Dlg &telnet)
{
    telnet.TelnetClearRx();
    telnet.TelnetSend(QByteArrayLiteral("\r\n"));
    waitFor([] { return false; }, 100);
    return telnet.TelnetExpect(QByteArrayLiteral("\r\n"), QByteArrayLiteral(">"));
}

// One "key=value" line (or "save") and its ">OK".
bool writeLine(TTelNetCont1Dlg &telnet, const QByteArray &line)
{
    const QByteArray sent = line + "\r\n";
    telnet.TelnetClearRx();
    telnet.TelnetSend(sent);
    return telnet.TelnetExpect(sent, QByteArrayLiteral(">OK"));
}

// The keys read into the settings dialog, in order, with their log items.
struct BoardRead {
    const char *key;
    const char *item;
};
constexpr BoardRead boardReads[] = {
    {"madr", "MACアドレス"},    {"l_ip", "IPアドレス"}, {"l_pt", "Port値"},   {"f_ip", "IPアドレス(接続先)"},
    {"f_pt", "Port値(接続先)"}, {"mask", "マスク長"},   {"conn", "自動接続"}, {"bps", "通信スピード(RS232C)"},
    {"timv", "送信タイミング"}, {"keep", "Keep"},       {"timr", "timr"},
};

} // namespace

void TKV8AppForm::RegisterLanBoardHandlers()
{
    RegisterHandler(QStringLiteral("MnTelnet1"), &TKV8AppForm::MnTelnet1Click);
    RegisterHandler(QStringLiteral("MnPing"), &TKV8AppForm::MnPingClick);
}

void TKV8AppForm::MnTelnet1Click(QObject *)
{
    NetBoardSettings.AutoConnect = 1;
    if (!SetupTcpIpConnection(1) || !TComXDlg || applicationClosing())
        return;
    // Declared first, so the link comes back after the console and the dialog are gone.
    const HubLinkClosedGuard linkClosed;
    TTelNetCont1Dlg telnet(this, LogSink(), TComXDlg->TcpReaderAddr, TelnetPort);
    telnet.show();
    TParaSet1Dlg dialog(this);
    dialog.BtDefault->setVisible(fShowEEPROMInit != 0);

    wakeConsole(telnet);
    for (const BoardRead &read : boardReads) {
        const QByteArray key(read.key);
        const QByteArray sent = key + "\r\n";
        telnet.TelnetClearRx();
        telnet.TelnetSend(sent);
        const bool replied = key == "madr" ? telnet.TelnetReadOkLine(sent) : telnet.TelnetReadPromptLine();
        const bool ok = replied && dialog.SetFromReply(key, telnet.TelnetReply);
        if (applicationClosing())
            return;
        AddLog(itemLine(QString::fromUtf8(read.item), ok));
        if (!ok)
            break;
    }

    if (dialog.exec() != QDialog::Accepted || applicationClosing())
        return;
    if (!telnet.isConnected()) {
        AddLog(QStringLiteral("接続が切断されました"));
        AddLog(ngBanner);
        return;
    }
    dialog.ReadInto(NetBoardSettings);
    AddLog(WriteNetBoardSettings(telnet, false) ? okBanner : ngBanner);
}

bool TKV8AppForm::WriteNetBoardSettings(TTelNetCont1Dlg &telnet, bool withMac)
{
    bool ok = wakeConsole(telnet);
    const QList<BoardWriteLine> lines = boardWriteLines(NetBoardSettings, withMac);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        // The MAC line goes out whatever the prompt did; every later line only while all went well.
        if (!ok && !(withMac && i == 0))
            break;
        ok = writeLine(telnet, lines[i].line);
        if (applicationClosing())
            return false;
        AddLog(itemLine(lines[i].item, ok));
    }
    if (ok && withMac)
        NextMacAddress();
    return ok;
}

void TKV8AppForm::NextMacAddress()
{
    nextMacAddress(NetBoardSettings.MacLow);
}

int TKV8AppForm::SetNetBoardSpeed(int speedIndex)
{
    if (!TComXDlg)
        return 0;
    TTelNetCont1Dlg telnet(this, LogSink(), TComXDlg->TcpReaderAddr, TelnetPort);
    if (!wakeConsole(telnet))
        return 0;

    telnet.TelnetClearRx();
    telnet.TelnetSend(QByteArrayLiteral("bps\r\n"));
    int32_t code = 0;
    const bool known = telnet.TelnetReadPromptLine() && telnet.TelnetReply != QLatin1String("NG") &&
                       parseReplyNumber(telnet.TelnetReply, code);
    if (applicationClosing())
        return 0;
    AddLog(itemLine(QStringLiteral("Get 通信スピード(RS232C)"), known));
    const int wanted = boardCodeOfSpeedIndex(speedIndex);
    if (!known || code == wanted)
        return known ? 1 : 0;

    bool ok = writeLine(telnet, "bps=" + QByteArray::number(wanted));
    if (applicationClosing())
        return 0;
    AddLog(itemLine(QStringLiteral("Set 通信スピード(RS232C)"), ok));
    if (ok) {
        ok = writeLine(telnet, QByteArrayLiteral("save"));
        if (applicationClosing())
            return 0;
        AddLog(itemLine(QStringLiteral("SAVE"), ok));
    }
    return ok ? 1 : 0;
}

void TKV8AppForm::MnPingClick(QObject *)
{
    const auto dialog = std::make_unique<TPingDlg>(this);
    dialog->CheckBox1->hide();
    dialog->exec();
}

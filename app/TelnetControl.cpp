#include "app/TelnetControl.h"

#include "link/TTComXDlg.h"
#include "platform/Cp932.h"
#include "platform/MemoSink.h"
#include "platform/PendingMessages.h"
#include "platform/TelnetClient.h"
#include "platform/Tick.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>

namespace
{

constexpr uint32_t connectWaitMs = 5000;
constexpr uint32_t stepWaitMs = 2000;

QString hexLine(const QString &head, QByteArrayView bytes)
{
    QString line = head;
    for (const char c : bytes)
        line += QStringLiteral("%1 ").arg(static_cast<uint8_t>(c), 2, 16, QLatin1Char('0')).toUpper();
    return line;
}

} // namespace

TTelNetCont1Dlg::TTelNetCont1Dlg(QWidget *owner, MemoSink *logMemo, const QString &host, quint16 port)
    : QDialog(owner), LogMemo(logMemo)
{
    setObjectName(QStringLiteral("TelNetCont1Dlg"));
    setWindowTitle(QStringLiteral("テルネットの制御"));
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    CancelBtn = new QPushButton(QStringLiteral("キャンセル"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    // Either button closes the form, and with it the connection.
    connect(OKBtn, &QPushButton::clicked, this, &QWidget::close);
    connect(CancelBtn, &QPushButton::clicked, this, &QWidget::close);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(OKBtn);
    layout->addWidget(CancelBtn);

    TelnetClearRx();
    TelnetTrace = TComXDlg && TComXDlg->fDispRecInfo;
    IdTelnet1 = new TelnetClient(this);
    IdTelnet1->setObjectName(QStringLiteral("IdTelnet1"));
    IdTelnet1->Host = host;
    IdTelnet1->Port = port;
    connect(IdTelnet1, &TelnetClient::connected, this, [this] {
        IdTelnet1Connect();
        IdTelnet1Connected();
    });
    connect(IdTelnet1, &TelnetClient::disconnected, this, &TTelNetCont1Dlg::IdTelnet1Disconnected);
    connect(IdTelnet1, &TelnetClient::dataAvailable, this, &TTelNetCont1Dlg::IdTelnet1DataAvailable);

    if (IdTelnet1->connectToHost()) {
        TelnetTimeout(0, connectWaitMs);
        while (IdTelnet1->isConnecting() && !TelnetTimeout(1, connectWaitMs) && !applicationClosing())
            processPendingMessages(timeLeft(connectWaitMs));
    }
    logIn();
}

TTelNetCont1Dlg::~TTelNetCont1Dlg()
{
    FormClose();
}

bool TTelNetCont1Dlg::isConnected() const
{
    return IdTelnet1->isConnected();
}

void TTelNetCont1Dlg::closeEvent(QCloseEvent *event)
{
    FormClose();
    QDialog::closeEvent(event);
}

void TTelNetCont1Dlg::FormClose()
{
    if (IdTelnet1->isConnected() || IdTelnet1->isConnecting())
        IdTelnet1->disconnectFromHost();
}

bool TTelNetCont1Dlg::TelnetTimeout(int mode, uint32_t ms)
{
    return timeout_.timeout(mode, ms);
}

int TTelNetCont1Dlg::timeLeft(uint32_t ms) const
{
    return timeout_.left(ms);
}

bool TTelNetCont1Dlg::waitStep(const std::function<bool()> &done)
{
    TelnetTimeout(0, stepWaitMs);
    for (;;) {
        if (done())
            return true;
        if (applicationClosing())
            return false;
        if (TelnetTimeout(1, stepWaitMs)) {
            TelnetLog(QStringLiteral("レスポンス待ち　タイムオーバー"));
            return false;
        }
        processPendingMessages(timeLeft(stepWaitMs));
    }
}

void TTelNetCont1Dlg::logIn()
{
    static const QByteArray prompt = QByteArrayLiteral("PASSWORD:");
    qsizetype at = -1;
    if (!waitStep([&] {
            at = received().indexOf('P');
            return at >= 0 && TelnetRxCount >= at + prompt.size();
        }))
        return;
    if (received().sliced(at, prompt.size()) == prompt)
        TelnetSend(QByteArrayLiteral("VQJ\r\n"));
}

bool TTelNetCont1Dlg::TelnetSend(const QByteArray &text)
{
    if (TelnetTrace)
        TelnetLog(hexLine(QStringLiteral("TX:"), text));
    IdTelnet1->sendData(text);
    return true;
}

bool TTelNetCont1Dlg::TelnetExpect(const QByteArray &sent, const QByteArray &expected)
{
    qsizetype at = -1;
    if (!waitStep([&] {
            at = received().indexOf('>', sent.size());
            return at >= 0 && TelnetRxCount >= at + expected.size();
        }))
        return false;
    return received().sliced(at, expected.size()) == expected;
}

bool TTelNetCont1Dlg::TelnetReadPromptLine()
{
    qsizetype at = -1;
    qsizetype cr = -1;
    if (!waitStep([&] {
            at = received().indexOf('>');
            cr = at >= 0 ? received().indexOf('\r', at + 1) : -1;
            return cr >= 0;
        }))
        return false;
    TelnetReply = QString::fromLatin1(received().sliced(at + 1, cr - at - 1));
    return true;
}

bool TTelNetCont1Dlg::TelnetReadOkLine(const QByteArray &sent)
{
    qsizetype at = -1;
    qsizetype cr = -1;
    if (!waitStep([&] {
            if (TelnetRxCount < sent.size())
                return false;
            for (at = received().indexOf(">0"); at >= 0; at = received().indexOf(">0", at + 1)) {
                if ((cr = received().indexOf('\r', at + 1)) >= 0)
                    return true;
            }
            return false;
        }))
        return false;
    TelnetReply = QString::fromLatin1(received().sliced(at + 1, cr - at - 1));
    return true;
}

void TTelNetCont1Dlg::TelnetLog(const QString &text)
{
    if (!LogMemo)
        return;
    if (LogMemo->lineCount() >= 250)
        LogMemo->clear();
    LogMemo->appendLine(text);
}

void TTelNetCont1Dlg::IdTelnet1Connect()
{
    TelnetLog(QStringLiteral("Telnet Connect"));
}

void TTelNetCont1Dlg::IdTelnet1Connected()
{
    TelnetLog(QStringLiteral("Telnet Connected"));
}

void TTelNetCont1Dlg::IdTelnet1Disconnected()
{
    TelnetLog(QStringLiteral("Telnet Disconnect"));
}

void TTelNetCont1Dlg::IdTelnet1DataAvailable(const QByteArray &data)
{
    if (LogMemo && LogMemo->lineCount() == 0)
        LogMemo->appendLine(QString());
    const int room = TelnetRxSize - TelnetRxCount;
    const int taken = static_cast<int>(std::min<qsizetype>(room, data.size()));
    std::copy_n(data.constData(), taken, TelnetRx.begin() + TelnetRxCount);
    TelnetRxCount += taken;
    if (TelnetTrace) {
        TelnetLog(hexLine(QStringLiteral("RX0;"), data));
        TelnetLog(QStringLiteral("RX:") + cp932ToUnicode(data));
    }
}

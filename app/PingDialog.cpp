#include "app/PingDialog.h"

#include "app/LanBoardText.h"
#include "app/NetAdapters.h"
#include "controls/DialogKit.h"
#include "controls/FmtEdit.h"
#include "platform/MessageService.h"
#include "platform/PendingMessages.h"
#include "platform/Tick.h"

#include <QPlainTextEdit>

namespace
{

constexpr uint32_t replyWaitMs = 2000;

QString statusName(EchoReply::Status status)
{
    switch (status) {
    case EchoReply::Echo:
        return QStringLiteral("Echo");
    case EchoReply::Error:
        return QStringLiteral("Error");
    case EchoReply::TimeOut:
        return QStringLiteral("TimeOut");
    case EchoReply::ErrorUnreachable:
        return QStringLiteral("ErrorUnreachable");
    case EchoReply::ErrorTTLExceeded:
        return QStringLiteral("ErrorTTLExceeded");
    }
    return QStringLiteral("???");
}

void paintBase(QWidget *widget, const QPalette &palette, const QColor &colour = QColor())
{
    QPalette p = palette;
    if (colour.isValid())
        p.setColor(QPalette::Base, colour);
    widget->setPalette(p);
}

} // namespace

TPingDlg::TPingDlg(QWidget *owner) : RadixDialog(owner)
{
    DialogKit kit(this, QStringLiteral("PingDlg"), QStringLiteral("Pingの実行"));
    EdTCPIP1_1 = kit.fmtIntEdit(QStringLiteral("EdTCPIP1_1"), 0, 255);
    EdTCPIP1_2 = kit.fmtIntEdit(QStringLiteral("EdTCPIP1_2"), 0, 255);
    EdTCPIP1_3 = kit.fmtIntEdit(QStringLiteral("EdTCPIP1_3"), 0, 255);
    EdSTART = kit.fmtIntEdit(QStringLiteral("EdSTART"), 1, 255);
    EdEnd = kit.fmtIntEdit(QStringLiteral("EdEnd"), 1, 255);
    EdTime = kit.intEdit(QStringLiteral("EdTime"), {0, 1000000, 10});
    BtBoard = kit.button(QStringLiteral("BtBoard"), QStringLiteral("Default1(Board)"));
    BtReset = kit.button(QStringLiteral("BtReset"), QStringLiteral("Default2(Reset)"));
    OKBtn = kit.button(QStringLiteral("OKBtn"), QStringLiteral("Search"));
    CancelBtn = kit.button(QStringLiteral("CancelBtn"), QStringLiteral("キャンセル"));
    CheckBox1 = kit.checkBox(QStringLiteral("CheckBox1"), QStringLiteral("詳細メッセージ"));
    Panel1 = DialogKit::named(new QFrame(this), QStringLiteral("Panel1"));
    Memo1 = DialogKit::named(new QPlainTextEdit(Panel1), QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setMinimumSize(360, 200);
    kit.column(Panel1, {Memo1});

    auto *address = kit.row(nullptr, {EdTCPIP1_1, kit.label(QStringLiteral(".")), EdTCPIP1_2,
                                      kit.label(QStringLiteral(".")), EdTCPIP1_3, kit.label(QStringLiteral("."))});
    auto *range = kit.row(nullptr, {EdSTART, kit.label(QStringLiteral("～")), EdEnd});
    kit.column(this, {kit.grid(nullptr, {{"IP Address", address, range}, {"Wait Time", EdTime, CheckBox1}}),
                      kit.row(nullptr, {BtBoard, BtReset, LayoutCell::stretch(), OKBtn, CancelBtn}), Panel1});
    // Enter presses the focused button or "Search", Escape presses Cancel.
    DialogKit::installConfirmKeys(this, OKBtn, CancelBtn);

    connect(OKBtn, &QPushButton::clicked, this, &TPingDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TPingDlg::CancelBtnClick);
    connect(BtBoard, &QPushButton::clicked, this, &TPingDlg::BtBoardClick);
    connect(BtReset, &QPushButton::clicked, this, &TPingDlg::BtResetClick);
    IdIcmpClient1 = nullptr;
    UseEchoClient(new IcmpEchoClient);

    startPalette_ = EdSTART->palette();
    memoPalette_ = Memo1->palette();
    PingStop = 0;
    PingDetails = false;
    PingWait = 200;
    EdTime->SetValue(200);
    setOctets(BoardNetwork);
    EdSTART->SetAsInteger(1);
    EdEnd->SetAsInteger(255);
}

void TPingDlg::UseEchoClient(EchoClient *client)
{
    delete IdIcmpClient1;
    IdIcmpClient1 = client;
    IdIcmpClient1->setParent(this);
    IdIcmpClient1->setObjectName(QStringLiteral("IdIcmpClient1"));
    connect(IdIcmpClient1, &EchoClient::replied, this, &TPingDlg::IdIcmpClient1Reply);
}

void TPingDlg::setOctets(const int network[3])
{
    EdTCPIP1_1->SetAsInteger(network[0]);
    EdTCPIP1_2->SetAsInteger(network[1]);
    EdTCPIP1_3->SetAsInteger(network[2]);
}

void TPingDlg::BtBoardClick()
{
    setOctets(BoardNetwork);
}

void TPingDlg::BtResetClick()
{
    setOctets(ResetNetwork);
}

void TPingDlg::CancelBtnClick()
{
    PingStop = 1;
    reject();
}

void TPingDlg::done(int result)
{
    // Closing by any way ends a running scan's wait at once.
    PingStop = 1;
    RadixDialog::done(result);
}

void TPingDlg::PingLog(const QString &text)
{
    Memo1->appendPlainText(text);
}

bool TPingDlg::PingTimeout(int mode, uint32_t ms)
{
    return timeout_.timeout(mode, ms);
}

bool TPingDlg::waitReply(uint32_t ms)
{
    PingTimeout(0, ms);
    for (;;) {
        if (PingReplied || PingStop)
            return true;
        if (applicationClosing()) {
            PingStop = 1;
            return true;
        }
        if (PingTimeout(1, ms))
            return false;
        processPendingMessages(timeout_.left(ms));
    }
}

void TPingDlg::OKBtnClick()
{
    if (scanning_ || !leaveFocusedField())
        return;
    scanning_ = true;
    PingDetails = CheckBox1->isChecked();
    const int start = EdSTART->GetAsInteger();
    const int end = EdEnd->GetAsInteger();
    setWindowTitle(QStringLiteral("検索中..."));
    paintBase(EdSTART, startPalette_, Qt::yellow);
    paintBase(Memo1, memoPalette_, Qt::yellow);
    int octets[4] = {EdTCPIP1_1->GetAsInteger(), EdTCPIP1_2->GetAsInteger(), EdTCPIP1_3->GetAsInteger(), 0};
    PingStop = 0;
    PingWait = EdTime->GetValue();

    QString cause;
    const bool opened = start > end || IdIcmpClient1->open(cause);
    if (!opened)
        showMessage(cause, this);
    for (int n = start; opened && n <= end && !PingStop; ++n) {
        PingReplied = 0;
        EdSTART->SetAsInteger(n);
        octets[3] = n;
        const QString address = joinOctets(octets);
        if (PingDetails)
            PingLog(QStringLiteral("Pinging ") + address);
        if (!IdIcmpClient1->send(address, PingWait)) {
            PingLog(QStringLiteral("  No Find : ") + address);
            continue;
        }
        processPendingMessages(0);
        // The echo ends by its answer or its own time-out first; only then does the wait for
        // the reply event begin.
        waitReply(static_cast<uint32_t>(PingWait));
        if (PingStop)
            break;
        if (!waitReply(replyWaitMs))
            PingLog(QStringLiteral("レスポンス待ち　タイムオーバー"));
        else if (PingReplied)
            PingLog((PingStatus == EchoReply::Echo ? QStringLiteral("  Find") : QStringLiteral("  No Find")) +
                    QStringLiteral(" : ") + address);
    }
    setWindowTitle(QStringLiteral("Pingの実行..."));
    paintBase(EdSTART, startPalette_);
    paintBase(Memo1, memoPalette_);
    scanning_ = false;
}

void TPingDlg::IdIcmpClient1Reply(const EchoReply &reply)
{
    PingStatus = reply.status;
    PingRoundTrip = reply.roundTripMs;
    PingSequence = reply.sequence;
    if (PingDetails) {
        PingLog(QStringLiteral("    ReplyStatusType: ") + statusName(reply.status));
        if (reply.status == EchoReply::Echo) {
            // The clock counts whole milliseconds: 0 ms means less than one.
            const QString time = reply.roundTripMs == 0 ? QStringLiteral("<1")
                                                        : QStringLiteral("=") + QString::number(reply.roundTripMs);
            PingLog(QStringLiteral("        %1 bytes from %2: icmp_seq=%3 ttl=%4 time%5 ms")
                        .arg(reply.bytesReceived)
                        .arg(reply.fromAddress)
                        .arg(reply.sequence)
                        .arg(reply.ttl)
                        .arg(time));
        }
    }
    PingReplied = 1;
}

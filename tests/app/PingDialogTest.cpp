#include "app/PingDialog.h"
#include "app/KV8AppForm.h"
#include "controls/FmtEdit.h"
#include "controls/IntEdit.h"
#include "platform/AppPaths.h"
#include "platform/Tick.h"
#include "tests/app/DialogDriver.h"
#include "tests/support/TestSupport.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace
{

// Every 127.x address answers at once, but for the hosts listed: a time-out after the wait it
// was given, no answer at all, or a send that fails.
class FakeEchoClient : public EchoClient
{
public:
    QSet<int> timeOuts, silent, sendFails, slow;
    bool opens = true;
    int sequence = 0;

    bool open(QString &cause) override
    {
        if (!opens)
            cause = QStringLiteral("ICMPソケットを開けません。(test)");
        return opens;
    }
    bool send(const QString &address, int timeoutMs) override
    {
        const int host = address.section(QLatin1Char('.'), 3).toInt();
        if (!address.startsWith(QLatin1String("127.")) || sendFails.contains(host))
            return false;
        EchoReply r;
        r.sequence = ++sequence;
        if (silent.contains(host))
            return true;
        r.status = timeOuts.contains(host) ? EchoReply::TimeOut : EchoReply::Echo;
        r.fromAddress = address;
        r.ttl = 64;
        r.bytesReceived = EchoMessageSize;
        r.roundTripMs = slow.contains(host) ? 3 : 0;
        QTimer::singleShot(r.status == EchoReply::TimeOut ? timeoutMs : 0, this, [this, r] { emit replied(r); });
        return true;
    }
};

void setScan(TPingDlg &d, int start, int end, int waitMs = 200)
{
    for (auto [edit, value] :
         {std::pair{d.EdTCPIP1_1, 127}, {d.EdTCPIP1_2, 0}, {d.EdTCPIP1_3, 0}, {d.EdSTART, start}, {d.EdEnd, end}})
        edit->SetAsInteger(value);
    d.EdTime->SetValue(waitMs);
}

// The log's lines joined by " | ".
std::string memoLines(const TPingDlg &d)
{
    return d.Memo1->toPlainText()
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
        .join(QStringLiteral(" | "))
        .toStdString();
}

std::string joined(const QStringList &lines)
{
    return lines.join(QStringLiteral(" | ")).toStdString();
}

} // namespace

TEST(PingDialogTest, ScanWritesOneLineOrTheDetailsPerAddressAndRestoresTheDialog)
{
    struct Row {
        int start, end;
        bool details;
        QSet<int> timeOuts, silent, sendFails, slow;
        int waitMs;
        QStringList lines;
        int lastShown;
    } rows[] = {
        {5, 5, false, {}, {}, {}, {}, 200, {"  Find : 127.0.0.5"}, 5},
        {10, 5, false, {}, {}, {}, {}, 200, {}, 10},
        {7,
         8,
         true,
         {},
         {},
         {},
         {8},
         200,
         {"Pinging 127.0.0.7", "    ReplyStatusType: Echo",
          "        40 bytes from 127.0.0.7: icmp_seq=1 ttl=64 time<1 ms", "  Find : 127.0.0.7", "Pinging 127.0.0.8",
          "    ReplyStatusType: Echo", "        40 bytes from 127.0.0.8: icmp_seq=2 ttl=64 time=3 ms",
          "  Find : 127.0.0.8"},
         8},
        {3,
         4,
         true,
         {3},
         {},
         {4},
         {},
         50,
         {"Pinging 127.0.0.3", "    ReplyStatusType: TimeOut", "  No Find : 127.0.0.3", "Pinging 127.0.0.4",
          "  No Find : 127.0.0.4"},
         4},
        // No reply event at all: the wait for it begins once the echo's own time-out is over.
        {6, 7, false, {}, {6}, {}, {}, 0, {"レスポンス待ち　タイムオーバー", "  Find : 127.0.0.7"}, 7},
    };
    for (const Row &row : rows) {
        TPingDlg d(nullptr);
        auto *client = new FakeEchoClient;
        client->timeOuts = row.timeOuts;
        client->silent = row.silent;
        client->sendFails = row.sendFails;
        client->slow = row.slow;
        d.UseEchoClient(client);
        setScan(d, row.start, row.end, row.waitMs);
        d.CheckBox1->setChecked(row.details);
        const QColor base = d.Memo1->palette().color(QPalette::Base);
        d.OKBtn->click();
        EXPECT_EQ(memoLines(d), joined(row.lines)) << row.start;
        EXPECT_EQ(d.EdSTART->GetAsInteger(), row.lastShown) << row.start;
        EXPECT_EQ(d.windowTitle(), "Pingの実行...");
        EXPECT_EQ(d.Memo1->palette().color(QPalette::Base), base);
        EXPECT_EQ(d.EdSTART->palette().color(QPalette::Base), base);
    }
}

TEST(PingDialogTest, WithoutAnIcmpSocketOneBoxNamesTheCauseAndNothingIsScanned)
{
    TPingDlg d(nullptr);
    auto *client = new FakeEchoClient;
    client->opens = false;
    d.UseEchoClient(client);
    setScan(d, 1, 3);
    MessageBoxRecorder boxes;
    d.OKBtn->click();
    EXPECT_EQ(boxes.texts(), QStringList({"ICMPソケットを開けません。(test)"}));
    EXPECT_EQ(client->sequence, 0);
    EXPECT_EQ(memoLines(d), "");
    EXPECT_EQ(d.windowTitle(), "Pingの実行...");
}

// "Search" runs the focused field's exit rule first: 300 typed into the last host is clamped
// to 255 before the range is read.
TEST(PingDialogTest, SearchLeavesTheFocusedFieldBeforeReadingIt)
{
    TPingDlg d(nullptr);
    d.UseEchoClient(new FakeEchoClient);
    setScan(d, 255, 255);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    QApplication::setActiveWindow(&d);
    typeInto(d.EdEnd, QStringLiteral("300"));
    d.OKBtn->click();
    EXPECT_EQ(memoLines(d), "  Find : 127.0.0.255");
}

// From the menu: the details box hidden, Cancel in the middle of a wait ends the scan at once
// with no line for that address, and the dialog is gone when the item returns.
TEST(PingDialogTest, MenuItemRunsTheDialogAndCancelStopsTheScanAtOnce)
{
    QTemporaryDir dir;
    setProgramPathForTest(dir.filePath("kv8demo"));
    auto form = std::make_unique<TKV8AppForm>();
    QPointer<TPingDlg> dialog;
    bool detailsShown = true;
    std::string lines;
    whenDialogOpens<TPingDlg>([&](TPingDlg *d) {
        dialog = d;
        detailsShown = d->CheckBox1->isVisible();
        auto *client = new FakeEchoClient;
        client->silent = {2};
        d->UseEchoClient(client);
        setScan(*d, 1, 5, 5000);
        QTimer::singleShot(300, d->CancelBtn, &QPushButton::click);
        d->OKBtn->click();
        lines = memoLines(*d);
    });
    const uint32_t before = systemTick();
    form->RunItem(QStringLiteral("MnPing"));
    EXPECT_LT(ticksSince(before, systemTick()), 3000u);
    EXPECT_FALSE(detailsShown);
    EXPECT_EQ(lines, "  Find : 127.0.0.1");
    EXPECT_TRUE(dialog.isNull());
    form.reset();
    setProgramPathForTest(QString());
}

TEST(PingDialogTest, LiveScanOfLoopbackFindsEveryHost)
{
    {
        IcmpEchoClient probe;
        QString cause;
        if (!probe.open(cause))
            GTEST_SKIP() << cause.toStdString();
    }
    TPingDlg d(nullptr);
    setScan(d, 1, 20);
    d.OKBtn->click();
    QStringList expected;
    for (int n = 1; n <= 20; ++n)
        expected << QStringLiteral("  Find : 127.0.0.%1").arg(n);
    EXPECT_EQ(memoLines(d), joined(expected));
}

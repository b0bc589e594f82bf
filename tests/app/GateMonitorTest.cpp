#include "tests/app/WindowHubFixture.h"

#include "controls/DialogKit.h"
#include "platform/Cp932.h"
#include "setup/GateCountMonitor.h"
#include "tools/standin/FrameSplitter.h"

#include <QDir>
#include <QTimer>

#include <climits>

namespace
{

QByteArray hx(const char *text)
{
    return QByteArray::fromHex(QByteArray(text));
}

QByteArray gateFrame(const char *kind, const QByteArray &record)
{
    return peerFrame(0, 'G', hx(kind) + record);
}

// An M740 record: persons 0xFFFFFFFF (shown signed) and 7, alarms 65535 and 2.
const QByteArray recordA = hx("FF FF FF FF 07 00 00 00 FF FF 02 00");
const QByteArray recordB = hx("10 00 00 00 20 00 00 00 30 00 40 00");

QString counts(GateCountMonitor *d)
{
    return d->ShownCounts().join(u',');
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The rows of a log after its header, with date and time replaced by their patterns.
QString rowsOf(const QByteArray &log)
{
    QString text = cp932ToUnicode(log);
    text.replace(QRegularExpression(QStringLiteral("(^|\\r\\n)\\d{4}/\\d\\d/\\d\\d,\\d\\d:\\d\\d:\\d\\d,")),
                 QStringLiteral("\\1D,T,"));
    return text;
}

// Nothing reaches the gate for a while: no poll.
bool quietFor(ReaderStandIn &board, int ms)
{
    board.clearReceived();
    waitFor([] { return false; }, ms);
    return board.received().isEmpty();
}

} // namespace

using GateMonitorTest = WindowHubTest;

// The M740 monitor: polled every second in manual mode, pushed by the gate in either mode, never
// polled in "オート" or with interval 0; each save appends the shown counts to its log.
TEST_F(GateMonitorTest, M740MonitorIsPolledAndPushedAndSavesWhatItShows)
{
    form->fM750 = 0;
    const QString path = dir.filePath("M740LogFile.csv");
    board.expect('G', 0x07, ReaderStandIn::ack(hx("07") + recordA));
    QStringList seen;
    whenDialogOpens<TGateCountDlg>([&](TGateCountDlg *d) {
        EXPECT_TRUE(form->fGateCountDlgOpen);
        seen << counts(d);
        d->OKBtn->click(); // right after opening: four "0"
        EXPECT_TRUE(d->isVisible()) << "saving doesn't close";
        EXPECT_TRUE(waitFor([&] { return counts(d) != QLatin1String("0,0,0,0"); }, 3000));
        seen << counts(d);
        board.send(gateFrame("80", recordB));
        EXPECT_TRUE(waitFor([&] { return d->STG2Count1->text() == QLatin1String("32"); }, 2000));
        seen << counts(d);

        d->RadioGroup1->button(1)->click(); // オート: the gate's own counts only
        EXPECT_FALSE(d->Timer1->isActive());
        EXPECT_TRUE(quietFor(board, 1300));
        board.send(gateFrame("80", recordA));
        EXPECT_TRUE(waitFor([&] { return d->STG2Count1->text() == QLatin1String("7"); }, 2000));

        d->RadioGroup1->button(0)->click();
        typeInto(d->IntEdit1, "0"); // a Qt timer with interval 0 would poll without pause
        EXPECT_FALSE(d->Timer1->isActive());
        EXPECT_TRUE(quietFor(board, 1300));
        typeInto(d->IntEdit1, "3000000");
        EXPECT_TRUE(d->Timer1->isActive());
        EXPECT_EQ(d->Timer1->interval(), INT_MAX);

        d->OKBtn->click();
        d->CancelBtn->click();
    });
    click("MnDispCountDlg");
    EXPECT_EQ(seen.join(u'|').toStdString(), "0,0,0,0|-1,65535,7,2|16,48,32,64");
    EXPECT_FALSE(form->fGateCountDlgOpen);
    EXPECT_EQ(form->M740LogFile, path) << "kept for the run";
    EXPECT_EQ(rowsOf(fileBytes(path)).toStdString(), QStringLiteral("日付,時刻,人数１,アラーム１,人数２,アラーム２\r\n"
                                                                    "D,T,0,0,0,0\r\nD,T,-1,65535,7,2\r\n")
                                                         .toStdString());
    EXPECT_EQ(fileBytes(path).left(4), unicodeToCp932(QStringLiteral("日付")));
    EXPECT_EQ(takeLog(), "");

    // With the monitor closed a count event is logged as its text up to the first zero byte.
    board.send(gateFrame("80", QByteArray("OK\0\1\2\3\4\5\6\7\1\1", 12)));
    EXPECT_TRUE(waitFor([&] { return form->Memo1->toPlainText().contains(QLatin1String("OK")); }, 2000));
    EXPECT_EQ(takeLog(), "OK");
}

// A gate event that comes while a poll waits for its answer shows first; the poll's answer
// follows; neither ends up in the log. An M750 event shorter than its record is ignored. A
// save after the log was deleted writes the header again.
TEST_F(GateMonitorTest, M750MonitorTakesEventsDuringAPollAndIgnoresShortOnes)
{
    form->fM750 = 1;
    form->M750LogFile = dir.filePath("own.csv");
    QByteArray polled, pushed;
    for (int i = 0; i < 36; ++i) {
        polled.append(static_cast<char>(i + 1));
        pushed.append(static_cast<char>(0x40 + i));
    }
    const QList<ReaderStandIn::Piece> answer = {{gateFrame("81", pushed), 0},
                                                {peerFrame(0, '0', hx("0B") + polled), 300}};
    board.expect('G', 0x0B, ReaderStandIn::pieces(answer));
    QStringList whileBusy, seen;
    whenDialogOpens<TGateCount2Dlg>([&](TGateCount2Dlg *d) {
        // The poll's wait runs the event loop: a probe there sees what is shown meanwhile.
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout, [&] {
            if (d->fTimerBusy && (whileBusy.isEmpty() || whileBusy.last() != counts(d)))
                whileBusy << counts(d);
        });
        probe.start(5);
        EXPECT_TRUE(waitFor([&] { return d->STG6Count2->text() == QLatin1String("9251"); }, 3000));
        probe.stop();
        seen << counts(d);
        d->RadioGroup1->button(1)->click();
        board.send(gateFrame("81", QByteArray(35, '\x01')));
        waitFor([] { return false; }, 300);
        seen << counts(d);
        QFile::remove(form->M750LogFile);
        d->OKBtn->click();
        d->CancelBtn->click();
    });
    click("MnM750GCount");
    const QString fromPush = QStringLiteral("1128415552,18760,1195787588,19274,1330531660,21844,"
                                            "1397903696,22358,1532647768,24928,1600019804,25442");
    const QString fromPoll = QStringLiteral("67305985,2569,134678021,3083,269422093,5653,"
                                            "336794129,6167,471538201,8737,538910237,9251");
    EXPECT_EQ(whileBusy.join(u'|').toStdString(), ("0,0,0,0,0,0,0,0,0,0,0,0|" + fromPush).toStdString());
    EXPECT_EQ(seen.join(u'|').toStdString(), (fromPoll + u'|' + fromPoll).toStdString());
    EXPECT_EQ(rowsOf(fileBytes(form->M750LogFile)).toStdString(),
              (QStringLiteral("日付,時刻,人数１（入）,アラーム１（入）,人数１（出）,アラーム１（出）,"
                              "人数２（入）,アラーム２（入）,人数２（出）,アラーム２（出）,"
                              "人数３（入）,アラーム３（入）,人数３（出）,アラーム３（出）\r\nD,T,") +
               fromPoll + QStringLiteral("\r\n"))
                  .toStdString());
    EXPECT_EQ(takeLog(), "");
}

// A log that can't be created keeps the monitor shut; one that can't be opened on saving
// writes no row and the monitor stays open.
TEST_F(GateMonitorTest, UnwritableLogsAreReportedInAMessageBox)
{
    MessageBoxRecorder boxes;
    form->M740LogFile = dir.filePath("missing/M740.csv");
    bool opened = false;
    whenDialogOpens<TGateCountDlg>(
        [&](TGateCountDlg *d) {
            opened = true;
            d->CancelBtn->click();
        },
        1000);
    click("MnDispCountDlg");
    EXPECT_FALSE(opened);
    EXPECT_EQ(boxes.texts().join(u'|').toStdString(),
              ("ファイル " + form->M740LogFile + " を作成できません。").toStdString());

    boxes.boxes.clear();
    waitFor([] { return false; }, 1000); // the answer above has given up
    form->M740LogFile = dir.filePath("folder.csv");
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.csv"));
    whenDialogOpens<TGateCountDlg>([&](TGateCountDlg *d) {
        d->OKBtn->click();
        EXPECT_TRUE(d->isVisible());
        d->CancelBtn->click();
    });
    click("MnDispCountDlg");
    EXPECT_EQ(boxes.texts().join(u'|').toStdString(),
              ("ファイル " + form->M740LogFile + " を開けません。").toStdString());
}

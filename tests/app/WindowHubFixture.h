#pragma once

#include "tests/app/DialogDriver.h"
#include "tests/app/StartupFixture.h"
#include "tests/support/TestSupport.h"

#include "controls/IntEdit.h"
#include "controls/RadixDialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

// Answers the next input dialog of an item as an operator would: each value typed into the next
// visible integer field, the text (when given) into the text field, then OK.
inline void answerDialog(const QStringList &typed, const QString &text = QString())
{
    whenDialogOpens<RadixDialog>([=](RadixDialog *d) {
        qsizetype next = 0;
        for (TIntEdit *field : d->findChildren<TIntEdit *>())
            if (field->isVisibleTo(d) && next < typed.size())
                typeInto(field, typed[next++]);
        if (!text.isNull())
            d->findChild<QLineEdit *>(QStringLiteral("EdString"))->setText(text);
        d->findChild<QPushButton *>(QStringLiteral("OKBtn"))->click();
    });
}

// Answers the next input dialog and records what it showed: the texts of its visible integer
// fields go into `seen`, led by "(disabled)" when the main window behind it is disabled; then
// `typed` goes into them and OK is pressed, or Cancel when nothing is typed.
inline void answerInput(QStringList &seen, const TKV8AppForm *form, const QStringList &typed)
{
    whenDialogOpens<RadixDialog>([&seen, form, typed](RadixDialog *d) {
        if (!form->MainEnabled())
            seen << QStringLiteral("(disabled)");
        qsizetype next = 0;
        for (TIntEdit *field : d->findChildren<TIntEdit *>()) {
            if (!field->isVisibleTo(d))
                continue;
            seen << field->text();
            if (next < typed.size())
                typeInto(field, typed[next++]);
        }
        d->findChild<QPushButton *>(typed.isEmpty() ? QStringLiteral("CancelBtn") : QStringLiteral("OKBtn"))->click();
    });
}

// The main window with its own hub listening on a loopback port, the reader stand-in connected
// to it as the LAN board connects, and the window's timer polling the hub. Both logs go to the
// window's memo; the hub's trace lines are off so that the memo shows what the handlers and
// decoders write. Requests that no script entry takes are answered by the stand-in's reader
// model (board.model()), whose first tag is the window's current tag.
class WindowHubTest : public StartupFixture
{
protected:
    // The current tag of the window when a test starts, in stored order, and its log form.
    static inline const QByteArray uid = bytesOf({0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0xE0});
    static inline const QString uidHex = QStringLiteral("UID(hex): 01 02 03 04 05 06 07 E0 ");
    // The elapsed-time line as takeLog() shows it: its digits vary from run to run.
    static inline const QString timeLine = QStringLiteral("実行時間: nn:ss:zz");

    void SetUp() override
    {
        StartupFixture::SetUp();
        make();
        form->TcpLinkParam.TCPPort = 0;
        form->TcpLinkParam.fTCPServer = 1;
        form->CreateHub(0);
        ASSERT_NE(TComXDlg, nullptr);
        TComXDlg->fDispTxInfo = 0;
        TComXDlg->fDispRecInfo = 0;
        board.setDefaultResponder(board.modelReader());
        ASSERT_TRUE(board.connectTo(QStringLiteral("127.0.0.1"), static_cast<quint16>(TComXDlg->listeningPort())));
        ASSERT_TRUE(waitFor([] { return TComXDlg->fConnected != 0; }, 5000));
        form->Timer1->start(20);
        std::copy(uid.begin(), uid.end(), form->CurrentUid);
        form->Memo1->clear();
    }

    void TearDown() override
    {
        board.close();
        StartupFixture::TearDown(); // the window's shutdown stops its timer and deletes the hub
    }

    // Runs a menu item as a click on it, then lets a reply that arrives after a handler that
    // doesn't wait reach the log too.
    void click(const char *item, int settleMs = 200)
    {
        form->RunItem(QLatin1String(item));
        QTest::qWait(settleMs);
    }

    // The memo's lines without the hub's socket-event lines; the log is cleared for the next step.
    std::string takeLog() { return takeLog(form->Memo1); }
    // The same for another memo the logs go to.
    std::string takeLog(QPlainTextEdit *memo)
    {
        QStringList lines = memo->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        lines.removeIf([](const QString &line) { return line.startsWith(QLatin1String("ServerSocket1")); });
        lines.replaceInStrings(QRegularExpression(QStringLiteral("^実行時間: \\d\\d:\\d\\d:\\d{2,3}$")), timeLine);
        memo->clear();
        return joined(lines);
    }
    static std::string joined(const QStringList &lines) { return lines.join(QStringLiteral(" | ")).toStdString(); }

    // The frames the stand-in received since the last call, each as its command character and
    // its DATA in hex ("O 70 01 14 | N A0 34"); the record is cleared for the next step.
    std::string takeSent()
    {
        std::string sent;
        for (const QByteArray &frame : board.received()) {
            const QByteArray data = frame.mid(4, static_cast<uint8_t>(frame.at(3)));
            sent += (sent.empty() ? "" : " | ") + std::string(1, frame.at(2)) + (data.isEmpty() ? "" : " ");
            sent += hexOf(data);
        }
        board.clearReceived();
        return sent;
    }
};

#pragma once

#include "app/HubLink.h"
#include "app/InputDialogs.h"
#include "app/KV8AppForm.h"
#include "controls/IntEdit.h"
#include "link/Frame.h"
#include "link/TTComXDlg.h"
#include "platform/AppPaths.h"
#include "platform/MemoSink.h"
#include "platform/PendingMessages.h"
#include "tests/app/DialogDriver.h"
#include "tests/support/TestSupport.h"
#include "tools/standin/ReaderStandIn.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

// The main window with a hub listening on loopback, the reader stand-in connected to it, and
// the hub polled as the window's timer would. Both logs go to the window's memo; the hub's
// trace lines are off so that the memo shows what the handlers and decoders write.
class IsoMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        setProgramPathForTest(dir.filePath(QStringLiteral("kv8demo")));
        form = std::make_unique<TKV8AppForm>();
        link = std::make_unique<MainWindowHubLink>(*form);
        sink = std::make_unique<PlainTextMemoSink>(form->Memo1);
        TcpLinkParam tcp;
        tcp.TCPPort = 0;
        tcp.fTCPServer = 1;
        TComXDlg = new TTComXDlg(nullptr, sink.get(), 0, 1, TransportTcp, tcp, link.get());
        TComXDlg->fDispTxInfo = 0;
        TComXDlg->fDispRecInfo = 0;
        ASSERT_TRUE(standIn.connectTo(QStringLiteral("127.0.0.1"), static_cast<quint16>(TComXDlg->listeningPort())));
        ASSERT_TRUE(waitFor([] { return TComXDlg->fConnected != 0; }, 5000));
        QObject::connect(&poll, &QTimer::timeout, [] {
            if (TComXDlg)
                TComXDlg->PollReceive();
        });
        poll.start(20);
        for (int i = 0; i < 8; ++i)
            form->CurrentUid[i] = static_cast<uint8_t>(uid()[i]);
        form->Item(QStringLiteral("MnISO15693"))->setEnabled(true);
        form->Memo1->clear();
    }

    void TearDown() override
    {
        poll.stop();
        standIn.close();
        delete TComXDlg;
        TComXDlg = nullptr;
        form.reset();
        setProgramPathForTest(QString());
    }

    static QByteArray uid() { return bytesOf({0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0xE0}); }
    static QByteArray request(const QByteArray &data) { return buildFrame(0, 'x', data); }

    // Runs a menu item as a click on it, then lets a reply that arrives after a handler that
    // doesn't wait reach the log too.
    void click(const char *item, int settleMs = 200)
    {
        QAction *action = form->Item(QLatin1String(item));
        ASSERT_NE(action, nullptr) << item;
        action->trigger();
        QTest::qWait(settleMs);
    }

    // The memo's lines without the hub's socket-event lines.
    QStringList logLines() const
    {
        const QString text = form->Memo1->toPlainText();
        QStringList lines = text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
        lines.removeIf([](const QString &line) { return line.startsWith(QLatin1String("ServerSocket1")); });
        return lines;
    }
    std::string logText() const { return logLines().join(QStringLiteral(" | ")).toStdString(); }
    static std::string joined(const QStringList &lines) { return lines.join(QStringLiteral(" | ")).toStdString(); }

    QTemporaryDir dir;
    std::unique_ptr<TKV8AppForm> form;
    std::unique_ptr<MainWindowHubLink> link;
    std::unique_ptr<PlainTextMemoSink> sink;
    ReaderStandIn standIn;
    QTimer poll;
};

// Dialog answers: the values typed into the fields as an operator would, then OK.
inline void answerBlockNo(const QString &typed)
{
    whenDialogOpens<TInputIntDlg>([typed](TInputIntDlg *d) {
        typeInto(d->IntEd, typed);
        d->OKBtn->click();
    });
}

inline void answerInp3Data2(const QString &first, const QString &second, const QString &text)
{
    whenDialogOpens<TInp3Data2Dlg>([=](TInp3Data2Dlg *d) {
        typeInto(d->IntEd1, first);
        if (!second.isNull())
            typeInto(d->IntEd2, second);
        if (!text.isNull())
            d->EdString->setText(text);
        d->OKBtn->click();
    });
}

inline void answerByte(const QString &typedHex)
{
    whenDialogOpens<TInp3Data1Dlg>([typedHex](TInp3Data1Dlg *d) {
        typeInto(d->IntEd3, typedHex);
        d->OKBtn->click();
    });
}

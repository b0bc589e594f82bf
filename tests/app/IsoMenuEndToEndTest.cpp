#include "app/ConnectionDialogs.h"
#include "app/InputDialogs.h"
#include "app/KV8AppForm.h"
#include "controls/FmtEdit.h"
#include "controls/IntEdit.h"
#include "link/Frame.h"
#include "link/TTComXDlg.h"
#include "platform/AppPaths.h"
#include "platform/PendingMessages.h"
#include "tests/app/DialogDriver.h"
#include "tests/support/TestSupport.h"
#include "tools/standin/ReaderStandIn.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace
{

struct Step {
    std::function<bool()> ready;
    std::function<void()> act;
};

TSetIPAddr1Dlg *addressDialog()
{
    return qobject_cast<TSetIPAddr1Dlg *>(QApplication::activeModalWidget());
}

QString memoText(TKV8AppForm *form)
{
    return form->Memo1->toPlainText();
}

} // namespace

// The real window from start-up: the operator answers the address dialog, the reader's board
// connects, the ISO 15693 menu is enabled as the run-mode switch does, and two items run from
// their menu actions against the reader stand-in.
TEST(IsoMenuEndToEndTest, InventoryAndReadSingleBlockRunFromTheMenuOfTheStartedProgram)
{
    QTemporaryDir dir;
    setProgramPathForTest(dir.filePath("kv8demo"));
    {
        QFile f(dir.filePath("kv8demo.ini"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Option]\r\nTCPServAddr=127.0.0.1\r\nfTCPServer=0\r\n");
    }
    const QByteArray uid = bytesOf({0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0xE0});
    const QByteArray inventoryAck = buildFrame(0, '0', bytesOf({0x01, 0x00}) + uid);
    const QByteArray readAck = buildFrame(0, '0',
                                          QByteArray("\x20"
                                                     "ABCD"));
    const QByteArray inventoryRequest = buildFrame(0, 'x', bytesOf({0x01, 0x40}));
    const QByteArray readRequest = buildFrame(0, 'x', bytesOf({0x20, 0x05, 0x00}));

    auto *form = new TKV8AppForm;
    ReaderStandIn board;
    QList<QList<QByteArray>> gridBefore;
    const QList<Step> steps = {
        {[] { return addressDialog() != nullptr; },
         [] {
             TSetIPAddr1Dlg *d = addressDialog();
             ASSERT_TRUE(QTest::qWaitForWindowExposed(d));
             QAbstractButton *server = d->RGIPMode->button(1);
             QTest::mouseClick(server, Qt::LeftButton, {}, QPoint(4, server->height() / 2));
             d->Ed_SPortNum->setFocus();
             d->Ed_SPortNum->SetText(QStringLiteral("0"));
             QTest::mouseClick(d->OKBtn, Qt::LeftButton);
         }},
        {[] { return TComXDlg && TComXDlg->listeningPort() > 0; },
         [&] { board.connectTo(QStringLiteral("127.0.0.1"), static_cast<quint16>(TComXDlg->listeningPort())); }},
        {[&] { return form->Timer1->isActive() && !form->RunningGauge() && board.isConnected(); },
         [&] {
             form->Item("MnISO15693")->setEnabled(true);
             gridBefore = form->GridRows();
             form->Memo1->clear();
             board.expect('x', 0x01, ReaderStandIn::ack(inventoryAck.mid(4, inventoryAck[3])));
             board.expect('x', 0x20, ReaderStandIn::ack(readAck.mid(4, readAck[3])));
             QTimer::singleShot(0, form, [form] { form->Item("MnInventory1Slot1")->trigger(); });
         }},
        {[&] { return memoText(form).contains("RX:" + hexLine(inventoryAck)); },
         [&] {
             whenDialogOpens<TInputIntDlg>([](TInputIntDlg *d) {
                 typeInto(d->IntEd, "5");
                 QTest::mouseClick(d->OKBtn, Qt::LeftButton);
             });
             QTimer::singleShot(0, form, [form] { form->Item("MnReadSingleBlock")->trigger(); });
         }},
        {[&] { return memoText(form).contains("RX:" + hexLine(readAck)); }, [&] { form->close(); }},
    };

    QTimer driver;
    int next = 0;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        if (next < steps.size() && steps[next].ready()) {
            auto act = steps[next++].act;
            act();
        }
    });
    driver.start(5);
    bool timedOut = false;
    QTimer::singleShot(20000, [&] {
        timedOut = true;
        form->close();
    });
    form->show();
    EXPECT_EQ(QApplication::exec(), 0);
    driver.stop();
    EXPECT_FALSE(timedOut) << "stopped at step " << next << "\n" << memoText(form).toStdString();

    ASSERT_EQ(board.received().size(), 2);
    EXPECT_EQ(hexOf(board.received()[0]), hexOf(inventoryRequest));
    EXPECT_EQ(hexOf(board.received()[1]), hexOf(readRequest));
    QStringList log = memoText(form).split('\n');
    log.removeIf([](const QString &line) { return line.startsWith("ServerSocket1"); });
    const QStringList expected = {
        "ISO15693_Inventory: ",
        hexLine(inventoryRequest),
        "ISO15693_Inventory受信",
        "DSFID: 0[0x00]",
        "UID(hex): 01 02 03 04 05 06 07 E0 ",
        "RX:" + hexLine(inventoryAck),
        "ISO15693_ReadSingleBlock: ",
        hexLine(readRequest),
        "ISO15693_ReadSingleBlock受信",
        "data(Hex): 41 42 43 44 ",
        "data: ABCD",
        "RX:" + hexLine(readAck),
    };
    EXPECT_EQ(log.join(" | ").toStdString(), expected.join(" | ").toStdString());
    EXPECT_EQ(form->GridRows(), gridBefore);
    EXPECT_EQ(form->BlockNo, 5);

    form->Shutdown();
    delete form;
    setProgramPathForTest(QString());
    setApplicationClosing(false);
    // A quit the closed window left queued must not end the next test's dialogs: let it
    // arrive inside one more application loop, which clears it when it returns.
    QTimer::singleShot(50, [] { QCoreApplication::exit(0); });
    QApplication::exec();
}

#include "tests/app/StartupFixture.h"

#include "app/InputDialogs.h"
#include "link/Frame.h"
#include "tests/app/DialogDriver.h"
#include "tests/support/TestSupport.h"

#include <QAction>

using IsoMenuEndToEndTest = StartupFixture;

// The real window from start-up: the operator answers the address dialog, the reader's board
// connects, the ISO 15693 menu is enabled as the run-mode switch does, and two items run from
// their menu actions against the reader stand-in.
TEST_F(IsoMenuEndToEndTest, InventoryAndReadSingleBlockRunFromTheMenuOfTheStartedProgram)
{
    writeSettings("[Option]\r\nTCPServAddr=127.0.0.1\r\nfTCPServer=0\r\n");
    const QByteArray uid = bytesOf({0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0xE0});
    const QByteArray inventoryAck = buildFrame(0, '0', bytesOf({0x01, 0x00}) + uid);
    const QByteArray readAck = buildFrame(0, '0', bytesOf({0x20}) + "ABCD");
    const QByteArray inventoryRequest = buildFrame(0, 'x', bytesOf({0x01, 0x40}));
    const QByteArray readRequest = buildFrame(0, 'x', bytesOf({0x20, 0x05, 0x00}));

    QList<QList<QByteArray>> gridBefore;
    const int code = run({
        answerAddressDialog(),
        connectBoard(),
        whenRunning([&] {
            form->Item("MnISO15693")->setEnabled(true);
            gridBefore = form->GridRows();
            form->Memo1->clear();
            board.expect('x', 0x01, ReaderStandIn::ack(inventoryAck.mid(4, inventoryAck[3])));
            board.expect('x', 0x20, ReaderStandIn::ack(readAck.mid(4, readAck[3])));
            QTimer::singleShot(0, form, [this] { form->Item("MnInventory1Slot1")->trigger(); });
        }),
        {[&] { return form->Memo1->toPlainText().contains("RX:" + hexLine(inventoryAck)); },
         [&] {
             whenDialogOpens<TInputIntDlg>([](TInputIntDlg *d) {
                 typeInto(d->IntEd, "5");
                 QTest::mouseClick(d->OKBtn, Qt::LeftButton);
             });
             QTimer::singleShot(0, form, [this] { form->Item("MnReadSingleBlock")->trigger(); });
         }},
        {[&] { return form->Memo1->toPlainText().contains("RX:" + hexLine(readAck)); }, [&] { form->close(); }},
    });
    EXPECT_EQ(code, 0);

    ASSERT_EQ(board.received().size(), 2);
    EXPECT_EQ(hexOf(board.received()[0]), hexOf(inventoryRequest));
    EXPECT_EQ(hexOf(board.received()[1]), hexOf(readRequest));
    QStringList log = form->Memo1->toPlainText().split('\n');
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
}

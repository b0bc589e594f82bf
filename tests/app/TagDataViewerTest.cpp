#include "tests/app/WindowHubFixture.h"

#include "app/TagDataViewer.h"
#include "link/Frame.h"
#include "link/ResultGrid.h"

#include <QLineEdit>

namespace
{

// "x 20 00 10 | x 20 01 10 | ..." for blocks first .. last.
std::string blockReads(int first, int last, uint8_t flags)
{
    QStringList out;
    for (int b = first; b <= last; ++b)
        out << "x 20 " + byteHex(b) + " " + byteHex(flags);
    return out.join(" | ").toStdString();
}

} // namespace

class TagDataViewerTest : public WindowHubTest
{
protected:
    void SetUp() override
    {
        WindowHubTest::SetUp();
        board.model().param(0xAC) = 0x20;
    }

    // The field holds this one tag: UID bytes 7..0 = E0, maker, chip type, 55 44 33 22 11.
    void onlyTag(uint8_t maker, uint8_t chip, int count, int size)
    {
        board.model().tags.clear();
        board.model().blockSize = size;
        board.model().addTag(bytesOf({0x11, 0x22, 0x33, 0x44, 0x55, chip, maker, 0xE0}), count);
    }

    // Opens the viewer from its menu item; while it reads, Escape and the close box are tried
    // (they must do nothing, with OK and Cancel disabled); once it has read, `read` looks at it
    // and OK closes it.
    void viewTag(const std::function<void(TDispTagDataDlg &)> &read)
    {
        bool triedWhileReading = false;
        bool closed = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto *v = qobject_cast<TDispTagDataDlg *>(QApplication::activeModalWidget());
            if (!v || !v->isVisible())
                return;
            if (v->Reading()) {
                if (!triedWhileReading) {
                    triedWhileReading = true;
                    EXPECT_FALSE(v->OKBtn->isEnabled() || v->CancelBtn->isEnabled());
                    QTest::keyClick(v, Qt::Key_Escape);
                    v->close();
                    EXPECT_TRUE(v->isVisible());
                }
                return;
            }
            poll.stop();
            read(*v);
            v->OKBtn->click();
            closed = !v->isVisible();
        });
        poll.start(5);
        board.clearReceived();
        form->RunItem(QStringLiteral("MnTagData1"));
        EXPECT_TRUE(triedWhileReading);
        EXPECT_TRUE(closed);
    }

    static std::string fields(const TDispTagDataDlg &v)
    {
        return QStringLiteral("%1 [%2] %3x%4 DSFID %5 AFI %6")
            .arg(v.EdManufacturer->text(), v.EdUID->text(), v.EdBlockNum->text(), v.EdBlockSize->text(),
                 v.EdDSFID->text(), v.EdAFI->text())
            .toStdString();
    }
    // Grid row r as "c0,c1,c2".
    static std::string row(const TDispTagDataDlg &v, int r)
    {
        QStringList cells;
        for (int c = 0; c < 3; ++c)
            cells << gridCellText(v.StringGrid1, c, r);
        return cells.join(QLatin1Char(',')).toStdString();
    }
};

// Each maker and chip type against the stand-in's tag: the requests in their exact order (the
// reader's block size set for the read-out and given back after it, except for the maker-5
// tags), the fields, the grid's size and its first and last rows (each block's bytes last to
// first, as "dispdir" absent means, and written back as 1 when the viewer closes).
TEST_F(TagDataViewerTest, EachMakerAndChipIsReadWithItsOwnRequestSequence)
{
    const std::string setSize = "O AC | N AC ";
    const std::string restore = " | N AC 20";
    std::string byBytes128, byBytes256;
    for (int k = 0; k < 8; ++k) {
        byBytes128 += " | x A0 " + byteHex(k * 16).toStdString() + " 80 00";
        byBytes256 += " | x A0 " + byteHex(k * 32).toStdString() + " 80 00";
    }
    const struct {
        const char *what;
        uint8_t maker, chip;
        int count, size;
        std::string sent;
        std::string fields;
        int rowCount;
        std::string first, last; // rows 1 and rowCount - 1
    } rows[] = {
        {"maker 5, chip 00: 128 x 8 by bytes", 5, 0x00, 128, 8, "x 01 40" + byBytes128 + " | x 2C 00 7F 00",
         "Infineon Technologies [E0 05 00 55 44 33 22 11 ] 128x8 DSFID 0 AFI 0", 129, "0,07 06 05 04 03 02 01 00 ,00",
         "127,FF FE FD FC FB FA F9 F8 ,00"},
        {"maker 5, chip 01: 15 blocks and block 17", 5, 0x01, 18, 4,
         "x 01 40 | " + blockReads(0, 14, 0) + " | x 20 11 00",
         "Infineon Technologies [E0 05 01 55 44 33 22 11 ] 15x4 DSFID 0 AFI 0", 19, "0,03 02 01 00 ,",
         "17,47 46 45 44 ,"},
        {"maker 2: 16 x 4 per block", 2, 0x33, 16, 4,
         "x 01 40 | " + setSize + "04 | " + blockReads(0, 15, 0x10) + restore,
         "STMicroelectronics [E0 02 33 55 44 33 22 11 ] 16x4 DSFID 0 AFI 0", 17, "0,03 02 01 00 ,00",
         "15,3F 3E 3D 3C ,00"},
        {"maker 7, chip C0: 12 x 4, TI per block", 7, 0xC0, 12, 4,
         "x 01 40 | " + setSize + "04 | " + blockReads(0, 11, 0x10) + restore,
         "Texas Instruments [E0 07 C0 55 44 33 22 11 ] 12x4 DSFID 0 AFI 0", 13, "0,03 02 01 00 ,00",
         "11,2F 2E 2D 2C ,00"},
        {"maker 7, chip 81 counts as 80: system information, by bytes", 7, 0x81, 28, 4,
         "x 01 40 | x 2B 00 | " + setSize + "04 | x A0 00 70 00 | x 2C 00 1B 00" + restore,
         "Texas Instruments [E0 07 81 55 44 33 22 11 ] 28x4 DSFID 0 AFI 0", 29, "0,03 02 01 00 ,00",
         "27,6F 6E 6D 6C ,00"},
        // 256 blocks: the count field's largest value, shown as it is; two full security requests.
        {"maker 4: system information, by bytes in full requests", 4, 0x01, 256, 4,
         "x 01 40 | x 2B 00 | " + setSize + "04" + byBytes256 + " | x 2C 00 7F 00 | x 2C 80 7F 00" + restore,
         "Philips [E0 04 01 55 44 33 22 11 ] 256x4 DSFID 0 AFI 0", 257, "0,03 02 01 00 ,00", "255,FF FE FD FC ,00"},
        {"unknown maker: system information, per block", 0x16, 0x01, 10, 8,
         "x 01 40 | x 2B 00 | " + setSize + "08 | " + blockReads(0, 9, 0x10) + restore,
         "Unknown [E0 16 01 55 44 33 22 11 ] 10x8 DSFID 0 AFI 0", 11, "0,07 06 05 04 03 02 01 00 ,00",
         "9,4F 4E 4D 4C 4B 4A 49 48 ,00"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.what);
        onlyTag(r.maker, r.chip, r.count, r.size);
        viewTag([&](TDispTagDataDlg &v) {
            EXPECT_EQ(takeSent(), r.sent);
            EXPECT_EQ(fields(v), r.fields);
            EXPECT_EQ(v.StringGrid1->model()->headerData(1, Qt::Horizontal).toString().toStdString(),
                      "data(MSB --- LSB)");
            EXPECT_EQ(gridRowCount(v.StringGrid1), r.rowCount);
            EXPECT_EQ(row(v, 1), r.first);
            EXPECT_EQ(row(v, r.rowCount - 1), r.last);
        });
        EXPECT_EQ(board.model().param(0xAC), 0x20);
        EXPECT_TRUE(savedSettings().contains("[DispTagData]\r\ndispdir=1\r\n"));
    }
}

// Failures end the read-out where they happen and show only what each answer carried: a short
// block answer fills its row with the bytes it had, a NACK stops the read-out (the reader's
// block size is still given back), a short byte read leaves the later blocks' data empty, a
// system information without the memory size reads nothing, no tag gives the message.
TEST_F(TagDataViewerTest, FailuresStopTheReadOutAndRowsShowOnlyWhatTheirAnswerCarried)
{
    writeSettings("[DispTagData]\r\ndispdir=0\r\n");
    const struct {
        const char *what;
        uint8_t maker;
        int count; // blocks of 4 bytes; 0: no tag in the field
        QList<std::pair<uint8_t, ReaderStandIn::Responder>> script;
        std::string sent;
        int rowCount;
        QStringList rows; // the rows with any text, as "r:c0,c1,c2"
        QStringList messages;
    } cases[] = {
        // clang-format off
        {"short first block, NACK at block 6", 2, 6, {{0x20, ReaderStandIn::ack(bytesOf({0x20, 0x00, 0xAA, 0xBB}))}},
         "x 01 40 | O AC | N AC 04 | " + blockReads(0, 6, 0x10) + " | N AC 20", 17,
         {"1:0,AA BB ,00", "2:1,04 05 06 07 ,00", "3:2,08 09 0A 0B ,00", "4:3,0C 0D 0E 0F ,00", "5:4,10 11 12 13 ,00",
          "6:5,14 15 16 17 ,00"}, {}},
        {"short byte read", 4, 3, {{0xA0, ReaderStandIn::ack(bytesOf({0xA0, 1, 2, 3, 4, 5, 6}))}},
         "x 01 40 | x 2B 00 | O AC | N AC 04 | x A0 00 0C 00 | x 2C 00 02 00 | N AC 20", 4,
         {"1:0,01 02 03 04 ,00", "2:1,05 06 ,00", "3:2,,00"}, {}},
        {"system information without the memory size", 0x16, 3,
         {{0x2B, ReaderStandIn::ack(bytesOf({0x2B, 0x02, 0x11, 0x22, 0x33, 0x44, 0x55, 0x01, 0x16, 0xE0, 0x07}))}},
         "x 01 40 | x 2B 00", 1, {}, {}},
        {"no tag", 2, 0, {}, "x 01 40", 1, {}, {"タグのデータが読み込めません!!"}},
        {"inventory answer without the UID", 2, 6, {{0x01, ReaderStandIn::ack(bytesOf({0x01, 0x00}))}}, "x 01 40", 1,
         {}, {"タグのデータが読み込めません!!"}},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        onlyTag(c.maker, 0x01, c.count, 4);
        if (c.count == 0)
            board.model().tags.clear();
        for (const auto &[code, reply] : c.script)
            board.expect('x', code, reply);
        MessageBoxRecorder boxes;
        viewTag([&](TDispTagDataDlg &v) {
            EXPECT_EQ(takeSent(), c.sent);
            EXPECT_EQ(v.StringGrid1->model()->headerData(1, Qt::Horizontal).toString().toStdString(),
                      "data(LSB --- MSB)");
            EXPECT_EQ(gridRowCount(v.StringGrid1), c.rowCount);
            QStringList filled;
            for (int r = 1; r < gridRowCount(v.StringGrid1); ++r)
                if (const std::string text = row(v, r); text != ",,")
                    filled << QString::number(r) + QLatin1Char(':') + QString::fromStdString(text);
            EXPECT_EQ(joined(filled), joined(c.rows));
            if (c.sent == "x 01 40") {
                EXPECT_EQ(fields(v), "Unknown [00 00 00 00 00 00 00 00 ] 0x0 DSFID 0 AFI 0");
            }
        });
        EXPECT_EQ(joined(boxes.texts()), joined(c.messages));
        EXPECT_EQ(board.scriptLeft(), 0);
    }
    EXPECT_TRUE(savedSettings().contains("dispdir=0\r\n"));
}

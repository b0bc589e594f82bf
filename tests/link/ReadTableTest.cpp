#include "tests/link/ReceiveFixture.h"

namespace
{

class ReadTableTest : public ReceiveTest
{
protected:
    void SetUp() override
    {
        ReceiveTest::SetUp();
        makeHub();
    }
    void makeHub(int gridColumns = 4)
    {
        ReceiveTest::makeHub(gridColumns);
        hub->fDispRecInfo = 0;
    }
    std::string row(int r) const
    {
        std::string s;
        for (int c = 0; c < window->grid.columnCount(); ++c)
            s += (c ? "," : "") + gridCellText(&window->grid, c, r).toStdString();
        return s;
    }
    static QByteArray uid(int last) { return bytesOf({1, 2, 3, 4, 5, 6, 7, last}); }
    QByteArray scanRead(int last, const QByteArray &text, uint8_t id = 0) { return reply('d', uid(last) + text, id); }
};

} // namespace

TEST_F(ReadTableTest, RepeatedReadsAreCountedAndOtherDataTextsGetTheirOwnRecord)
{
    pushAndPoll(scanRead(8, "abc") + scanRead(8, "abc") + scanRead(8, "xyz"));
    EXPECT_EQ(hub->ReadCount, 2);
    EXPECT_EQ(row(1), "1,2,abc,08 07 06 05 04 03 02 01 ");
    EXPECT_EQ(row(2), "2,1,xyz,08 07 06 05 04 03 02 01 ");
    EXPECT_EQ(window->status[1], QStringLiteral("読みとり総数： 2"));
    EXPECT_EQ(hub->LastRecRow, 2);

    // Counting an old record moves LastRecRow back to it and leaves the status text alone.
    window->status.clear();
    pushAndPoll(scanRead(8, "abc"));
    EXPECT_EQ(row(1), "1,3,abc,08 07 06 05 04 03 02 01 ");
    EXPECT_EQ(hub->LastRecRow, 1);
    EXPECT_TRUE(window->status.empty());
}

TEST_F(ReadTableTest, SimpleReadsMatchOnTheirBytesAloneAndInventoryListsOnTheUid)
{
    hub->AddReadRecord("abc", "11 ");
    const QByteArray tag = bytesOf({0x83, 0x5E, 0x83, 0x4F}); // "タグ" in CP932
    pushAndPoll(reply('D', "abc") + reply('D', "abc") + reply('D', tag) + reply('D', tag));
    pushAndPoll(reply('i', bytesOf({3, 0, 0}) + uid(1) + uid(2) + uid(1)));
    EXPECT_EQ(hub->ReadCount, 4);
    EXPECT_EQ(row(1), "1,3,abc,11 ") << "a simple read counts any record with its text";
    EXPECT_EQ(row(2), "2,2,タグ,");
    EXPECT_EQ(hexOf(gridCellBytes(&window->grid, 2, 2)), hexOf(tag));
    EXPECT_EQ(row(3), "3,2,,01 07 06 05 04 03 02 01 ");
    EXPECT_EQ(row(4), "4,1,,02 07 06 05 04 03 02 01 ");
    EXPECT_EQ(hexOf(window->uid), hexOf(uid(1))) << "the last UID of the list stays current";
}

TEST_F(ReadTableTest, AFullTableIgnoresNewReadsAndKeepsCountingKnownOnes)
{
    writeSettings("MAX_REC_NO=3\r\n");
    makeHub();
    for (int i = 1; i <= 4; ++i)
        hub->AddReadRecord(QByteArray::number(i), "");
    hub->AddReadRecord("2", "");
    EXPECT_EQ(hub->ReadCount, 3);
    EXPECT_EQ(row(2), "2,2,2,");
    EXPECT_EQ(row(4), ",,,");
    EXPECT_EQ(window->status[1], QStringLiteral("読みとり総数： 3"));
    EXPECT_EQ(hub->LastRecRow, 2);
}

TEST_F(ReadTableTest, TheInOutColumnNamesTheReaderThatReported)
{
    makeHub(5);
    const struct {
        bool useInOut;
        int inOutMode, uidLast, id, row;
        const char *cell;
    } reads[] = {
        {true, 0, 1, 1, 1, "OUT"}, {true, 0, 1, 0, 1, "IN"},
        {true, 0, 1, 2, 1, "IN"}, // a reader neither in nor out leaves the cell
        {true, 1, 2, 42, 2, "42"}, {false, 1, 3, 1, 3, ""},
    };
    for (const auto &r : reads) {
        window->useInOut = r.useInOut;
        window->inOutMode = r.inOutMode;
        pushAndPoll(scanRead(r.uidLast, "a", r.id));
        EXPECT_EQ(gridCellText(&window->grid, 4, r.row), r.cell) << r.id;
    }
    EXPECT_EQ(gridCellText(&window->grid, 1, 1), "3");
}

TEST_F(ReadTableTest, TheGridGrowsPastItsTwentyRowsAndClearingShrinksIt)
{
    for (int i = 1; i <= 25; ++i) {
        hub->AddReadData(QByteArray::number(i));
        EXPECT_EQ(gridRowCount(&window->grid), std::max(20, i + 1)) << i;
    }
    EXPECT_EQ(row(25), "25,1,25,");

    hub->ClearReadTable();
    EXPECT_EQ(hub->ReadCount, 0);
    EXPECT_EQ(gridRowCount(&window->grid), 20);
    EXPECT_EQ(row(1), ",,,");
    EXPECT_EQ(hub->ReadTable[0].count, 0);

    hub->AddReadData("25");
    EXPECT_EQ(row(1), "1,1,25,");
    EXPECT_EQ(window->status[1], QStringLiteral("読みとり総数： 1"));
}

TEST_F(ReadTableTest, GateCountFramesReachTheWindowBeforeTheNextFrameIsRouted)
{
    int readsSeenByWindow = -1;
    window->onGateEvent = [&] { readsSeenByWindow = hub->ReadCount; };
    const QByteArray record = QByteArray::fromHex("0102030405060708090A0B0C");
    pushAndPoll(reply('G', bytesOf({0x80}) + record) + scanRead(1, "a"));
    ASSERT_EQ(window->gateEvents.size(), 1u);
    EXPECT_EQ(window->gateEvents[0].first, 10);
    EXPECT_EQ(hexOf(window->gateEvents[0].second), hexOf(record));
    EXPECT_EQ(readsSeenByWindow, 0);

    pushAndPoll(reply('G', bytesOf({0x80}) + record.left(11)));
    EXPECT_EQ(window->gateEvents.size(), 1u) << "LEN 12 carries no whole record";
    EXPECT_EQ(hub->LastGateFrame[3], 12) << "but is still kept as the last gate frame";

    // A poll that runs while the window handles the event keeps the frame it has begun.
    const QByteArray next = scanRead(2, "b");
    window->onGateEvent = [&] { pushAndPoll(next.left(5)); };
    pushAndPoll(reply('G', bytesOf({0x80}) + record));
    window->onGateEvent = nullptr;
    pushAndPoll(next.mid(5));
    EXPECT_EQ(hub->ReadCount, 2);
}

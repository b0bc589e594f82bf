#include "tests/link/SenderFixture.h"

// The stand-in's reader, switched as the run-mode switch does, reports its field by itself in
// auto-scan and continuous inventory, and the hub turns the reports into grid rows that count
// up; back in command mode it falls silent.
TEST_F(SenderHubTest, StandInReportsItsFieldInAutoScanAndContinuousInventoryUntilCommandMode)
{
    standIn.setDefaultResponder(standIn.modelReader());
    standIn.model().tags[0].blocks[0] = "ABCD";
    standIn.model().tags[1].blocks[0] = QByteArray("W\0YZ", 4);
    const auto rowsIn = [this](uint8_t mode) {
        hub->TxDousaMode(mode, 0x00, 0x10, 0x0000, false);
        EXPECT_TRUE(hub->WaitReply()) << linesOf(memo.lines);
        hub->ClearReadTable(); // reports of the mode before
        const auto twice = [this] {
            return hub->ReadCount == 2 && std::min(hub->ReadTable[0].count, hub->ReadTable[1].count) >= 2;
        };
        waitFor(twice, mode == 0x00 ? 1000 : 5000);
        std::string rows;
        for (int r = 1; r <= hub->ReadCount; ++r)
            rows += gridCellText(&window->grid, 2, r).toStdString() + "," +
                    gridCellText(&window->grid, 3, r).toStdString() + ";";
        return rows;
    };
    EXPECT_EQ(rowsIn(0x01), "ABCD,E0 07 06 05 04 03 02 01 ;WYZ,E0 07 66 55 44 33 22 11 ;");
    EXPECT_EQ(rowsIn(0x50), ",E0 07 06 05 04 03 02 01 ;,E0 07 66 55 44 33 22 11 ;");
    EXPECT_EQ(rowsIn(0x00), "");
    EXPECT_FALSE(memo.lines.contains(formatLine)) << linesOf(memo.lines);
}

#include "link/ResultGrid.h"

#include "tests/support/TestSupport.h"

#include <QTableWidget>

#include <gtest/gtest.h>

TEST(ResultGridTest, GridRowsCountTheTitleRowAndGrowBeforeACellPastTheEnd)
{
    QTableWidget grid(0, 4);
    setGridRowCount(&grid, GridDesignRowCount);
    EXPECT_EQ(grid.rowCount(), 19);
    EXPECT_EQ(gridRowCount(&grid), 20);

    setGridCellText(&grid, 0, 1, QStringLiteral("1"));
    EXPECT_EQ(grid.item(0, 0)->text(), "1");

    setGridCellText(&grid, 3, 25, QStringLiteral("x"));
    EXPECT_EQ(gridRowCount(&grid), 26);
    EXPECT_EQ(gridCellText(&grid, 3, 25), "x");

    // Column 4 does not exist on a four-column grid: nothing is written.
    setGridCellText(&grid, 4, 2, QStringLiteral("in"));
    EXPECT_EQ(gridCellText(&grid, 4, 2), "");
}

TEST(ResultGridTest, CellsFilledFromWireBytesGiveTheSameBytesBack)
{
    QTableWidget grid(19, 4);
    // Not valid CP932 on its own: shown with a replacement character, kept as it came.
    const QByteArray wire = bytesOf({0x41, 0x81, 0x7F, 0xFF});
    setGridCellBytes(&grid, 2, 1, wire);
    EXPECT_EQ(hexOf(gridCellBytes(&grid, 2, 1)), hexOf(wire));

    setGridCellBytes(&grid, 2, 2, bytesOf({0x83, 0x5E}));
    EXPECT_EQ(gridCellText(&grid, 2, 2), QStringLiteral("タ"));

    // A cell overwritten with plain text forgets the bytes it held.
    setGridCellText(&grid, 2, 1, QStringLiteral("タ"));
    EXPECT_EQ(hexOf(gridCellBytes(&grid, 2, 1)), "83 5E");
}

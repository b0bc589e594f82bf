// The hub's read table, its mirror in the main window's result grid, and the gate count events.

#include "link/HubWindow.h"
#include "link/ResultGrid.h"
#include "link/TTComXDlg.h"

#include <algorithm>

namespace
{

constexpr int ColNumber = 0;
constexpr int ColCount = 1;
constexpr int ColTextA = 2;
constexpr int ColTextB = 3;
constexpr int ColInOut = 4;

StringGridView *gridOf(const TTComXDlg &hub)
{
    return hub.window() ? hub.window()->ResultGrid() : nullptr;
}

// Column 4 names the reader that reported the read (several readers share one LAN); a reader
// that is neither the in nor the out reader leaves the cell as it was.
void writeInOutCell(const TTComXDlg &hub, int row)
{
    HubWindow *win = hub.window();
    StringGridView *grid = gridOf(hub);
    if (!win || !grid || !win->fUseInOutFormat())
        return;
    if (win->InOutMode() != 0)
        setGridCellText(grid, ColInOut, row, QString::number(hub.LastReplyId));
    else if (hub.LastReplyId == win->InCode())
        setGridCellText(grid, ColInOut, row, win->InString());
    else if (hub.LastReplyId == win->OutCode())
        setGridCellText(grid, ColInOut, row, win->OutString());
}

void repaint(StringGridView *grid)
{
    if (grid)
        grid->viewport()->update();
}

} // namespace

void TTComXDlg::addRead(const QByteArray &textA, const QByteArray &textB, bool matchTextAOnly)
{
    const int capacity = static_cast<int>(ReadTable.size());
    const int used = std::min(ReadCount, capacity);
    StringGridView *grid = gridOf(*this);
    if (const int k = matchTextAOnly ? readIndex_.firstWithTextA(ReadTable, textA)
                                     : readIndex_.firstWithTexts(ReadTable, textA, textB)) {
        tagTAGDATA &rec = ReadTable[static_cast<size_t>(k - 1)];
        rec.count += 1;
        writeInOutCell(*this, k);
        if (grid)
            setGridCellText(grid, ColCount, k, QString::number(rec.count));
        LastRecRow = k;
        repaint(grid);
        return;
    }
    // A full table ignores new reads; known ones keep counting.
    if (used >= capacity)
        return;
    const int k = ++ReadCount;
    ReadTable[static_cast<size_t>(k - 1)] = tagTAGDATA{textA, textB, 1};
    readIndex_.add(ReadTable, k);
    if (grid) {
        setGridCellBytes(grid, ColTextB, k, textB);
        setGridCellBytes(grid, ColTextA, k, textA);
        setGridCellText(grid, ColCount, k, QStringLiteral("1"));
        setGridCellText(grid, ColNumber, k, QString::number(k));
    }
    writeInOutCell(*this, k);
    if (window())
        window()->SetStatusPanelText(1, QStringLiteral("読みとり総数： ") + QString::number(k));
    LastRecRow = k;
    if (grid && k >= GridDesignRowCount)
        setGridRowCount(grid, k + 1);
    repaint(grid);
}

void TTComXDlg::AddReadData(const QByteArray &text)
{
    addRead(text, QByteArray(), true);
}

void TTComXDlg::AddReadRecord(const QByteArray &textA, const QByteArray &textB)
{
    addRead(textA, textB, false);
}

void TTComXDlg::ClearReadTable()
{
    ReadCount = 0;
    for (tagTAGDATA &rec : ReadTable)
        rec = tagTAGDATA{};
    readIndex_.clear();
    StringGridView *grid = gridOf(*this);
    if (!grid)
        return;
    if (gridRowCount(grid) >= 2)
        grid->cells()->clearCells();
    if (LastRecRow >= GridDesignRowCount)
        setGridRowCount(grid, GridDesignRowCount);
}

void TTComXDlg::PostGateEvent(int dwData, int count, const uint8_t *bytes)
{
    // A direct call: the window has handled the record before the collector goes on.
    if (window())
        window()->GateCountEvent(dwData, QByteArray(reinterpret_cast<const char *>(bytes), count));
}

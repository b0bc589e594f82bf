// The hub's read table, its mirror in the main window's result grid, and the gate count events.

#include "link/HubWindow.h"
#include "link/ResultGrid.h"
#include "link/TTComXDlg.h"

#include <QTableWidget>

#include <algorithm>

namespace
{

constexpr int ColNumber = 0;
constexpr int ColCount = 1;
constexpr int ColTextA = 2;
constexpr int ColTextB = 3;
constexpr int ColInOut = 4;

QTableWidget *gridOf(const TTComXDlg &hub)
{
    return hub.window() ? hub.window()->ResultGrid() : nullptr;
}

// Column 4 names the reader that reported the read (several readers share one LAN); a reader
// that is neither the in nor the out reader leaves the cell as it was.
void writeInOutCell(const TTComXDlg &hub, int row)
{
    HubWindow *win = hub.window();
    QTableWidget *grid = gridOf(hub);
    if (!win || !grid || !win->fUseInOutFormat())
        return;
    if (win->InOutMode() != 0)
        setGridCellText(grid, ColInOut, row, QString::number(hub.LastReplyId));
    else if (hub.LastReplyId == win->InCode())
        setGridCellText(grid, ColInOut, row, win->InString());
    else if (hub.LastReplyId == win->OutCode())
        setGridCellText(grid, ColInOut, row, win->OutString());
}

void repaint(QTableWidget *grid)
{
    if (grid)
        grid->viewport()->update();
}

void addRead(TTComXDlg &hub, const QByteArray &textA, const QByteArray &textB, bool matchTextAOnly)
{
    const int capacity = static_cast<int>(hub.ReadTable.size());
    const int used = std::min(hub.ReadCount, capacity);
    QTableWidget *grid = gridOf(hub);
    for (int k = 1; k <= used; ++k) {
        tagTAGDATA &rec = hub.ReadTable[static_cast<size_t>(k - 1)];
        if (rec.textA != textA || (!matchTextAOnly && rec.textB != textB))
            continue;
        rec.count += 1;
        writeInOutCell(hub, k);
        if (grid)
            setGridCellText(grid, ColCount, k, QString::number(rec.count));
        hub.LastRecRow = k;
        repaint(grid);
        return;
    }
    // A full table ignores new reads; known ones keep counting.
    if (used >= capacity)
        return;
    const int k = ++hub.ReadCount;
    hub.ReadTable[static_cast<size_t>(k - 1)] = tagTAGDATA{textA, textB, 1};
    if (grid) {
        setGridCellBytes(grid, ColTextB, k, textB);
        setGridCellBytes(grid, ColTextA, k, textA);
        setGridCellText(grid, ColCount, k, QStringLiteral("1"));
        setGridCellText(grid, ColNumber, k, QString::number(k));
    }
    writeInOutCell(hub, k);
    if (hub.window())
        hub.window()->SetStatusPanelText(1, QStringLiteral("読みとり総数： ") + QString::number(k));
    hub.LastRecRow = k;
    if (grid && k >= GridDesignRowCount)
        setGridRowCount(grid, k + 1);
    repaint(grid);
}

} // namespace

void TTComXDlg::AddReadData(const QByteArray &text)
{
    addRead(*this, text, QByteArray(), true);
}

void TTComXDlg::AddReadRecord(const QByteArray &textA, const QByteArray &textB)
{
    addRead(*this, textA, textB, false);
}

void TTComXDlg::ClearReadTable()
{
    ReadCount = 0;
    for (tagTAGDATA &rec : ReadTable)
        rec = tagTAGDATA{};
    QTableWidget *grid = gridOf(*this);
    if (!grid)
        return;
    if (gridRowCount(grid) >= 2)
        grid->clearContents();
    if (LastRecRow >= GridDesignRowCount)
        setGridRowCount(grid, GridDesignRowCount);
}

void TTComXDlg::PostGateEvent(int dwData, int count, const uint8_t *bytes)
{
    // A direct call: the window has handled the record before the collector goes on.
    if (window())
        window()->GateCountEvent(dwData, QByteArray(reinterpret_cast<const char *>(bytes), count));
}

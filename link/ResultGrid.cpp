#include "link/ResultGrid.h"

#include "platform/Cp932.h"

#include <QTableWidget>

namespace
{

QTableWidgetItem *itemFor(QTableWidget *grid, int column, int row)
{
    if (row < 1 || column < 0)
        return nullptr;
    if (row >= gridRowCount(grid))
        setGridRowCount(grid, row + 1);
    if (column >= grid->columnCount())
        return nullptr;
    QTableWidgetItem *item = grid->item(row - 1, column);
    if (!item) {
        item = new QTableWidgetItem;
        grid->setItem(row - 1, column, item);
    }
    return item;
}

} // namespace

int gridRowCount(const QTableWidget *grid)
{
    return grid->rowCount() + 1;
}

void setGridRowCount(QTableWidget *grid, int rowCount)
{
    grid->setRowCount(rowCount > 1 ? rowCount - 1 : 0);
}

void setGridCellText(QTableWidget *grid, int column, int row, const QString &text)
{
    if (QTableWidgetItem *item = itemFor(grid, column, row)) {
        item->setData(GridRawBytesRole, QVariant());
        item->setText(text);
    }
}

void setGridCellBytes(QTableWidget *grid, int column, int row, const QByteArray &bytes)
{
    if (QTableWidgetItem *item = itemFor(grid, column, row)) {
        item->setText(cp932ToUnicode(bytes));
        item->setData(GridRawBytesRole, bytes);
    }
}

QString gridCellText(const QTableWidget *grid, int column, int row)
{
    const QTableWidgetItem *item = row >= 1 ? grid->item(row - 1, column) : nullptr;
    return item ? item->text() : QString();
}

QByteArray gridCellBytes(const QTableWidget *grid, int column, int row)
{
    const QTableWidgetItem *item = row >= 1 ? grid->item(row - 1, column) : nullptr;
    if (!item)
        return {};
    const QVariant raw = item->data(GridRawBytesRole);
    return raw.isValid() ? raw.toByteArray() : unicodeToCp932(item->text());
}

#include "link/ResultGrid.h"

#include "platform/Cp932.h"

#include <algorithm>

StringGridModel::StringGridModel(int rows, int columns, QObject *parent) : QAbstractTableModel(parent)
{
    rows_ = std::max(rows, 0);
    columns_ = std::max(columns, 0);
    cells_.resize(static_cast<size_t>(rows_) * static_cast<size_t>(columns_));
}

int StringGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int StringGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : columns_;
}

QVariant StringGridModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || !inside(index.row(), index.column()))
        return {};
    const Cell &cell = cells_[at(index.row(), index.column())];
    switch (cell.kind) {
    case Kind::Number:
        return QString::number(cell.number);
    case Kind::Raw:
        return cp932ToUnicode(cell.bytes);
    case Kind::Text:
        break;
    }
    return cell.bytes.isEmpty() ? QVariant() : QVariant(QString::fromUtf8(cell.bytes));
}

QVariant StringGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return section >= 0 && section < titles_.size() ? titles_[section] : QString();
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags StringGridModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}

void StringGridModel::setRows(int rows)
{
    rows = std::max(rows, 0);
    if (rows == rows_)
        return;
    if (rows > rows_)
        beginInsertRows(QModelIndex(), rows_, rows - 1);
    else
        beginRemoveRows(QModelIndex(), rows, rows_ - 1);
    const bool growing = rows > rows_;
    rows_ = rows;
    // The arrays grow by doubling (std::vector), so a grid that gains a row per read costs
    // amortised constant time a row, and they keep their room when the grid shrinks.
    cells_.resize(static_cast<size_t>(rows_) * static_cast<size_t>(columns_));
    if (growing)
        endInsertRows();
    else
        endRemoveRows();
}

void StringGridModel::setColumns(int columns)
{
    columns = std::max(columns, 0);
    if (columns == columns_)
        return;
    beginResetModel();
    std::vector<Cell> cells(static_cast<size_t>(rows_) * static_cast<size_t>(columns));
    for (int r = 0; r < rows_; ++r) {
        for (int c = 0; c < std::min(columns, columns_); ++c)
            cells[static_cast<size_t>(r) * static_cast<size_t>(columns) + c] = cells_[at(r, c)];
    }
    columns_ = columns;
    cells_.swap(cells);
    endResetModel();
}

void StringGridModel::setTitles(const QStringList &titles)
{
    titles_ = titles;
    if (titles_.size() > columns_)
        setColumns(static_cast<int>(titles_.size()));
    if (columns_ > 0)
        emit headerDataChanged(Qt::Horizontal, 0, columns_ - 1);
}

void StringGridModel::setText(int row, int column, const QString &text)
{
    // A number in the form QString::number writes it (no sign, blank or leading zero) reads
    // back the same from the number alone.
    const bool plainNumber = !text.isEmpty() && text.size() <= 9 && (text.size() == 1 || text[0] != u'0') &&
                             std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (plainNumber)
        store(row, column, Cell{QByteArray(), text.toInt(), Kind::Number});
    else
        store(row, column, Cell{text.toUtf8(), 0, Kind::Text});
}

void StringGridModel::setBytes(int row, int column, const QByteArray &bytes)
{
    store(row, column, Cell{bytes, 0, Kind::Raw});
}

void StringGridModel::store(int row, int column, Cell cell)
{
    if (!inside(row, column))
        return;
    cells_[at(row, column)] = std::move(cell);
    const QModelIndex changed = index(row, column);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

void StringGridModel::clearCells()
{
    std::fill(cells_.begin(), cells_.end(), Cell{});
    if (rows_ > 0 && columns_ > 0)
        emit dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1), {Qt::DisplayRole});
}

QString StringGridModel::text(int row, int column) const
{
    return data(index(row, column)).toString();
}

QByteArray StringGridModel::bytes(int row, int column) const
{
    if (!inside(row, column))
        return {};
    const Cell &cell = cells_[at(row, column)];
    switch (cell.kind) {
    case Kind::Number:
        return QByteArray::number(cell.number);
    case Kind::Raw:
        return cell.bytes;
    case Kind::Text:
        break;
    }
    return unicodeToCp932(QString::fromUtf8(cell.bytes));
}

bool StringGridModel::inside(int row, int column) const
{
    return row >= 0 && row < rows_ && column >= 0 && column < columns_;
}

StringGridView::StringGridView(int rows, int columns, QWidget *parent)
    : QTableView(parent), model_(new StringGridModel(rows, columns, this))
{
    setModel(model_);
}

void StringGridView::setCurrentCell(int row, int column)
{
    setCurrentIndex(model_->index(row, column));
}

int gridRowCount(const StringGridView *grid)
{
    return grid->rowCount() + 1;
}

void setGridRowCount(StringGridView *grid, int rowCount)
{
    grid->cells()->setRows(rowCount > 1 ? rowCount - 1 : 0);
}

namespace
{

// The table row of grid row `row`, after growing the table to hold it; -1 for the title row.
int tableRowFor(StringGridView *grid, int row)
{
    if (row < 1)
        return -1;
    if (row >= gridRowCount(grid))
        setGridRowCount(grid, row + 1);
    return row - 1;
}

} // namespace

void setGridCellText(StringGridView *grid, int column, int row, const QString &text)
{
    const int r = tableRowFor(grid, row);
    if (r >= 0)
        grid->cells()->setText(r, column, text);
}

void setGridCellBytes(StringGridView *grid, int column, int row, const QByteArray &bytes)
{
    const int r = tableRowFor(grid, row);
    if (r >= 0)
        grid->cells()->setBytes(r, column, bytes);
}

QString gridCellText(const StringGridView *grid, int column, int row)
{
    return row >= 1 ? grid->cells()->text(row - 1, column) : QString();
}

QByteArray gridCellBytes(const StringGridView *grid, int column, int row)
{
    return row >= 1 ? grid->cells()->bytes(row - 1, column) : QByteArray();
}

#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTableView>

#include <cstdint>
#include <vector>

// The program's string grids (the main window's result grid StringGrid1, the tag viewer's block
// grid): a table view over a model of its own cells. The titles live in the horizontal header,
// so grid row r (row 0 being the title row, record k of the read table standing in row k) is
// table row r - 1, and the grid's RowCount (title row included) is the table's row count + 1: a
// fresh result grid of 20 rows has 19 table rows. Every reader and writer of a grid goes through
// the helpers below.

// A fresh result grid: 20 rows, title row included.
constexpr int GridDesignRowCount = 20;

// The cells below the title row. A cell holds text, or the wire bytes it was filled from (shown
// as their CP932 reading, written back unchanged by the CSV). A grid of a hundred thousand reads
// must stay small: wire bytes share their data with the read table's copy, and a text that is a
// plain decimal number (the record numbers and counts) is kept as that number.
class StringGridModel : public QAbstractTableModel
{
public:
    explicit StringGridModel(int rows, int columns, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    void setRows(int rows);
    void setColumns(int columns);
    void setTitles(const QStringList &titles);
    void setText(int row, int column, const QString &text);
    void setBytes(int row, int column, const QByteArray &bytes);
    // Empties every cell; rows and titles stay.
    void clearCells();

    QString text(int row, int column) const;
    QByteArray bytes(int row, int column) const;

private:
    enum class Kind : uint8_t { Text, Raw, Number };
    struct Cell {
        QByteArray bytes; // Text: UTF-8; Raw: the wire bytes; Number: empty
        int32_t number = 0;
        Kind kind = Kind::Text;
    };

    bool inside(int row, int column) const;
    size_t at(int row, int column) const { return static_cast<size_t>(row) * static_cast<size_t>(columns_) + column; }
    void store(int row, int column, Cell cell);

    int rows_ = 0;
    int columns_ = 0;
    QStringList titles_;
    std::vector<Cell> cells_; // row-major
};

// The grid widget, with the few string-grid calls the program makes of it.
class StringGridView : public QTableView
{
public:
    // rows: table rows (below the title row).
    StringGridView(int rows, int columns, QWidget *parent = nullptr);

    StringGridModel *cells() const { return model_; }
    int rowCount() const { return model_->rowCount(); }
    int columnCount() const { return model_->columnCount(); }
    void setColumnCount(int columns) { model_->setColumns(columns); }
    void setHorizontalHeaderLabels(const QStringList &titles) { model_->setTitles(titles); }
    // Table row and column, as QTableWidget counts them.
    void setCurrentCell(int row, int column);

private:
    StringGridModel *model_;
};

int gridRowCount(const StringGridView *grid);
// Grows or shrinks the table to rowCount grid rows (title row included).
void setGridRowCount(StringGridView *grid, int rowCount);

// Writes one cell of grid row `row` (1 or more); the table grows first when the row lies past
// its end.
void setGridCellText(StringGridView *grid, int column, int row, const QString &text);
void setGridCellBytes(StringGridView *grid, int column, int row, const QByteArray &bytes);

QString gridCellText(const StringGridView *grid, int column, int row);
// The cell's bytes as the CSV writes them: the wire bytes it was filled from, else its text in CP932.
QByteArray gridCellBytes(const StringGridView *grid, int column, int row);

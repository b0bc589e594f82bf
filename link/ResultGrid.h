#pragma once

#include <QByteArray>
#include <QString>
#include <QtCore/qnamespace.h>

class QTableWidget;

// The result grid StringGrid1 on a QTableWidget. Its titles live in the horizontal header, so
// grid row r (row 0 being the title row, record k standing in row k) is table row r - 1, and
// the grid's RowCount (title row included) is rowCount() + 1: a fresh grid of 20 rows has 19
// table rows. Every reader and writer of the grid goes through these helpers.

// A fresh grid: 20 rows, title row included.
constexpr int GridDesignRowCount = 20;

// Cells filled from wire bytes keep those bytes under this role (the display text is their
// CP932 reading), so that the CSV writes back exactly what the reader sent.
constexpr int GridRawBytesRole = Qt::UserRole + 1;

int gridRowCount(const QTableWidget *grid);
// Grows or shrinks the table to rowCount grid rows (title row included).
void setGridRowCount(QTableWidget *grid, int rowCount);

// Writes one cell of grid row `row` (1 or more); the table grows first when the row lies past
// its end, since a QTableWidget ignores cells beyond it.
void setGridCellText(QTableWidget *grid, int column, int row, const QString &text);
void setGridCellBytes(QTableWidget *grid, int column, int row, const QByteArray &bytes);

QString gridCellText(const QTableWidget *grid, int column, int row);
// The cell's bytes as the CSV writes them: the wire bytes it was filled from, else its text in CP932.
QByteArray gridCellBytes(const QTableWidget *grid, int column, int row);

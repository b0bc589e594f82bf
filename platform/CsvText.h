#pragma once

#include <QByteArray>
#include <QList>

// The CSV text the program writes (the result grid, the people-count logs): one line per row
// given, cells joined by "," with none after the last, no quoting, each line ended by CR LF.
// Cells are bytes already (CP932 or wire bytes).
QByteArray csvText(const QList<QList<QByteArray>> &rows);

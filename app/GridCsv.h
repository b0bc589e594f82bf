#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The CSV text of the result grid: one line per row given, cells joined by "," with none after
// the last, no quoting, each line ended by CR LF. Cells are bytes already (CP932 or wire bytes).
QByteArray csvText(const QList<QList<QByteArray>> &rows);

// The chosen file name with its extension replaced by ".csv", or ".csv" added when it has none.
QString csvPathFor(const QString &chosen);

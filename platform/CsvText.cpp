#include "platform/CsvText.h"

QByteArray csvText(const QList<QList<QByteArray>> &rows)
{
    QByteArray out;
    for (const QList<QByteArray> &row : rows) {
        for (int c = 0; c < row.size(); ++c) {
            if (c)
                out += ',';
            out += row[c];
        }
        out += "\r\n";
    }
    return out;
}

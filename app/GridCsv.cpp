#include "app/GridCsv.h"

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

QString csvPathFor(const QString &chosen)
{
    const qsizetype slash = chosen.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = chosen.lastIndexOf(QLatin1Char('.'));
    if (dot > slash)
        return chosen.left(dot) + QStringLiteral(".csv");
    return chosen + QStringLiteral(".csv");
}

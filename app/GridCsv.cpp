#include "app/GridCsv.h"

QString csvPathFor(const QString &chosen)
{
    const qsizetype slash = chosen.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = chosen.lastIndexOf(QLatin1Char('.'));
    if (dot > slash)
        return chosen.left(dot) + QStringLiteral(".csv");
    return chosen + QStringLiteral(".csv");
}

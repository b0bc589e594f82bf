#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace
{
QString overridePath;
}

QString programPath()
{
    if (!overridePath.isEmpty())
        return overridePath;
    return QCoreApplication::applicationFilePath();
}

QString programDirectory()
{
    return QFileInfo(programPath()).absolutePath();
}

QString settingsFilePath()
{
    return iniPathFor(programPath());
}

QString iniPathFor(const QString &exePath)
{
    return withExtension(exePath, QStringLiteral(".ini"));
}

QString withExtension(const QString &path, const QString &ext)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot > slash + 1)
        return path.left(dot) + ext;
    return path + ext;
}

void setProgramPathForTest(const QString &path)
{
    overridePath = path;
}

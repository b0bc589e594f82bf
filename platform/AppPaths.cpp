#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {
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
    const qsizetype slash = exePath.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = exePath.lastIndexOf(QLatin1Char('.'));
    if (dot > slash + 1)
        return exePath.left(dot) + QStringLiteral(".ini");
    return exePath + QStringLiteral(".ini");
}

void setProgramPathForTest(const QString &path)
{
    overridePath = path;
}

#include "platform/SettingsFile.h"

#include "platform/IniFile.h"

#include <QFileInfo>

bool prepareSettingsFileForWrite(const QString &path)
{
    if (QFileInfo::exists(path))
        return !isReadOnlyFile(path);
    return createEmptyFile(path);
}

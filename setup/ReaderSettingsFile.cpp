#include "setup/ReaderSettingsFile.h"

#include "platform/AppPaths.h"
#include "platform/IniFile.h"

#include <QFile>

namespace
{

const QString section = QStringLiteral("KV8SET");

QString area1Key(int i)
{
    return QStringLiteral("SETDATA") + QString::number(i);
}

QString area2Key(int j)
{
    return QStringLiteral("SETDATA2") + QString::number(EepromArea1Size + j);
}

} // namespace

void writeSettingsSection(IniFile &ini, bool ver121, const EepromData &area1, const EepromData2 &area2)
{
    for (int i = 0; i < EepromArea1Size; ++i)
        ini.WriteInteger(section, area1Key(i), area1[static_cast<size_t>(i)]);
    if (!ver121)
        return;
    for (int j = 0; j < EepromArea2Size; ++j)
        ini.WriteInteger(section, area2Key(j), area2[static_cast<size_t>(j)]);
}

void readSettingsSection(const IniFile &ini, bool ver121, EepromData &area1, EepromData2 &area2)
{
    for (int i = 0; i < EepromArea1Size; ++i)
        area1[static_cast<size_t>(i)] = static_cast<uint8_t>(ini.ReadInteger(section, area1Key(i), 0));
    if (!ver121)
        return;
    for (int j = 0; j < EepromArea2Size; ++j)
        area2[static_cast<size_t>(j)] = static_cast<uint8_t>(ini.ReadInteger(section, area2Key(j), 0));
}

bool ReadSettingsFile(const QString &path, bool ver121, EepromData &area1, EepromData2 &area2)
{
    // The INI object reads a missing file as an empty one; a load must tell the two apart.
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly))
        return false;
    probe.close();
    readSettingsSection(IniFile(path), ver121, area1, area2);
    return true;
}

bool WriteSettingsFile(const QString &path, bool ver121, const EepromData &area1, const EepromData2 &area2)
{
    IniFile ini(path);
    writeSettingsSection(ini, ver121, area1, area2);
    return ini.UpdateFile();
}

bool WriteParamFile(const QString &path, bool ver121, const EepromData &area1, const EepromData2 &area2)
{
    return WriteSettingsFile(path, ver121, area1, area2);
}

QString settingsFileFilters()
{
    return QStringLiteral("設定ファイル (*.KVI);;全てのファイル (*)");
}

QString settingsFileName(const QString &chosen, int filterIndex)
{
    if (filterIndex != 1 || chosen.endsWith(QStringLiteral(".KVI"), Qt::CaseInsensitive))
        return chosen;
    return withExtension(chosen, QStringLiteral(".KVI"));
}

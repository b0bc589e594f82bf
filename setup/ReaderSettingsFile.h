#pragma once

#include "setup/EepromImage.h"

#include <QString>

class IniFile;

// Reader settings files (".KVI"): section KV8SET, one decimal key per image byte:
// "SETDATA0".."SETDATA39" for area 1, then, only with ver121, "SETDATA240".."SETDATA259" for
// area 2 (one counter runs over both images). Other sections and keys stay as they are.
void writeSettingsSection(IniFile &ini, bool ver121, const EepromData &area1, const EepromData2 &area2);
// Each byte := the low 8 bits of its key (0 when missing or not a number); area 2 only with ver121.
void readSettingsSection(const IniFile &ini, bool ver121, EepromData &area1, EepromData2 &area2);

// The file road. A file that can't be read or written gives false and changes nothing: the
// images on a read, the file on a write.
bool ReadSettingsFile(const QString &path, bool ver121, EepromData &area1, EepromData2 &area2);
bool WriteSettingsFile(const QString &path, bool ver121, const EepromData &area1, const EepromData2 &area2);
// The parameter dump's writer: the same file.
bool WriteParamFile(const QString &path, bool ver121, const EepromData &area1, const EepromData2 &area2);

// The file dialogs' filters; index 1 is the settings-file filter.
QString settingsFileFilters();
// The settings-file filter's name rule, for Load and Save alike: a name whose extension is
// ".KVI" in any letter case stays as chosen; any other extension is replaced by ".KVI", and a
// name without one gets it appended. Another filter keeps the name as chosen.
QString settingsFileName(const QString &chosen, int filterIndex);

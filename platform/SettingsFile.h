#pragma once

#include <QString>

// Whether a section may be written back into the program settings file: a read-only file is
// left alone, a missing one is first created empty. False means write nothing; the program
// settings file reports neither case.
bool prepareSettingsFileForWrite(const QString &path);

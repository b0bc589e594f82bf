#pragma once

#include <QString>

// The program's own file and the settings file beside it.
QString programPath();      // absolute path of the running executable
QString programDirectory(); // its folder, without a trailing '/'
QString settingsFilePath(); // iniPathFor(programPath())

// The executable's path with its last extension replaced by ".ini", or ".ini" appended
// when the file name has none ("/opt/kv8/kv8demo" -> "/opt/kv8/kv8demo.ini"). Only the
// file name is searched for the dot, never the folders above it.
QString iniPathFor(const QString &exePath);

// The path with the last extension of its file name replaced by ext (".ini", ".KVI"), or ext
// appended when the name has none; a name's leading dot starts no extension.
QString withExtension(const QString &path, const QString &ext);

// Tests point the program path into a temporary folder.
void setProgramPathForTest(const QString &path);

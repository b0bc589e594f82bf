#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// In-memory INI file with the semantics of the Windows INI object that the program's
// settings files were written with: the whole file is read at once; section and key names
// compare case-insensitively; a write updates a key in place or appends it at the end of
// its section (a new section at the end of the file); other sections, unknown keys,
// comments and blank lines are kept as they were. Strings are CP932 on disk.
class IniFile
{
public:
    // Reads the whole file; a missing or unreadable file gives an empty object.
    explicit IniFile(const QString &path);

    QString fileName() const { return path_; }

    // Names are matched, and values read, with the blanks and tabs around them trimmed (as
    // the Windows profile functions do), by one rule for the file and for the names given
    // here; other white space (an ideographic space) is part of a name. A key present with
    // an empty value reads as "" (not def).

    // Signed decimal or "0x" hex (a 32-bit pattern, so 0xFFFFFFFF reads as -1); anything else, a decimal out of range
    // or a missing key gives def.
    int ReadInteger(const QString &section, const QString &key, int def) const;
    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    // The CP932 bytes of a value as stored (blanks around it trimmed), or def when the key
    // is missing.
    QByteArray ReadBytes(const QString &section, const QString &key, const QByteArray &def = {}) const;

    void WriteInteger(const QString &section, const QString &key, int value);
    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteBytes(const QString &section, const QString &key, const QByteArray &value);

    bool SectionExists(const QString &section) const;
    bool ValueExists(const QString &section, const QString &key) const;
    QStringList ReadSection(const QString &section) const; // key names in file order
    void EraseSection(const QString &section);
    void DeleteKey(const QString &section, const QString &key);

    // Writes the whole file back with CR LF line ends, atomically: a temporary file in the
    // same folder that takes the original's mode, then a rename. Returns false (and leaves
    // the original untouched) when that fails; errorString() then says why.
    bool UpdateFile();
    QString errorString() const { return error_; }

    // The file text as UpdateFile would write it.
    QByteArray serialized() const;

private:
    struct Line {
        QByteArray raw; // the line as read, without its line end
        QByteArray key; // key as written (empty for section headers, comments, blanks)
        QByteArray value;
        bool isSection = false;
        QByteArray section; // section name for headers
        QString name;       // key or section name decoded, for case-insensitive lookups
    };
    int findSection(const QString &section) const;
    int findKey(int sectionLine, const QString &key) const;
    int sectionEnd(int sectionLine) const;
    const Line *findValue(const QString &section, const QString &key) const;
    void setValue(const QString &section, const QString &key, const QByteArray &value);

    QString path_;
    QString error_;
    QList<Line> lines_;
};

// No write bit in the file's mode, or not writable by this user. Root passes access(),
// so the mode bits are tested as well.
bool isReadOnlyFile(const QString &path);

// Creates an empty file where none is (an existing file keeps its content); false when it
// can't be created.
bool createEmptyFile(const QString &path);

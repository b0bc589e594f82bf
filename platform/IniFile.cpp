#include "platform/IniFile.h"

#include "platform/Cp932.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Only blanks and tabs: neither can be the second byte of a CP932 character, so trimming
// bytes never cuts a character in two.
QByteArray trimBlanks(const QByteArray &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

// Names given by a caller are trimmed by the rule of the names read from the file (blanks
// and tabs, and the line breaks that a write turns into blanks), so that every name the
// file lists can be read and written by that name. Other white space is part of a name.
QString trimName(const QString &name)
{
    const auto trimmable = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
    qsizetype begin = 0;
    qsizetype end = name.size();
    while (begin < end && trimmable(name[begin]))
        ++begin;
    while (end > begin && trimmable(name[end - 1]))
        --end;
    return name.mid(begin, end - begin);
}

// A line break inside a name or value would split it into lines of its own on the next
// read, so it is written as a blank.
QByteArray singleLine(QByteArray text)
{
    text.replace('\r', ' ');
    text.replace('\n', ' ');
    return text;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool parseInteger(const QByteArray &text, int &result)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i >= text.size())
        return false;

    if (text.size() - i > 2 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        uint64_t value = 0;
        for (i += 2; i < text.size(); ++i) {
            const int d = hexDigit(text[i]);
            if (d < 0)
                return false;
            value = value * 16 + static_cast<uint64_t>(d);
            if (value > 0xFFFFFFFFu)
                return false;
        }
        const uint32_t pattern = static_cast<uint32_t>(value);
        result = static_cast<int32_t>(negative ? 0u - pattern : pattern);
        return true;
    }

    int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
        if (value > int64_t{INT32_MAX} + 1)
            return false;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        return false;
    result = static_cast<int>(value);
    return true;
}

QString systemError(const QString &what, const QString &path, int err)
{
    return QStringLiteral("%1 %2: %3").arg(what, path, qt_error_string(err));
}

bool writeAll(int fd, const QByteArray &data)
{
    const char *p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

// Writes a temporary file beside the target and renames it over the target, so a reader
// sees either the old file or the new one, never a part of it.
bool replaceFile(const QString &path, const QByteArray &data, QString &error)
{
    QString target = path;
    const QFileInfo info(path);
    if (info.isSymLink()) {
        // Rename would replace the link itself; write where it points instead.
        target = info.canonicalFilePath().isEmpty() ? info.symLinkTarget() : info.canonicalFilePath();
    }
    const QByteArray targetName = QFile::encodeName(target);

    struct stat original {
    };
    bool exists = true;
    if (::stat(targetName.constData(), &original) != 0) {
        if (errno != ENOENT) {
            error = systemError(QStringLiteral("cannot examine"), target, errno);
            return false;
        }
        exists = false;
    } else if (isReadOnlyFile(target)) {
        error = QStringLiteral("read-only file %1").arg(target);
        return false;
    }

    const QFileInfo targetInfo(target);
    const QByteArray prefix = QFile::encodeName(targetInfo.absolutePath() + QLatin1String("/.") +
                                                targetInfo.fileName() + QLatin1String(".tmp"));
    QByteArray tempName;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tempName = prefix + QByteArray::number(QRandomGenerator::global()->generate(), 16);
        // 0666 lets the umask decide the mode of a new file, as for any file we create.
        fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        error = systemError(QStringLiteral("cannot create a temporary file for"), target, errno);
        return false;
    }

    auto fail = [&](const QString &what) {
        const int err = errno;
        if (fd >= 0)
            ::close(fd);
        ::unlink(tempName.constData());
        error = systemError(what, target, err);
        return false;
    };

    if (exists) {
        // Owner first: a change of owner clears the set-id bits that the mode then restores.
        // Only root may give the file away; anyone else keeps their own ownership.
        if (::fchown(fd, original.st_uid, original.st_gid) != 0 && geteuid() == 0)
            return fail(QStringLiteral("cannot keep the owner of"));
        if (::fchmod(fd, original.st_mode & 07777) != 0)
            return fail(QStringLiteral("cannot keep the mode of"));
    }
    if (!writeAll(fd, data))
        return fail(QStringLiteral("cannot write"));
    if (::fsync(fd) != 0)
        return fail(QStringLiteral("cannot write"));
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0)
        return fail(QStringLiteral("cannot write"));
    if (::rename(tempName.constData(), targetName.constData()) != 0)
        return fail(QStringLiteral("cannot replace"));

    const int dirFd =
        ::open(QFile::encodeName(targetInfo.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

} // namespace

IniFile::IniFile(const QString &path) : path_(path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QByteArray text = file.readAll();
    if (text.isEmpty())
        return;
    if (text.endsWith('\n'))
        text.chop(1);

    const QList<QByteArray> rawLines = text.split('\n');
    lines_.reserve(rawLines.size());
    for (const QByteArray &rawLine : rawLines) {
        Line line;
        line.raw = rawLine.endsWith('\r') ? rawLine.chopped(1) : rawLine;
        const QByteArray trimmed = trimBlanks(line.raw);
        const qsizetype close = trimmed.indexOf(']');
        const qsizetype equals = trimmed.indexOf('=');
        if (trimmed.startsWith('[') && close > 0) {
            line.isSection = true;
            line.section = trimBlanks(trimmed.mid(1, close - 1));
            line.name = cp932ToUnicode(line.section);
        } else if (!trimmed.startsWith(';') && equals > 0) {
            line.key = trimBlanks(trimmed.left(equals));
            line.value = trimBlanks(trimmed.mid(equals + 1));
            line.name = cp932ToUnicode(line.key);
        }
        lines_.append(line);
    }
}

int IniFile::findSection(const QString &section) const
{
    const QString wanted = trimName(section);
    for (int i = 0; i < lines_.size(); ++i) {
        if (lines_[i].isSection && sameName(lines_[i].name, wanted))
            return i;
    }
    return -1;
}

int IniFile::sectionEnd(int sectionLine) const
{
    int i = sectionLine + 1;
    while (i < lines_.size() && !lines_[i].isSection)
        ++i;
    return i;
}

int IniFile::findKey(int sectionLine, const QString &key) const
{
    const QString wanted = trimName(key);
    const int end = sectionEnd(sectionLine);
    for (int i = sectionLine + 1; i < end; ++i) {
        if (!lines_[i].key.isEmpty() && sameName(lines_[i].name, wanted))
            return i;
    }
    return -1;
}

const IniFile::Line *IniFile::findValue(const QString &section, const QString &key) const
{
    const int s = findSection(section);
    if (s < 0)
        return nullptr;
    const int k = findKey(s, key);
    return k < 0 ? nullptr : &lines_[k];
}

int IniFile::ReadInteger(const QString &section, const QString &key, int def) const
{
    const Line *line = findValue(section, key);
    int value = 0;
    return line && parseInteger(line->value, value) ? value : def;
}

QString IniFile::ReadString(const QString &section, const QString &key, const QString &def) const
{
    const Line *line = findValue(section, key);
    return line ? cp932ToUnicode(line->value) : def;
}

QByteArray IniFile::ReadBytes(const QString &section, const QString &key, const QByteArray &def) const
{
    const Line *line = findValue(section, key);
    return line ? line->value : def;
}

void IniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    setValue(section, key, QByteArray::number(value));
}

void IniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    setValue(section, key, unicodeToCp932(value));
}

void IniFile::WriteBytes(const QString &section, const QString &key, const QByteArray &value)
{
    setValue(section, key, value);
}

void IniFile::setValue(const QString &section, const QString &key, const QByteArray &rawValue)
{
    // A line without a name would not read back as this key or section.
    const QString keyName = trimName(key);
    const QString sectionName = trimName(section);
    if (keyName.isEmpty() || sectionName.isEmpty())
        return;
    const QByteArray value = singleLine(rawValue);
    Line keyLine;
    keyLine.key = singleLine(unicodeToCp932(keyName));
    keyLine.name = keyName;
    keyLine.value = trimBlanks(value);

    int s = findSection(section);
    if (s < 0) {
        if (!lines_.isEmpty() && !trimBlanks(lines_.last().raw).isEmpty())
            lines_.append(Line{}); // a blank line between sections, as the file is usually laid out
        Line header;
        header.isSection = true;
        header.section = singleLine(unicodeToCp932(sectionName));
        header.name = sectionName;
        header.raw = '[' + header.section + ']';
        lines_.append(header);
        s = static_cast<int>(lines_.size()) - 1;
    }

    const int k = findKey(s, key);
    if (k >= 0) {
        Line &line = lines_[k];
        // An unchanged value keeps its line byte for byte, spacing included.
        if (line.value == keyLine.value)
            return;
        line.raw = line.key + '=' + value;
        line.value = keyLine.value;
        return;
    }

    // After the section's last key, so blank lines and comments that lead into the next
    // section stay where they are.
    int insertAt = s + 1;
    const int end = sectionEnd(s);
    for (int i = s + 1; i < end; ++i) {
        if (!lines_[i].key.isEmpty())
            insertAt = i + 1;
    }
    keyLine.raw = keyLine.key + '=' + value;
    lines_.insert(insertAt, keyLine);
}

bool IniFile::SectionExists(const QString &section) const
{
    return findSection(section) >= 0;
}

bool IniFile::ValueExists(const QString &section, const QString &key) const
{
    return findValue(section, key) != nullptr;
}

QStringList IniFile::ReadSection(const QString &section) const
{
    QStringList keys;
    const int s = findSection(section);
    if (s < 0)
        return keys;
    const int end = sectionEnd(s);
    for (int i = s + 1; i < end; ++i) {
        if (!lines_[i].key.isEmpty())
            keys.append(lines_[i].name);
    }
    return keys;
}

void IniFile::EraseSection(const QString &section)
{
    // Every header of that name goes, so that a repeated section can't take its place.
    for (int s = findSection(section); s >= 0; s = findSection(section))
        lines_.remove(s, sectionEnd(s) - s);
}

void IniFile::DeleteKey(const QString &section, const QString &key)
{
    const int s = findSection(section);
    if (s < 0)
        return;
    for (int k = findKey(s, key); k >= 0; k = findKey(s, key))
        lines_.remove(k);
}

QByteArray IniFile::serialized() const
{
    QByteArray out;
    for (const Line &line : lines_) {
        out += line.raw;
        out += "\r\n";
    }
    return out;
}

bool IniFile::UpdateFile()
{
    error_.clear();
    return replaceFile(path_, serialized(), error_);
}

bool isReadOnlyFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st {
    };
    if (::stat(name.constData(), &st) != 0)
        return false;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return true;
    return ::access(name.constData(), W_OK) != 0;
}

bool createEmptyFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0)
        return ::close(fd) == 0;
    struct stat st {
    };
    return errno == EEXIST && ::stat(name.constData(), &st) == 0 && S_ISREG(st.st_mode);
}

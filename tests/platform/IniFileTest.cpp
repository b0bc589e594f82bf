#include "platform/IniFile.h"
#include "platform/Cp932.h"

#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

class IniFileTest : public ::testing::Test
{
protected:
    QString path(const QString &name = QStringLiteral("kv8demo.ini")) const { return dir.filePath(name); }

    void write(const QByteArray &bytes, const QString &name = QStringLiteral("kv8demo.ini"))
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QByteArray read(const QString &name = QStringLiteral("kv8demo.ini")) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    mode_t modeOf(const QString &name = QStringLiteral("kv8demo.ini")) const
    {
        struct stat st {
        };
        ::stat(QFile::encodeName(path(name)).constData(), &st);
        return st.st_mode & 07777;
    }

    QStringList filesInFolder() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir dir;
};

const QByteArray mixedFile = "; written by hand\r\n"
                             "[Option]\r\n"
                             "Top = 120 \r\n"
                             "Caption=" +
                             unicodeToCp932(QString::fromUtf16(u"ＫＶ８ ﾃﾞﾓ 表示")) +
                             "\r\n"
                             "FutureKey=kept\r\n"
                             "not a key line\r\n"
                             "\r\n"
                             "[Other]\r\n"
                             "b=2\r\n"
                             "a=1\r\n";

} // namespace

TEST_F(IniFileTest, RoundTripKeepsEveryLineByteForByte)
{
    write(mixedFile);
    IniFile ini(path());
    ini.WriteInteger("Option", "Top", 120);
    ini.WriteString("Option", "Caption", ini.ReadString("Option", "Caption", ""));
    ASSERT_TRUE(ini.UpdateFile()) << ini.errorString().toStdString();
    EXPECT_EQ(hexOf(read()), hexOf(mixedFile));
    EXPECT_EQ(filesInFolder(), QStringList{"kv8demo.ini"});
}

TEST_F(IniFileTest, WritesUpdateInPlaceAppendToTheirSectionAndAddNewSectionsAtTheEnd)
{
    write("[A]\nx=1\ny=2\n\n; about B\n[B]\nz=3\n");
    IniFile ini(path());
    ini.WriteInteger("a", "X", -5);
    ini.WriteString("A", "Name", QString::fromUtf16(u"ｶｰﾄﾞ\r\n二行"));
    ini.WriteBytes("New", "Raw", bytesOf({0x82, 0xA0}));
    ini.DeleteKey("b", "Z");
    EXPECT_TRUE(ini.SectionExists("B"));
    EXPECT_EQ(ini.ReadSection("a"), (QStringList{"x", "y", "Name"}));
    const QByteArray expected = "[A]\r\nx=-5\r\ny=2\r\nName=" + unicodeToCp932(QString::fromUtf16(u"ｶｰﾄﾞ  二行")) +
                                "\r\n\r\n; about B\r\n[B]\r\n\r\n[New]\r\nRaw=\x82\xA0\r\n";
    EXPECT_EQ(hexOf(ini.serialized()), hexOf(expected));

    ini.EraseSection("new");
    EXPECT_FALSE(ini.SectionExists("New"));
    EXPECT_TRUE(ini.UpdateFile());
    EXPECT_EQ(IniFile(path()).ReadString("A", "name", ""), QString::fromUtf16(u"ｶｰﾄﾞ  二行"));
}

TEST_F(IniFileTest, NamesMatchWhateverTheirCaseAndValuesAreTrimmed)
{
    write(mixedFile);
    const IniFile ini(path());
    EXPECT_EQ(ini.ReadInteger("OPTION", "top", 0), 120);
    EXPECT_EQ(ini.ReadString(" option ", "CAPTION", ""), QString::fromUtf16(u"ＫＶ８ ﾃﾞﾓ 表示"));
    EXPECT_TRUE(ini.ValueExists("other", "A"));
    EXPECT_FALSE(ini.ValueExists("Option", "not a key line"));
    EXPECT_EQ(ini.ReadString("Other", "missing", "def"), "def");
    EXPECT_EQ(ini.ReadSection("OTHER"), (QStringList{"b", "a"}));
}

TEST_F(IniFileTest, NamesLoseOnlyBlanksAndTabsInTheFileAndInLookups)
{
    // A key ending in an ideographic space (CP932 81 40) keeps it when read and when looked up.
    write("[Sec]\r\nKey\x81\x40=1\r\n");
    IniFile ini(path());
    const QString key = QString::fromUtf16(u"Key\u3000");
    EXPECT_EQ(ini.ReadSection("Sec"), QStringList{key});
    EXPECT_EQ(ini.ReadInteger("Sec", key, 0), 1);
    EXPECT_FALSE(ini.ValueExists("Sec", "Key"));
    ini.WriteInteger("\tsec ", " " + key + "\t", 2);
    EXPECT_EQ(hexOf(ini.serialized()), hexOf("[Sec]\r\nKey\x81\x40=2\r\n"));
}

TEST_F(IniFileTest, IntegersAreSignedDecimalOrHexAndAnythingElseGivesTheDefault)
{
    const std::vector<std::pair<QByteArray, int>> cases = {
        {"12", 12},
        {"-7", -7},
        {"+3", 3},
        {"0x1F", 31},
        {"0XFFFFFFFF", -1},
        {"-0x10", -16},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"-2147483633", -2147483633},
        {"2147483648", 99},
        {"0x100000000", 99},
        {"12abc", 99},
        {"", 99},
        {"0x", 99},
        {"$10", 99},
        {"1 2", 99},
        {"-", 99},
        {"99999999999999999999", 99},
    };
    QByteArray text = "[S]\r\n";
    for (size_t i = 0; i < cases.size(); ++i)
        text += "k" + QByteArray::number(qulonglong(i)) + "=" + cases[i].first + "\r\n";
    write(text);
    const IniFile ini(path());
    for (size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(ini.ReadInteger("S", "k" + QString::number(i), 99), cases[i].second) << cases[i].first.constData();
    EXPECT_EQ(ini.ReadInteger("S", "absent", 99), 99);
}

TEST_F(IniFileTest, RewrittenFileKeepsItsMode)
{
    write("[S]\r\nk=1\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), 0640), 0);
    IniFile ini(path());
    ini.WriteInteger("S", "k", 2);
    ASSERT_TRUE(ini.UpdateFile()) << ini.errorString().toStdString();
    EXPECT_EQ(modeOf(), 0640u);
    EXPECT_EQ(read(), "[S]\r\nk=2\r\n");
}

TEST_F(IniFileTest, FileWithoutWriteBitIsReadOnlyEvenForRootAndIsLeftUntouched)
{
    write(mixedFile);
    EXPECT_FALSE(isReadOnlyFile(path()));
    EXPECT_FALSE(isReadOnlyFile(path("missing.ini")));
    ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), 0444), 0);
    EXPECT_TRUE(isReadOnlyFile(path()));

    IniFile ini(path());
    ini.WriteInteger("Option", "Top", 1);
    EXPECT_FALSE(ini.UpdateFile());
    EXPECT_FALSE(ini.errorString().isEmpty());
    EXPECT_EQ(hexOf(read()), hexOf(mixedFile));
    EXPECT_EQ(modeOf(), 0444u);
}

TEST_F(IniFileTest, FailedWriteReturnsFalseAndLeavesTheOriginalWholeWithNoTemporaryFile)
{
    write(mixedFile);
    IniFile ini(path());
    ini.WriteString("Option", "Caption", QString(200, 'x'));

    // A write that stops part-way: the file size limit cuts the temporary file short.
    ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit saved {
    };
    ::getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = ini.UpdateFile();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, SIG_DFL);
    EXPECT_FALSE(written);
    EXPECT_TRUE(ini.errorString().startsWith("cannot write")) << ini.errorString().toStdString();
    EXPECT_EQ(hexOf(read()), hexOf(mixedFile));
    EXPECT_EQ(filesInFolder(), QStringList{"kv8demo.ini"});

    // A folder this user may not write in (root is made an ordinary user for the test,
    // since root writes anywhere).
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), 0666), 0);
    const bool wasRoot = ::geteuid() == 0;
    if (wasRoot) {
        ASSERT_EQ(::seteuid(65534), 0);
    }
    const bool writtenInLockedFolder = ini.UpdateFile();
    if (wasRoot) {
        ASSERT_EQ(::seteuid(0), 0);
    }
    ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
    EXPECT_FALSE(writtenInLockedFolder);
    EXPECT_TRUE(ini.errorString().startsWith("cannot create a temporary file")) << ini.errorString().toStdString();
    EXPECT_EQ(hexOf(read()), hexOf(mixedFile));
}

TEST_F(IniFileTest, MissingFileGivesDefaultsAndIsCreatedEmpty)
{
    IniFile missing(path());
    EXPECT_EQ(missing.ReadInteger("ComDebug", "PortNo", 1), 1);
    EXPECT_EQ(missing.ReadString("ComDebug", "Addr", "192.168.0.100"), "192.168.0.100");
    EXPECT_FALSE(missing.SectionExists("ComDebug"));

    EXPECT_FALSE(createEmptyFile(path("no/such/folder.ini")));
    ASSERT_TRUE(createEmptyFile(path()));
    EXPECT_TRUE(QFile::exists(path()));
    EXPECT_EQ(read(), QByteArray());

    IniFile ini(path());
    ini.WriteInteger("ComDebug", "PortNo", 3);
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_EQ(read(), "[ComDebug]\r\nPortNo=3\r\n");
    EXPECT_TRUE(createEmptyFile(path())); // an existing file is not emptied
    EXPECT_EQ(read(), "[ComDebug]\r\nPortNo=3\r\n");
}

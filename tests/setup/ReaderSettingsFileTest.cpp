#include "setup/ReaderSettingsFile.h"

#include "platform/Cp932.h"
#include "platform/IniFile.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace
{

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

EepromData counting1()
{
    EepromData a{};
    for (int i = 0; i < EepromArea1Size; ++i)
        a[static_cast<size_t>(i)] = static_cast<uint8_t>(i * 7);
    return a;
}

EepromData2 counting2()
{
    EepromData2 b{};
    for (int j = 0; j < EepromArea2Size; ++j)
        b[static_cast<size_t>(j)] = static_cast<uint8_t>(255 - j);
    return b;
}

} // namespace

TEST(ReaderSettingsFileTest, SaveWritesTheKeysInOrderAndKeepsTheRestOfTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("reader.KVI");
    const QByteArray other = "[メモ]\r\n名前=読取機１\r\n[KV8SET]\r\nSETDATA5=9\r\nOwn=1\r\n";
    writeAll(path, unicodeToCp932(QString::fromUtf8(other)));

    ASSERT_TRUE(WriteSettingsFile(path, true, counting1(), counting2()));
    QByteArray keys2;
    for (int j = 0; j < 20; ++j)
        keys2 += "SETDATA2" + QByteArray::number(40 + j) + "=" + QByteArray::number(255 - j) + "\r\n";
    // The existing key is updated where it stands; the others follow Own at the section's end.
    QByteArray want =
        unicodeToCp932(QStringLiteral("[メモ]\r\n名前=読取機１\r\n")) + "[KV8SET]\r\nSETDATA5=35\r\nOwn=1\r\n";
    for (int i = 0; i < 40; ++i)
        if (i != 5)
            want += "SETDATA" + QByteArray::number(i) + "=" + QByteArray::number(i * 7 % 256) + "\r\n";
    want += keys2;
    const QByteArray got = readAll(path);
    EXPECT_EQ(got, want) << got.toStdString();

    // A fresh file: the 60 keys in order with ver121, the 40 area-1 keys alone without.
    QStringList names;
    for (int n = 0; n < 60; ++n)
        names << (n < 40 ? "SETDATA" : "SETDATA2") + QString::number(n);
    for (bool ver121 : {true, false}) {
        const QString fresh = dir.filePath(ver121 ? "v121.KVI" : "plain.KVI");
        ASSERT_TRUE(WriteSettingsFile(fresh, ver121, counting1(), counting2()));
        EXPECT_EQ(IniFile(fresh).ReadSection("KV8SET"), names.mid(0, ver121 ? 60 : 40));
    }
}

TEST(ReaderSettingsFileTest, LoadTakesTheLowByteOfEachKeyAndZeroForMissingOrBadValues)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.kvi");
    writeAll(path, "[kv8set]\r\nSETDATA0=300\r\nSETDATA1=abc\r\nSETDATA2=0x7F\r\nSETDATA39=-1\r\n"
                   "SETDATA240=17\r\nSETDATA259=258\r\n");
    EepromData a;
    a.fill(0xEE);
    EepromData2 b;
    b.fill(0xEE);
    ASSERT_TRUE(ReadSettingsFile(path, false, a, b));
    EXPECT_EQ(a[0], 44);
    EXPECT_EQ(a[1], 0);
    EXPECT_EQ(a[2], 0x7F);
    EXPECT_EQ(a[3], 0);
    EXPECT_EQ(a[39], 0xFF);
    EXPECT_EQ(b[0], 0xEE); // area 2 is left alone without ver121
    ASSERT_TRUE(ReadSettingsFile(path, true, a, b));
    EXPECT_EQ(b[0], 17);
    EXPECT_EQ(b[1], 0);
    EXPECT_EQ(b[19], 2);

    // Written and read back unchanged.
    ASSERT_TRUE(WriteSettingsFile(path, true, counting1(), counting2()));
    ASSERT_TRUE(ReadSettingsFile(path, true, a, b));
    EXPECT_EQ(a, counting1());
    EXPECT_EQ(b, counting2());
}

TEST(ReaderSettingsFileTest, AFileThatCantBeReadOrWrittenChangesNothing)
{
    QTemporaryDir dir;
    EepromData a = counting1();
    EepromData2 b = counting2();
    EXPECT_FALSE(ReadSettingsFile(dir.filePath("missing.KVI"), true, a, b));
    EXPECT_FALSE(ReadSettingsFile(dir.path(), true, a, b)); // a folder
    EXPECT_EQ(a, counting1());
    EXPECT_EQ(b, counting2());

    const QString locked = dir.filePath("locked.KVI");
    writeAll(locked, "[KV8SET]\r\nSETDATA0=1\r\n");
    QFile::setPermissions(locked, QFileDevice::ReadOwner);
    EXPECT_FALSE(WriteSettingsFile(locked, false, a, b));
    EXPECT_EQ(readAll(locked), "[KV8SET]\r\nSETDATA0=1\r\n");
    EXPECT_FALSE(WriteSettingsFile(dir.filePath("no/such/x.KVI"), false, a, b));
}

TEST(ReaderSettingsFileTest, TheSettingsFilterGivesEveryNameTheKviExtension)
{
    for (auto [chosen, filter, name] : {
             std::tuple{"/d/a.KVI", 1, "/d/a.KVI"},
             {"/d/a.kvi", 1, "/d/a.kvi"},
             {"/d/a.Kvi", 1, "/d/a.Kvi"},
             {"/d/a.txt", 1, "/d/a.KVI"},
             {"/d/a", 1, "/d/a.KVI"},
             {"/d/a.b.ini", 1, "/d/a.b.KVI"},
             {"/d.x/a", 1, "/d.x/a.KVI"},
             {"/d/.KVI", 1, "/d/.KVI"},
             {"/d/a.txt", 2, "/d/a.txt"},
             {"/d/a", 2, "/d/a"},
         })
        EXPECT_EQ(settingsFileName(chosen, filter), name) << chosen << " filter " << filter;
    EXPECT_EQ(settingsFileFilters(), "設定ファイル (*.KVI);;全てのファイル (*)");
}

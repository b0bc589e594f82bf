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

// Area 1 byte i holds 7 i, area 2 byte j holds 255 - j.
const EepromData area1 = [] {
    EepromData a{};
    for (int i = 0; i < EepromArea1Size; ++i)
        a[size_t(i)] = static_cast<uint8_t>(i * 7);
    return a;
}();
const EepromData2 area2 = [] {
    EepromData2 b{};
    for (int j = 0; j < EepromArea2Size; ++j)
        b[size_t(j)] = static_cast<uint8_t>(255 - j);
    return b;
}();

} // namespace

TEST(ReaderSettingsFileTest, SaveWritesTheKeysInOrderAndKeepsTheRestOfTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("reader.KVI");
    const QByteArray head = unicodeToCp932(QStringLiteral("[メモ]\r\n名前=読取機１\r\n[KV8SET]\r\n"));
    writeAll(path, head + "SETDATA5=9\r\nOwn=1\r\n");
    ASSERT_TRUE(WriteSettingsFile(path, true, area1, area2));
    // The key that was there is updated where it stands; the others follow at the section's end.
    QByteArray want = head + "SETDATA5=35\r\nOwn=1\r\n";
    for (int n = 0; n < 60; ++n)
        if (n != 5)
            want += (n < 40 ? "SETDATA" : "SETDATA2") + QByteArray::number(n) + "=" +
                    QByteArray::number(n < 40 ? area1[size_t(n)] : area2[size_t(n - 40)]) + "\r\n";
    EXPECT_EQ(readAll(path), want);

    // Without ver121 a fresh file holds the 40 area-1 keys alone.
    ASSERT_TRUE(WriteSettingsFile(dir.filePath("plain.KVI"), false, area1, area2));
    const QStringList keys = IniFile(dir.filePath("plain.KVI")).ReadSection("KV8SET");
    EXPECT_EQ(keys.size(), 40);
    EXPECT_EQ(keys.value(39), "SETDATA39");
}

TEST(ReaderSettingsFileTest, LoadTakesTheLowByteOfEachKeyAndZeroForMissingOrBadValues)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.kvi");
    writeAll(path, "[kv8set]\r\nSETDATA0=300\r\nSETDATA1=abc\r\nSETDATA2=0x7F\r\nSETDATA39=-1\r\nSETDATA259=258\r\n");
    EepromData a;
    a.fill(0xEE);
    EepromData2 b;
    b.fill(0xEE);
    ASSERT_TRUE(ReadSettingsFile(path, false, a, b));
    EXPECT_EQ(hexOf(QByteArray(reinterpret_cast<const char *>(a.data()), 4)), "2C 00 7F 00");
    EXPECT_EQ(a[39], 0xFF);
    EXPECT_EQ(b[19], 0xEE); // area 2 is left alone without ver121
    ASSERT_TRUE(ReadSettingsFile(path, true, a, b));
    EXPECT_EQ(b[0], 0);
    EXPECT_EQ(b[19], 2);
    EXPECT_FALSE(ReadSettingsFile(dir.filePath("missing.KVI"), true, a, b)); // and nothing changes
    EXPECT_EQ(b[19], 2);
}

TEST(ReaderSettingsFileTest, TheSettingsFilterGivesEveryNameTheKviExtension)
{
    for (auto [chosen, filter, name] : {std::tuple{"/d/a.KVI", 1, "/d/a.KVI"},
                                        {"/d/a.kvi", 1, "/d/a.kvi"},
                                        {"/d/a.txt", 1, "/d/a.KVI"},
                                        {"/d/a", 1, "/d/a.KVI"},
                                        {"/d/a.b.ini", 1, "/d/a.b.KVI"},
                                        {"/d.x/a", 1, "/d.x/a.KVI"},
                                        {"/d/a.txt", 2, "/d/a.txt"},
                                        {"/d/a", 2, "/d/a"}})
        EXPECT_EQ(settingsFileName(chosen, filter), name) << chosen << " filter " << filter;
}

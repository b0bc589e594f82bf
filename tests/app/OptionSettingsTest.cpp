#include "app/OptionSettings.h"

#include "platform/Cp932.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace
{

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// The "key=value" lines of one section, decoded, in file order.
QStringList sectionLines(const QByteArray &file, const QByteArray &name)
{
    QStringList out;
    bool inside = false;
    for (const QByteArray &line : file.split('\n')) {
        const QByteArray l = line.endsWith('\r') ? line.chopped(1) : line;
        if (l.startsWith('['))
            inside = l == "[" + name + "]";
        else if (inside && l.contains('='))
            out << cp932ToUnicode(l);
    }
    return out;
}

} // namespace

TEST(OptionSettingsTest, MissingFileIsCreatedWithTheWrittenKeysInOrderAndTheirDefaults)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("kv8demo.ini");
    OptionSettings s;
    LoadSettings(path, s);
    SaveSettings(path, s);

    const QStringList expected =
        QStringLiteral(
            "ComPort=1 ComSpeed=0 UseUSB=2 TCPPort=3335 fTCPServer=1 TCPServPort=10777 TCPServAddr=192.168.0.100 "
            "fUseGrobalIP=0 UidFlag=0 ReadOptionFlag=0 ReadUidFlag=0 WriteOptionFlag=1 WriteUidFlag=0 EnabLockBlock=0 "
            "S6700Conf=212 TagDataNum=10 TagDataStr= SysMode=0 Cmdmode=0 PolingTime=5 fInventory2=1 TagBlockSize=4 "
            "fUseInOutFormat=1 InCode=0 OutCode=1 InOutTitle=入／出 InString=入 OutString=出 InOutMode=1 "
            "fBinaryWrite=0 fTimeOut=0 fBarCodeReader=0 fAllEEPROMSet=0 KVIFName= EAS_ON_VALUE=49 EAS_OFF_VALUE=48 "
            "PassData[0]=0 PassData[1]=0 PassData[2]=0 PassData[3]=0 TagWriteNum=200 fUseInv16SlotsCmd=0 fVER121=1 "
            "fP310=0 fGateCmd=0 fCommComand=0 fDebug1=0 fUSESetOption=0 Prog15693FLAG=0 fInvTxOff=0 fDispEXTSet1=0 "
            "fSetBuzFreq=0 fCustomCmd1=0 fM750=1 fDufaultTab=1 fCmdOutpStr=0 OkColor=-2147483633 NgColor=255")
            .split(QLatin1Char(' '));
    ASSERT_EQ(expected.size(), 58);
    const QByteArray file = readAll(path);
    EXPECT_EQ(sectionLines(file, "Option"), expected);
    EXPECT_FALSE(file.contains("\n") && file.count("\r\n") != file.count("\n")) << "every line ends in CR LF";
    EXPECT_TRUE(file.contains(unicodeToCp932("InOutTitle=入／出\r\n"))) << hexOf(file);
}

TEST(OptionSettingsTest, ValuesKeepTheLowBitsOfTheirFieldAndBadTextGivesTheDefault)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("kv8demo.ini");
    writeAll(path, "[Option]\r\nS6700Conf=468\r\nUidFlag=511\r\nTagDataNum=65541\r\nPassData[2]=-1\r\n"
                   "PolingTime=70000\r\nUseUSB=0\r\nfM750=0\r\nTCPPort=abc\r\nNgColor=0x10\r\n"
                   "TCPServAddr=127.0.0.1\r\n");
    OptionSettings s;
    LoadSettings(path, s);
    SaveSettings(path, s);
    const QStringList lines = sectionLines(readAll(path), "Option");
    for (const char *line : {"S6700Conf=212", "UidFlag=255", "TagDataNum=5", "PassData[2]=255", "PolingTime=4464",
                             "UseUSB=2", "fM750=1", "TCPPort=3335", "NgColor=16", "TCPServAddr=127.0.0.1"})
        EXPECT_TRUE(lines.contains(QString::fromLatin1(line))) << line;
}

TEST(OptionSettingsTest, SaveKeepsOtherSectionsUnknownKeysAndTheReadOnlyKeysByteForByte)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("kv8demo.ini");
    const QByteArray comDebug = "[ComDebug]\r\nPort=3\r\nfDispCont1=0\r\n";
    const QByteArray kept = unicodeToCp932("fTagTest1=1\r\nMyOwnKey=ｶﾅ漢字\r\nfM750Cmd=1\r\n"
                                           "M740LogFile=/tmp/ログ.csv\r\nM750LogFile=x\r\nfMenuDisp=7\r\n");
    const QByteArray dispTag = unicodeToCp932("[DispTagData]\r\nTitle=表示\r\n");
    writeAll(path, comDebug + "[Option]\r\nComPort=4\r\n" + kept + dispTag);

    OptionSettings s;
    LoadSettings(path, s);
    EXPECT_EQ(s.fTagTest1, 1);
    EXPECT_EQ(s.fMenuDisp, 7);
    EXPECT_EQ(s.M740LogFile, "/tmp/ログ.csv");
    s.fTagTest1 = 0;
    s.fMenuDisp = 0;
    s.M740LogFile.clear();
    SaveSettings(path, s);

    const QByteArray after = readAll(path);
    EXPECT_TRUE(after.startsWith(comDebug)) << hexOf(after);
    EXPECT_TRUE(after.contains("[Option]\r\nComPort=4\r\n" + kept)) << hexOf(after);
    EXPECT_TRUE(after.contains(dispTag)) << hexOf(after);
    EXPECT_EQ(sectionLines(after, "Option").size(), 58 + 6);
}

TEST(OptionSettingsTest, ReadOnlyFileIsNeverChangedAndAnUncreatableFileIsSkippedSilently)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("kv8demo.ini");
    const QByteArray before = "[Option]\r\nUseUSB=0\r\n";
    writeAll(path, before);
    // Mode bits decide, so this also holds for root, whom access() would let write.
    ASSERT_EQ(chmod(path.toLocal8Bit().constData(), 0444), 0);
    OptionSettings s;
    LoadSettings(path, s);
    SaveSettings(path, s);
    EXPECT_EQ(readAll(path), before);
    struct stat st {
    };
    ASSERT_EQ(stat(path.toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);

    const QString nowhere = dir.filePath("no/such/folder/kv8demo.ini");
    SaveSettings(nowhere, s);
    EXPECT_FALSE(QFile::exists(nowhere));
}

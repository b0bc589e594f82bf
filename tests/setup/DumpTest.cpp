#include "setup/EepromTransfer.h"

#include "platform/IniFile.h"
#include "setup/ReaderSettingsFile.h"
#include "tests/link/SenderFixture.h"

namespace
{

class DumpTest : public SenderHubTest
{
protected:
    void SetUp() override
    {
        SenderHubTest::SetUp();
        standIn.setDefaultResponder(standIn.modelReader());
        for (int i = 0; i < 40; ++i)
            standIn.model().eeprom1[i] = static_cast<char>(i + 1);
        for (int j = 0; j < 20; ++j)
            standIn.model().eeprom2[j] = static_cast<char>(0xA0 + j);
    }
    QString path() const { return dir.filePath("KV8RWConf.KVI"); }
};

template <size_t N> QByteArray bytes(const std::array<uint8_t, N> &image)
{
    return QByteArray(reinterpret_cast<const char *>(image.data()), N);
}

} // namespace

TEST_F(DumpTest, TheReadersAreasGoToTheFileBesideTheProgram)
{
    for (auto [readArea2, ver121] : {std::pair{true, true}, {false, true}, {true, false}}) {
        QFile::remove(path());
        standIn.clearReceived();
        DumpReaderSettings(*hub, readArea2, ver121, nullptr);
        EXPECT_EQ(standIn.received().size(), readArea2 ? 2 : 1);
        EXPECT_EQ(IniFile(path()).ReadSection("KV8SET").size(), ver121 ? 60 : 40);
        EepromData area1;
        EepromData2 area2;
        ASSERT_TRUE(ReadSettingsFile(path(), true, area1, area2));
        EXPECT_EQ(bytes(area1), standIn.model().eeprom1);
        EXPECT_EQ(bytes(area2), readArea2 && ver121 ? standIn.model().eeprom2 : QByteArray(20, '\0'));
    }
}

TEST_F(DumpTest, AFailedReadOrAnUnwritableFileLeavesTheFileAsItWasAndSaysSo)
{
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[KV8SET]\r\nSETDATA0=7\r\n");
    f.close();

    MessageBoxRecorder boxes;
    standIn.expect('O', 0x72, ReaderStandIn::nack(1));
    DumpReaderSettings(*hub, true, true, nullptr);
    f.setPermissions(QFileDevice::ReadOwner);
    DumpReaderSettings(*hub, true, true, nullptr);
    EXPECT_EQ(boxes.texts(), (QStringList{"設定情報の取得が出来ません", "ファイル " + path() + " を作成できません。"}));
    EXPECT_EQ(IniFile(path()).ReadSection("KV8SET"), QStringList{"SETDATA0"});
}

TEST_F(DumpTest, AnAreaThatIsNotReadIsZeroNotWhatTheBufferHeld)
{
    EepromData area1;
    EepromData2 area2;
    area1.fill(0xEE);
    area2.fill(0xEE);
    QStringList log;
    ASSERT_EQ(ReadEepromAreas(
                  *hub, [&](const QString &line) { log << line; }, {true, true}, area1, area2),
              1);
    EXPECT_EQ(bytes(area1), standIn.model().eeprom1);
    EXPECT_EQ(bytes(area2), QByteArray(20, '\0')); // area 2 is never read with P310
    EXPECT_EQ(log, QStringList{"OK: RxEepromData"});
}

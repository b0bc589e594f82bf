#include "platform/SerialPorts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(SerialPortsTest, ComNumbersAndDeviceNodesMapBothWaysWithTheUsualDevicesInsideComOneToTen)
{
    const struct {
        int com;
        const char *device;
    } rows[] = {{1, "ttyS0"},  {4, "ttyS3"},   {5, "ttyUSB0"},  {8, "ttyUSB3"},    {9, "ttyACM0"},   {10, "ttyACM1"},
                {11, "ttyS4"}, {38, "ttyS31"}, {39, "ttyUSB4"}, {134, "ttyUSB99"}, {135, "ttyACM2"}, {232, "ttyACM99"}};
    for (const auto &r : rows) {
        EXPECT_EQ(comPortDevice(r.com), "/dev/" + QString::fromLatin1(r.device)) << r.com;
        EXPECT_EQ(comNumberOfDevice(QString::fromLatin1(r.device)), r.com) << r.device;
    }
    for (int none : {0, -1, 233, 255})
        EXPECT_EQ(comPortDevice(none), "") << none;
    for (const char *none : {"ttyS32", "ttyUSB100", "tty0", "ttyS", "pts0"})
        EXPECT_EQ(comNumberOfDevice(QString::fromLatin1(none)), 0) << none;
}

TEST(SerialPortsTest, PresentPortsSkipPhantomUartsAndComeInComOrder)
{
    QTemporaryDir sys;
    auto addPort = [&](const char *name, const char *type) {
        ASSERT_TRUE(QDir(sys.path()).mkpath(QString::fromLatin1(name)));
        if (type) {
            QFile f(sys.filePath(QString::fromLatin1(name) + "/type"));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(type);
        }
    };
    addPort("ttyS0", "4\n");
    addPort("ttyS1", "0\n");
    addPort("ttyS2", nullptr);
    addPort("ttyUSB0", nullptr);
    addPort("ttyACM1", nullptr);
    addPort("tty5", nullptr);
    setSerialRootsForTest(sys.path(), "/tmp/devices");
    EXPECT_EQ(presentComPorts(), QList<int>({1, 5, 10}));
    EXPECT_EQ(comPortDevice(5), "/tmp/devices/ttyUSB0");
    setSerialRootsForTest(QString(), QString());
    EXPECT_EQ(comPortDevice(5), "/dev/ttyUSB0");
}
